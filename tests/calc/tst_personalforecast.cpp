#include "calc/dose/DosingState.h"
#include "calc/dose/PersonalForecast.h"
#include "calc/dose/PersonalSimulation.h"

#include <QTest>
#include <cmath>

namespace {

// "70 85 100" and "0.08 0.077 0.073": minutes after the start and levels, read in pairs.
QList<PhaseReading> readingsOf(const QString &minutes, const QString &levels)
{
    const QStringList at = minutes.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList bal = levels.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<PhaseReading> readings;
    for (qsizetype i = 0; i < at.size(); ++i)
        readings.append({at[i].toInt(), bal.value(i).toDouble()});
    return readings;
}

QList<TimedBal> timed(const QList<PhaseReading> &readings)
{
    QList<TimedBal> hours;
    for (const PhaseReading &reading : readings)
        hours.append({reading.atMinute / 60.0, reading.bal});
    return hours;
}

// The worked example of docs/model.md: a man's five readings on the falling limb.
const QString WorkedMinutes = QStringLiteral("70 85 100 115 130");
const QString WorkedLevels = QStringLiteral("0.080 0.077 0.073 0.069 0.066");

} // namespace

class TestPersonalForecast : public QObject {
    Q_OBJECT

private slots:
    void rate_data();
    void rate();
    void release_data();
    void release();
    void applies_data();
    void applies();
    void simulatedCoverage_data();
    void simulatedCoverage();
};

// The rate and its 80 % interval, worked out by hand from the posterior as it is written,
// L = X'X / sm^2 + diag(0, 1 / sb^2) and its mean, with a plain 2x2 inverse in exact fractions.
void TestPersonalForecast::rate_data()
{
    QTest::addColumn<int>("gender");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<double>("readingSd");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");

    const int man = Gender::Male;
    const int woman = Gender::Female;
    // Nothing beyond the prior: 0.0159 +/- 1.2816 x 0.0029, 0.0179 +/- 1.2816 x 0.0030.
    QTest::newRow("one reading says nothing of the rate: a man's prior")
        << man << "70"
        << "0.08" << 0.004 << 0.0159 << 0.01218336 << 0.01961664;
    QTest::newRow("one reading says nothing of the rate: a woman's prior")
        << woman << "70"
        << "0.08" << 0.004 << 0.0179 << 0.0140552 << 0.0217448;
    QTest::newRow("readings too noisy to tell: the prior's")
        << man << WorkedMinutes << WorkedLevels << 1000.0 << 0.0159 << 0.01218336 << 0.01961664;
    QTest::newRow("a perfect straight fall with a tiny noise: its own slope")
        << man << "60 90 120 150"
        << "0.0713 0.0613 0.0513 0.0413" << 1e-7 << 0.02 << 0.0199998854 << 0.0200001146;
    // The interval narrows as readings are added.
    QTest::newRow("worked example, 3 readings")
        << man << "70 85 100"
        << "0.080 0.077 0.073" << 0.004 << 0.0157828605 << 0.0121826128 << 0.0193831082;
    QTest::newRow("worked example, 5 readings") << man << WorkedMinutes << WorkedLevels << 0.004
                                                << 0.0155290797 << 0.0123045442 << 0.0187536152;
    QTest::newRow("worked example, 8 readings")
        << man << WorkedMinutes + " 145 160 175" << WorkedLevels + " 0.062 0.059 0.055" << 0.004
        << 0.0149916615 << 0.0125824030 << 0.0174009200;
    // The same readings from a woman: her prior's higher mean pulls her rate up.
    QTest::newRow("worked example's readings, a woman")
        << woman << WorkedMinutes << WorkedLevels << 0.004 << 0.0169895954 << 0.0136824317
        << 0.0202967590;
}

void TestPersonalForecast::rate()
{
    QFETCH(int, gender);
    QFETCH(QString, minutes);
    QFETCH(QString, levels);
    QFETCH(double, readingSd);
    QFETCH(double, rate);
    QFETCH(double, low);
    QFETCH(double, high);
    const PersonalFit fit(timed(readingsOf(minutes, levels)),
                          eliminationPrior(std::int16_t(gender)), readingSd);
    const auto near = [](double value, double byHand) { return std::abs(value - byHand) < 1e-9; };
    QVERIFY2(near(fit.rate(), rate), qPrintable(QString::number(fit.rate(), 'g', 12)));
    QVERIFY2(near(fit.rateInterval().low, low),
             qPrintable(QString::number(fit.rateInterval().low, 'g', 12)));
    QVERIFY2(near(fit.rateInterval().high, high),
             qPrintable(QString::number(fit.rateInterval().high, 'g', 12)));
}

