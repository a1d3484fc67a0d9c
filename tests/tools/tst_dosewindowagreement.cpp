// The command-line tool and the input and output window must show the same text for the same
// participant: the same volumes and notices, or the same refusal.

#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/NumberText.h"
#include "forms/common/OperatorMessage.h"
#include "forms/main/Module1.h"
#include "forms/main/ProtocolMenu.h"
#include "forms/main/frmInfo.h"
#include "forms/main/frmMain.h"
#include "forms/session/frmPlan.h"
#include "tests/tools/DoseProcess.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Participant {
    QString gender;      // "male" or "female"
    QStringList values;  // height, weight, age, bal, dd, proof, ratio as typed
    bool metric = false; // height and weight in centimetres and kilograms
    // The unit of levels: the target is typed in it (the window's chosen unit, the command
    // line's --target with --level-unit and --breath-ratio).
    std::optional<LevelScale> level = std::nullopt;
};

const char *const NumberFields[] = {"txtHeight", "txtWeight", "txtAge",  "txtBAL",
                                    "txtDD",     "txtProof",  "txtRatio"};
const char *const NumberOptions[] = {"--height", "--weight", "--age",  "--bal",
                                     "--dd",     "--proof",  "--ratio"};
const char *const MetricOptions[] = {"--height-cm", "--weight-kg"};

// What the operator is shown: the three result fields and the notices of implausible values,
// or the message of a refused press.
struct Shown {
    QStringList volumes;
    QString message;
    QStringList notices;
};

// The fields not typed keep what `start` and `run` hold, as after opening a protocol.
Shown typeIntoWindow(const Participant &participant, const DosingState &start = {},
                     const RunValues &run = {})
{
    // The window starts from whatever the state holds; the typed text must win over it.
    Module1::dosingState = start;
    Module1::dosingState.Gender = Gender::NotSpecified;
    Module1::run = run;
    const BodyUnits units =
        participant.metric ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds;
    frmInfo window(Module1::dosingState, Module1::run,
                   {units, participant.level.value_or(LevelScale{})});
    window.Form_Load();
    window.show();

    Shown shown;
    QObject::connect(&window, &frmInfo::doseCalculated,
                     [&shown](const QStringList &notices) { shown.notices = notices; });
    // The list of values to check that follows a dose is compared as notices.
    OperatorMessage::setCapture([&shown](const QString &text) {
        if (!text.startsWith(QLatin1String("WARNING: ")))
            shown.message = text;
    });
    for (int i = 0; i < participant.values.size(); ++i) {
        auto *field = window.findChild<QLineEdit *>(QLatin1String(NumberFields[i]));
        if (!field)
            return {};
        field->clear();
        QTest::keyClicks(field, participant.values[i]);
    }
    auto *gender = window.findChild<QRadioButton *>(participant.gender == QLatin1String("male")
                                                        ? QStringLiteral("optMale")
                                                        : QStringLiteral("optFemale"));
    auto *calculate = window.findChild<QPushButton *>(QStringLiteral("cmdCalcNow"));
    if (!gender || !calculate)
        return {};
    QTest::mouseClick(gender, Qt::LeftButton);
    QTest::mouseClick(calculate, Qt::LeftButton);
    OperatorMessage::setCapture({});

    for (const char *name : {"txtAlcDose", "txtMixDose", "txtTotDose"}) {
        auto *result = window.findChild<QLineEdit *>(QLatin1String(name));
        shown.volumes << (result ? result->text() : QStringLiteral("missing"));
    }
    return shown;
}

