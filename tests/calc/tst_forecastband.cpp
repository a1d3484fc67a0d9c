#include "calc/dose/ForecastBand.h"
#include "tests/support/WorkedExample.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(CalculatedDose)
Q_DECLARE_METATYPE(std::optional<BandCourse>)
Q_DECLARE_METATYPE(BandPosition)
Q_DECLARE_METATYPE(LevelScale)

namespace {

// The worked example's participant, or another, at the default parameters.
CalculatedDose doseOf(std::int16_t gender, float height, float weight, LevelScale level = {})
{
    DoseInput input = workedExampleInput();
    input.state.Gender = gender;
    input.state.Height = height;
    input.state.Weight = weight;
    input.level = level;
    const DoseReport report = evaluateDose(input);
    if (!report.ok())
        qFatal("the test dose did not compute");
    return report.dose;
}

const LevelScale MilligramsPerLitre{LevelUnit::MilligramsPerLitre, 2100};

// The band written out from the published figures and the model, apart from the code under test.
// A course is the plan's (served at the start, at its peak at Ta) or a booster's.
struct Reference {
    bool male;
    bool breath;
    double bodyWater;
    BandCourse course;

    Reference(const CalculatedDose &dose, const SessionPlan &plan,
              const std::optional<BandCourse> &booster)
        : male(dose.state.Gender == Gender::Male), breath(dose.level.breath()),
          bodyWater(dose.intermediates.bodyWater),
          course(booster.value_or(BandCourse{plan.peakBal, 0, plan.peakHours, 0, plan.peakBal}))
    {
    }

    double peakHours() const { return course.servedHours + course.absorptionHours; }

    // A(t) = (peak + beta Ta) min(1, t / Ta), from when the dose is served.
    double absorbed(double hours) const
    {
        const double t = hours - course.servedHours;
        return (course.doseBal + 0.015 * course.absorptionHours) *
               std::clamp(t / course.absorptionHours, 0.0, 1.0);
    }

    // The plan's E(t) = A(t) - beta t before the peak; from the peak on the course falls at beta.
    double level(double hours) const
    {
        if (hours >= peakHours())
            return course.peakLevel - 0.015 * (hours - peakHours());
        return hours <= 0 ? 0 : absorbed(hours) - 0.015 * hours;
    }

    double sigma(double hours) const
    {
        const double cV = (male ? 3.76 : 3.60) / bodyWater;
        const double cA = 0.15;
        const double cR = breath ? 0.05 : 0;
        const double sBeta = male ? 0.0029 : 0.0030;
        const double a = absorbed(hours);
        const double t = std::max(0.0, hours - course.eliminationFromHours);
        return std::sqrt(std::pow(a * cV, 2) + std::pow(a * cA, 2) + std::pow(a * cR, 2) +
                         std::pow(sBeta * t, 2));
    }

    double edge(double level, double hours, int side) const
    {
        return std::max(0.0, level + side * 1.2816 * sigma(hours));
    }

    // When the edge on `side` falls below `release`, from the peak on, found by bisection; never
    // for a release level that is not a number.
    double crossing(double release, int side) const
    {
        if (std::isnan(release))
            return release;
        const auto below = [&](double hours) { return edge(level(hours), hours, side) < release; };
        double early = peakHours();
        if (below(early))
            return early;
        double late = early + 1;
        while (!below(late))
            late = early + 2 * (late - early);
        for (int step = 0; step < 200; ++step) {
            const double middle = (early + late) / 2;
            (below(middle) ? late : early) = middle;
        }
        return late;
    }
};

// Levels of about 0.1 g/100 ml agree to far more digits than any are shown with.
bool agrees(double level, double reference)
{
    return std::abs(level - reference) <= 1e-12;
}

QString edgesText(const BandEdges &edges)
{
    return QStringLiteral("%1..%2").arg(edges.low, 0, 'g', 17).arg(edges.high, 0, 'g', 17);
}

} // namespace

class TestForecastBand : public QObject {
    Q_OBJECT

private slots:
    void band_data();
    void band();
    void workedExample_data();
    void workedExample();
    void sentences_data();
    void sentences();
    void readingPosition_data();
    void readingPosition();
};

