#include "calc/FaultTexts.h"
#include "calc/RecordReader.h"
#include "calc/SessionCode.h"
#include "forms/BalChart.h"
#include "forms/ClockField.h"
#include "forms/OperatorMessage.h"
#include "forms/PlanRecord.h"
#include "forms/frmPlan.h"
#include "tests/support/AccessKeys.h"
#include "tests/support/WorkedExample.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <memory>

Q_DECLARE_METATYPE(LevelReading)

class TestFrmPlan : public QObject {
    Q_OBJECT

private:
    SessionPlanSettings settings;
    std::unique_ptr<frmPlan> form;

    template <typename T = QWidget> T *control(const char *name)
    {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *label) { return control<QLabel>(label)->text(); }
    void openForm(const DoseInput &dose = workedExampleInput())
    {
        form = std::make_unique<frmPlan>(dose, settings);
        control<QTimeEdit>("tmeStart")->setTime(QTime(13, 0));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // The table as "cell|cell|..." lines.
    QStringList portionRows()
    {
        auto *table = control<QTreeWidget>("grdPortions");
        QStringList rows;
        for (int row = 0; row < table->topLevelItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->topLevelItem(row)->text(column);
            cells.removeLast(); // the served time, empty until served
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        settings = SessionPlanSettings{};
    }
    void cleanup()
    {
        form.reset();
        OperatorMessage::setCapture({});
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

    // Every caption of the window has an access key, and no two controls that can be on screen
    // together share one, in any unit of levels the captions name.
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
                if (!a.key.isEmpty() && a.key == b.key && shownTogether(a, b))
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
        QStringList messages;
        OperatorMessage::setCapture([&](const QString &text) { messages << text; });
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
        QCOMPARE(portionRows(), QStringList());
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
        QStringList messages;
        OperatorMessage::setCapture([&](const QString &text) { messages << text; });
        QStringList questions;
        OperatorMessage::setAnswer([&](const QString &text) {
            questions << text;
            return QMessageBox::Cancel;
        });
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
        const auto addReading = [&](QTime time, const QString &typed) {
            control<QTimeEdit>("tmeReading")->setTime(time);
            control<QLineEdit>("txtReading")->setText(typed);
            control<QPushButton>("cmdAddReading")->click();
        };
        addReading(QTime(14, 10), QStringLiteral("abc"));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QLatin1String("ERROR: Reading \"abc\"")),
                 qPrintable(messages[0]));
        QCOMPARE(control<QLineEdit>("txtReading")->text(), QStringLiteral("abc")); // kept
        QVERIFY(!control<ClockField>("tmeReading")->isFollowing()); // and its time too
        control<QTimeEdit>("tmeServed")->setTime(QTime(13, 2));
        control<QPushButton>("cmdServed")->click();
        // After an entry its time field shows the clock again, ready for the next.
        QVERIFY(control<ClockField>("tmeServed")->isFollowing());
        // The plan's choices stay those of what was served.
        QVERIFY(!control<QSpinBox>("spnPortions")->isEnabled());
        for (int i = 0; i < 3; ++i)
            addReading(QTime(14, 10).addSecs(i * 15 * 60), readings[i]);
        QCOMPARE(text("lblDescending"), QStringLiteral("Descending limb shown at 14:40"));
        QVERIFY(control<ClockField>("tmeReading")->isFollowing());

        // Entries not saved: closing asks, and Cancel keeps the window.
        QVERIFY(!form->close());
        QCOMPARE(questions.size(), 1);
        QTemporaryDir folder;
        const QString path = folder.filePath(frmPlan::fileBaseName(form->record()) + ".csv");
        QVERIFY(path.endsWith(QLatin1String("/P-017-") +
                              form->record().startDate.toString(Qt::ISODate) + ".csv"));
        QVERIFY(form->saveRecordAs(path));
        addReading(QTime(14, 55), readings[3]);
        QVERIFY2(text("lblBooster").startsWith(booster), qPrintable(text("lblBooster")));
        QCOMPARE(control<QPushButton>("cmdBoosterServed")->isEnabled(), !placebo);
        control<QTimeEdit>("tmeBooster")->setTime(QTime(15, 0));
        control<QPushButton>("cmdBoosterServed")->click();
        QCOMPARE(form->record().booster.has_value(), !placebo);
        if (!placebo)
            QCOMPARE(form->record().booster->servedAtMinute, 120);
        QCOMPARE(control<ClockField>("tmeBooster")->isFollowing(), !placebo);
        QCOMPARE(messages.size(), 1);

        // What the file holds at any moment is the whole session, as a kill would leave it.
        const SessionRecord entered = form->record();
        QCOMPARE(entered.readings.size(), 4);
        QCOMPARE(entered.portions[0].servedAtMinute, std::optional<int>(2));
        QCOMPARE(entered.portions[0].portion.alcoholMl, placebo ? 5 : 23);
        const RecordReader::Result saved = RecordReader::open(path);
        QVERIFY2(saved.record, qPrintable(saved.errorText));
        QVERIFY(*saved.record == entered);
        QVERIFY(form->close()); // nothing unsaved: no question
        QCOMPARE(questions.size(), 1);

        const std::unique_ptr<frmPlan> reopened = frmPlan::openRecord(path);
        QVERIFY(reopened);
        QVERIFY(reopened->record() == entered);
        QVERIFY(reopened->findChild<QPushButton *>("cmdAddReading")->isEnabled());
        QCOMPARE(messages.size(), 1);

        // A saved dose that the values no longer give opens read-only and says so.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        bytes.replace(",68,408,476,", ",69,408,477,");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const std::unique_ptr<frmPlan> differing = frmPlan::openRecord(path);
        QVERIFY(differing);
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[1].contains(QLatin1String("opens read-only")), qPrintable(messages[1]));
        QVERIFY(!differing->findChild<QPushButton *>("cmdAddReading")->isEnabled());