Shown runOnCommandLine(const Participant &participant, const QStringList &more = {})
{
    QStringList arguments = {QStringLiteral("--gender"), participant.gender};
    for (int i = 0; i < participant.values.size(); ++i) {
        const bool metric = participant.metric && i < 2;
        const bool target = participant.level && NumberOptions[i] == QLatin1String("--bal");
        arguments << (target ? QStringLiteral("--target")
                             : QLatin1String(metric ? MetricOptions[i] : NumberOptions[i]))
                  << participant.values[i];
    }
    if (participant.level)
        arguments << QStringLiteral("--level-unit")
                  << QString::fromUtf8(participant.level->info().option)
                  << QStringLiteral("--breath-ratio")
                  << SingleToText(participant.level->breathRatio, QLocale::c());
    const DoseRun run = runDose(arguments + more);
    Shown shown;
    const QString warning = QStringLiteral("WARNING: ");
    QStringList messages;
    for (const QString &line : QString::fromUtf8(run.errors).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(warning))
            shown.notices << line.mid(warning.size());
        else
            messages << line;
    }
    shown.message = messages.join(u'\n');
    const QList<QByteArray> lines = run.output.split('\n');
    for (const char *name : {"alcohol_ml ", "mixer_ml ", "total_ml "}) {
        QString volume; // stays empty, like an untouched result field, when nothing is printed
        for (const QByteArray &line : lines) {
            if (line.startsWith(name))
                volume = QString::fromUtf8(line.mid(qsizetype(qstrlen(name))));
        }
        shown.volumes << volume;
    }
    return shown;
}

LevelScale mgPerLitre(float ratio)
{
    return {LevelUnit::MilligramsPerLitre, ratio};
}

} // namespace

class TestDoseWindowAgreement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameTextShown_data();
    void sameTextShown();
    void rosterShowsTheSameVolumes();
    void protocolSavedInTheWindow_data();
    void protocolSavedInTheWindow();
    void sameBandShown_data();
    void sameBandShown();

private:
    QList<QPair<QByteArray, Participant>> m_cases;
};

void TestDoseWindowAgreement::initTestCase()
{
    // The window reads numbers in the operator's locale; with a point locale its text is the
    // command line's text, whatever the machine running the tests is set to.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_cases = {
        {"worked example, male", {"male", {"70", "160", "25", "0.08", "40", "200", "6"}}},
        {"worked example, female", {"female", {"65", "130", "25", "0.08", "40", "200", "6"}}},
        {"worked example, 80 proof", {"male", {"70", "160", "25", "0.08", "40", "80", "3"}}},
        {"worked example, 0.1 over an hour",
         {"male", {"70", "160", "25", "0.1", "60", "100", "4"}}},
        {"all zero, female", {"female", {"0", "0", "0", "0.08", "40", "200", "6"}}},
        {"decimals and exponents", {"male", {"70.5", "1.6e2", "30", "0.065", "45", "86", "2.5"}}},
        {"signs, blanks and trailing zeros",
         {"female", {"+64.50", " 140.0 ", "40", "0.0800", "40", "100", "3"}}},
        {"negative age", {"male", {"68", "150", "-5", "0.08", "40", "200", "6"}}},
        {"fractional ratio", {"female", {"66", "150", "30", "0.06", "90", "80", "1.5"}}},
        {"tiny numbers in exponent form",
         {"male", {"1e-6", "2.5E-7", "0", "0.00001", "0", "200", "0"}}},
        {"proof 0", {"male", {"70", "160", "25", "0.08", "40", "0", "6"}}},
        {"alcohol beyond 32767 ml", {"female", {"70", "1e30", "25", "0.08", "40", "200", "6"}}},
        {"mixer beyond 32767 ml", {"female", {"65", "130", "25", "0.08", "40", "200", "1000"}}},
        {"178 typed as inches", {"male", {"178", "160", "25", "0.08", "40", "200", "6"}}},
        {"worked example in metric, male",
         {"male", {"177.8004", "72.57552", "25", "0.08", "40", "200", "6"}, true}},
        {"worked example in metric, female",
         {"female", {"165.1003", "58.96761", "25", "0.08", "40", "200", "6"}, true}},
        {"163 cm and 59.3 kg, which no inches and pounds give",
         {"male", {"163", "59.3", "25", "0.08", "40", "200", "6"}, true}},
        {"implausible in metric", {"female", {"70", "250", "15", "0.3", "300", "250", "25"}, true}},
        {"proof 0 in metric", {"male", {"178", "80", "25", "0.08", "40", "0", "6"}, true}},
        {"breath, mg/L at 2000:1",
         {"male", {"70", "160", "25", "0.40", "40", "200", "6"}, false, mgPerLitre(2000)}},
        {"breath, g/210 L at 2300:1, metric",
         {"female",
          {"165", "60", "25", "0.08", "40", "80", "3"},
          true,
          LevelScale{LevelUnit::GramsPer210Litres, 2300}}},
        {"breath, micrograms at 2300:1",
         {"male",
          {"70", "160", "25", "35", "40", "200", "6"},
          false,
          LevelScale{LevelUnit::MicrogramsPer100Ml, 2300}}},
        {"blood, g/L",
         {"male",
          {"70", "160", "25", "0.8", "40", "200", "6"},
          false,
          LevelScale{LevelUnit::GramsPerLitre}}},
        {"blood, mg/100 ml, another ratio ignored",
         {"female",
          {"65", "130", "25", "80", "40", "200", "6"},
          false,
          LevelScale{LevelUnit::MilligramsPer100Ml, 3000}}},
        {"breath target above its range, at 2100:1",
         {"male", {"70", "160", "25", "1.2", "40", "200", "6"}, false, mgPerLitre(2100)}},
    };
}

