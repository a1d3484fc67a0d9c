#include "calc/files/FileFaultTexts.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/record/RecordFile.h"
#include "calc/record/RecordPlace.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionFaultTexts.h"
#include "calc/session/SessionText.h"
#include "forms/chart/BalChart.h"
#include "forms/chart/PlanRecord.h"
#include "forms/common/ClockField.h"
#include "forms/common/ModalDialog.h"
#include "forms/common/OperatorMessage.h"
#include "forms/main/frmHistory.h"
#include "forms/session/frmChange.h"
#include "forms/session/frmInitials.h"
#include "forms/session/frmPlan.h"
#include "tests/support/AccessKeys.h"
#include "tests/support/FaultyDisk.h"
#include "tests/support/ReferenceFiles.h"
#include "tests/support/SessionSupport.h"
#include "tests/support/WithoutFileRights.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <memory>
#include <unistd.h>

class TestFrmPlan : public QObject {
    Q_OBJECT

private:
    SessionPlanSettings settings;
    std::unique_ptr<frmPlan> form;
    // Every time of these tests is today's, so that the start typed is the session's whatever
    // the time the tests run at.
    QDateTime now;
    QStringList messages;
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    int initialsAsked = 0;
    // How the next Correct... or Void... dialog is answered; none: cancelled.
    std::function<void(frmChange &dialog)> change;
    QStringList changeTitles; // of every such dialog, in the order shown
    // The documents folder every window of these tests is given, so that no test writes in the
    // real one; a new session's record goes to the records folder under it.
    std::optional<QTemporaryDir> documents;
    QString sessionCodeGiven = QStringLiteral("P-017"); // when the initials' dialog asks for one
    QString defaultRecordPath(const QString &code = QStringLiteral("P-017"))
    {
        return QDir(documents->path())
            .filePath(QStringLiteral("Pourwise Records/%1-%2.csv")
                          .arg(code, QDate::currentDate().toString(Qt::ISODate)));
    }

    template <typename T = QWidget> T *control(const char *name, QWidget *in = nullptr)
    {
        T *found = (in ? in : form.get())->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *label) { return control<QLabel>(label)->text(); }
    void useTheTestClock(frmPlan &plan)
    {
        plan.setClock([this] { return now; });
    }
    void openForm(const DoseInput &dose = workedExampleInput(),
                  const SessionProtocol &protocol = {})
    {
        form = std::make_unique<frmPlan>(dose, settings, protocol);
        form->setDocumentsLocation(documents->path());
        useTheTestClock(*form);
        control<QTimeEdit>("tmeStart")->setTime(QTime(13, 0));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // A list's rows as "cell|cell|..." lines.
    QStringList rows(const char *list, qsizetype columns = -1, QWidget *in = nullptr)
    {
        auto *table = control<QTreeWidget>(list, in);
        QStringList found;
        for (int row = 0; row < table->topLevelItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->topLevelItem(row)->text(column);
            found << cells.mid(0, columns).join(QLatin1Char('|'));
        }
        return found;
    }
    // The plan's portions, without what the session adds to them.
    QStringList portionRows() { return rows("grdPortions", 5); }
    void selectRow(const char *list, int row)
    {
        auto *table = control<QTreeWidget>(list);
        table->setCurrentItem(table->topLevelItem(row));
    }
    // A button of the window clicked; its command runs from the event loop, as a press through
    // the accessibility interface returns before any window it opens.
    void press(const char *button)
    {
        control<QPushButton>(button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }
    // The time field on the tab of `button`, whose time its entry takes.
    ClockField *timeOf(const char *button)
    {
        auto *field = control(button)->parentWidget()->findChild<ClockField *>();
        if (!field)
            qFatal("no time field beside %s", button);
        return field;
    }
    void enter(const char *button, const QTime &at)
    {
        timeOf(button)->setTime(at);
        press(button);
    }
    // The next change is answered with `level` typed (none: a void), `reason` chosen, and OK.
    void answerChange(const QString &level, const QString &reason)
    {
        change = [this, level, reason](frmChange &dialog) {
            if (!level.isEmpty()) {
                auto *field = control<QLineEdit>("txtChangeLevel", &dialog);
                field->selectAll();
                QTest::keyClicks(field, level);
            }
            control<QComboBox>("cboReason", &dialog)->setCurrentText(reason);
            dialog.cmdOK_Click();
        };
    }
    void addReading(const QTime &at, const QString &typed)
    {
        control<QLineEdit>("txtReading")->setText(typed);
        enter("cmdAddReading", at);
    }
    // Readings falling from 0.06 at 14:10, 14:25 and 14:40: the descending limb, and a booster
    // offered.
    void addFallingReadings()
    {
        for (const auto &[at, level] :
             {std::pair{QTime(14, 10), "0.06"}, {QTime(14, 25), "0.057"}, {QTime(14, 40), "0.054"}})
            addReading(at, QString::fromLatin1(level));
    }
    // Arm A, a protocol of at most `totalMl` in all, read from a file holding `file`.
    static SessionProtocol armA(float totalMl, const QByteArray &file = "arm A")
    {
        Protocol arm;
        arm.name = QStringLiteral("Arm A");
        arm.limits.totalMl = totalMl;
        return {arm, arm.name, protocolSha256(file)};
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        settings = SessionPlanSettings{};
        now = QDateTime(QDate::currentDate(), QTime(15, 5));
        messages.clear();
        questions.clear();
        answer = QMessageBox::Yes;
        initialsAsked = 0;
        documents.emplace();
        QVERIFY(documents->isValid());
        sessionCodeGiven = QStringLiteral("P-017");
        OperatorMessage::setCapture([this](const QString &text) { messages << text; });
        OperatorMessage::setAnswer([this](const QString &text) {
            questions << text;
            return answer;
        });
        // The operator's initials "AB" whenever they are asked.
        change = {};
        changeTitles.clear();
        ModalDialog::setAnswer([this](QDialog &dialog) {
            if (auto *changing = qobject_cast<frmChange *>(&dialog)) {
                changeTitles << changing->windowTitle();
                if (change)
                    change(*changing);
                return changing->result();
            }
            auto *initials = qobject_cast<frmInitials *>(&dialog);
            if (!initials)
                return int(QDialog::Rejected);
            ++initialsAsked;
            // The session code too, before a new session's first entry.
            if (auto *code = control<QLineEdit>("txtCode", initials); !code->isHidden())
                code->setText(sessionCodeGiven);
            control<QLineEdit>("txtInitials", initials)->setText(QStringLiteral("AB"));
            initials->cmdOK_Click();
            return initials->result();
        });
    }
    void cleanup()
    {
        form.reset(); // its lock goes before its folder
        documents.reset();
        OperatorMessage::setCapture({});
        OperatorMessage::setAnswer({});
        ModalDialog::setAnswer({});
        QLocale::setDefault(QLocale::c());
    }

    void showsTheWorkedExample_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<LevelScale>("level");
        QTest::addColumn<QString>("releaseCaption");
        QTest::addColumn<QString>("release"); // the default release level, shown in the unit
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("rows");
        const QStringList rows = {"1|13:00|23|136|159", "2|13:13|23|136|159", "3|13:27|22|136|158"};
        QTest::newRow("C") << "C" << LevelScale{} << "Relea&se level (g/100 ml):"
                           << "0.02"
                           << QStringList{"Expected peak BAL: 0.0807 g/100 ml at 14:10",
                                          "Expected below 0.02 g/100 ml at 18:13",
                                          "Expected zero at 19:33"}
                           << rows;
        QTest::newRow("German") << "de_DE" << LevelScale{} << "Relea&se level (g/100 ml):"
                                << "0,02"
                                << QStringList{"Expected peak BAL: 0,0807 g/100 ml at 14:10",
                                               "Expected below 0,02 g/100 ml at 18:13",
                                               "Expected zero at 19:33"}
                                << rows;
        QTest::newRow("US English")
            << "en_US" << LevelScale{} << "Relea&se level (g/100 ml):"
            << "0.02"
            << QStringList{"Expected peak BAL: 0.0807 g/100 ml at 2:10 PM",
                           "Expected below 0.02 g/100 ml at 6:13 PM", "Expected zero at 7:33 PM"}
            << QStringList{"1|1:00 PM|23|136|159", "2|1:13 PM|23|136|159", "3|1:27 PM|22|136|158"};
        // The peak of 0.08066 g/100 ml in the lab's unit, and the BAL with the ratio for breath.
        QTest::newRow("breath, mg/L at 2000:1")
            << "C" << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << "Relea&se level (mg/L):"
            << "0.1"
            << QStringList{"Expected peak BrAC: 0.4033 mg/L (BAL 0.0807 g/100 ml at 2000:1) at "
                           "14:10",
                           "Expected below 0.1 mg/L at 18:13", "Expected zero at 19:33"}
            << rows;
        QTest::newRow("blood, g/L")
            << "C" << LevelScale{LevelUnit::GramsPerLitre} << "Relea&se level (g/L):"
            << "0.2"
            << QStringList{"Expected peak BAL: 0.8066 g/L at 14:10",
                           "Expected below 0.2 g/L at 18:13", "Expected zero at 19:33"}
            << rows;
    }
    void showsTheWorkedExample()
    {
        QFETCH(QString, locale);
        QFETCH(LevelScale, level);
        QFETCH(QString, releaseCaption);
        QFETCH(QString, release);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, rows);
        QLocale::setDefault(QLocale(locale));
        DoseInput dose = workedExampleInput();
        dose.level = level;
        openForm(dose);
        // Named so whatever is due; its title says so (see nextItemDueUnderTheTabs).
        QCOMPARE(form->accessibleName(), QStringLiteral("Session Plan"));
        QVERIFY(form->windowTitle().endsWith(QLatin1String("Session Plan")));
        QVERIFY(!form->isModal()); // other sessions go on beside it
        // Resizable, and never so small that the buttons leave the window.
        QVERIFY(form->maximumSize().width() > form->minimumSize().width());
        QVERIFY(form->minimumSize().height() >=
                form->findChild<QPushButton *>("cmdClose")->sizeHint().height() * 3);
        QCOMPARE(text("lblReleaseLevel"), releaseCaption);
        QCOMPARE(control<QLineEdit>("txtRelease")->text(), release);
        QCOMPARE((QStringList{text("lblPeak"), text("lblRelease"), text("lblZero")}), lines);
        QCOMPARE(portionRows(), rows);
        QCOMPARE(settings.releaseLevel, 0.02f); // shown in the unit, kept in g/100 ml
        // The dose it was made from, to check against the input window.
        QVERIFY2(text("lblDoseVolumes").contains(QLatin1String("alcohol 68 ml, mixer 408 ml")),
                 qPrintable(text("lblDoseVolumes")));
        QVERIFY2(text("lblDoseInputs").startsWith(QLatin1String("Male, height 70 in")),
                 qPrintable(text("lblDoseInputs")));
        QVERIFY(!control<QLabel>("lblProblem")->isVisible());
        QVERIFY(control<QPushButton>("cmdPrint")->isEnabled());
    }