        // A file that cannot be read opens nothing and names the line.
        QVERIFY(file.open(QIODevice::Append));
        file.write("reading,x\r\n");
        file.close();
        QVERIFY(!frmPlan::openRecord(path));
        QVERIFY2(messages.last().startsWith(QLatin1String("ERROR: The session record cannot be "
                                                          "read: line")),
                 qPrintable(messages.last()));
        OperatorMessage::setCapture({});
        OperatorMessage::setAnswer({});
    }

    void startsAtTheNextFiveMinutes_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QTime>("start");
        QTest::newRow("between") << QTime(12, 57, 40) << QTime(13, 0);
        QTest::newRow("on the minute") << QTime(13, 0) << QTime(13, 0);
        QTest::newRow("just past") << QTime(13, 0, 0, 1) << QTime(13, 5);
        QTest::newRow("before midnight") << QTime(23, 58) << QTime(0, 0);
    }
    void startsAtTheNextFiveMinutes()
    {
        QFETCH(QTime, now);
        QFETCH(QTime, start);
        QCOMPARE(frmPlan::defaultStart(now), start);
    }

    // Whatever plan the model gives, the chart is drawn, and in finite time.
    void chartDrawsAnyPlan_data()
    {
        QTest::addColumn<float>("bodyWater");
        QTest::addColumn<float>("drinkingPeriod");
        QTest::addColumn<float>("release");
        QTest::addColumn<int>("scale");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("placebo");
        QTest::addColumn<QList<LevelReading>>("readings");
        QTest::newRow("worked example at 200 %")
            << 0.0f << 40.0f << 0.02f << 2 << false << false << QList<LevelReading>{};
        QTest::newRow("release level above the peak")
            << 0.0f << 40.0f << 0.5f << 1 << false << false << QList<LevelReading>{};
        QTest::newRow("no drinking period")
            << 0.0f << 0.0f << 0.02f << 1 << false << false << QList<LevelReading>{};
        // Hardly any body water: a peak of thousands of g/100 ml, clearing over millennia.
        QTest::newRow("times at the limit")
            << 1e-5f << 40.0f << 0.02f << 1 << false << false << QList<LevelReading>{};
        QTest::newRow("dark palette")
            << 0.0f << 40.0f << 0.02f << 1 << true << false << QList<LevelReading>{{30, 0.04f}};
        // Far beyond the plan's span and its peak of 0.08 g/100 ml.
        QTest::newRow("baseline and readings above the peak")
            << 0.0f << 40.0f << 0.02f << 2 << false << false
            << QList<LevelReading>{{-150, 0}, {30, 0.05f}, {75, 0.16f}, {150, 0.12f}};
        QTest::newRow("placebo") << 0.0f << 40.0f << 0.02f << 1 << true << true
                                 << QList<LevelReading>{{20, 0.01f}, {90, 0.02f}};
    }
    void chartDrawsAnyPlan()
    {
        QFETCH(float, bodyWater);
        QFETCH(float, drinkingPeriod);
        QFETCH(float, release);
        QFETCH(int, scale);
        QFETCH(bool, dark);
        QFETCH(bool, placebo);
        QFETCH(QList<LevelReading>, readings);
        CalculatedDose dose = workedExampleDose();
        dose.state.DD = drinkingPeriod;
        dose.intermediates.hours = drinkingPeriod / 60;
        if (bodyWater > 0)
            dose.intermediates.bodyWater = bodyWater;
        const SessionPlan plan = PlanSession(dose, 3, release);
        QVERIFY2(plan.ok(), qPrintable(planFaultText(plan.problem).message));

        QPalette palette = BalChart::printPalette();
        if (dark) {
            palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
            palette.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
        }
        const BalChart::Colours colours = BalChart::colours(palette);
        // A readable curve stands well apart from the background in lightness.
        QVERIFY(std::abs(colours.curve.lightnessF() - colours.base.lightnessF()) > 0.3);

        // The chart in a margin of black, which it must leave as it is.
        const QRect area(20, 20, 420, 260);
        QImage image(QSize(460, 300) * scale, QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            BalChartData data{plan, dose.state.BAL, release, QTime(13, 0)};
            data.placebo = placebo;
            data.readings = readings;
            if (dark)
                BalChart::paint(painter, area, data, palette);
            else // as the printed page draws it
                BalChart::paint(painter, area, data);
        }
        QCOMPARE(image.pixelColor((area.right() - 1) * scale, (area.bottom() - 1) * scale),
                 dark ? palette.color(QPalette::Base) : QColor(Qt::white));
        int curve = 0, points = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                curve += pixel == colours.curve ? 1 : 0;
                points += pixel == colours.reading ? 1 : 0;
                outside += !area.contains(x / scale, y / scale) && pixel != Qt::black ? 1 : 0;
            }
        }
        QCOMPARE(outside, 0);
        if (placebo)
            QCOMPARE(curve, 0);
        else
            QVERIFY2(curve > 50 * scale, qPrintable(QString::number(curve)));
        // Every reading a whole point on the chart.
        QVERIFY2(points >= readings.size() * 8 * scale * scale,
                 qPrintable(QString::number(points)));
    }

    void printsOnePage_data()
    {
        QTest::addColumn<int>("portions");
        QTest::addColumn<QString>("pageSize");
        QTest::addColumn<QStringList>("mentions");
        QTest::addColumn<bool>("session");
        const QStringList always = {"Session Plan", "Version 2.1.0", "Measure breath alcohol"};
        QTest::newRow("A4, three portions")
            << 3 << "A4"
            << always + QStringList{"Expected peak BAL: 0.0807 g/100 ml at 14:10",
                                    "Expected below 0.02 g/100 ml at 18:13",
                                    "Expected zero at 19:33", "13:27", "Clock time"}
            << false;
        QTest::newRow("US Letter, twelve portions")
            << 12 << "Letter" << always + QStringList{"13:37", "Total (ml)"} << false;
        // Twelve readings 20 minutes apart from 13:23, the last of them below the release level;
        // a booster at 15:10.
        QTest::newRow("US Letter, a session of twelve portions and readings")
            << 12 << "Letter" << always + QStringList{"Session code: T-017",
                                                      "Served",
                                                      "13:43",
                                                      "Release level reached at 17:03",
                                                      "Booster served at 15:10",
                                                      "Clock time"}
            << true;
    }
    void printsOnePage()
    {
        QFETCH(int, portions);
        QFETCH(QString, pageSize);
        QFETCH(QStringList, mentions);
        QFETCH(bool, session);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("plan.pdf"));
        const CalculatedDose dose = workedExampleDose();
        settings.portions = portions;
        const SessionPlan plan = PlanSession(dose, settings.portions, settings.releaseLevel);
        SessionRecord record;
        record.sessionCode = QStringLiteral("T-017");
        record.startTime = QTime(13, 0);
        record.plan = settings;
        for (const ServedPortion &portion : plan.portions)
            record.portions << RecordedPortion{portion, portion.atMinute + 1};
        for (int i = 0; i < 12; ++i)
            record.readings << LevelReading{23 + i * 20, i < 4 ? 0.02f * float(i + 1)
                                                               : 0.08f - 0.008f * float(i - 3)};
        record.booster = RecordedBooster{0.05f, 20, 15, 90, 105, 130};
        {
            QPdfWriter pdf(path);
            pdf.setPageSize(
                QPageSize(pageSize == QLatin1String("A4") ? QPageSize::A4 : QPageSize::Letter));
            QVERIFY(PlanRecord::paint(pdf, dose, plan, QTime(13, 0), settings,
                                      QDateTime::currentDateTime(), {},
                                      session ? &record : nullptr));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Page objects, not the page tree ("/Type /Pages").
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
        QCOMPARE(QString::fromLatin1(bytes).count(page), 1);

        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed; scripts/install-deps test has it");
        QProcess extract;
        extract.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished());
        // Lines may wrap anywhere on the page.
        const QString words = QString::fromUtf8(extract.readAllStandardOutput()).simplified();
        for (const QString &mention : mentions)
            QVERIFY2(words.contains(mention),
                     qPrintable(mention + QLatin1String(" in:\n") + words));
        QVERIFY(!words.contains(QLatin1String("Name"), Qt::CaseInsensitive));
    }
};

QTEST_MAIN(TestFrmPlan)
#include "tst_frmplan.moc"
