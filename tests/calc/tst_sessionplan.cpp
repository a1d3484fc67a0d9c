#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/CalcDose.h"
#include "calc/dose/SessionPlan.h"

#include <QStringList>
#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(CalculatedDose)

namespace {

// A dose as the calculation gives it, for a man of 70 in, 160 lb and 25 years unless told.
CalculatedDose calculated(float bal = 0.08f, float dd = 40, std::int16_t gender = Gender::Male,
                          float height = 70, float weight = 160)
{
    CalculatedDose dose;
    DosingState &s = dose.state;
    s.Gender = gender;
    s.Height = height;
    s.Weight = weight;
    s.Age = 25;
    s.BAL = bal;
    s.DD = dd;
    s.Proof = 200;
    s.Ratio = 6;
    const DoseOutcome outcome = CalcDose(s);
    if (!outcome.ok())
        qFatal("the test dose did not compute");
    dose.intermediates = outcome.intermediates;
    return dose;
}

// "23+136@0 23+136@13 22+136@27": alcohol + mixer ml @ minute, and the total is their sum.
QString portionsText(const SessionPlan &plan)
{
    QStringList parts;
    for (const ServedPortion &portion : plan.portions) {
        if (portion.totalMl != portion.alcoholMl + portion.mixerMl)
            return QStringLiteral("portion %1: total is not the sum").arg(portion.number);
        parts << QStringLiteral("%1+%2@%3")
                     .arg(portion.alcoholMl)
                     .arg(portion.mixerMl)
                     .arg(portion.atMinute);
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestSessionPlan : public QObject {
    Q_OBJECT

private slots:
    void plans_data();
    void plans();
    void noPlan_data();
    void noPlan();
    void curveRisesToThePeakThenFalls();
};

void TestSessionPlan::plans_data()
{
    QTest::addColumn<CalculatedDose>("dose");
    QTest::addColumn<int>("portions");
    QTest::addColumn<float>("release");
    QTest::addColumn<QString>("peak");       // 4 decimals
    QTest::addColumn<QList<int>>("minutes"); // to the peak, below the release level, to zero
    QTest::addColumn<QString>("served");

    const CalculatedDose example = calculated();
    // The model's worked example: 68 ml of spirit and 408 ml of mixer, drunk over 40 minutes.
    QTest::newRow("worked example") << example << 3 << 0.02f << "0.0807" << QList<int>{70, 313, 393}
                                    << "23+136@0 23+136@13 22+136@27";
    QTest::newRow("one portion") << example << 1 << 0.02f << "0.0807" << QList<int>{70, 313, 393}
                                 << "68+408@0";
    QTest::newRow("twelve portions, the first eight take the extra ml")
        << example << 12 << 0.02f << "0.0807" << QList<int>{70, 313, 393}
        << "6+34@0 6+34@3 6+34@7 6+34@10 6+34@13 6+34@17 6+34@20 6+34@23 5+34@27 5+34@30 "
           "5+34@33 5+34@37";
    // 47 ml and 282 ml in five: two extra ml of each go to the first two portions.
    QTest::newRow("female, remainders of both volumes")
        << calculated(0.08f, 40, Gender::Female, 65, 130) << 5 << 0.02f << "0.0807"
        << QList<int>{70, 313, 393} << "10+57@0 10+57@8 9+56@16 9+56@24 9+56@32";
    // Every 2.5 minutes: the halves go to the later minute.
    QTest::newRow("serving times at exact halves")
        << calculated(0.08f, 20) << 8 << 0.02f << "0.0799" << QList<int>{50, 290, 370}
        << "8+48@0 8+48@3 8+48@5 8+48@8 8+48@10 8+48@13 8+48@15 8+48@18";
    QTest::newRow("release level above the peak: at once")
        << example << 3 << 0.09f << "0.0807" << QList<int>{70, 0, 393}
        << "23+136@0 23+136@13 22+136@27";
    QTest::newRow("release level just above the peak")
        << example << 3 << 0.0807f << "0.0807" << QList<int>{70, 0, 393}
        << "23+136@0 23+136@13 22+136@27";
    QTest::newRow("no drinking period: all at once, peak after half an hour")
        << calculated(0.08f, 0) << 2 << 0.02f << "0.0806" << QList<int>{30, 272, 352}
        << "31+183@0 30+183@0";
}

void TestSessionPlan::plans()
{
    QFETCH(CalculatedDose, dose);
    QFETCH(int, portions);
    QFETCH(float, release);
    QFETCH(QString, peak);
    QFETCH(QList<int>, minutes);
    QFETCH(QString, served);

    const SessionPlan plan = PlanSession(dose, portions, release);
    QVERIFY2(plan.ok(), qPrintable(planFaultText(plan.problem).message));
    QCOMPARE(QString::number(plan.peakBal, 'f', 4), peak);
    QCOMPARE((QList<int>{plan.peakAfterMinutes, plan.releaseAfterMinutes, plan.zeroAfterMinutes}),
             minutes);
    QCOMPARE(portionsText(plan), served);
}

void TestSessionPlan::noPlan_data()
{
    QTest::addColumn<CalculatedDose>("dose");
    QTest::addColumn<int>("portions");
    QTest::addColumn<float>("release");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("mentions");

    const CalculatedDose example = calculated();
    QTest::newRow("target level 0: the dose only covers elimination")
        << calculated(0) << 3 << 0.02f << int(PlanProblem::PeakNotAboveZero) << "peak BAL";
    QTest::newRow("negative target level")
        << calculated(-0.05f) << 3 << 0.02f << int(PlanProblem::PeakNotAboveZero) << "peak BAL";
    // A female of zero height and weight has negative body water and a dose of -3 ml.
    QTest::newRow("no body water") << calculated(0.08f, 40, Gender::Female, 0, 0) << 3 << 0.02f
                                   << int(PlanProblem::NoBodyWater) << "body water";
    QTest::newRow("negative drinking period")
        << calculated(0.08f, -10) << 3 << 0.02f << int(PlanProblem::NegativeDrinkingPeriod)
        << "drinking period";
    QTest::newRow("no portions") << example << 0 << 0.02f << int(PlanProblem::PortionsOutOfRange)
                                 << "1 to 12";
    QTest::newRow("thirteen portions")
        << example << 13 << 0.02f << int(PlanProblem::PortionsOutOfRange) << "1 to 12";
    QTest::newRow("release level 0")
        << example << 3 << 0.0f << int(PlanProblem::ReleaseLevelNotAboveZero) << "above 0";
    QTest::newRow("release level not a number")
        << example << 3 << std::numeric_limits<float>::quiet_NaN()
        << int(PlanProblem::ReleaseLevelNotAboveZero) << "above 0";

    // Nothing to serve: a negative proof gives a negative spirit volume (whose ethanol still
    // reckons positive), a negative ratio a negative mixer volume.
    const auto withSpirit = [](float proof, float ratio) {
        CalculatedDose dose = calculated();
        dose.state.Proof = proof;
        dose.state.Ratio = ratio;
        dose.intermediates = CalcDose(dose.state).intermediates;
        return dose;
    };
    QTest::newRow("negative proof: alcohol -68 ml")
        << withSpirit(-200, 6) << 3 << 0.02f << int(PlanProblem::NoAlcoholToServe)
        << "alcohol volume is not above 0 ml";
    QTest::newRow("negative ratio: mixer -408 ml")
        << withSpirit(200, -6) << 3 << 0.02f << int(PlanProblem::NegativeMixer)
        << "mixer volume is below 0 ml";

    // A body of almost no water fills to an absurd level that would take millennia to clear.
    CalculatedDose tiny = example;
    tiny.intermediates.bodyWater = 1e-30f;
    QTest::newRow("times beyond a clock")
        << tiny << 3 << 0.02f << int(PlanProblem::TimesOutOfRange) << "too far";
}

void TestSessionPlan::noPlan()
{
    QFETCH(CalculatedDose, dose);
    QFETCH(int, portions);
    QFETCH(float, release);
    QFETCH(int, problem);
    QFETCH(QString, mentions);

    const SessionPlan plan = PlanSession(dose, portions, release);
    QCOMPARE(int(plan.problem), problem);
    QVERIFY(plan.portions.isEmpty());
    const QString message = planFaultText(plan.problem).message;
    QVERIFY2(message.startsWith(QLatin1String("ERROR: ")), qPrintable(message));
    QVERIFY2(message.contains(mentions), qPrintable(message));
}

void TestSessionPlan::curveRisesToThePeakThenFalls()
{
    const SessionPlan plan = PlanSession(calculated(), 3, 0.02f);
    QVERIFY(plan.ok());
    // The drinking period in hours as the calculation stored it (a 32-bit float), plus half an
    // hour.
    const double peakHours = double(float(40 / 60.0)) + 0.5;
    QCOMPARE(plan.peakHours, peakHours);
    QCOMPARE(plan.expectedBal(-1), 0.0);
    QCOMPARE(plan.expectedBal(0), 0.0);
    QCOMPARE(plan.expectedBal(peakHours / 2), plan.peakBal / 2);
    QCOMPARE(plan.expectedBal(peakHours), plan.peakBal);
    // One hour after the peak it has fallen by 0.015 g/100 ml; at the release time it is there.
    QCOMPARE(plan.expectedBal(peakHours + 1), plan.peakBal - 0.015);
    QVERIFY(std::abs(plan.expectedBal(plan.releaseHours) - 0.02) < 1e-9);
    QCOMPARE(plan.expectedBal(plan.zeroHours), 0.0);
    QCOMPARE(plan.expectedBal(plan.zeroHours + 1), 0.0);
    // The straight line goes on falling below 0, and is the curve everywhere else.
    QVERIFY(std::abs(plan.expectedLine(plan.zeroHours + 1) + 0.015) < 1e-9);
    for (const double hours : {-1.0, 0.0, peakHours / 2, peakHours, peakHours + 1})
        QCOMPARE(plan.expectedLine(hours), plan.expectedBal(hours));
}

QTEST_GUILESS_MAIN(TestSessionPlan)
#include "tst_sessionplan.moc"
