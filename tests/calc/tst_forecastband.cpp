#include "calc/ForecastBand.h"
#include "tests/support/WorkedExample.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(CalculatedDose)
Q_DECLARE_METATYPE(BandEdges)
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

// A course as the band takes it: the time elimination starts to vary from (a booster's reading),
// the time served, the dose's own expected peak, its drinking period plus half an hour, and the
// course's level (a booster row's at the time asked in bandAt, at its peak in releaseBand).
struct Course {
    double readingHours = 0;
    double servedHours = 0;
    double peakBal = 0;
    double absorptionHours = 0;
    double level = 0;
};

std::optional<Course> boosterOf(const QList<double> &values)
{
    if (values.isEmpty())
        return std::nullopt;
    return Course{values[0], values[1], values[2], values[3], values[4]};
}

ForecastBand bandOf(const CalculatedDose &dose, const SessionPlan &plan,
                    const std::optional<Course> &booster)
{
    if (!booster)
        return ForecastBand::ofPlan(dose, plan);
    return {bandSpread(dose),
            {booster->peakBal, booster->servedHours, booster->absorptionHours,
             booster->readingHours, booster->level}};
}

// The band written out from the published figures and the model, apart from the code under test.
struct Reference {
    bool male;
    bool breath;
    double bodyWater;
    Course course; // the plan's: served at the start, at its peak at Ta

    Reference(const CalculatedDose &dose, const SessionPlan &plan,
              const std::optional<Course> &booster)
        : male(dose.state.Gender == Gender::Male), breath(dose.level.breath()),
          bodyWater(dose.intermediates.bodyWater),
          course(booster.value_or(Course{0, 0, plan.peakBal, plan.peakHours, plan.peakBal}))
    {
    }

    double peakHours() const { return course.servedHours + course.absorptionHours; }

    // A(t) = (peak + beta Ta) min(1, t / Ta), from when the dose is served.
    double absorbed(double hours) const
    {
        const double t = hours - course.servedHours;
        return (course.peakBal + 0.015 * course.absorptionHours) *
               std::clamp(t / course.absorptionHours, 0.0, 1.0);
    }

    // The plan's E(t) = A(t) - beta t before the peak; from the peak on the course falls at beta.
    double level(double hours) const
    {
        if (hours >= peakHours())
            return course.level - 0.015 * (hours - peakHours());
        return hours <= 0 ? 0 : absorbed(hours) - 0.015 * hours;
    }

