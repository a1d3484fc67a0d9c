#include "calc/Booster.h"
#include "calc/FaultTexts.h"
#include "calc/Placebo.h"
#include "calc/SessionCode.h"
#include "calc/SessionReadings.h"
#include "tests/support/WorkedExample.h"

#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(LevelScale)
Q_DECLARE_METATYPE(BoosterRefusal)
Q_DECLARE_METATYPE(PlaceboProblem)

namespace {

// The worked example, with its levels in `level`.
DoseInput workedExample(const LevelScale &level = {})
{
    DoseInput input = workedExampleInput();
    input.level = level;
    return input;
}

// "70=0.06 85=0.057": minutes and levels.
QList<LevelReading> readingsOf(const QString &text)
{
    QList<LevelReading> readings;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        readings.append({pair.section(QLatin1Char('='), 0, 0).toInt(),
                         pair.section(QLatin1Char('='), 1).toFloat()});
    return readings;
}

// The minute of the reading at `index`, or -1 for none.
int minuteAt(const QList<LevelReading> &readings, const std::optional<qsizetype> &index)
{
    return index ? readings[*index].atMinute : -1;
}

const LevelScale Blood;
const LevelScale BreathMgPerL{LevelUnit::MilligramsPerLitre, 2100};

} // namespace

class TestSessionRules : public QObject {
    Q_OBJECT

private slots:
    void course_data();
    void course();
    void expectedLevel_data();
    void expectedLevel();
    void placebo_data();
    void placebo();
    void sessionCode_data();
    void sessionCode();
};

void TestSessionRules::course_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<QString>("readings");
    QTest::addColumn<int>("peakAt"); // minutes; -1 for none
    QTest::addColumn<int>("descendingAt");
    QTest::addColumn<int>("releaseAt"); // at or below 0.02 g/100 ml
    QTest::addColumn<BoosterRefusal>("refusal");
    QTest::addColumn<float>("boosterTarget"); // g/100 ml, without a refusal

    QTest::newRow("worked example") << Blood << "70=0.06 85=0.057 100=0.054" << 70 << 100 << -1
                                    << BoosterRefusal::None << float(0.08f - 0.054f);
    QTest::newRow("no readings") << Blood << "" << -1 << -1 << -1
                                 << BoosterRefusal::LimbNotDescended << 0.0f;
    QTest::newRow("equal highest: the earliest; equal readings do not fall")
        << Blood << "60=0.07 80=0.07 100=0.05" << 60 << -1 << -1 << BoosterRefusal::LimbNotDescended
        << 0.0f;
    QTest::newRow("a low baseline does not release; the limb's reading does")
        << Blood << "-5=0 60=0.08 90=0.06 120=0.015" << 60 << 120 << 120 << BoosterRefusal::None
        << float(0.08f - 0.015f);
    QTest::newRow("shown once, then a rise; release at the level itself")
        << Blood << "60=0.08 75=0.07 90=0.06 105=0.065 120=0.02" << 60 << 90 << 120
        << BoosterRefusal::None << float(0.08f - 0.02f);
    QTest::newRow("falling but at the target") << Blood << "60=0.1 75=0.09 90=0.08" << 60 << 90
                                               << -1 << BoosterRefusal::AtOrAboveTarget << 0.0f;
    QTest::newRow("breath in mg/L, compared as g/100 ml")
        << BreathMgPerL << "60=0.4 75=0.35 90=0.3 105=0.09" << 60 << 90 << 105
        << BoosterRefusal::None << float(0.08f - BreathMgPerL.toBal(0.09f));
}

void TestSessionRules::course()
{
    QFETCH(LevelScale, level);
    QFETCH(QString, readings);
    QFETCH(int, peakAt);
    QFETCH(int, descendingAt);
    QFETCH(int, releaseAt);
    QFETCH(BoosterRefusal, refusal);
    QFETCH(float, boosterTarget);

    const QList<LevelReading> list = readingsOf(readings);
    QVERIFY(inTimeOrder(list));
    const ReadingsCourse course = readingsCourse(list, level, 0.02f);
    QCOMPARE(minuteAt(list, course.peak), peakAt);
    QCOMPARE(minuteAt(list, course.descendingShown), descendingAt);
    QCOMPARE(minuteAt(list, course.releaseReached), releaseAt);

    const BoosterEstimate booster =
        estimateBooster(workedExample(level), 0.08f, list, Booster::DefaultDrinkingMinutes);
    QCOMPARE(booster.refusal, refusal);
    QCOMPARE(boosterRefusalText(refusal).message.isEmpty(), refusal == BoosterRefusal::None);
    if (refusal != BoosterRefusal::None)
        return;
    // The booster is CalcDose itself for the new target over 10 minutes.
    DosingState expected = workedExample().state;
    expected.BAL = boosterTarget;
    expected.DD = 10;
    QVERIFY(CalcDose(expected).ok());
    QCOMPARE(booster.targetBal, boosterTarget);
    QVERIFY(booster.ok());
    QCOMPARE(booster.report.dose.state.AlcDose, expected.AlcDose);
    QCOMPARE(booster.report.dose.state.MixDose, expected.MixDose);
    QCOMPARE(booster.report.dose.state.TotDose, expected.TotDose);
}

