#include "forms/Controls.h"
#include "forms/FocusedWheel.h"

#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>

// Single fields as the windows build them: the wheel over spin boxes and time fields, and
// captions as screen readers say them.
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
private slots:
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

    void captionSaidWithoutItsAccessKey_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("said");
        QTest::newRow("access key") << "Session &code:"
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
