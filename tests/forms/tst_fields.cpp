#include "forms/common/ClockField.h"
#include "forms/common/Controls.h"
#include "forms/common/FocusedWheel.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>

// Single fields as the windows build them: the wheel over spin boxes and time fields, the time
// field that follows the clock, and captions as screen readers say them.
class TestFields : public QObject {
    Q_OBJECT

private:
    // A window with `field` and, first in the focus chain, a text field to hold the focus.
    struct Window {
        QWidget widget;
        QLineEdit *other = new QLineEdit(&widget);
    };
    static std::unique_ptr<Window> windowWith(QWidget *field)
    {
        auto window = std::make_unique<Window>();
        auto *layout = new QVBoxLayout(&window->widget);
        layout->addWidget(window->other);
        layout->addWidget(field);
        return window;
    }
    static bool showActive(Window &window)
    {
        window.widget.show();
        if (!QTest::qWaitForWindowActive(&window.widget))
            return false;
        window.other->setFocus();
        return window.other->hasFocus();
    }
    // Waits for the field's next look at its clock.
    static bool nextTick(ClockField &field)
    {
        QSignalSpy tick(field.findChild<QTimer *>(QStringLiteral("clockTick")), &QTimer::timeout);
        return tick.wait(5000);
    }
    static void clickOnTheTime(ClockField *field)
    {
        QTest::mouseClick(field->findChild<QLineEdit *>(), Qt::LeftButton);
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void wheelTurnsAFieldOnlyWithTheFocus_data()
    {
        QTest::addColumn<bool>("timeField"); // else a spin box
        QTest::addColumn<bool>("focused");
        QTest::newRow("spin box without the focus") << false << false;
        QTest::newRow("spin box with the focus") << false << true;
        QTest::newRow("time field without the focus") << true << false;
        QTest::newRow("time field with the focus") << true << true;
    }
    void wheelTurnsAFieldOnlyWithTheFocus()
    {
        QFETCH(bool, timeField);
        QFETCH(bool, focused);
        QAbstractSpinBox *field = nullptr;
        if (timeField) {
            field = new QTimeEdit(QTime(12, 0));
        } else {
            auto *spin = new QSpinBox;
            spin->setRange(1, 12);
            spin->setValue(3);
            field = spin;
        }
        const auto window = windowWith(field);
        FocusedWheel::applyTo(&window->widget);
        QVERIFY(showActive(*window));
        if (focused)
            field->setFocus();
        QCOMPARE(field->hasFocus(), focused);
        // Qt gives a field that takes the focus by the wheel the focus before the wheel reaches it.
        QVERIFY((field->focusPolicy() & Qt::WheelFocus) != Qt::WheelFocus);

        const QString before = field->text();
        const QPointF centre = field->rect().center();
        QWheelEvent wheel(centre, field->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(field, &wheel);
        QCOMPARE(field->text() != before, focused);
        QCOMPARE(wheel.isAccepted(), focused); // else it goes on to the page under the field
    }

    // The field shows the clock's time until the operator or the window gives another; follow()
    // takes it back to the clock.
    void clockFieldFollowsTheClock_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QTime>("shown"); // after the clock moved from 14:02 to 14:03
        QTest::addColumn<bool>("following");
        QTest::newRow("left alone") << "" << QTime(14, 3) << true;
        QTest::newRow("typed") << "type 1630" << QTime(16, 30) << false;
        QTest::newRow("typed as shown") << "type 1402" << QTime(14, 2) << false;
        QTest::newRow("stepped with the arrow key") << "key up" << QTime(15, 2) << false;
        QTest::newRow("set by the window") << "set 9:45" << QTime(9, 45) << false;
        QTest::newRow("typed, then followed again") << "type 1630, follow" << QTime(14, 3) << true;
    }
    void clockFieldFollowsTheClock()
    {
        QFETCH(QString, change);
        QFETCH(QTime, shown);
        QFETCH(bool, following);
        QTime now(14, 2, 59);
        auto *field = new ClockField;
        field->setClock([&now] { return now; });
        const auto window = windowWith(field);
        QVERIFY(showActive(*window));
        QCOMPARE(field->time(), QTime(14, 2)); // the seconds are not shown, nor kept

        if (change.startsWith(QLatin1String("type "))) {
            clickOnTheTime(field);
            QTest::keyClicks(field, change.mid(5, 4));
        } else if (change == QLatin1String("key up")) {
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Up);
        } else if (change.startsWith(QLatin1String("set "))) {
            field->setTime(QTime::fromString(change.mid(4), QStringLiteral("h:mm")));
        }
        window->other->setFocus(); // the operator goes on to the next control
        now = QTime(14, 3, 0);
        if (change.endsWith(QLatin1String("follow")))
            field->follow();
        QVERIFY(nextTick(*field));
        QCOMPARE(field->time(), shown);
        QCOMPARE(field->isFollowing(), following);
    }