// The standard deviation and the edges at chosen times, and when the edges fall below a release
// level, against the reference; a time beyond what a clock can show is none.
void TestForecastBand::band_data()
{
    QTest::addColumn<CalculatedDose>("dose");
    QTest::addColumn<std::optional<BandCourse>>("booster"); // none: the plan's
    QTest::addColumn<double>("hours");
    QTest::addColumn<float>("release");

    const CalculatedDose man = doseOf(Gender::Male, 70, 160);
    const CalculatedDose manInBreath = doseOf(Gender::Male, 70, 160, MilligramsPerLitre);
    const std::optional<BandCourse> plan;
    const double peakHours = double(float(40 / 60.0)) + 0.5;
    // The lower edge at the peak, 0.0585, is below 0.07 already; 0.11 is above both edges.
    QTest::newRow("man, before the start") << man << plan << -0.25 << 0.02f;
    QTest::newRow("man, absorbing; the lower edge below at the peak")
        << man << plan << 0.5 << 0.07f;
    QTest::newRow("man, at the peak; both edges below") << man << plan << peakHours << 0.11f;
    QTest::newRow("man, falling; a release level not a number")
        << man << plan << 3.0 << std::numeric_limits<float>::quiet_NaN();
    // Past the zero time the lower edge is held at 0 and the upper still falls; later both are 0.
    QTest::newRow("man, past zero") << man << plan << 8.0 << 0.02f;
    QTest::newRow("man, long past zero") << man << plan << 12.0 << 0.02f;
    QTest::newRow("woman, falling") << doseOf(Gender::Female, 65, 130) << plan << 4.0 << 0.02f;
    QTest::newRow("heavy man, breath, at the peak")
        << doseOf(Gender::Male, 74, 250, MilligramsPerLitre) << plan << peakHours << 0.02f;
    // A booster of 0.03 over 10 minutes served at 2 h from a reading at 1.75 h, peaking at 0.07;
    // elimination varies from the reading on, absorption from the serving.
    const std::optional<BandCourse> booster =
        BandCourse{0.03, 2, double(float(10 / 60.0)) + 0.5, 1.75, 0.07};
    QTest::newRow("booster, before it is served") << man << booster << 1.9 << 0.02f;
    QTest::newRow("booster, absorbing") << man << booster << 2.3 << 0.02f;
    QTest::newRow("booster, falling, breath") << manInBreath << booster << 3.5 << 0.02f;
    QTest::newRow("beyond a clock")
        << man << std::optional(BandCourse{1e9, 0, 1, 0, 1e9}) << 0.0 << 0.02f;
}

void TestForecastBand::band()
{
    QFETCH(CalculatedDose, dose);
    QFETCH(std::optional<BandCourse>, booster);
    QFETCH(double, hours);
    QFETCH(float, release);
    const SessionPlan plan = PlanSession(dose, 3, 0.02f);
    QVERIFY(plan.ok());
    const Reference reference(dose, plan, booster);
    const ForecastBand band =
        booster ? ForecastBand(bandSpread(dose), *booster) : ForecastBand::ofPlan(dose, plan);

    QVERIFY2(agrees(band.absorbed(hours), reference.absorbed(hours)),
             qPrintable(QString::number(band.absorbed(hours), 'g', 17)));
    QVERIFY2(agrees(band.sigma(hours), reference.sigma(hours)),
             qPrintable(QString::number(band.sigma(hours), 'g', 17)));
    // Around the course there: the plan's falling line continued below 0, or a booster's level.
    const double course = booster ? booster->peakLevel : reference.level(hours);
    const BandEdges edges = band.around(booster ? course : plan.expectedLine(hours), hours);
    QVERIFY2(agrees(edges.low, reference.edge(course, hours, -1)), qPrintable(edgesText(edges)));
    QVERIFY2(agrees(edges.high, reference.edge(course, hours, +1)), qPrintable(edgesText(edges)));

    const std::optional<ReleaseBand> released = band.release(release);
    const double from = reference.crossing(release, -1) * 60;
    const double to = reference.crossing(release, +1) * 60;
    QCOMPARE(released.has_value(), to <= std::numeric_limits<int>::max());
    if (!released)
        return;
    QVERIFY2(std::abs(released->fromHours * 60 - from) < 1e-6, qPrintable(QString::number(from)));
    QVERIFY2(std::abs(released->toHours * 60 - to) < 1e-6, qPrintable(QString::number(to)));
    QCOMPARE(released->fromMinutes, int(std::round(from)));
    QCOMPARE(released->toMinutes, int(std::round(to)));
}

