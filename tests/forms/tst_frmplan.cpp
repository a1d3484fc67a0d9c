#include "calc/FaultTexts.h"
#include "calc/RecordFile.h"
#include "calc/RecordWriter.h"
#include "calc/SessionCode.h"
#include "calc/SessionText.h"
#include "forms/ClockField.h"
#include "forms/ModalDialog.h"
#include "forms/OperatorMessage.h"
#include "forms/frmInitials.h"
#include "forms/frmPlan.h"
#include "tests/support/AccessKeys.h"
#include "tests/support/SessionSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <memory>

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

    template <typename T = QWidget> T *control(const char *name, QWidget *in = nullptr)
    {
        T *found = (in ? in : form.get())->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *label) { return control<QLabel>(label)->text(); }
    QDateTime today(const QTime &time) const { return QDateTime(QDate::currentDate(), time); }
    void useTheTestClock(frmPlan &plan)
    {
        plan.setClock([this] { return now; });
    }
    void openForm(const DoseInput &dose = workedExampleInput(),
                  const SessionProtocol &protocol = {})
    {
        form = std::make_unique<frmPlan>(dose, settings, protocol);
        useTheTestClock(*form);
        control<QTimeEdit>("tmeStart")->setTime(QTime(13, 0));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // A list's rows as "cell|cell|..." lines.
    QStringList rows(const char *list, qsizetype columns = -1)
    {
        auto *table = control<QTreeWidget>(list);
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
    void enter(const char *button, const QTime &at)
    {
        control<QTimeEdit>("tmeEntry")->setTime(at);
        control<QPushButton>(button)->click();
    }
    void addReading(const QTime &at, const QString &typed)
    {
        control<QLineEdit>("txtReading")->setText(typed);
        enter("cmdAddReading", at);
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        settings = SessionPlanSettings{};
        now = today(QTime(15, 5));
        messages.clear();
        questions.clear();
        answer = QMessageBox::Yes;
        initialsAsked = 0;
        OperatorMessage::setCapture([this](const QString &text) { messages << text; });
        OperatorMessage::setAnswer([this](const QString &text) {
            questions << text;
            return answer;
        });
        // The operator's initials "AB" whenever they are asked.
        ModalDialog::setAnswer([this](QDialog &dialog) {
            auto *initials = qobject_cast<frmInitials *>(&dialog);
            if (!initials)
                return int(QDialog::Rejected);
            ++initialsAsked;
            control<QLineEdit>("txtInitials", initials)->setText(QStringLiteral("AB"));
            initials->cmdOK_Click();
            return initials->result();
        });
    }
    void cleanup()
    {
        form.reset();
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
        QTest::newRow("C") << "C" << LevelScale{} << "Release le&vel (g/100 ml):"
                           << "0.02"
                           << QStringList{"Expected peak BAL: 0.0807 g/100 ml at 14:10",
                                          "Expected below 0.02 g/100 ml at 18:13",
                                          "Expected zero at 19:33"}
                           << rows;
        QTest::newRow("German") << "de_DE" << LevelScale{} << "Release le&vel (g/100 ml):"
                                << "0,02"
                                << QStringList{"Expected peak BAL: 0,0807 g/100 ml at 14:10",
                                               "Expected below 0,02 g/100 ml at 18:13",
                                               "Expected zero at 19:33"}
                                << rows;
        QTest::newRow("US English")
            << "en_US" << LevelScale{} << "Release le&vel (g/100 ml):"
            << "0.02"
            << QStringList{"Expected peak BAL: 0.0807 g/100 ml at 2:10 PM",
                           "Expected below 0.02 g/100 ml at 6:13 PM", "Expected zero at 7:33 PM"}
            << QStringList{"1|1:00 PM|23|136|159", "2|1:13 PM|23|136|159", "3|1:27 PM|22|136|158"};
        // The peak of 0.08066 g/100 ml in the lab's unit, and the BAL with the ratio for breath.
        QTest::newRow("breath, mg/L at 2000:1")
            << "C" << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << "Release le&vel (mg/L):"
            << "0.1"
            << QStringList{"Expected peak BrAC: 0.4033 mg/L (BAL 0.0807 g/100 ml at 2000:1) at "
                           "14:10",
                           "Expected below 0.1 mg/L at 18:13", "Expected zero at 19:33"}
            << rows;
        QTest::newRow("blood, g/L")
            << "C" << LevelScale{LevelUnit::GramsPerLitre} << "Release le&vel (g/L):"
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
        QCOMPARE(form->windowTitle(), QStringLiteral("Session Plan"));
        QVERIFY(form->isModal());
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

    // Every caption of the window has an access key, and no two controls of the window share
    // one, whatever tab shows them, in any unit of levels the captions name.
    void accessKeysAreUniqueAndComplete_data()
    {
        QTest::addColumn<LevelScale>("level");
        QTest::newRow("blood, g/100 ml") << LevelScale{};
        QTest::newRow("breath, \u00b5g/100 ml")
            << LevelScale{LevelUnit::MicrogramsPer100Ml, BreathRatio::Default};
    }
    void accessKeysAreUniqueAndComplete()
    {
        QFETCH(LevelScale, level);
        DoseInput dose = workedExampleInput();
        dose.level = level;
        openForm(dose);
        const QList<CaptionedControl> controls = captionedControls(form.get());
        QVERIFY(!controls.isEmpty());
        QStringList without, shared;
        for (qsizetype i = 0; i < controls.size(); ++i) {
            const CaptionedControl &a = controls[i];
            if (a.key.isEmpty() || a.key != QKeySequence::mnemonic(a.caption))
                without << QStringLiteral("%1 \"%2\"").arg(a.name, a.caption);
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                const CaptionedControl &b = controls[j];
                if (!a.key.isEmpty() && a.key == b.key)
                    shared << QStringLiteral("%1: %2 and %3")
                                  .arg(a.key.toString(QKeySequence::NativeText), a.name, b.name);
            }
        }
        QVERIFY2(without.isEmpty(), qPrintable(without.join(QLatin1Char('\n'))));
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(QLatin1Char('\n'))));
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
        QTest::newRow("alcohol") << false << LevelScale{}
                                 << QStringList{"0.06", "0.057", "0.054", "0.05"}
                                 << "Booster estimate: alcohol 28 ml, mixer 168 ml";
        QTest::newRow("alcohol, mg/L at 2000:1")
            << false << LevelScale{LevelUnit::MilligramsPerLitre, 2000}
            << QStringList{"0.3", "0.285", "0.27", "0.25"}
            << "Booster estimate: alcohol 28 ml, mixer 168 ml";
        QTest::newRow("placebo") << true << LevelScale{}
                                 << QStringList{"0.004", "0.003", "0.002", "0"}
                                 << boosterRefusalText(BoosterRefusal::Placebo).message;
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
        QVERIFY(!control<ClockField>("tmeEntry")->isFollowing()); // and its time too
        QCOMPARE(initialsAsked, 0);                               // nothing was entered

        enter("cmdServed", QTime(13, 2));
        // The initials are asked before the first entry, and only then.
        QCOMPARE(initialsAsked, 1);
        QCOMPARE(text("lblOperator"), QStringLiteral("Operator: AB"));
        // After an entry the time field shows the clock again, ready for the next.
        QVERIFY(control<ClockField>("tmeEntry")->isFollowing());
        // The plan's choices stay those of what was served.
        QVERIFY(!control<QSpinBox>("spnPortions")->isEnabled());
        for (int i = 0; i < 3; ++i)
            addReading(QTime(14, 10).addSecs(i * 15 * 60), readings[i]);
        QCOMPARE(text("lblDescending"),
                 placebo ? QString() : QStringLiteral("Descending limb shown at 14:40"));
        QCOMPARE(initialsAsked, 1);

        // Entries not saved: closing asks, and Cancel keeps the window.
        answer = QMessageBox::Cancel;
        QVERIFY(!form->close());
        QCOMPARE(questions.size(), 1);
        QTemporaryDir folder;
        const QString path = folder.filePath(frmPlan::fileBaseName(form->session().record()) +
                                             QStringLiteral(".csv"));
        QVERIFY(path.endsWith(QStringLiteral("/P-017-") +
                              QDate::currentDate().toString(Qt::ISODate) + ".csv"));
        QVERIFY(form->saveRecordAs(path));
        QCOMPARE(text("lblRecordFile"),
                 QStringLiteral("Every entry is saved to %1.").arg(QDir::toNativeSeparators(path)));
        addReading(QTime(14, 55), readings[3]);
        QVERIFY2(text("lblBooster").startsWith(booster), qPrintable(text("lblBooster")));
        QCOMPARE(control<QPushButton>("cmdBoosterServed")->isEnabled(), !placebo);
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
        QCOMPARE(questions.size(), 1);

        // Closed, the window gives up the record's lock: it opens again to be added to.
        const std::unique_ptr<frmPlan> reopened = frmPlan::openRecord(path);
        QVERIFY(reopened);
        QVERIFY(reopened->session().record() == saved.record);
        QCOMPARE(reopened->session().state(), RecordState::Saved);
        QVERIFY(reopened->findChild<QPushButton *>("cmdAddReading")->isEnabled());
        QCOMPARE(messages.size(), 1);
    }

    // A record opens to be added to, or read-only saying why, and a file that is no record
    // opens nothing and says what is wrong where.
    void opensARecord_data()
    {
        QTest::addColumn<QString>("file"); // what is done to the file saved
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("message"); // what the message says; empty for none
        QTest::newRow("as saved") << "saved" << true << false << "";
        QTest::newRow("being recorded by another window")
            << "locked" << true << true
            << QStringLiteral("is being recorded by Pourwise on the computer %1 (process %2). It "
                              "opens read-only.")
                   .arg(QSysInfo::machineHostName())
                   .arg(QCoreApplication::applicationPid());
        QTest::newRow("cut short") << "cut" << true << true
                                   << "has no end row: it was cut short, and entries may be "
                                      "missing at its end. It opens read-only.";
        QTest::newRow("changed outside Pourwise")
            << "changed" << true << true << "was changed outside Pourwise";
        QTest::newRow("a dose the values no longer give")
            << "other dose" << true << true
            << "(alcohol 68 ml, mixer 408 ml, total 476 ml) differs from the dose the record "
               "saved (alcohol 69 ml, mixer 408 ml, total 477 ml). The record opens read-only";
        QTest::newRow("not a record") << "damaged" << false << false << "ERROR: ";
    }
    void opensARecord()
    {
        QFETCH(QString, file);
        QFETCH(bool, opens);
        QFETCH(bool, readOnly);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("P-017.csv"));
        auto session = SessionSupport::workedSession();
        session->setSessionCode(QStringLiteral("P-017"));
        QVERIFY(!session->prepareToSave(SessionSupport::at(0)).refused());
        QVERIFY(!session->addReading(70, 0.06f, SessionSupport::at(70)).refused());
        SessionRecord record = session->record();
        if (file == QLatin1String("other dose")) {
            record.setup.alcoholMl = 69;
            record.setup.totalMl = 477;
            record.entries[0].alcoholMl += 1; // the portions add up to the dose
            record.entries[0].totalMl += 1;
        }
        QVERIFY(RecordFile::save(path, record).isEmpty());
        QFile bytes(path);
        QVERIFY(bytes.open(QIODevice::ReadWrite));
        QByteArray text = bytes.readAll();
        if (file == QLatin1String("cut"))
            text.truncate(text.lastIndexOf("\r\n", text.size() - 3) + 2);
        else if (file == QLatin1String("changed"))
            text.replace(",0.06,", ",0.07,");
        else if (file == QLatin1String("damaged"))
            text.replace(",0.06,", ",x,");
        bytes.resize(0);
        bytes.write(text);
        bytes.close();
        RecordLock other(path);
        if (file == QLatin1String("locked"))
            QVERIFY(other.tryLock());

        const std::unique_ptr<frmPlan> opened = frmPlan::openRecord(path);
        QCOMPARE(opened != nullptr, opens);
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(messages[0].contains(message), qPrintable(messages[0]));
        if (!opened)
            return;
        const QString state = control<QLabel>("lblRecordFile", opened.get())->text();
        QCOMPARE(opened->session().state() == RecordState::ReadOnly, readOnly);
        QCOMPARE(state.startsWith(QLatin1String("Read-only")), readOnly);
        QCOMPARE(control<QPushButton>("cmdAddReading", opened.get())->isEnabled(), !readOnly);
        // Locked by another window, the state line names the computer and the process too.
        if (file == QLatin1String("locked"))
            QVERIFY2(state.contains(QStringLiteral("%1 (process %2)")
                                        .arg(QSysInfo::machineHostName())
                                        .arg(QCoreApplication::applicationPid())),
                     qPrintable(state));
    }
};

QTEST_MAIN(TestFrmPlan)
#include "tst_frmplan.moc"