void TestSessionRules::expectedLevel_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("atPeak"); // else nothing is expected

    QTest::newRow("baseline") << Blood << -5 << false;
    QTest::newRow("peak") << Blood << 70 << true;
    QTest::newRow("peak in mg/L") << BreathMgPerL << 70 << true;
    QTest::newRow("after zero") << Blood << 400 << false;
}

void TestSessionRules::expectedLevel()
{
    QFETCH(LevelScale, level);
    QFETCH(int, minute);
    QFETCH(bool, atPeak);
    const DoseReport report =
        evaluateDose(workedExample(level), {SessionPlanSettings{}, std::nullopt});
    QVERIFY(report.plan && report.plan->ok());
    QCOMPARE(report.plan->peakAfterMinutes, 70);
    const LevelReading reading{minute, 0.05f};
    const ExpectedAtReading at = expectedAtReading(reading, *report.plan, level);
    // The peak is at 40 minutes as a float hour plus half an hour: a hair after minute 70.
    const double expected = atPeak ? level.fromBal(report.plan->peakBal) : 0.0;
    QVERIFY2(std::abs(at.expectedLevel - expected) <= 1e-6 * expected,
             qPrintable(QString::number(at.expectedLevel, 'g', 17)));
    QCOMPARE(at.difference, double(reading.level) - at.expectedLevel);
}

void TestSessionRules::placebo_data()
{
    QTest::addColumn<float>("floatMl");
    QTest::addColumn<PlaceboProblem>("problem");
    QTest::addColumn<QString>("portions"); // alcohol+mixer of each

    QTest::newRow("no float") << 0.0f << PlaceboProblem::None << "0+159 0+159 0+158";
    QTest::newRow("5 ml") << 5.0f << PlaceboProblem::None << "5+154 5+154 5+153";
    QTest::newRow("the smallest portion") << 158.0f << PlaceboProblem::None << "158+1 158+1 158+0";
    QTest::newRow("above the smallest portion")
        << 159.0f << PlaceboProblem::FloatAboveSmallestPortion << "";
    QTest::newRow("half a millilitre") << 2.5f << PlaceboProblem::FloatNotWhole << "";
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN()
                                  << PlaceboProblem::FloatNotWhole << "";
    QTest::newRow("negative") << -1.0f << PlaceboProblem::FloatNegative << "";
}

void TestSessionRules::placebo()
{
    QFETCH(float, floatMl);
    QFETCH(PlaceboProblem, problem);
    QFETCH(QString, portions);
    const DoseReport report = evaluateDose(workedExample(), {SessionPlanSettings{}, std::nullopt});
    QVERIFY(report.plan && report.plan->ok());
    QCOMPARE(placeboProblem(floatMl, *report.plan), problem);
    QCOMPARE(placeboMessage(problem, 158).startsWith(QLatin1String("ERROR: ")),
             problem != PlaceboProblem::None);
    if (problem != PlaceboProblem::None)
        return;
    QStringList parts;
    const QList<ServedPortion> placebo = placeboPortions(*report.plan, int(floatMl));
    for (qsizetype i = 0; i < placebo.size(); ++i) {
        QCOMPARE(placebo[i].totalMl, report.plan->portions[i].totalMl);
        QCOMPARE(placebo[i].atMinute, report.plan->portions[i].atMinute);
        parts << QStringLiteral("%1+%2").arg(placebo[i].alcoholMl).arg(placebo[i].mixerMl);
    }
    QCOMPARE(parts.join(QLatin1Char(' ')), portions);
}

void TestSessionRules::sessionCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("letters, digits, - and _") << "P-017_b" << true;
    QTest::newRow("32 characters") << QString(32, QLatin1Char('a')) << true;
    QTest::newRow("33 characters") << QString(33, QLatin1Char('a')) << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a blank") << "P 017" << false;
    QTest::newRow("a letter beyond ASCII") << "P\u00e4017" << false;
    QTest::newRow("a path") << "../P017" << false;
    QTest::newRow("a comma") << "P,017" << false;
}

void TestSessionRules::sessionCode()
{
    QFETCH(QString, code);
    QFETCH(bool, accepted);
    QCOMPARE(acceptsSessionCode(code), accepted);
    QVERIFY(sessionCodeMessage(code).startsWith(QLatin1String("ERROR: ")));
}

QTEST_APPLESS_MAIN(TestSessionRules)
#include "tst_sessionrules.moc"