    double sigma(double hours) const
    {
        const double cV = (male ? 3.76 : 3.60) / bodyWater;
        const double cA = 0.15;
        const double cR = breath ? 0.05 : 0;
        const double sBeta = male ? 0.0029 : 0.0030;
        const double a = absorbed(hours);
        const double t = std::max(0.0, hours - course.readingHours);
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
    void bandAt_data();
    void bandAt();
    void releaseBand_data();
    void releaseBand();
    void workedExample();
    void sentences_data();
    void sentences();
    void readingPosition_data();
    void readingPosition();
};

// The standard deviation and the edges at chosen times; a booster row's list is the reading's
// time, the time served, the booster's peak, its absorption hours and the course at that time.
void TestForecastBand::bandAt_data()
{
    QTest::addColumn<CalculatedDose>("dose");
    QTest::addColumn<QList<double>>("booster");
    QTest::addColumn<double>("hours");

    const CalculatedDose man = doseOf(Gender::Male, 70, 160);
    const CalculatedDose woman = doseOf(Gender::Female, 65, 130);
    const CalculatedDose manInBreath = doseOf(Gender::Male, 70, 160, MilligramsPerLitre);
    const CalculatedDose womanInBreath =
        doseOf(Gender::Female, 65, 130, {LevelUnit::GramsPer210Litres, 2300});
    const double peakHours = double(float(40 / 60.0)) + 0.5;
    QTest::newRow("man, before the start") << man << QList<double>{} << -0.25;
    QTest::newRow("man, absorbing") << man << QList<double>{} << 0.5;
    QTest::newRow("man, at the peak") << man << QList<double>{} << peakHours;
    QTest::newRow("man, falling") << man << QList<double>{} << 3.0;
    // Past the zero time the lower edge is held at 0 and the upper still falls; later both are 0.
    QTest::newRow("man, past zero") << man << QList<double>{} << 8.0;
    QTest::newRow("man, long past zero") << man << QList<double>{} << 12.0;
    QTest::newRow("woman, falling") << woman << QList<double>{} << 4.0;
    QTest::newRow("man, breath, at the peak") << manInBreath << QList<double>{} << peakHours;
    QTest::newRow("woman, breath, falling") << womanInBreath << QList<double>{} << 4.0;
    // A booster over 10 minutes served at 2 h from a reading at 1.75 h; elimination varies from
    // the reading on, absorption from the serving.
    const double boosterHours = double(float(10 / 60.0)) + 0.5;
    QTest::newRow("booster, before it is served")
        << man << QList<double>{1.75, 2, 0.03, boosterHours, 0.05} << 1.9;
    QTest::newRow("booster, absorbing")
        << man << QList<double>{1.75, 2, 0.03, boosterHours, 0.06} << 2.3;
    QTest::newRow("booster, falling, breath")
        << manInBreath << QList<double>{1.75, 2, 0.03, boosterHours, 0.055} << 3.5;
}

void TestForecastBand::bandAt()
{
    QFETCH(CalculatedDose, dose);
    QFETCH(QList<double>, booster);
    QFETCH(double, hours);

    const SessionPlan plan = PlanSession(dose, 3, 0.02f);
    QVERIFY(plan.ok());
    const Reference reference(dose, plan, boosterOf(booster));
    const ForecastBand band = bandOf(dose, plan, boosterOf(booster));
    const double course = booster.isEmpty() ? reference.level(hours) : booster[4];

    QVERIFY2(agrees(band.absorbed(hours), reference.absorbed(hours)),
             qPrintable(QString::number(band.absorbed(hours), 'g', 17)));
    QVERIFY2(agrees(band.sigma(hours), reference.sigma(hours)),
             qPrintable(QString::number(band.sigma(hours), 'g', 17)));
    const BandEdges edges =
        band.around(booster.isEmpty() ? plan.expectedLine(hours) : course, hours);
    QVERIFY2(agrees(edges.low, reference.edge(course, hours, -1)), qPrintable(edgesText(edges)));
    QVERIFY2(agrees(edges.high, reference.edge(course, hours, +1)), qPrintable(edgesText(edges)));
}

// The release band against a search along the edges written out; a booster row's list is as in
// bandAt, with the course at the booster's peak. A time beyond what a clock can show is none.
void TestForecastBand::releaseBand_data()
{
    QTest::addColumn<CalculatedDose>("dose");
    QTest::addColumn<float>("release");
    QTest::addColumn<QList<double>>("booster");

    const CalculatedDose man = doseOf(Gender::Male, 70, 160);
    QTest::newRow("man") << man << 0.02f << QList<double>{};
    QTest::newRow("woman") << doseOf(Gender::Female, 65, 130) << 0.02f << QList<double>{};
    QTest::newRow("heavy man, breath")
        << doseOf(Gender::Male, 74, 250, MilligramsPerLitre) << 0.02f << QList<double>{};
    // The lower edge at the peak, 0.0585, is below 0.07 already; 0.11 is above both edges.
    QTest::newRow("lower edge below at the peak") << man << 0.07f << QList<double>{};
    QTest::newRow("both edges below at the peak") << man << 0.11f << QList<double>{};
    const double boosterHours = double(float(10 / 60.0)) + 0.5;
    QTest::newRow("booster") << man << 0.02f << QList<double>{1.75, 2, 0.03, boosterHours, 0.07};
    QTest::newRow("booster, breath") << doseOf(Gender::Female, 65, 130, MilligramsPerLitre) << 0.03f
                                     << QList<double>{2.5, 2.75, 0.025, boosterHours, 0.06};
    QTest::newRow("beyond a clock") << man << 0.02f << QList<double>{0, 0, 1e9, 1, 1e9};
    QTest::newRow("release level not a number")
        << man << std::numeric_limits<float>::quiet_NaN() << QList<double>{};
}

void TestForecastBand::releaseBand()
{
    QFETCH(CalculatedDose, dose);
    QFETCH(float, release);
    QFETCH(QList<double>, booster);

    const SessionPlan plan = PlanSession(dose, 3, 0.02f);
    QVERIFY(plan.ok());
    const Reference reference(dose, plan, boosterOf(booster));
    const std::optional<ReleaseBand> band = bandOf(dose, plan, boosterOf(booster)).release(release);
    const double from = reference.crossing(release, -1) * 60;
    const double to = reference.crossing(release, +1) * 60;
    if (!(to <= std::numeric_limits<int>::max())) {
        QVERIFY(!band);
        return;
    }
    QVERIFY(band);
    QVERIFY2(std::abs(band->fromHours * 60 - from) < 1e-6, qPrintable(QString::number(from)));
    QVERIFY2(std::abs(band->toHours * 60 - to) < 1e-6, qPrintable(QString::number(to)));
    QCOMPARE(band->fromMinutes, int(std::round(from)));
    QCOMPARE(band->toMinutes, int(std::round(to)));
}

// The model's worked example: peak 0.0807 after 70 minutes, below 0.02 after 313.
void TestForecastBand::workedExample()
{
    const CalculatedDose dose = workedExampleDose();
    const SessionPlan plan = PlanSession(dose, 3, 0.02f);
    const std::optional<PlanBand> band = planBand(dose, plan, 0.02f);
    QVERIFY(band);
    QCOMPARE(peakBandSentence(band->peak, dose.level, QLocale::c()),
             QStringLiteral("80 % of participants like this one peak between 0.0585 and 0.1029."));
    QCOMPARE(band->release.fromMinutes, 211);
    QCOMPARE(band->release.toMinutes, 455);
    QCOMPARE(releaseBandSentence(plan, band->release, 0.02f, dose.level, QLocale::c()),
             QStringLiteral("Expected below 0.02 g/100 ml after 313 minutes, 80 % between 211 "
                            "and 455 minutes after the start. Only a reading releases a "
                            "participant."));
}

// Levels the model gives as the plan writes them: 4 decimals in g/100 ml, 4 significant digits
// in another unit; the release level as it was typed; numbers in the locale's format.
void TestForecastBand::sentences_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("releasedAfterPeak"); // else the peak is not above the release level
    QTest::addColumn<QString>("peakSentence");
    QTest::addColumn<QString>("releaseSentence");