// The model's worked example, as docs/model.md works it out: its peak of 0.0807 after 70
// minutes, below 0.02 after 313, in blood and in breath at 2000:1, where the ratio's spread
// widens the band.
void TestForecastBand::workedExample_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<QString>("peak");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("blood") << LevelScale{} << "0.0585 and 0.1029" << 211 << 455;
    QTest::newRow("mg/L at 2000:1")
        << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << "0.288 and 0.5187" << 208 << 458;
}

void TestForecastBand::workedExample()
{
    QFETCH(LevelScale, level);
    QFETCH(QString, peak);
    QFETCH(int, from);
    QFETCH(int, to);
    DoseInput input = workedExampleInput();
    input.level = level;
    const CalculatedDose dose = evaluateDose(input).dose;
    const SessionPlan plan = PlanSession(dose, 3, 0.02f);
    const std::optional<PlanBand> band = planBand(dose, plan, 0.02f);
    QVERIFY(band);
    QCOMPARE(peakBandSentence(band->peak, dose.level, QLocale::c()),
             QStringLiteral("80 % of participants like this one peak between %1 %2.")
                 .arg(peak, dose.level.unitText()));
    QCOMPARE(band->release.fromMinutes, from);
    QCOMPARE(band->release.toMinutes, to);
}

// Levels the model gives as the plan writes them: 4 decimals in g/100 ml, 4 significant digits
// in another unit; the release level as it was typed; numbers in the locale's format.
void TestForecastBand::sentences_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("releasedAfterPeak"); // else the peak is not above the release level
    QTest::addColumn<QString>("peak");
    QTest::addColumn<QString>("release");

    const QLocale c = QLocale::c();
    const LevelScale blood;
    QTest::newRow("German") << blood << QLocale(QLocale::German, QLocale::Germany) << true
                            << "0,0585 and 0,1029"
                            << "0,02 g/100 ml";
    // 0.0584644 and 0.1028637 g/100 ml are 0.292322 and 0.514319 mg/L at 2000:1, 0.02 is 0.1.
    QTest::newRow("mg/L") << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << c << true
                          << "0.2923 and 0.5143"
                          << "0.1 mg/L";
    QTest::newRow("mg/100 ml") << LevelScale{LevelUnit::MilligramsPer100Ml} << c << true
                               << "58.46 and 102.9"
                               << "20 mg/100 ml";
    QTest::newRow("never above the release level") << blood << c << false << "0.0585 and 0.1029"
                                                   << "0.02 g/100 ml";
}

void TestForecastBand::sentences()
{
    QFETCH(LevelScale, level);
    QFETCH(QLocale, locale);
    QFETCH(bool, releasedAfterPeak);
    QFETCH(QString, peak);
    QFETCH(QString, release);

    SessionPlan plan;
    plan.releaseHours = releasedAfterPeak ? 5.2 : 0;
    plan.releaseAfterMinutes = releasedAfterPeak ? 313 : 0;
    const ReleaseBand band{3.5, 7.6, 211, 455};
    QCOMPARE(peakBandSentence({0.0584644, 0.1028637}, level, locale),
             QStringLiteral("80 % of participants like this one peak between %1 %2.")
                 .arg(peak, level.unitText()));
    const QString expected =
        releasedAfterPeak
            ? QStringLiteral("Expected below %1 after 313 minutes, 80 % between 211 and 455 "
                             "minutes after the start.")
            : QStringLiteral("Expected never above %1, 80 % below it by 455 minutes after the "
                             "start.");
    QCOMPARE(releaseBandSentence(plan, band, 0.02f, level, locale),
             expected.arg(release) + QStringLiteral(" Only a reading releases a participant."));
}

// Against the band 0.05 to 0.1, its edges within it.
void TestForecastBand::readingPosition_data()
{
    QTest::addColumn<double>("reading");
    QTest::addColumn<BandPosition>("position");

    QTest::newRow("below") << 0.0499 << BandPosition::Below;
    QTest::newRow("on the lower edge") << 0.05 << BandPosition::Within;
    QTest::newRow("on the upper edge") << 0.1 << BandPosition::Within;
    QTest::newRow("above") << 0.1001 << BandPosition::Above;
}

void TestForecastBand::readingPosition()
{
    QFETCH(double, reading);
    QFETCH(BandPosition, position);
    QCOMPARE(bandPosition(reading, BandEdges{0.05, 0.1}), position);
}

QTEST_GUILESS_MAIN(TestForecastBand)
#include "tst_forecastband.moc"