// When the course is expected below 0.02 and the first minutes at which the band's lower, then
// its upper edge is at or below it, worked out by hand: the course's crossing rounded as the plan
// rounds, the edges' crossings (given beside each) up to their next whole minute.
void TestPersonalForecast::release_data()
{
    QTest::addColumn<int>("gender");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<double>("readingSd");
    QTest::addColumn<int>("at"); // -1: none
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    const int man = Gender::Male;
    // 304.777 minutes; the edges at 268.654 and 359.354.
    QTest::newRow("worked example")
        << man << WorkedMinutes << WorkedLevels << 0.004 << 305 << 269 << 360;
    // 300.424; 259.138 and 365.359.
    QTest::newRow("worked example, 3 readings: a wider band")
        << man << "70 85 100"
        << "0.080 0.077 0.073" << 0.004 << 300 << 260 << 366;
    // 287.173; 255.786 and 333.304.
    QTest::newRow("worked example's readings, a woman")
        << int(Gender::Female) << WorkedMinutes << WorkedLevels << 0.004 << 287 << 256 << 334;
    // 213.9; both edges within a thousandth of a minute of it.
    QTest::newRow("a perfect straight fall")
        << man << "60 90 120 150"
        << "0.0713 0.0613 0.0513 0.0413" << 1e-7 << 214 << 214 << 214;
    QTest::newRow("below it from the peak on: the peak's minute")
        << man << "200 215 230"
        << "0.015 0.012 0.010" << 0.004 << 200 << 200 << 200;
    // A rate of 0.00012 (80 %: -0.00016 to 0.00041): it may not fall at all.
    QTest::newRow("a rate that may be 0: no time")
        << man << "100 160 220 280"
        << "0.08 0.08 0.08 0.0799" << 0.0005 << -1 << -1 << -1;
}

void TestPersonalForecast::release()
{
    QFETCH(int, gender);
    QFETCH(QString, minutes);
    QFETCH(QString, levels);
    QFETCH(double, readingSd);
    QFETCH(int, at);
    QFETCH(int, from);
    QFETCH(int, to);
    const PersonalForecast forecast = forecastFrom(
        readingsOf(minutes, levels), eliminationPrior(std::int16_t(gender)), readingSd, 0.02);
    QCOMPARE(forecast.releaseAtMinute.value_or(-1), at);
    QCOMPARE(forecast.releaseFromMinute.value_or(-1), from);
    QCOMPARE(forecast.releaseToMinute.value_or(-1), to);
}

// Once the limb is shown, the forecast learns from the readings from the phase's observed peak
// on, at least three with the last two falls.
void TestPersonalForecast::applies_data()
{
    QTest::addColumn<bool>("limbShown");
    QTest::addColumn<QString>("levels"); // every 15 minutes from 70
    QTest::addColumn<int>("readings");   // learnt from; -1 while it does not apply
    QTest::addColumn<int>("fromMinute");

    QTest::newRow("the limb not shown") << false << "0.08 0.077 0.073" << -1 << -1;
    QTest::newRow("three from the peak, the last two falls")
        << true << "0.08 0.077 0.073" << 3 << 70;
    QTest::newRow("from the peak on") << true << "0.05 0.08 0.077 0.073" << 3 << 85;
    QTest::newRow("fewer than three from the peak") << true << "0.06 0.07 0.08 0.077" << -1 << -1;
    QTest::newRow("a flat last reading") << true << "0.08 0.077 0.073 0.073" << -1 << -1;
    QTest::newRow("a fall again after it")
        << true << "0.08 0.077 0.073 0.073 0.07 0.066" << 6 << 70;
    QTest::newRow("a rise after the peak is kept")
        << true << "0.08 0.07 0.072 0.07 0.068" << 5 << 70;
    QTest::newRow("the earliest of equal peaks") << true << "0.08 0.08 0.075 0.07" << 4 << 70;
}

void TestPersonalForecast::applies()
{
    QFETCH(bool, limbShown);
    QFETCH(QString, levels);
    QFETCH(int, readings);
    QFETCH(int, fromMinute);
    QStringList minutes;
    for (qsizetype i = 0; i < levels.count(QLatin1Char(' ')) + 1; ++i)
        minutes << QString::number(70 + 15 * i);
    const std::optional<PersonalForecast> forecast =
        personalForecast(readingsOf(minutes.join(QLatin1Char(' ')), levels), limbShown,
                         eliminationPrior(Gender::Male), PersonalPrior::ReadingSd, 0.02);
    QCOMPARE(forecast ? forecast->readings : -1, readings);
    QCOMPARE(forecast ? forecast->fromMinute : -1, fromMinute);
}

// On 200 simulated participants of each sex the 80 % band holds the true release time about 80
// times in a hundred: between 70 and 90, whatever the seed, as 200 draws spread.
void TestPersonalForecast::simulatedCoverage_data()
{
    QTest::addColumn<int>("gender");
    QTest::addColumn<int>("readings");

    for (const auto &[sex, gender] : {std::pair{"men", Gender::Male}, {"women", Gender::Female}}) {
        for (int readings : {3, 5, 8})
            QTest::addRow("%s, after %d readings", sex, readings) << int(gender) << readings;
    }
}

void TestPersonalForecast::simulatedCoverage()
{
    QFETCH(int, gender);
    QFETCH(int, readings);
    const SimulationFigures figures =
        simulatePersonalForecast(std::int16_t(gender), 200, {readings});
    QCOMPARE(figures.after.size(), 1);
    const double coverage = figures.after.first().coverage;
    QVERIFY2(coverage >= 0.7 && coverage <= 0.9, qPrintable(QString::number(coverage)));
}

QTEST_APPLESS_MAIN(TestPersonalForecast)
#include "tst_personalforecast.moc"