    const QLocale c = QLocale::c();
    const QString only = QStringLiteral(" Only a reading releases a participant.");
    QTest::newRow("g/100 ml") << LevelScale{} << c << true
                              << "80 % of participants like this one peak between 0.0585 and "
                                 "0.1029."
                              << "Expected below 0.02 g/100 ml after 313 minutes, 80 % between "
                                 "211 and 455 minutes after the start." +
                                     only;
    QTest::newRow("German") << LevelScale{} << QLocale(QLocale::German, QLocale::Germany) << true
                            << "80 % of participants like this one peak between 0,0585 and "
                               "0,1029."
                            << "Expected below 0,02 g/100 ml after 313 minutes, 80 % between "
                               "211 and 455 minutes after the start." +
                                   only;
    // 0.0584644 and 0.1028637 g/100 ml are 0.292322 and 0.514319 mg/L at 2000:1, 0.02 is 0.1.
    QTest::newRow("mg/L") << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << c << true
                          << "80 % of participants like this one peak between 0.2923 and 0.5143."
                          << "Expected below 0.1 mg/L after 313 minutes, 80 % between 211 and "
                             "455 minutes after the start." +
                                 only;
    QTest::newRow("mg/100 ml") << LevelScale{LevelUnit::MilligramsPer100Ml} << c << true
                               << "80 % of participants like this one peak between 58.46 and "
                                  "102.9."
                               << "Expected below 20 mg/100 ml after 313 minutes, 80 % between "
                                  "211 and 455 minutes after the start." +
                                      only;
    QTest::newRow("never above the release level")
        << LevelScale{} << c << false
        << "80 % of participants like this one peak between 0.0585 and 0.1029."
        << "Expected never above 0.02 g/100 ml, 80 % below it by 455 minutes after the start." +
               only;
}

void TestForecastBand::sentences()
{
    QFETCH(LevelScale, level);
    QFETCH(QLocale, locale);
    QFETCH(bool, releasedAfterPeak);
    QFETCH(QString, peakSentence);
    QFETCH(QString, releaseSentence);

    SessionPlan plan;
    plan.releaseHours = releasedAfterPeak ? 5.2 : 0;
    plan.releaseAfterMinutes = releasedAfterPeak ? 313 : 0;
    const ReleaseBand band{3.5, 7.6, 211, 455};
    QCOMPARE(peakBandSentence({0.0584644, 0.1028637}, level, locale), peakSentence);
    QCOMPARE(releaseBandSentence(plan, band, 0.02f, level, locale), releaseSentence);
}

void TestForecastBand::readingPosition_data()
{
    QTest::addColumn<double>("reading");
    QTest::addColumn<BandEdges>("edges");
    QTest::addColumn<BandPosition>("position");

    const BandEdges band{0.05, 0.1};
    QTest::newRow("below") << 0.0499 << band << BandPosition::Below;
    QTest::newRow("on the lower edge") << 0.05 << band << BandPosition::Within;
    QTest::newRow("inside") << 0.075 << band << BandPosition::Within;
    QTest::newRow("on the upper edge") << 0.1 << band << BandPosition::Within;
    QTest::newRow("above") << 0.1001 << band << BandPosition::Above;
    QTest::newRow("zero, lower edge held at 0")
        << 0.0 << BandEdges{0, 0.01} << BandPosition::Within;
}

void TestForecastBand::readingPosition()
{
    QFETCH(double, reading);
    QFETCH(BandEdges, edges);
    QFETCH(BandPosition, position);
    QCOMPARE(bandPosition(reading, edges), position);
}

QTEST_GUILESS_MAIN(TestForecastBand)
#include "tst_forecastband.moc"