void TestDoseWindowAgreement::sameTextShown_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < m_cases.size(); ++i)
        QTest::newRow(m_cases[i].first.constData()) << i;
}

void TestDoseWindowAgreement::sameTextShown()
{
    QFETCH(int, index);
    const Participant &participant = m_cases[index].second;
    const Shown window = typeIntoWindow(participant);
    const Shown commandLine = runOnCommandLine(participant);
    QCOMPARE(window.volumes.size(), 3);
    QCOMPARE(commandLine.volumes, window.volumes);
    QCOMPARE(commandLine.message, window.message);
    QCOMPARE(commandLine.notices, window.notices);
    // Either three volumes or a message, never both and never neither.
    QCOMPARE(window.message.isEmpty(), !window.volumes.contains(QString()));
}

// One roster for each kind of units, checked, so that the warning column can be compared too.
void TestDoseWindowAgreement::rosterShowsTheSameVolumes()
{
    for (const bool metric : {false, true}) {
        QByteArray roster = metric ? "gender,height_cm,weight_kg,age,bal,dd,proof,ratio\n"
                                   : "gender,height,weight,age,bal,dd,proof,ratio\n";
        QList<int> cases;
        for (int i = 0; i < m_cases.size(); ++i) {
            const Participant &participant = m_cases[i].second;
            if (participant.metric != metric || participant.level)
                continue;
            cases << i;
            roster +=
                (QStringList{participant.gender} + participant.values).join(u',').toUtf8() + '\n';
        }
        const DoseRun run = runDose(
            {QStringLiteral("--csv"), QStringLiteral("-"), QStringLiteral("--check")}, roster);
        QList<QByteArray> rows = run.output.split('\n');
        QCOMPARE(rows.takeLast(), QByteArray()); // the last row ends with a line end
        QCOMPARE(rows.size(), cases.size() + 1);
        for (int row = 0; row < cases.size(); ++row) {
            const QList<QByteArray> fields = rows[row + 1].split(',');
            QCOMPARE(fields.size(), 13);
            const Shown window = typeIntoWindow(m_cases[cases[row]].second);
            const QStringList volumes = {QString::fromUtf8(fields[8]), QString::fromUtf8(fields[9]),
                                         QString::fromUtf8(fields[10])};
            const char *name = m_cases[cases[row]].first.constData();
            QVERIFY2(volumes == window.volumes, name);
            QVERIFY2(QString::fromUtf8(fields[11]) == window.notices.join(QStringLiteral("; ")),
                     name);
            // A refused row carries its reason in the error column, as the window shows a
            // message.
            QCOMPARE(fields[12].isEmpty(), window.message.isEmpty());
        }
    }
}

void TestDoseWindowAgreement::protocolSavedInTheWindow_data()
{
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QStringList>("typed"); // height, weight, age; the rest from the protocol
    QTest::addColumn<bool>("overLimit");
    QTest::newRow("within its limits") << "male" << QStringList{"70", "160", "25"} << false;
    QTest::newRow("over its limits") << "male" << QStringList{"90", "500", "18"} << true;
    QTest::newRow("a slip of units") << "female" << QStringList{"170", "130", "30"} << true;
}