    // One click, or Tab, and what is typed replaces the time; once the focus leaves, the time
    // read is shown in the user's time format. What is not a time stays as typed, never read as
    // a time near it.
    void typedDigitsReplaceTheTime_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("byTab"); // else by a click
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QTime>("time");   // invalid: not a time
        QTest::addColumn<QString>("text"); // shown once the focus has left
        QTest::newRow("hours and minutes") << "C" << false << "2115" << QTime(21, 15) << "21:15";
        QTest::newRow("one digit of hours") << "C" << false << "915" << QTime(9, 15) << "09:15";
        QTest::newRow("leading zero") << "C" << false << "0730" << QTime(7, 30) << "07:30";
        QTest::newRow("with the separator") << "C" << false << "21:15" << QTime(21, 15) << "21:15";
        QTest::newRow("by Tab") << "C" << true << "2115" << QTime(21, 15) << "21:15";
        QTest::newRow("Finnish, a dot and no leading zero")
            << "fi_FI" << false << "915" << QTime(9, 15) << "9.15";
        // On a 12-hour clock a time without AM or PM is the one within the last 12 hours: at
        // 14:02, the morning's.
        QTest::newRow("US English") << "en_US" << false << "915" << QTime(9, 15) << "9:15 AM";
        QTest::newRow("US English, two digits of hours")
            << "en_US" << false << "1005" << QTime(10, 5) << "10:05 AM";
        QTest::newRow("US English, 120pm")
            << "en_US" << true << "120pm" << QTime(13, 20) << "1:20 PM";
        QTest::newRow("not a time") << "C" << false << "1260" << QTime() << "1260";
    }
    void typedDigitsReplaceTheTime()
    {
        QFETCH(QString, locale);
        QFETCH(bool, byTab);
        QFETCH(QString, typed);
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        auto *field = new ClockField;
        field->setClock([] { return QTime(14, 2); });
        const auto window = windowWith(field);
        QVERIFY(showActive(*window));
        if (byTab)
            QTest::keyClick(window->other, Qt::Key_Tab);
        else
            clickOnTheTime(field);
        QVERIFY(field->hasFocus());
        QTest::keyClicks(field, typed);
        QCOMPARE(field->time(), time);
        window->other->setFocus();
        QCOMPARE(field->text().replace(QChar(0x202f), QLatin1Char(' ')), text);
        QCOMPARE(field->time(), time);
        QVERIFY(!field->isFollowing());
        QCOMPARE(field->problem().isEmpty(), time.isValid());
    }

    void captionSaidWithoutItsAccessKey_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("said");
        QTest::newRow("access key") << "Sessio&n code:"
                                    << "Session code:";
        QTest::newRow("first letter") << "&Float (ml):"
                                      << "Float (ml):";
        QTest::newRow("an ampersand shown") << "Fish && chips"
                                            << "Fish & chips";
        QTest::newRow("an ampersand shown, then an access key") << "A&&&B"
                                                                << "A&B";
        QTest::newRow("last character") << "Salt &"
                                        << "Salt &";
        QTest::newRow("none") << "Served at:"
                              << "Served at:";
    }
    void captionSaidWithoutItsAccessKey()
    {
        QFETCH(QString, caption);
        QFETCH(QString, said);
        QCOMPARE(Controls::withoutAccessKey(caption), said);
    }
};

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