    void updatesAsTheChoicesChange()
    {
        openForm();
        control<QSpinBox>("spnPortions")->setValue(4);
        QCOMPARE(portionRows(), (QStringList{"1|13:00|17|102|119", "2|13:10|17|102|119",
                                             "3|13:20|17|102|119", "4|13:30|17|102|119"}));
        control<QTimeEdit>("tmeStart")->setTime(QTime(23, 30));
        QCOMPARE(text("lblPeak"), QStringLiteral("Expected peak BAL: 0.0807 g/100 ml at 00:40 "
                                                 "(next day)"));
        control<QLineEdit>("txtRelease")->setText(QStringLiteral("0.05"));
        QCOMPARE(text("lblRelease"),
                 QStringLiteral("Expected below 0.05 g/100 ml at 02:43 (next day)"));
        // What the window shows is what the run remembers.
        QCOMPARE(settings.portions, 4);
        QCOMPARE(settings.releaseLevel, 0.05f);
    }

    // The captions the lab's instructions name, the window's own (shown whatever the tab) and
    // those of each tab, in any unit of levels they name. Every one has an access key, and no two
    // controls shown together share one; two tabs may, as there are more captions than letters.
    void captionsAndAccessKeysOfEachTab_data()
    {
        QTest::addColumn<QString>("page"); // the tab page's object name; empty: the window's own
        QTest::addColumn<LevelScale>("level");
        QTest::addColumn<QString>("captions"); // joined by "|"
        QTest::newRow("window")
            << "" << LevelScale{}
            << "Sessio&n code:|A&lcohol|Plac&ebo|&Float (ml):|S&tart of drinking:|N&umber of "
               "portions:|Relea&se level (g/100 ml):|&Portions|Readin&gs|&Booster|&Correct...|"
               "&Void...|Change Folder&...|Save Recor&d...|Pr&int...|Print Observer S&heet...|"
               "Cl&ose";
        QTest::newRow("Portions") << "tabPortions" << LevelScale{} << "Served &at:|&Mark Served";
        QTest::newRow("Readings") << "tabReadings" << LevelScale{}
                                  << "Ti&me:|&Reading (g/100 ml):|&Add Reading";
        QTest::newRow("Readings, breath \u00b5g/100 ml")
            << "tabReadings" << LevelScale{LevelUnit::MicrogramsPer100Ml, BreathRatio::Default}
            << "Ti&me:|&Reading (\u00b5g/100 ml):|&Add Reading";
        QTest::newRow("Booster") << "tabBooster" << LevelScale{}
                                 << "Booster drin&king period (min):|Served &at:|&Record Booster "
                                    "Served";
    }
    void captionsAndAccessKeysOfEachTab()
    {
        QFETCH(QString, page);
        QFETCH(LevelScale, level);
        QFETCH(QString, captions);
        DoseInput dose = workedExampleInput();
        dose.level = level;
        openForm(dose);
        const QList<CaptionedControl> controls = captionedControls(form.get());
        QStringList onPage;
        for (const CaptionedControl &captioned : controls) {
            if (captioned.page == page)
                onPage << captioned.caption;
        }
        onPage.sort();
        QStringList expected = captions.split(u'|');
        expected.sort();
        QCOMPARE(onPage, expected);
        const QList<CaptionedControl> shown = shownWith(controls, page);
        const QStringList without = withoutTheirKey(shown);
        QVERIFY2(without.isEmpty(), qPrintable(without.join(QLatin1Char('\n'))));
        const QStringList shared = sharingAKey(shown);
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(QLatin1Char('\n'))));
    }

    // From the keyboard, as the lab's instructions go: on each tab an access key takes the
    // operator to that tab's time field, what is typed replaces its time, and the entry made by
    // the tab's button takes that time exactly, the other tabs' times left as they were. Its
    // field then follows the clock again.
    void eachEntryTakesTheTimeOfItsTab_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys"); // "Alt+..." pressed, anything else typed
        QTest::addColumn<EntryEvent>("event");
        QTest::addColumn<QTime>("at");
        QTest::newRow("a portion served")
            << "C"
            << "tabPortions"
            << "tmeServed"
            << "Alt+A 1302 Alt+M" << EntryEvent::Served << QTime(13, 2);
        QTest::newRow("a reading")
            << "C"
            << "tabReadings"
            << "tmeReading"
            << "Alt+M 1501 Alt+R 0.049 Alt+A" << EntryEvent::Reading << QTime(15, 1);
        QTest::newRow("the booster") << "C"
                                     << "tabBooster"
                                     << "tmeBooster"
                                     << "Alt+A 1500 Alt+R" << EntryEvent::Booster << QTime(15, 0);
        // On a 12-hour clock, as people type times.
        QTest::newRow("a portion served at 120pm")
            << "en_US"
            << "tabPortions"
            << "tmeServed"
            << "Alt+A 120pm Alt+M" << EntryEvent::Served << QTime(13, 20);
        QTest::newRow("a reading at 105pm")
            << "en_US"
            << "tabReadings"
            << "tmeReading"
            << "Alt+M 105pm Alt+R 0.049 Alt+A" << EntryEvent::Reading << QTime(13, 5);
        QTest::newRow("the booster at 2:50p")
            << "en_US"
            << "tabBooster"
            << "tmeBooster"
            << "Alt+A 2:50p Alt+R" << EntryEvent::Booster << QTime(14, 50);
        QTest::newRow("a reading at 301, within the last 12 hours")
            << "en_US"
            << "tabReadings"
            << "tmeReading"
            << "Alt+M 301 Alt+R 0.049 Alt+A" << EntryEvent::Reading << QTime(15, 1);
    }
    void eachEntryTakesTheTimeOfItsTab()
    {
        QFETCH(QString, locale);
        QFETCH(QString, page);
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(EntryEvent, event);
        QFETCH(QTime, at);
        QLocale::setDefault(QLocale(locale));
        openForm();
        addFallingReadings();
        const QList<ClockField *> times = form->findChildren<ClockField *>();
        QCOMPARE(times.size(), 3);
        for (ClockField *time : times)
            time->setTime(QTime(13, 40)); // typed, and none of this entry's
        const qsizetype before = form->session().record().entries.size();
        control<QTabWidget>("tabSession")->setCurrentWidget(control(qPrintable(page)));
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        for (const QString &key : keys.split(u' ')) {
            if (key.startsWith(QLatin1String("Alt+")))
                QTest::keySequence(form.get(), QKeySequence(key));
            else
                QTest::keyClicks(QApplication::focusWidget(), key);
        }
        // A button's access key clicks it a moment later, as the button shows itself pressed.
        QTRY_COMPARE(form->session().record().entries.size(), before + 1);

        const SessionEntry &made = form->session().record().entries.constLast();
        QCOMPARE(made.event, event);
        QCOMPARE(made.values.atMinute.value_or(made.values.servedAtMinute.value_or(-1)),
                 form->session().minuteOf(at));
        for (ClockField *time : times) {
            QCOMPARE(time->isFollowing(), time->objectName() == field);
            if (!time->isFollowing())
                QCOMPARE(time->time(), QTime(13, 40));
        }
        QVERIFY(messages.isEmpty());
    }

    // A time that is none of the forms is refused, naming them, and nothing is entered; the
    // field keeps what was typed.
    void timeNotReadIsRefused()
    {
        openForm();
        const qsizetype before = form->session().record().entries.size();
        auto *served = control<ClockField>("tmeServed");
        served->findChild<QLineEdit *>()->setText(QStringLiteral("1:2O"));
        press("cmdServed");
        QCOMPARE(messages, QStringList{typedTimeMessage(QStringLiteral("Served at"), "1:2O")});
        QCOMPARE(form->session().record().entries.size(), before);
        QCOMPARE(served->text(), QStringLiteral("1:2O"));
    }

    // Return in the start field ends its editing, and the dialog it opens takes the focus, which
    // ends it again: one correction is asked for.
    void returnInTheStartFieldAsksOnce()
    {
        openForm();
        enter("cmdServed", QTime(13, 0));
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto *start = control<QTimeEdit>("tmeStart");
        start->setFocus();
        start->setTime(QTime(13, 5));
        change = [](frmChange &dialog) {
            dialog.show(); // as the modal loop shows it, taking the focus
            dialog.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        };
        QTest::keyClick(start, Qt::Key_Return);
        QCOMPARE(changeTitles, QStringList{"Correct Entry 1"});
        QCOMPARE(start->time(), QTime(13, 0)); // cancelled: the start in force again
    }

    // What is due next is said under the tabs and counted down; when it falls due the window
    // sounds once and its title says so, until it is entered.
    void nextItemDueUnderTheTabs()
    {
        now = QDateTime(QDate::currentDate(), QTime(12, 59, 58));
        openForm();
        QSignalSpy fellDue(form.get(), &frmPlan::itemFellDue);
        auto *line = control<QLabel>("lblNextDue");
        QVERIFY(line->isVisible());
        QCOMPARE(line->text(), QStringLiteral("Next: portion 1 at 13:00, in 0:02"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Session Plan"));
        now = now.addSecs(2);
        QVERIFY(fellDue.wait(3000));
        QCOMPARE(line->text(), QStringLiteral("Due: portion 1 at 13:00, due now"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Due: Session Plan"));
        now = now.addSecs(65);
        QTRY_COMPARE(line->text(), QStringLiteral("Due: portion 1 at 13:00, overdue by 1:05"));
        QCOMPARE(fellDue.size(), 1); // once for the item
        enter("cmdServed", QTime(13, 1));
        QCOMPARE(line->text(), QStringLiteral("Next: portion 2 at 13:13, in 11:55"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Session Plan"));
    }

    // Save Record... answers to Ctrl+S as well as to its access key. Without a session code it
    // asks for one instead of a file.
    void saveRecordByTheKeyboard_data()
    {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::newRow("Ctrl+S") << (Qt::ControlModifier | Qt::Key_S);
        QTest::newRow("access key") << (Qt::AltModifier | Qt::Key_D);
    }
    void saveRecordByTheKeyboard()
    {
        QFETCH(QKeyCombination, keys);
        openForm();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), keys.key(), keys.keyboardModifiers());
        // A button's access key clicks it a moment later, as the button shows itself pressed.
        QTRY_COMPARE(messages, QStringList{sessionCodeMessage(QString())});
    }

    // In a window too small to show it all, what an access key reaches is scrolled into sight:
    // the control given the focus, or a tab with its bar. CTest runs this again at twice the
    // scale.
    void accessKeyBringsItsControlIntoSight_data()
    {
        QTest::addColumn<bool>("fromTheEnd"); // scrolled to the end first, else at the top
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("reached"); // a tab widget: its tab bar
        QTest::newRow("a tab") << false << QStringList{"Alt+G"} << "tabSession";
        QTest::newRow("a time field on the tab chosen")
            << false << QStringList{"Alt+G", "Alt+M"} << "tmeReading";
        QTest::newRow("a field above") << true << QStringList{"Alt+N"} << "txtSessionCode";
    }
    void accessKeyBringsItsControlIntoSight()
    {
        QFETCH(bool, fromTheEnd);
        QFETCH(QStringList, keys);
        QFETCH(QString, reached);
        openForm();
        form->resize(form->minimumSize());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        auto *scroll = control<QScrollArea>("scrContents");
        QScrollBar *bar = scroll->verticalScrollBar();
        bar->setValue(fromTheEnd ? bar->maximum() : bar->minimum());
        QWidget *target = control(qPrintable(reached));
        if (auto *tabs = qobject_cast<QTabWidget *>(target))
            target = tabs->tabBar();
        const auto inSight = [&] {
            const int top = target->mapTo(scroll->viewport(), QPoint(0, 0)).y();
            return top >= 0 && top + target->height() <= scroll->viewport()->height();
        };
        QVERIFY(!inSight());
        for (const QString &key : keys)
            QTest::keySequence(form.get(), QKeySequence(key));
        QVERIFY(inSight());
    }

    // A reading as instruments show it fits its field whole, none of it scrolled out of sight,
    // even in the window at its smallest. CTest runs this again at twice the scale.
    void readingFieldShowsALevelWhole()
    {
        form = std::make_unique<frmPlan>(workedExampleInput(), settings);
        control<QTabWidget>("tabSession")->setCurrentWidget(control("tabReadings"));
        form->resize(form->minimumSize());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        auto *field = control<QLineEdit>("txtReading");
        QVERIFY(field->isVisible());
        field->setText(QStringLiteral("0.0000"));
        // A line edit scrolls its text, to keep the cursor in sight, as it paints it.
        field->setCursorPosition(0);
        field->grab();
        const int first = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
        field->setCursorPosition(int(field->text().size()));
        field->grab();
        field->setSelection(0, int(field->text().size())); // the anchor on the first digit
        QCOMPARE(field->inputMethodQuery(Qt::ImAnchorRectangle).toRect().left(), first);
    }

    // A window as wide as the plan's choices need never scrolls sideways: the entries go above
    // the chart when both do not fit side by side. CTest runs this again at twice the scale.
    void entriesBesideOrAboveTheChart_data()
    {
        QTest::addColumn<int>("wider"); // than the plan's choices need, in lines of text
        QTest::addColumn<bool>("beside");
        QTest::newRow("as wide as the choices need") << 0 << false;
        QTest::newRow("wide") << 40 << true;
    }
    void entriesBesideOrAboveTheChart()
    {
        QFETCH(int, wider);
        QFETCH(bool, beside);
        openForm();
        auto *scroll = control<QScrollArea>("scrContents");
        const QMargins margins = scroll->widget()->layout()->contentsMargins();
        const int needed = control("fraChoices")->minimumSizeHint().width() + margins.left() +
                           margins.right() + form->width() - scroll->viewport()->width();
        form->resize(needed + wider * form->fontMetrics().height(), form->height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        QVERIFY2(scroll->widget()->width() <= scroll->viewport()->width(),
                 qPrintable(QStringLiteral("%1 in %2")
                                .arg(scroll->widget()->width())
                                .arg(scroll->viewport()->width())));
        const QRect entries = control("pnlEntries")->geometry();
        const QRect chart = control("picChart")->geometry();
        QCOMPARE(entries.right() < chart.left(), beside);
    }

    void unusableReleaseLevel_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number")
            << "abc"
            << "ERROR: Release level \"abc\" is not a number. Type digits with \".\" as "
               "the decimal separator and no thousands separators.";
        QTest::newRow("empty") << ""
                               << "ERROR: Release level is empty. Please enter a number.";
        QTest::newRow("zero") << "0"
                              << "ERROR: The release level must be a number above 0 g/100 ml.";
    }
    void unusableReleaseLevel()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        openForm();
        control<QLineEdit>("txtRelease")->setText(typed);
        QVERIFY(control<QLabel>("lblProblem")->isVisible());
        QCOMPARE(text("lblProblem"), message);
        QVERIFY(!control<QLabel>("lblPeak")->isVisible());
        // Nothing is entered, saved or printed by a plan the window does not show.
        QVERIFY(!control("pnlEntries")->isEnabled());
        QVERIFY(!control<QPushButton>("cmdSaveRecord")->isEnabled());
        QVERIFY(!control<QPushButton>("cmdPrint")->isEnabled());
        QCOMPARE(settings.releaseLevel, 0.02f); // the last usable level stays remembered
        // Another choice changed does not make the session take the level typed.
        control<QSpinBox>("spnPortions")->setValue(4);
        QCOMPARE(text("lblProblem"), message);
        QVERIFY(!control<QPushButton>("cmdSaveRecord")->isEnabled());

        control<QLineEdit>("txtRelease")->setText(QStringLiteral("0.03"));
        QVERIFY(!control<QLabel>("lblProblem")->isVisible());
        QVERIFY(control<QPushButton>("cmdPrint")->isEnabled());
    }

    void doseWithoutAPlan()
    {
        // A target level of 0 only covers the elimination: the BAL is never expected to rise.
        DoseInput dose = workedExampleInput();
        dose.state.BAL = 0;
        openForm(dose);
        QCOMPARE(text("lblProblem"), QStringLiteral("ERROR: No session plan for this dose: the "
                                                    "expected peak BAL is not above 0 g/100 ml."));
        QVERIFY(!control<QPushButton>("cmdPrint")->isEnabled());
        QVERIFY(text("lblDoseInputs").contains(QLatin1String("Target BAL 0 g/100 ml")));
    }

    // The dose is shown in the units its height and weight were given in.
    void metricDoseInCentimetresAndKilograms()
    {
        DoseInput dose = workedExampleInput();
        dose.units = BodyUnits::CentimetresKilograms;
        dose.bodyInCm = {178, 80};
        openForm(dose);
        QVERIFY2(
            text("lblDoseInputs").startsWith(QLatin1String("Male, height 178 cm, weight 80 kg")),
            qPrintable(text("lblDoseInputs")));
    }

    // A session as an operator records it: every entry is in the file from the first save on,
    // so what a killed program leaves opens again entry for entry.
    void recordsTheSession_data()
    {
        QTest::addColumn<bool>("placebo");
        QTest::addColumn<LevelScale>("level");
        QTest::addColumn<QStringList>("readings"); // at 14:10, 14:25, 14:40 and 14:55
        QTest::addColumn<QString>("booster");      // the booster tab: pourwise-dose gives the same
        // At 15:05, from 0.05 at 14:55 carried 10 minutes on: 0.0475 g/100 ml.
        QTest::newRow("alcohol") << false << LevelScale{}
                                 << QStringList{"0.06", "0.057", "0.054", "0.05"}
                                 << "Booster estimate: alcohol 29 ml, mixer 174 ml";
        QTest::newRow("alcohol, mg/L at 2000:1")
            << false << LevelScale{LevelUnit::MilligramsPerLitre, 2000}
            << QStringList{"0.3", "0.285", "0.27", "0.25"}
            << "Booster estimate: alcohol 29 ml, mixer 174 ml";
        QTest::newRow("placebo") << true << LevelScale{}
                                 << QStringList{"0.004", "0.003", "0.002", "0"}
                                 << sessionRefusal(SessionFault::BoosterPlacebo).message;
    }
    void recordsTheSession()
    {
        QFETCH(bool, placebo);
        QFETCH(LevelScale, level);
        QFETCH(QStringList, readings);
        QFETCH(QString, booster);
        DoseInput dose = workedExampleInput();
        dose.level = level;
        openForm(dose);
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017 x"));
        QVERIFY(control<QLabel>("lblSessionProblem")->isVisible());
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        QVERIFY(!control<QLabel>("lblSessionProblem")->isVisible());
        if (placebo) {
            control<QRadioButton>("optPlacebo")->setChecked(true);
            control<QSpinBox>("spnFloat")->setValue(5);
        }
        addReading(QTime(14, 10), QStringLiteral("abc"));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QLatin1String("ERROR: Reading \"abc\"")),
                 qPrintable(messages[0]));
        QCOMPARE(control<QLineEdit>("txtReading")->text(), QStringLiteral("abc")); // kept
        QVERIFY(!control<ClockField>("tmeReading")->isFollowing()); // and its time too
        QCOMPARE(initialsAsked, 0);                                 // nothing was entered

        enter("cmdServed", QTime(13, 2));
        // The initials are asked before the first entry, and only then.
        QCOMPARE(initialsAsked, 1);
        QCOMPARE(text("lblOperator"), QStringLiteral("Operator: AB"));
        // After an entry its time field shows the clock again, ready for the next.
        QVERIFY(control<ClockField>("tmeServed")->isFollowing());
        // The plan's choices stay those of what was served.
        QVERIFY(!control<QSpinBox>("spnPortions")->isEnabled());
        for (int i = 0; i < 3; ++i)
            addReading(QTime(14, 10).addSecs(i * 15 * 60), readings[i]);
        QCOMPARE(text("lblDescending"),
                 placebo ? QString() : QStringLiteral("Descending limb shown at 14:40"));
        QCOMPARE(initialsAsked, 1);

        // Saved from the first entry on, in the records folder, named by the code and the day.
        const QString path = defaultRecordPath();
        QCOMPARE(form->session().path(), path);
        QVERIFY(!form->session().hasUnsavedEntries());
        QCOMPARE(questions.size(), 0);
        QCOMPARE(text("lblRecordFile"),
                 QStringLiteral("Every entry is saved to %1.").arg(QDir::toNativeSeparators(path)));
        addReading(QTime(14, 55), readings[3]);
        QVERIFY2(text("lblBooster").startsWith(booster), qPrintable(text("lblBooster")));
        QCOMPARE(control<QPushButton>("cmdBoosterServed")->isEnabled(), !placebo);
        // Its time field takes a time only while there is a booster to serve.
        QCOMPARE(control<ClockField>("tmeBooster")->isEnabled(), !placebo);
        enter("cmdBoosterServed", QTime(15, 0));
        const SessionReport entered = evaluateSession(form->session(), now);
        QCOMPARE(entered.booster() != nullptr, !placebo);
        if (!placebo)
            QCOMPARE(entered.booster()->atMinute, 120);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(entered.readings.size(), 4);
        QCOMPARE(entered.portions[0].served()->atMinute, 2);
        QCOMPARE(entered.portions[0].portion.alcoholMl, placebo ? 5 : 23);

        // What the file holds at any moment is the whole session, as a kill would leave it.
        const RecordReading saved = RecordFile::open(path);
        QVERIFY2(saved.record, qPrintable(saved.error));
        QCOMPARE(saved.check, RecordCheck::Ok);
        QVERIFY(*saved.record == form->session().record());
        QVERIFY(form->close()); // nothing unsaved: no question
        QCOMPARE(questions.size(), 0);

        // Closed, the window gives up the record's lock: it opens again to be added to.
        const std::unique_ptr<frmPlan> reopened = frmPlan::openRecord(path);
        QVERIFY(reopened);
        QVERIFY(reopened->session().record() == saved.record);
        QCOMPARE(reopened->session().state(), RecordState::Saved);
        QVERIFY(reopened->findChild<QPushButton *>("cmdAddReading")->isEnabled());
        QCOMPARE(messages.size(), 1);
    }

    // A record that cannot be added to opens read-only, saying why in a message and on its state
    // line, and a file that is no record opens nothing and says what is wrong; one as saved opens
    // to be added to, as recordsTheSession shows.
    void opensARecord_data()
    {
        QTest::addColumn<QString>("file");    // as ReferenceFiles::bytes gives it
        QTest::addColumn<QString>("around");  // what else there is: another window's lock...
        QTest::addColumn<QString>("message"); // part of it
        QTest::addColumn<QString>("reason");  // on the state line; empty: it opens nothing
        const QString host = QSysInfo::machineHostName();
        const qint64 process = QCoreApplication::applicationPid();
        const QString recorded = QStringLiteral("on the computer %1 (process %2). It opens "
                                                "read-only. If no copy of Pourwise is running on "
                                                "%1, the lock is taken over when the record is "
                                                "opened again.")
                                     .arg(host)
                                     .arg(process);
        QTest::newRow("being recorded by another window")
            << "v2-alcohol.csv"
            << "locked" << recorded << recordLockedReason(host, process);
        QTest::newRow("being recorded by another window through a link")
            << "v2-alcohol.csv"
            << "locked through a link" << recorded << recordLockedReason(host, process);
        QTest::newRow("cut short") << "cut:v2-alcohol.csv"
                                   << ""
                                   << "it was cut short, and entries may be missing at its end"
                                   << recordCheckReason(RecordCheck::Cut);
        QTest::newRow("a blank line after its end row")
            << "blank:v2-alcohol.csv"
            << ""
            << "changed after its end row" << recordCheckReason(RecordCheck::Changed);
        QTest::newRow("a dose the values no longer give")
            << "older:v1-alcohol.csv"
            << ""
            << "(alcohol 65 ml, mixer 390 ml, total 455 ml) differs from the dose the record "
               "saved"
            << recordDoseDiffersReason();
        QTest::newRow("marked read-only (0444)")
            << "v2-alcohol.csv"
            << "read-only"
            << "P-017.csv opens read-only: the file is read-only" << recordReadOnlyFileReason();
        QTest::newRow("a second name (a hard link)")
            << "v2-alcohol.csv"
            << "hard link"
            << "the file has 2 names (hard links)" << recordHardLinkedReason(2);
        QTest::newRow("a folder in its lock's place")
            << "v2-alcohol.csv"
            << "lock folder"
            << "is a folder, not a file, so no lock can be taken"
            << "lock folder";
        QTest::newRow("not a record") << "garbage:v2-alcohol.csv"
                                      << ""
                                      << "ERROR: "
                                      << "";
    }
    void opensARecord()
    {
        QFETCH(QString, file);
        QFETCH(QString, around);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(ReferenceFiles::makeFiles(QDir(folder.path()), {"P-017.csv=" + file}));
        const QString path = folder.filePath(QStringLiteral("P-017.csv"));
        const QString link = folder.filePath(QStringLiteral("link.csv"));
        std::optional<RecordLock> other;
        if (around == QLatin1String("locked")) {
            other.emplace(path);
        } else if (around == QLatin1String("locked through a link")) {
            QVERIFY(QFile::link(path, link));
            other.emplace(link);
        } else if (around == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(path,
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else if (around == QLatin1String("hard link")) {
            QVERIFY(::link(QFile::encodeName(path).constData(),
                           QFile::encodeName(folder.filePath(QStringLiteral("P-017 copy.csv")))
                               .constData()) == 0);
        } else if (around == QLatin1String("lock folder")) {
            QVERIFY(QDir().mkpath(RecordLock::lockPath(path)));
            reason =
                recordLockNotAFileReason(RecordLock::lockPath(path), QStringLiteral("a folder"));
        }
        if (other)
            QVERIFY(other->tryLock());

        const std::unique_ptr<frmPlan> opened = frmPlan::openRecord(path);
        // A version-1 file is noted as such first.
        const bool firstVersion = file.contains(QLatin1String("v1-")) && !reason.isEmpty();
        QCOMPARE(messages.size(), firstVersion ? 2 : 1);
        if (firstVersion)
            QCOMPARE(messages[0], recordUnverifiedMessage(path));
        QVERIFY2(messages.constLast().contains(message), qPrintable(messages.constLast()));
        QCOMPARE(opened != nullptr, !reason.isEmpty());
        if (!opened)
            return;
        QCOMPARE(opened->session().state(), RecordState::ReadOnly);
        QCOMPARE(control<QLabel>("lblRecordFile", opened.get())->text(),
                 QStringLiteral("Read-only: %1: %2.").arg(QDir::toNativeSeparators(path), reason));
        QVERIFY(!control<QPushButton>("cmdAddReading", opened.get())->isEnabled());
        // Nobody is asked for initials, since no entry can be made.
        QCOMPARE(control<QLabel>("lblOperator", opened.get())->text(),
                 QStringLiteral("Operator: none, the record is read-only"));
        // Nor is it saved again, where a new end row would vouch for it.
        QCOMPARE(control<QPushButton>("cmdSaveRecord", opened.get())->text(),
                 QStringLiteral("Save Recor&d As..."));
        QVERIFY(!control<QPushButton>("cmdSaveRecord", opened.get())->isEnabled());
        QVERIFY(!opened->saveRecordAs(folder.filePath(QStringLiteral("copy.csv"))));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("copy.csv"))));
    }

    // Correct... and Void... act on the entry selected in the tab shown, with the values and the
    // reason typed in their dialog, which stays open on a refusal; the lists show every entry as
    // it is now, and History every row of the record saved.
    void correctAndVoidTheSelectedEntry()
    {
        openForm();
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-021"));
        for (const QTime &at : {QTime(13, 0), QTime(13, 13), QTime(13, 26)})
            enter("cmdServed", at);
        control<QTabWidget>("tabSession")->setCurrentWidget(control("tabPortions"));
        selectRow("grdPortions", 2);
        change = [this](frmChange &dialog) {
            dialog.cmdOK_Click(); // no reason: refused, and the dialog stays
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            control<QComboBox>("cboReason", &dialog)->setCurrentIndex(1); // "wrong time"
            dialog.cmdOK_Click();
        };
        press("cmdVoid");
        QCOMPARE(messages, QStringList{sessionRefusal(SessionFault::ReasonMissing).message});
        QCOMPARE(rows("grdPortions").value(2),
                 QStringLiteral("3|13:27|22|136|158|not yet|served at 13:26, voided"));

        addFallingReadings();
        enter("cmdBoosterServed", QTime(15, 0));
        // From 0.054 at 14:40 carried to 15:00: 0.049.
        QCOMPARE(rows("grdBoosters"), QStringList{"12|15:00|10|28|168|196|"});
        QVERIFY2(
            text("lblBoosterCourse").startsWith(QLatin1String("Expected peak after the booster")),
            qPrintable(text("lblBoosterCourse")));
        // The bold lines name the booster's times; the plan's stay on the Booster tab alone.
        QCOMPARE((QStringList{text("lblPeak"), text("lblRelease"), text("lblZero")}),
                 (QStringList{"Expected peak BAL: 0.0794 g/100 ml at 15:40",
                              "Expected below 0.02 g/100 ml at 19:38", "Expected zero at 20:58"}));
        QVERIFY2(
            text("lblBoosterCourse")
                .endsWith(QLatin1String("Planned before the booster: peak 0.0807 g/100 ml at "
                                        "14:10, below 0.02 g/100 ml at 18:13, zero at 19:33.")),
            qPrintable(text("lblBoosterCourse")));
        control<QTabWidget>("tabSession")->setCurrentWidget(control("tabReadings"));
        selectRow("grdReadings", 2);
        answerChange(QStringLiteral("0.05"), QStringLiteral("mistyped value"));
        press("cmdCorrect");
        selectRow("grdReadings", 1);
        answerChange({}, QStringLiteral("entered for the wrong session"));
        press("cmdVoid");
        QCOMPARE(changeTitles, (QStringList{"Void Entry 7", "Correct Entry 11", "Void Entry 10"}));
        // The entry, its time and level as in force, and what became of it.
        QStringList readings;
        for (const QString &row : rows("grdReadings").mid(1))
            readings << QStringList{row.section(u'|', 0, 2), row.section(u'|', 6)}.join(u'|');
        QCOMPARE(readings, (QStringList{"10|14:25|0.057|voided", "11|14:40|0.05|corrected"}));
        QVERIFY(!control<QPushButton>("cmdCorrect")->isEnabled()); // a voided entry is selected

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("P-021.csv"));
        QVERIFY(form->saveRecordAs(path));
        const std::unique_ptr<frmHistory> history = frmHistory::openRecord(path);
        QVERIFY(history);
        const QStringList listed = rows("grdHistory", -1, history.get());
        QCOMPARE(listed.size(), 14);
        QCOMPARE(listed.constLast().section(u'|', 3, 4),
                 QStringLiteral("void|entry 10 voided. Reason: entered for the wrong session."));
        form.reset(); // its lock goes before its folder
    }

    // A reading's time corrected keeps its level to the bit, though the dialog shows it with
    // fewer digits than it was typed with.
    void correctionKeepsWhatIsNotTyped()
    {
        openForm();
        addReading(QTime(14, 10), QStringLiteral("0.15324968"));
        control<QTabWidget>("tabSession")->setCurrentWidget(control("tabReadings"));
        selectRow("grdReadings", 0);
        change = [this](frmChange &dialog) {
            control<ClockField>("tmeChangeTime", &dialog)->setTime(QTime(14, 12));
            control<QComboBox>("cboReason", &dialog)->setCurrentIndex(1); // "wrong time"
            dialog.cmdOK_Click();
        };
        press("cmdCorrect");
        const SessionEntry &correction = form->session().record().entries.constLast();
        QCOMPARE(correction.event, EntryEvent::Correction);
        QCOMPARE(correction.values.level, std::optional(0.15324968f));
    }

    // An entry refused is told, and one asked about is made only when the question is answered
    // Yes. Either way nothing is entered, and the time and the reading stay as typed, for the
    // entry to be made again.
    void entryNotMade_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QTime>("at");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("refusal"); // its start; empty: none
        QTest::addColumn<QString>("question");
        QTest::newRow("refused: a reading ahead of the clock")
            << "cmdAddReading" << QTime(15, 11) << "0.05"
            << "ERROR: 15:11 is more than 5 minutes after the time now"
            << "";
        QTest::newRow("No: a reading far above the peak")
            << "cmdAddReading" << QTime(14, 50) << "0.6"
            << ""
            << "Record a reading of 0.6";
        QTest::newRow("No: a booster over a protocol's limit")
            << "cmdBoosterServed" << QTime(15, 0) << "0.05"
            << ""
            << "WARNING: With this booster: ";
    }
    void entryNotMade()
    {
        QFETCH(QString, button);
        QFETCH(QTime, at);
        QFETCH(QString, reading);
        QFETCH(QString, refusal);
        QFETCH(QString, question);
        openForm(workedExampleInput(), armA(600)); // the dose passes; with the booster it does not
        addFallingReadings();
        const SessionRecord before = form->session().record();
        answer = QMessageBox::No;
        control<QLineEdit>("txtReading")->setText(reading);
        enter(qPrintable(button), at);
        QCOMPARE(messages.size(), refusal.isEmpty() ? 0 : 1);
        QCOMPARE(questions.size(), question.isEmpty() ? 0 : 1);
        const QString told = messages.value(0) + questions.value(0);
        QVERIFY2(told.startsWith(refusal + question), qPrintable(told));
        QVERIFY(form->session().record() == before);
        QCOMPARE(control<QLineEdit>("txtReading")->text(), reading);
        QVERIFY(!timeOf(qPrintable(button))->isFollowing());
    }

    // A new session is saved from its first entry on, in the records folder (the documents'
    // "Pourwise Records" until another is chosen) as "<code>-<yyyy-mm-dd>.csv"; the window says
    // where beforehand. The code is typed, or asked for with the initials.
    void savedFromTheFirstEntry_data()
    {
        QTest::addColumn<QString>("typed"); // in the session code field
        QTest::addColumn<QString>("asked"); // given in the initials' dialog; empty: not asked
        QTest::addColumn<QString>(
            "chosen"); // by Change Folder..., under the documents; empty: none
        QTest::newRow("code typed, default folder") << "P-017"
                                                    << ""
                                                    << "";
        QTest::newRow("code asked with the initials") << ""
                                                      << "S_42"
                                                      << "";
        QTest::newRow("code not usable as typed: asked") << "P 17"
                                                         << "P-17"
                                                         << "";
        QTest::newRow("folder changed") << "P-017"
                                        << ""
                                        << "chosen";
    }
    void savedFromTheFirstEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QString, asked);
        QFETCH(QString, chosen);
        openForm();
        sessionCodeGiven = asked;
        QStringList startedIn;
        const QString folder = QDir(documents->path()).filePath(chosen);
        form->setFolderChooser([&](QWidget *, const QString &start) {
            startedIn << start;
            return folder;
        });
        control<QLineEdit>("txtSessionCode")->setText(typed);
        const QString code = asked.isEmpty() ? typed : asked;
        QString path = defaultRecordPath(code);
        if (!chosen.isEmpty()) {
            QVERIFY(QDir().mkpath(folder));
            press("cmdChangeFolder");
            // The default folder is not made yet: the chooser starts in the documents.
            QCOMPARE(startedIn, QStringList{documents->path()});
            path = RecordPlace::pathIn(folder, form->session().record());
        }
        // Until the session has a code, where it goes in the name is shown.
        const QString shown =
            asked.isEmpty() ? path : QString(path).replace(code, "<session code>");
        QCOMPARE(text("lblRecordPlace"),
                 QStringLiteral("The record will be saved as %1 at the first entry.")
                     .arg(QDir::toNativeSeparators(shown)));
        QVERIFY(control<QPushButton>("cmdChangeFolder")->isVisible());
        QVERIFY(!control<QLabel>("lblRecordFile")->isVisible());

        enter("cmdServed", QTime(13, 2));
        QCOMPARE(messages, QStringList());
        QCOMPARE(initialsAsked, 1); // one dialog, for the code and the initials alike
        QCOMPARE(control<QLineEdit>("txtSessionCode")->text(), code);
        QCOMPARE(form->session().state(), RecordState::Saved);
        QCOMPARE(form->session().path(), path);
        const RecordReading saved = RecordFile::open(path);
        QVERIFY2(saved.record, qPrintable(saved.error));
        QCOMPARE(saved.check, RecordCheck::Ok);
        QVERIFY(*saved.record == form->session().record());
        QCOMPARE(saved.record->entries.constLast().event, EntryEvent::Served);
        QCOMPARE(text("lblRecordFile"),
                 QStringLiteral("Every entry is saved to %1.").arg(QDir::toNativeSeparators(path)));
        QVERIFY(!control<QPushButton>("cmdChangeFolder")->isVisible());
        QCOMPARE(control<QPushButton>("cmdSaveRecord")->text(),
                 QStringLiteral("Save Recor&d As..."));
        QCOMPARE(form->recordFolder(), QFileInfo(path).absolutePath()); // remembered by the run
    }

    // A first entry whose record could not be saved where it is to go is not made: a file of
    // that name is there already, or the code given with the initials is not one. Nothing is
    // entered, the file stays as it was, and another code is taken.
    void firstEntryRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("fileThere");
        QTest::newRow("a file of that name there") << "P-017"
                                                   << "" << true;
        QTest::newRow("code given with the initials not one") << ""
                                                              << "P 17" << false;
    }
    void firstEntryRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, asked);
        QFETCH(bool, fileThere);
        openForm();
        sessionCodeGiven = asked;
        control<QLineEdit>("txtSessionCode")->setText(typed);
        const QString path = defaultRecordPath();
        if (fileThere) {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile other(path);
            QVERIFY(other.open(QIODevice::WriteOnly) && other.write("another session") > 0);
        }
        const SessionRecord before = form->session().record();
        enter("cmdServed", QTime(13, 2));
        QCOMPARE(messages, QStringList{fileThere ? recordPlaceTakenMessage(path)
                                                 : sessionCodeMessage(asked)});
        QVERIFY(form->session().record() == before);
        QCOMPARE(form->session().state(), RecordState::NotSaved);
        QVERIFY(!timeOf("cmdServed")->isFollowing()); // its time kept to enter it again
        if (fileThere)
            QCOMPARE(ReferenceFiles::contentOf(path), QByteArray("another session"));

        messages.clear();
        sessionCodeGiven = QStringLiteral("P-018");
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-018"));
        press("cmdServed");
        QCOMPARE(messages, QStringList());
        QCOMPARE(form->session().path(), defaultRecordPath(QStringLiteral("P-018")));
    }

    // A first entry whose record cannot be saved in the records folder (no rights there, or a
    // file where the folder would be made) is kept in the window, unsaved, and the operator is
    // told; Save Record As... or Change Folder... then saves every entry elsewhere, where the
    // record goes on.
    void firstEntryNotSaved_data()
    {
        QTest::addColumn<QString>("folder"); // "read-only": no rights to write in it
        QTest::addColumn<QString>("then");   // "Save Record As..." or "Change Folder..."
        QTest::newRow("read-only folder, then Save Record As...") << "read-only"
                                                                  << "Save Record As...";
        QTest::newRow("a file in the way, then Save Record As...") << "a file in the way"
                                                                   << "Save Record As...";
        QTest::newRow("a file in the way, then Change Folder...") << "a file in the way"
                                                                  << "Change Folder...";
    }
    void firstEntryNotSaved()
    {
        QFETCH(QString, folder);
        QFETCH(QString, then);
        const WithoutFileRights withoutRights;
        if (folder == QLatin1String("read-only") && !withoutRights.applies())
            QSKIP(WithoutFileRights::skipReason);
        openForm();
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        const QString records = QDir(documents->path()).filePath(QStringLiteral("records"));
        QString reason;
        if (folder == QLatin1String("read-only")) {
            QVERIFY(QDir().mkpath(records));
            QVERIFY(QFile::setPermissions(records, QFile::ReadOwner | QFile::ExeOwner));
            form->setRecordFolder(records);
        } else {
            QFile inTheWay(records);
            QVERIFY(inTheWay.open(QIODevice::WriteOnly));
            form->setRecordFolder(records + QStringLiteral("/lab"));
            reason = recordFolderNotMadeReason(records + QStringLiteral("/lab"));
        }
        const QString path = form->newRecordPath();

        enter("cmdServed", QTime(13, 2));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QLatin1String("ERROR: The session record could not be "
                                                      "saved as ")),
                 qPrintable(messages[0]));
        if (!reason.isEmpty())
            QCOMPARE(messages[0], recordSaveMessage(path, reason));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(form->session().state(), RecordState::NotSaved);
        QVERIFY(form->session().hasUnsavedEntries());
        QCOMPARE(form->session().record().entries.constLast().event, EntryEvent::Served); // kept
        QCOMPARE(text("lblRecordPlace"),
                 QStringLiteral("The entries could not be saved as %1: Change Folder... or Save "
                                "Record As... saves them elsewhere.")
                     .arg(QDir::toNativeSeparators(path)));
        QCOMPARE(control<QPushButton>("cmdSaveRecord")->text(),
                 QStringLiteral("Save Recor&d As..."));
        // Typing in the code field tries no save: one message per entry, not per key.
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-0171"));
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        QCOMPARE(messages.size(), 1);
        answer = QMessageBox::Cancel; // closing asks, as entries are not saved
        QVERIFY(!form->close());

        QTemporaryDir elsewhere;
        QString saved = elsewhere.filePath(QStringLiteral("P-017 elsewhere.csv"));
        if (then == QLatin1String("Save Record As..."))
            QVERIFY(form->saveRecordAs(saved));
        else {
            form->setFolderChooser([&](QWidget *, const QString &) { return elsewhere.path(); });
            press("cmdChangeFolder");
            saved = RecordPlace::pathIn(elsewhere.path(), form->session().record());
        }
        QCOMPARE(messages.size(), 1);
        QCOMPARE(form->session().state(), RecordState::Saved);
        QCOMPARE(form->session().path(), saved);
        QVERIFY(!form->session().hasUnsavedEntries());
        addReading(QTime(14, 10), QStringLiteral("0.06"));
        QVERIFY(*RecordFile::open(saved).record == form->session().record());
        form.reset(); // its lock goes before its folder
        QFile::setPermissions(records, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Entries that could not be saved are never said to be: the state line says so until a later
    // entry saves them all.
    void saveFailureIsShown()
    {
        openForm();
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        QTemporaryDir temp;
        const QString folder = temp.filePath(QStringLiteral("records"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/P-017.csv");
        // A file already there, another session's record say, is never replaced.
        QFile other(path);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("another session") > 0);
        other.close();
        QVERIFY(!form->saveRecordAs(path));
        QCOMPARE(messages, QStringList{recordExistsMessage(path)});
        QCOMPARE(ReferenceFiles::contentOf(path), QByteArray("another session"));
        QVERIFY(QFile::remove(path));
        messages.clear();
        QVERIFY(form->saveRecordAs(path));
        QCOMPARE(control<QPushButton>("cmdSaveRecord")->text(),
                 QStringLiteral("Save Recor&d As..."));
        // The disk full: nothing more can be written there.
        auto full = std::make_unique<FaultyDisk>(FaultyDisk::Fault::Full);
        enter("cmdServed", QTime(13, 0));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QLatin1String("ERROR: The session record could not be "
                                                      "saved as ")),
                 qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(QLatin1String("No space left on device")),
                 qPrintable(messages[0]));
        const QString notSaved = QStringLiteral("The last entries could not be saved to %1.")
                                     .arg(QDir::toNativeSeparators(path));
        QCOMPARE(text("lblRecordFile"), notSaved);
        addReading(QTime(14, 10), QStringLiteral("0.06")); // fails again
        QCOMPARE(text("lblRecordFile"), notSaved);
        // Closing asks, since entries are not saved; Cancel keeps the window.
        answer = QMessageBox::Cancel;
        QVERIFY(!form->close());

        full.reset(); // room again
        answer = QMessageBox::Yes;
        addReading(QTime(14, 25), QStringLiteral("0.057"));
        QCOMPARE(text("lblRecordFile"),
                 QStringLiteral("Every entry is saved to %1.").arg(QDir::toNativeSeparators(path)));
        const RecordReading saved = RecordFile::open(path);
        QVERIFY2(saved.record, qPrintable(saved.error));
        QVERIFY(*saved.record == form->session().record());
        form.reset();
    }

    // A window records into its file only while the file is as it last read or wrote it and its
    // lock is its own. Otherwise it stops recording and says why, keeps every entry, and Save
    // Record As... gives the record a new file, where recording goes on under a new lock.
    void recordingStops_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what befell the file after the first save
        QTest::addColumn<QString>("reason");    // %1: the lock file

        QTest::newRow("another window saved it through a link")
            << "saved" << recordChangedUnderReason();
        QTest::newRow("its lock deleted, and taken by another window")
            << "lock taken" << recordLockLostReason(QStringLiteral("%1"));
        QTest::newRow("its lock deleted")
            << "lock deleted" << recordLockLostReason(QStringLiteral("%1"));
        QTest::newRow("a second name made (a hard link)")
            << "hard link" << recordHardLinkedReason(2);
        QTest::newRow("edited by another program") << "edited" << recordChangedUnderReason();
        QTest::newRow("deleted") << "deleted" << recordGoneReason();
        QTest::newRow("marked read-only") << "read-only" << recordReadOnlyFileReason();
    }
    void recordingStops()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = defaultRecordPath(); // where the first entry saved it
        const QString link = folder.filePath(QStringLiteral("link.csv"));
        openForm();
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        enter("cmdServed", QTime(13, 0));
        QCOMPARE(form->session().path(), path);
        std::optional<RecordLock> otherLock;
        if (meanwhile == QLatin1String("saved")) {
            // Another window, opened through a link, that could take no lock of its own.
            QVERIFY(QFile::link(path, link));
            QVERIFY(!RecordLock(link).tryLock());
            SessionRecord theirs = *RecordFile::open(link).record;
            theirs.entries << theirs.entries.constLast();
            theirs.entries.last().entry += 1;
            QCOMPARE(RecordFile::save(link, theirs), QString());
        } else if (meanwhile.startsWith(QLatin1String("lock"))) {
            QVERIFY(QFile::remove(RecordLock::lockPath(path)));
            if (meanwhile == QLatin1String("lock taken")) {
                QTest::qWait(20);
                otherLock.emplace(path);
                QVERIFY(otherLock->tryLock());
            }
        } else if (meanwhile == QLatin1String("hard link")) {
            QCOMPARE(
                ::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()),
                0);
        } else if (meanwhile == QLatin1String("edited")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append) && file.write("\r\n") == 2);
        } else if (meanwhile == QLatin1String("deleted")) {
            QVERIFY(QFile::remove(path));
        } else if (meanwhile == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(path,
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        const QByteArray theirs = ReferenceFiles::contentOf(path);
        messages.clear();

        addReading(QTime(14, 10), QStringLiteral("0.06"));
        const QString why = reason.contains(QLatin1String("%1"))
                                ? reason.arg(QDir::toNativeSeparators(RecordLock::lockPath(path)))
                                : reason;
        QCOMPARE(messages, QStringList{recordStoppedMessage(path, why)});
        QCOMPARE(ReferenceFiles::contentOf(path), theirs); // never written over
        QCOMPARE(form->session().state(), RecordState::ReadOnly);
        QVERIFY(form->session().hasUnsavedEntries());
        QVERIFY2(text("lblRecordFile").startsWith(QLatin1String("Recording stopped: ")),
                 qPrintable(text("lblRecordFile")));
        QVERIFY(!control<QPushButton>("cmdAddReading")->isEnabled());
        const SessionRecord kept = form->session().record();
        QCOMPARE(kept.entries.constLast().values.level, std::optional(0.06f));
        // Its lock, if it is still its own, is given up; another window's is left alone.
        QCOMPARE(QFileInfo::exists(RecordLock::lockPath(path)), otherLock.has_value());

        // Closing asks, as entries are not saved.
        answer = QMessageBox::Cancel;
        QVERIFY(!form->close());
        const QString moved = folder.filePath(QStringLiteral("P-017 continued.csv"));
        QVERIFY(form->saveRecordAs(moved));
        const RecordReading saved = RecordFile::open(moved);
        QVERIFY2(saved.record, qPrintable(saved.error));
        QVERIFY(*saved.record == kept);
        QCOMPARE(form->session().state(), RecordState::Saved);
        QCOMPARE(form->session().path(), moved);
        QVERIFY(QFileInfo::exists(RecordLock::lockPath(moved)));
        addReading(QTime(14, 25), QStringLiteral("0.057"));
        QVERIFY(*RecordFile::open(moved).record == form->session().record());
        QCOMPARE(ReferenceFiles::contentOf(path), theirs);
        form.reset(); // its lock goes before its folder
    }

    // Save Record As... of a window that records writes the whole record to a new file and goes
    // on recording into its own; a file there already is never replaced.
    void saveRecordAsKeepsACopy()
    {
        QTemporaryDir folder;
        const QString path = defaultRecordPath(); // where the first entry saved it
        const QString copy = folder.filePath(QStringLiteral("P-017 copy.csv"));
        openForm();
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        enter("cmdServed", QTime(13, 0));
        QCOMPARE(form->session().path(), path);
        addReading(QTime(14, 10), QStringLiteral("0.06"));
        QVERIFY(form->saveRecordAs(copy));
        QVERIFY(*RecordFile::open(copy).record == form->session().record());
        QVERIFY(!QFileInfo::exists(RecordLock::lockPath(copy)));
        QVERIFY(!form->saveRecordAs(copy));
        QCOMPARE(messages, QStringList{recordExistsMessage(copy)});
        addReading(QTime(14, 25), QStringLiteral("0.057"));
        QCOMPARE(form->session().path(), path);
        QVERIFY(*RecordFile::open(path).record == form->session().record());
        QCOMPARE(RecordFile::open(copy).record->entries.size(),
                 form->session().record().entries.size() - 1);
        form.reset();
    }

    // A version-1 record opens to be added to, with a note that whether it is whole cannot be
    // checked; its first entry asks before the file becomes version 2, No leaves the file as it
    // was, and Yes notes in its history that it was continued from version 1.
    void versionOneRecordAsksFirst()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("P-017.csv"));
        QVERIFY(ReferenceFiles::makeFiles(QDir(folder.path()), {"P-017.csv=v1-alcohol.csv"}));
        const QByteArray before = ReferenceFiles::contentOf(path);
        form = frmPlan::openRecord(path);
        QVERIFY(form);
        useTheTestClock(*form);
        QCOMPARE(messages, QStringList{recordUnverifiedMessage(path)});
        QVERIFY2(messages[0].contains(QLatin1String(
                     "version 1: it has no end row, so whether it is whole cannot be checked")),
                 qPrintable(messages[0]));
        QCOMPARE(form->session().state(), RecordState::Saved);
        const qsizetype entries = form->session().record().entries.size();

        answer = QMessageBox::No;
        addReading(QTime(16, 0), QStringLiteral("0.03"));
        QCOMPARE(questions, QStringList{recordVersionQuestion(path)});
        QVERIFY2(questions[0].contains(recordVersionOneNote()), qPrintable(questions[0]));
        QCOMPARE(ReferenceFiles::contentOf(path), before);
        QCOMPARE(form->session().record().entries.size(), entries);

        answer = QMessageBox::Yes;
        addReading(QTime(16, 0), QStringLiteral("0.03"));
        QCOMPARE(questions.size(), 2);
        addReading(QTime(16, 15), QStringLiteral("0.025"));
        QCOMPARE(questions.size(), 2); // asked once
        QCOMPARE(messages.size(), 1);
        const RecordReading saved = RecordFile::open(path);
        QCOMPARE(saved.version(), RecordVersion::Current);
        QCOMPARE(saved.check, RecordCheck::Ok);
        QVERIFY(*saved.record == form->session().record());
        // The continuation, then the two readings.
        QCOMPARE(saved.record->entries.size(), entries + 3);
        const SessionEntry &continued = saved.record->entries[entries];
        QCOMPARE(continued.event, EntryEvent::Correction);
        QCOMPARE(continued.corrects, 1);
        QCOMPARE(continued.reason, QStringLiteral("continued_from_version1"));
        QCOMPARE(continued.operatorInitials, QStringLiteral("AB"));
        form.reset(); // its lock goes before its folder
    }

    // A record of many thousands of entries opens, shows every entry and takes the next one, its
    // report worked out away from the window's thread.
    void largeRecord()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("P-017.csv"));
        SessionRecord record =
            *RecordReader::read(ReferenceFiles::bytes(QStringLiteral("v2-alcohol.csv")), path)
                 .record;
        const SessionEntry last = record.entries.constLast();
        for (int i = 0; i < 12000; ++i) {
            SessionEntry reading = last;
            reading.entry = last.entry + 1 + i;
            reading.event = EntryEvent::Reading;
            reading.corrects = 0;
            reading.reason.clear();
            reading.values = EntryValues{300 + i, 0.001f * float(i % 20), {}, {}, {}, {}};
            record.entries << reading;
        }
        QVERIFY(RecordFile::save(path, record).isEmpty());
        form = frmPlan::openRecord(path);
        QVERIFY(form);
        useTheTestClock(*form);
        QVERIFY(messages.isEmpty());
        const qsizetype readings = evaluateSession(form->session(), now).readings.size();
        QVERIFY(readings > 12000);
        QCOMPARE(control<QTreeWidget>("grdReadings")->topLevelItemCount(), readings);
        addReading(QTime(16, 0), QStringLiteral("0.03"));
        QCOMPARE(control<QTreeWidget>("grdReadings")->topLevelItemCount(), readings + 1);
        const RecordReading saved = RecordFile::open(path);
        QVERIFY2(saved.record, qPrintable(saved.error));
        QCOMPARE(saved.record->entries.size(), record.entries.size() + 1);
        QVERIFY(*saved.record == form->session().record());
        form.reset(); // its lock goes before its folder
    }

    // The start and the release level, typed once the session has entries, are corrections of
    // its setup, each with its reason; cancelled, the fields show the setup again.
    void setupCorrectedOnceFixed_data()
    {
        QTest::addColumn<bool>("accepted");
        QTest::newRow("corrected") << true;
        QTest::newRow("cancelled") << false;
    }
    void setupCorrectedOnceFixed()
    {
        QFETCH(bool, accepted);
        openForm();
        enter("cmdServed", QTime(13, 0));
        auto *release = control<QLineEdit>("txtRelease");
        release->setText(QStringLiteral("0.03"));
        if (accepted)
            answerChange({}, QStringLiteral("the protocol's release level"));
        emit release->editingFinished();
        QCOMPARE(changeTitles, QStringList{"Correct Entry 1"});
        const SessionReport report = evaluateSession(form->session(), now);
        QCOMPARE(report.releaseBal, accepted ? 0.03f : 0.02f);
        QCOMPARE(release->text(), accepted ? QStringLiteral("0.03") : QStringLiteral("0.02"));
        QCOMPARE(text("lblRelease").startsWith(QLatin1String("Expected below 0.03")), accepted);
        QCOMPARE(settings.releaseLevel, 0.02f); // a correction is the session's alone
    }

    // Under a protocol that asks for two readings at the release level, the window waits for the
    // second, as the session's report does.
    void releaseWaitsForTheProtocolsReadings()
    {
        now = QDateTime(QDate::currentDate(), QTime(16, 50));
        SessionProtocol twoReadings = armA(600);
        twoReadings.protocol->release.confirmingReadings = 2;
        openForm(workedExampleInput(), twoReadings);
        addFallingReadings();
        addReading(QTime(16, 30), QStringLiteral("0.019"));
        const QString waiting = text("lblReleaseReading");
        QVERIFY2(waiting.startsWith(QLatin1String("Release level reached once (0.019 at 16:30)")),
                 qPrintable(waiting));
        addReading(QTime(16, 40), QStringLiteral("0.018"));
        QCOMPARE(text("lblReleaseReading"),
                 QStringLiteral("Release level reached at 16:40 (0.018)"));
    }

    // Under the course lines, the personal forecast once the readings show the limb, and under
    // the chart what the band assumes; the chart's description says both.
    void showsThePersonalForecast()
    {
        now = QDateTime(QDate::currentDate(), QTime(15, 20));
        openForm();
        QVERIFY(control<QLabel>("lblBandNote")->isVisible());
        QCOMPARE(text("lblBandNote"), SessionText::bandNote());
        // From the third reading, which shows the limb, on.
        const std::tuple<QTime, const char *, bool> readings[] = {{QTime(14, 10), "0.080", false},
                                                                  {QTime(14, 25), "0.077", false},
                                                                  {QTime(14, 40), "0.073", true},
                                                                  {QTime(14, 55), "0.069", true},
                                                                  {QTime(15, 10), "0.066", true}};
        for (const auto &[at, level, shown] : readings) {
            addReading(at, QString::fromLatin1(level));
            QCOMPARE(control<QLabel>("lblPersonal")->isVisible(), shown);
        }
        const QString personal = text("lblPersonal");
        QVERIFY2(personal.startsWith(QLatin1String("Personal forecast from 5 readings: falling "
                                                   "0.0155 g/100 ml per hour")),
                 qPrintable(personal));
        QVERIFY(control<BalChart>("picChart")->accessibleDescription().contains(personal));
        QVERIFY(control<BalChart>("picChart")
                    ->accessibleDescription()
                    .endsWith(SessionText::bandNote()));
    }

    // A placebo session shows what is poured and nothing that tells the alcohol dose or its
    // course.
    void placeboShowsNoDose()
    {
        openForm();
        control<QRadioButton>("optPlacebo")->setChecked(true);
        control<QSpinBox>("spnFloat")->setValue(5);
        const QString dose = text("lblDoseVolumes");
        QVERIFY2(!dose.contains(QLatin1String("alcohol 68 ml")), qPrintable(dose));
        QVERIFY2(dose.startsWith(QLatin1String("Placebo: 5 ml")), qPrintable(dose));
        for (const char *line : {"lblPeak", "lblRelease", "lblZero", "lblBandNote"})
            QVERIFY(!control<QLabel>(line)->isVisible());
        QVERIFY(control<QLabel>("lblPlacebo")->isVisible());
        QCOMPARE(control<BalChart>("picChart")->accessibleDescription(),
                 SessionText::placeboNote());
    }

    // The protocol is always named, and a reopened record is judged by its limits only when the
    // protocol open now is the very file it was recorded under.
    void protocolNamed_data()
    {
        QTest::addColumn<bool>("underArmA");     // else under none
        QTest::addColumn<QByteArray>("openNow"); // the file of the protocol open now
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("judged"); // its limits judge the dose again
        QTest::newRow("none") << false << QByteArray("arm A") << "Protocol: none" << false;
        QTest::newRow("the same file") << true << QByteArray("arm A") << "Protocol: Arm A" << true;
        QTest::newRow("another file")
            << true << QByteArray("arm B")
            << "Recorded under the protocol \"Arm A\"; its limits are not checked now. Open that "
               "protocol's file to check them."
            << false;
    }
    void protocolNamed()
    {
        QFETCH(bool, underArmA);
        QFETCH(QByteArray, openNow);
        QFETCH(QString, line);
        QFETCH(bool, judged);
        // The dose's 476 ml is over Arm A's limit.
        openForm(workedExampleInput(), underArmA ? armA(400) : SessionProtocol{});
        QCOMPARE(text("lblProtocolName"),
                 underArmA ? QStringLiteral("Protocol: Arm A") : QStringLiteral("Protocol: none"));
        QCOMPARE(control<QLabel>("lblProtocol")->isVisible(), underArmA);
        control<QLineEdit>("txtSessionCode")->setText(QStringLiteral("P-017"));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("P-017.csv"));
        QVERIFY(form->saveRecordAs(path));
        form.reset();

        const std::unique_ptr<frmPlan> reopened = frmPlan::openRecord(path, armA(400, openNow));
        QVERIFY(reopened);
        reopened->show();
        QCOMPARE(control<QLabel>("lblProtocolName", reopened.get())->text(), line);
        QCOMPARE(control<QLabel>("lblProtocol", reopened.get())->isVisible(), judged);
    }
};

QTEST_MAIN(TestFrmPlan)
#include "tst_frmplan.moc"