// A protocol saved from the window's values and limits gives pourwise-dose the same doses,
// notices and limits passed.
void TestDoseWindowAgreement::protocolSavedInTheWindow()
{
    QFETCH(QString, gender);
    QFETCH(QStringList, typed);
    QFETCH(bool, overLimit);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("arm B.json"));
    const LevelScale level = mgPerLitre(2000);
    Module1::dosingState = DosingState{};
    Module1::run = RunValues{};
    frmMain main(Module1::dosingState, Module1::run, SettingsStore(folder.path()));
    main.MDIForm_Load();
    main.setLevelUnit(level.unit);
    main.setBreathRatio(level.breathRatio);
    DosingState &s = Module1::dosingState;
    Module1::run.typedTarget = TypedLevel{0.35f, level};
    s.BAL = level.toBal(0.35f);
    s.DD = 30;
    s.Proof = 80;
    s.Ratio = 3;
    auto *menu = main.findChild<ProtocolMenu *>();
    QVERIFY(menu->setLimits({1.0f, 700.0f, 0.4f}));
    QVERIFY(menu->saveProtocolAs(path, QStringLiteral("Arm B")));

    const Participant participant{gender, typed, false, level};
    const Shown window = typeIntoWindow(participant, s, Module1::run);
    const Shown commandLine = runOnCommandLine(participant, {QStringLiteral("--protocol"), path});
    QCOMPARE(window.message, QString());
    QCOMPARE(commandLine.volumes, window.volumes);
    QCOMPARE(commandLine.notices, window.notices);
    const bool over = !window.notices.filter(QStringLiteral("over the protocol's limit")).isEmpty();
    QCOMPARE(over, overLimit);
}

void TestDoseWindowAgreement::sameBandShown_data()
{
    QTest::addColumn<QByteArray>("participant");
    // Men and women, blood and breath units, metric input: each a dose with a plan.
    for (const char *name :
         {"worked example, male", "worked example, female", "worked example, 80 proof",
          "worked example in metric, female", "breath, mg/L at 2000:1",
          "breath, g/210 L at 2300:1, metric", "blood, mg/100 ml, another ratio ignored"})
        QTest::newRow(name) << QByteArray(name);
}

// The 80 % band of the expected peak: the Session Plan window says what --band prints.
void TestDoseWindowAgreement::sameBandShown()
{
    QFETCH(QByteArray, participant);
    const auto found =
        std::find_if(m_cases.cbegin(), m_cases.cend(),
                     [&participant](const auto &known) { return known.first == participant; });
    const Participant &given = found->second;
    QStringList arguments = {QStringLiteral("--gender"), given.gender};
    const QStringList typed = given.values;
    for (int i = 0; i < 3; ++i)
        arguments << QString::fromLatin1(given.metric && i < 2 ? MetricOptions[i]
                                                               : NumberOptions[i])
                  << typed[i];
    if (given.level && !given.level->isDefault())
        arguments << QStringLiteral("--level-unit") << QString::fromUtf8(given.level->info().option)
                  << QStringLiteral("--breath-ratio") << SingleToText(given.level->breathRatio)
                  << QStringLiteral("--target") << typed[3];
    else
        arguments << QStringLiteral("--bal") << typed[3];
    for (int i = 4; i < 7; ++i)
        arguments << QString::fromLatin1(NumberOptions[i]) << typed[i];
    const DoseRun run = runDose(arguments << QStringLiteral("--plan") << QStringLiteral("--band"));
    QCOMPARE(run.exitCode, 0);
    QMap<QString, QString> printed;
    for (const QString &line : QString::fromUtf8(run.output).split(u'\n'))
        printed.insert(line.section(u' ', 0, 0), line.section(u' ', 1));

    const Shown window = typeIntoWindow(given);
    QCOMPARE(window.message, QString());
    SessionPlanSettings settings;
    frmPlan plan(*Module1::run.lastDose, settings);
    const QString band = plan.findChild<QLabel *>(QStringLiteral("lblPeakBand"))->text();
    QVERIFY2(band.contains(QStringLiteral("between %1 and %2 ")
                               .arg(printed.value(QStringLiteral("peak_band_low")),
                                    printed.value(QStringLiteral("peak_band_high")))),
             qPrintable(band + QLatin1Char('\n') + QString::fromUtf8(run.output)));
}

QTEST_MAIN(TestDoseWindowAgreement)
#include "tst_dosewindowagreement.moc"
