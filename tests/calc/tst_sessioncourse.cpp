#include "calc/DosingModel.h"
#include "calc/ForecastBand.h"
#include "calc/SessionBooster.h"
#include "calc/SessionReport.h"
#include "calc/SessionRules.h"
#include "calc/SessionText.h"
#include "tests/support/SessionSupport.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace SessionSupport;

Q_DECLARE_METATYPE(SessionFault)

namespace {

constexpr float ReleaseBal = 0.02f;

// The worked example's record as a new session sets it up, with `served` portions ("3@50": the
// third at minute 50; "3@50x" voided after it; "3@50p" served in the portion's own row, as a
// version-1 record keeps it), a booster ("120/10": at 120 over 10 minutes) and
// readings (see appendReadings) entered unchecked, as a file may hold them.
SessionRecord recordOf(const QString &served, const QString &booster, const QString &readings,
                       bool placebo = false)
{
    auto session = workedSession();
    if (placebo)
        session->setBeverage(true, 0);
    SessionRecord record = session->record();
    for (QString mark : served.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool voided = mark.endsWith(QLatin1Char('x'));
        const bool inPortionRow = mark.endsWith(QLatin1Char('p'));
        if (voided || inPortionRow)
            mark.chop(1);
        const int number = mark.section(QLatin1Char('@'), 0, 0).toInt();
        const int minute = mark.section(QLatin1Char('@'), 1).toInt();
        if (inPortionRow) {
            for (SessionEntry &entry : record.entries) {
                if (entry.event == EntryEvent::Portion && entry.number == number)
                    entry.values.servedAtMinute = minute;
            }
            continue;
        }
        const int entry = appendServed(record, number, minute);
        if (voided)
            appendVoid(record, entry);
    }
    if (!booster.isEmpty())
        appendBooster(record, booster.section(QLatin1Char('/'), 0, 0).toInt(),
                      booster.section(QLatin1Char('/'), 1).toFloat());
    appendReadings(record, readings);
    return record;
}

SessionReport reportOf(const SessionRecord &record, int nowMinute = 600,
                       std::optional<int> boosterAt = std::nullopt, float boosterMinutes = 10)
{
    SessionReportOptions options;
    options.boosterAtMinute = boosterAt;
    options.boosterMinutes = boosterMinutes;
    options.locale = QLocale::c();
    return evaluateSession(record, at(nowMinute), options);
}

// The minute of the reading at `index`, or -1 for none.
int minuteAt(const SessionReport &report, std::optional<qsizetype> index)
{
    return index ? report.readings[*index].atMinute : -1;
}

QList<float> balOf(const QString &text)
{
    QList<float> bal;
    for (const QString &level : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        bal << level.toFloat();
    return bal;
}

int indexOr(std::optional<qsizetype> index)
{
    return index ? int(*index) : -1;
}

QString positionWord(const std::optional<BandPosition> &position)
{
    if (!position)
        return QStringLiteral("none");
    switch (*position) {
    case BandPosition::Below:
        return QStringLiteral("below");
    case BandPosition::Within:
        return QStringLiteral("within");
    case BandPosition::Above:
        return QStringLiteral("above");
    }
    return {};
}

bool sameEdges(const BandEdges &edges, const BandEdges &reference)
{
    return std::abs(edges.low - reference.low) <= 1e-12 &&
           std::abs(edges.high - reference.high) <= 1e-12;
}

// The band a chart shades from `outline` at `hours`: straight between its points, the later one
// where two lie at the same time, nothing outside it.
BandEdges shadedAt(const QList<BandPoint> &outline, double hours)
{
    for (qsizetype i = outline.size() - 1; i > 0; --i) {
        const BandPoint &from = outline[i - 1];
        const BandPoint &to = outline[i];
        if (hours < from.hours || hours > to.hours)
            continue;
        if (to.hours == from.hours)
            return to.edges;
        const double share = (hours - from.hours) / (to.hours - from.hours);
        return {from.edges.low + (to.edges.low - from.edges.low) * share,
                from.edges.high + (to.edges.high - from.edges.high) * share};
    }
    return {};
}

QString noteWord(ReadingNote note)
{
    switch (note) {
    case ReadingNote::Counts:
        return QStringLiteral("counts");
    case ReadingNote::Baseline:
        return QStringLiteral("baseline");
    case ReadingNote::MouthAlcohol:
        return QStringLiteral("mouth");
    case ReadingNote::Booster:
        return QStringLiteral("booster");
    case ReadingNote::NotALevel:
        return QStringLiteral("invalid");
    }
    return {};
}

} // namespace

class TestSessionCourse : public QObject {
    Q_OBJECT

private slots:
    void readingNotes_data();
    void readingNotes();
    void limb_data();
    void limb();
    void placeboRelease_data();
    void placeboRelease();
    void course_data();
    void course();
    void boosterOffer_data();
    void boosterOffer();
    void boosterCourse_data();
    void boosterCourse();
    void band_data();
    void band();
    void damagedRecord_data();
    void damagedRecord();
};

void TestSessionCourse::readingNotes_data()
{
    QTest::addColumn<QString>("served");
    QTest::addColumn<QString>("booster");
    QTest::addColumn<QString>("readings");
    QTest::addColumn<QString>("notes");

    // The drinking period of the worked example is 40 minutes.
    QTest::newRow("before the start: baseline") << ""
                                                << ""
                                                << "-180=0 -1=0.001 0=0"
                                                << "baseline baseline mouth";
    QTest::newRow("within 15 minutes of the drinking period's end") << ""
                                                                    << ""
                                                                    << "5=0.02 54=0.07 55=0.07"
                                                                    << "mouth mouth counts";
    QTest::newRow("worked example, mouth alcohol")
        << ""
        << ""
        << "5=0.025 10=0.012 15=0.009 30=0.015 45=0.025 60=0.033"
        << "mouth mouth mouth mouth mouth counts";
    QTest::newRow("within 15 minutes of the last portion served, later than the period")
        << "1@0 2@13 3@50"
        << ""
        << "54=0.07 64=0.07 65=0.07"
        << "mouth mouth counts";
    QTest::newRow("within 15 minutes of a portion served in its own row, as version 1 keeps it")
        << "1@0p 2@13p 3@50p"
        << ""
        << "54=0.07 64=0.07 65=0.07"
        << "mouth mouth counts";
    QTest::newRow("a voided serving does not end the drinking") << "3@50x"
                                                                << ""
                                                                << "54=0.07 55=0.07"
                                                                << "mouth counts";
    QTest::newRow("within 15 minutes of a booster's drinking")
        << ""
        << "120/10"
        << "110=0.05 120=0.05 144=0.06 145=0.06"
        << "counts mouth mouth booster";
    QTest::newRow("negative or not a number") << ""
                                              << ""
                                              << "60=-0.01 70=nan 80=inf"
                                              << "invalid invalid invalid";
}

void TestSessionCourse::readingNotes()
{
    QFETCH(QString, served);
    QFETCH(QString, booster);
    QFETCH(QString, readings);
    QFETCH(QString, notes);
    const SessionReport report = reportOf(recordOf(served, booster, readings));
    QStringList words;
    for (const ReadingLine &reading : report.readings) {
        words << noteWord(reading.note);
        QCOMPARE(reading.counts(), counts(reading.note));
    }
    QCOMPARE(words.join(QLatin1Char(' ')), notes);
}

void TestSessionCourse::limb_data()
{
    QTest::addColumn<QString>("bal"); // the counting readings of a phase, in time order
    QTest::addColumn<int>("shown");   // index; -1 for none
    QTest::addColumn<int>("withdrawnBy");
    QTest::addColumn<int>("release"); // at or below 0.02

    QTest::newRow("two falling in a row") << "0.06 0.057 0.054" << 2 << -1 << -1;
    QTest::newRow("too few") << "0.06 0.057" << -1 << -1 << -1;
    QTest::newRow("a flat reading neither shows it") << "0.06 0.057 0.057" << -1 << -1 << -1;
    QTest::newRow("nor breaks the fall before it") << "0.06 0.057 0.057 0.05" << -1 << -1 << -1;
    QTest::newRow("nor withdraws it") << "0.06 0.057 0.054 0.054" << 2 << -1 << -1;
    QTest::newRow("a rise first: from the rise on") << "0.05 0.06 0.055 0.05" << 3 << -1 << -1;
    QTest::newRow("withdrawn by a later rise") << "0.08 0.07 0.06 0.065" << -1 << 3 << -1;
    QTest::newRow("a second rise does not move the withdrawal")
        << "0.08 0.07 0.06 0.065 0.07" << -1 << 3 << -1;
    QTest::newRow("shown again two falls after the rise")
        << "0.08 0.07 0.06 0.065 0.06 0.05" << 5 << -1 << -1;
    QTest::newRow("release at the limb's own reading") << "0.08 0.05 0.02" << 2 << -1 << 2;
    QTest::newRow("a low reading before the limb does not release")
        << "0.015 0.08 0.06 0.04 0.03 0.021" << 3 << -1 << -1;
    QTest::newRow("release after the limb") << "0.08 0.06 0.04 0.03 0.019" << 2 << -1 << 4;
    QTest::newRow("a withdrawn limb takes its release") << "0.08 0.05 0.02 0.03" << -1 << 3 << -1;
}

void TestSessionCourse::limb()
{
    QFETCH(QString, bal);
    QFETCH(int, shown);
    QFETCH(int, withdrawnBy);
    QFETCH(int, release);
    const LimbCourse course = limbCourse(balOf(bal), ReleaseBal);
    QCOMPARE(indexOr(course.shown), shown);
    QCOMPARE(indexOr(course.withdrawnBy), withdrawnBy);
    QCOMPARE(indexOr(course.release), release);
}

void TestSessionCourse::placeboRelease_data()
{
    QTest::addColumn<QString>("bal");
    QTest::addColumn<int>("release");

    QTest::newRow("none") << "" << -1;
    QTest::newRow("never above it") << "0.01 0.005" << 0;
    QTest::newRow("at the level, nothing above after") << "0.03 0.02 0.01" << 1;
    QTest::newRow("above it again: from the last fall") << "0.01 0.03 0.015 0.02" << 2;
    QTest::newRow("the latest above it") << "0.01 0.03" << -1;
}

void TestSessionCourse::placeboRelease()
{
    QFETCH(QString, bal);
    QFETCH(int, release);
    QCOMPARE(indexOr(::placeboRelease(balOf(bal), ReleaseBal)), release);
}

void TestSessionCourse::course_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("booster");
    QTest::addColumn<QString>("readings");
    QTest::addColumn<int>("peakAt"); // minutes; -1 for none
    QTest::addColumn<int>("limbAt");
    QTest::addColumn<int>("withdrawnAt");
    QTest::addColumn<int>("releaseAt");

    QTest::newRow("worked example") << false << ""
                                    << "70=0.06 85=0.057 100=0.054" << 70 << 100 << -1 << -1;
    QTest::newRow("worked example, mouth alcohol: only the reading at 60 counts")
        << false << ""
        << "5=0.025 10=0.012 15=0.009 30=0.015 45=0.025 60=0.033" << 60 << -1 << -1 << -1;
    QTest::newRow("no readings") << false << ""
                                 << "" << -1 << -1 << -1 << -1;
    QTest::newRow("the earliest of equal peaks; a baseline never counts")
        << false << ""
        << "-10=0.2 60=0.07 75=0.07 90=0.05" << 60 << -1 << -1 << -1;
    QTest::newRow("a voided reading is left out")
        << false << ""
        << "60=0.08 75=0.09x 90=0.06 105=0.02" << 60 << 105 << -1 << 105;
    QTest::newRow("a withdrawn limb")
        << false << ""
        << "60=0.08 75=0.07 90=0.06 105=0.065" << 60 << -1 << 105 << -1;
    QTest::newRow("after a booster, its phase alone makes the limb; the peak is the session's")
        << false << "120/10"
        << "70=0.08 85=0.07 100=0.06 150=0.07 165=0.06 180=0.05" << 70 << 180 << -1 << -1;
    QTest::newRow("a limb before the booster does not carry over")
        << false << "120/10"
        << "70=0.08 85=0.07 100=0.06 150=0.019" << 70 << -1 << -1 << -1;
    QTest::newRow("placebo: no limb, released when it stays at or below the level")
        << true << ""
        << "60=0.01 75=0.03 90=0.015 105=0.01" << 75 << -1 << -1 << 90;
}

void TestSessionCourse::course()
{
    QFETCH(bool, placebo);
    QFETCH(QString, booster);
    QFETCH(QString, readings);
    QFETCH(int, peakAt);
    QFETCH(int, limbAt);
    QFETCH(int, withdrawnAt);
    QFETCH(int, releaseAt);
    const SessionReport report = reportOf(recordOf({}, booster, readings, placebo));
    QCOMPARE(minuteAt(report, report.outcome.observedPeak), peakAt);
    QCOMPARE(minuteAt(report, report.outcome.limbShown), limbAt);
    QCOMPARE(minuteAt(report, report.outcome.limbWithdrawnBy), withdrawnAt);
    QCOMPARE(minuteAt(report, report.outcome.release), releaseAt);
}

void TestSessionCourse::boosterOffer_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("booster"); // one served already
    QTest::addColumn<QString>("readings");
    QTest::addColumn<float>("minutes");
    QTest::addColumn<SessionFault>("refusal");
    QTest::addColumn<QString>("volumes"); // alcohol/mixer/total
    QTest::addColumn<int>("notices");     // the booster's own

    const QString worked = QStringLiteral("70=0.06 85=0.057 100=0.054");
    QTest::newRow("worked example")
        << false << "" << worked << 10.0f << SessionFault::None << "25/150/175" << 0;
    QTest::newRow("placebo") << true << "" << worked << 10.0f << SessionFault::BoosterPlacebo << ""
                             << 0;
    QTest::newRow("served already")
        << false << "105/10" << worked << 10.0f << SessionFault::BoosterServedAlready << "" << 0;
    QTest::newRow("limb not descended")
        << false << ""
        << "70=0.06 85=0.057" << 10.0f << SessionFault::BoosterLimb << "" << 0;
    QTest::newRow("withdrawn") << false << ""
                               << "70=0.06 85=0.057 100=0.054 105=0.055" << 10.0f
                               << SessionFault::BoosterLimb << "" << 0;
    QTest::newRow("at the target")
        << false << ""
        << "60=0.1 75=0.09 90=0.08" << 10.0f << SessionFault::BoosterAtTarget << "" << 0;
    QTest::newRow("the latest reading may hold mouth alcohol")
        << false << ""
        << "5=0.025 10=0.012 15=0.009 30=0.015 45=0.025" << 10.0f
        << SessionFault::BoosterMouthAlcohol << "" << 0;
    QTest::newRow("a baseline is not the latest reading")
        << false << ""
        << "-10=0 70=0.06 85=0.057 100=0.054" << 10.0f << SessionFault::None << "25/150/175" << 0;
    QTest::newRow("1 minute, outside the plausible drinking period")
        << false << "" << worked << 1.0f << SessionFault::None << "" << 1;
    QTest::newRow("120 minutes") << false << "" << worked << 120.0f << SessionFault::None << ""
                                 << 0;
    QTest::newRow("0 minutes") << false << "" << worked << 0.0f << SessionFault::BoosterPeriod << ""
                               << 0;
    QTest::newRow("121 minutes") << false << "" << worked << 121.0f << SessionFault::BoosterPeriod
                                 << "" << 0;
    QTest::newRow("half a minute")
        << false << "" << worked << 10.5f << SessionFault::BoosterPeriod << "" << 0;
    QTest::newRow("not a number") << false << "" << worked
                                  << std::numeric_limits<float>::quiet_NaN()
                                  << SessionFault::BoosterPeriod << "" << 0;
}

void TestSessionCourse::boosterOffer()
{
    QFETCH(bool, placebo);
    QFETCH(QString, booster);
    QFETCH(QString, readings);
    QFETCH(float, minutes);
    QFETCH(SessionFault, refusal);
    QFETCH(QString, volumes);
    QFETCH(int, notices);
    // Offered at minute 110, after every reading; a reading at 110 would be the booster's.
    const SessionReport report =
        reportOf(recordOf({}, booster, readings, placebo), 600, 110, minutes);
    if (refusal == SessionFault::BoosterServedAlready) {
        QVERIFY(!report.offer);
        QVERIFY(report.booster());
        return;
    }
    QVERIFY(report.offer);
    const BoosterOffer &offer = *report.offer;
    QCOMPARE(offer.refusal.fault, refusal);
    QCOMPARE(offer.refusal.message.startsWith(QLatin1String("ERROR: ")), offer.refusal.refused());
    if (offer.refusal.refused())
        return;
    QCOMPARE(minuteAt(report, offer.fromReading), 100);
    QCOMPARE(offer.targetBal, 0.08f - 0.054f);
    const DosingState &s = offer.report.dose.state;
    if (!volumes.isEmpty())
        QCOMPARE(QStringLiteral("%1/%2/%3").arg(s.AlcDose).arg(s.MixDose).arg(s.TotDose), volumes);
    QCOMPARE(s.DD, minutes);
    QCOMPARE(offer.report.notices.size(), notices);
}

void TestSessionCourse::boosterCourse_data()
{
    QTest::addColumn<QString>("readings");
    QTest::addColumn<int>("minutesAfterBooster"); // after it is served
    QTest::addColumn<double>("rise");             // P, in parts of the booster's own peak...
    QTest::addColumn<double>("fallHours");        // ...and hours of elimination after its peak

    const QString worked = QStringLiteral("70=0.06 85=0.057 100=0.054");
    // The booster's own course rises over 10 + 30 minutes.
    QTest::newRow("served: from the reading before it") << worked << 0 << 0.0 << 0.0;
    QTest::newRow("half way up") << worked << 20 << 0.5 << 0.0;
    QTest::newRow("its peak") << worked << 40 << 1.0 << 0.0;
    QTest::newRow("an hour after its peak") << worked << 100 << 1.0 << 1.0;
    QTest::newRow("its own course below 0, the reading's level still above")
        << worked << 40 + 60 * 5 << 1.0 << 5.0;
    QTest::newRow("without a counting reading: from the dose's expected level")
        << "5=0.02" << 0 << 0.0 << 0.0;
}

void TestSessionCourse::boosterCourse()
{
    QFETCH(QString, readings);
    QFETCH(int, minutesAfterBooster);
    QFETCH(double, rise);
    QFETCH(double, fallHours);
    constexpr int ServedAt = 110;
    const SessionReport report = reportOf(recordOf({}, QStringLiteral("110/10"), readings));
    QVERIFY(report.expected && report.booster() && report.booster()->course);
    const SessionPlan &plan = report.expected->plan;

    // The booster's own plan: its dose as poured, drunk over 10 minutes.
    const DoseReport own = evaluateDose(boosterInput(workedExampleInput(), 0.08f - 0.054f, 10),
                                        {SessionPlanSettings{1, ReleaseBal}, std::nullopt});
    QVERIFY(own.plan && own.plan->ok());
    QCOMPARE(own.dose.state.AlcDose, 25.0f);
    const double peak = own.plan->peakBal;
    const double from =
        readings.contains(QLatin1String("100=")) ? double(0.054f) : plan.expectedBal(110.0 / 60);
    const double expected =
        std::max(0.0, from + rise * peak - DosingModel::EliminationBalPerHour * fallHours);
    const int minute = ServedAt + minutesAfterBooster;
    QVERIFY2(std::abs(report.expected->expectedBal(minute) - expected) < 1e-9,
             qPrintable(QString::number(report.expected->expectedBal(minute), 'g', 17)));
    // Before it the dose's own course.
    QCOMPARE(report.expected->expectedBal(ServedAt - 1), plan.expectedBal((ServedAt - 1) / 60.0));

    // Its peak, release and zero times from r + P, rounded as the plan rounds.
    const BoosterCourse &course = *report.booster()->course;
    const auto minutes = [](double hours) { return qint64(std::round(hours * 60)); };
    const double elimination = DosingModel::EliminationBalPerHour;
    QCOMPARE(course.peakAtMinute(), ServedAt + 40);
    QCOMPARE(course.releaseAtMinute(),
             ServedAt + minutes(40.0 / 60 + (from + peak - ReleaseBal) / elimination));
    QCOMPARE(course.zeroAtMinute(), ServedAt + minutes(40.0 / 60 + (from + peak) / elimination));
    // The chart jumps at the booster to r, rises to the booster's peak and falls to 0.
    const QList<QPointF> points = report.expected->points();
    QCOMPARE(points.size(), 6);
    QCOMPARE(points[3], QPointF(110.0 / 60, from));
    QCOMPARE(points[4].y(), from + peak);
    QCOMPARE(points[5].y(), 0.0);
}

// Each reading against the band at its time: the plan's before a booster, the booster's from it
// on, centred on the course there; the plan's peak and release band and the booster's.
void TestSessionCourse::band_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("booster");
    QTest::addColumn<QString>("readings");
    QTest::addColumn<QString>("positions"); // "-" for a reading without a band

    // The plan's band is 0.0585 to 0.1029 at its peak, 70 minutes; a baseline's is 0 to 0.
    QTest::newRow("against the plan's band")
        << false << ""
        << "-10=0 -5=0.001 70=0.06 70=0.05 70=0.11 85=0.057 100=0.054 200=-0.01"
        << "within above within below above within within none";
    // The booster from 0.054 at 100 minutes starts there at 110, where the plan's band is near
    // 0.07, and peaks near 0.08 at 150: about 0.07 to 0.09 there.
    QTest::newRow("a booster's band from it on")
        << false << "110/10"
        << "70=0.06 85=0.057 100=0.054 110=0.054 150=0.08 160=0.05 170=0.12"
        << "within within within within within below above";
    QTest::newRow("a booster from no reading has none") << false << "110/10"
                                                        << "5=0.006 150=0.08"
                                                        << "within -";
    QTest::newRow("a placebo has none") << true << ""
                                        << "70=0.06 85=0.057"
                                        << "- -";
}

void TestSessionCourse::band()
{
    QFETCH(bool, placebo);
    QFETCH(QString, booster);
    QFETCH(QString, readings);
    QFETCH(QString, positions);
    const SessionReport report = reportOf(recordOf({}, booster, readings, placebo));
    QCOMPARE(report.band.has_value(), !placebo);
    QStringList words;
    for (const ReadingLine &reading : report.readings)
        words << (reading.band ? positionWord(reading.bandPosition) : QStringLiteral("-"));
    QCOMPARE(words.join(QLatin1Char(' ')), positions);
    if (placebo)
        return;

    // The outline a chart shades runs from the start, where nothing is absorbed yet, and lies on
    // every reading's band; it ends where its upper edge reaches 0, or at a booster without a
    // band of its own.
    const QList<BandPoint> &outline = report.band->outline;
    QVERIFY(outline.size() > 2);
    QCOMPARE(outline.first().hours, 0.0);
    QCOMPARE(outline.first().edges, BandEdges{});
    for (const ReadingLine &reading : report.readings) {
        if (!reading.band)
            continue;
        const BandEdges shaded = shadedAt(outline, reading.atMinute / 60.0);
        QVERIFY2(std::abs(shaded.low - reading.band->low) < 2e-5 &&
                     std::abs(shaded.high - reading.band->high) < 2e-5,
                 qPrintable(QStringLiteral("%1: %2..%3 shaded %4..%5")
                                .arg(reading.atMinute)
                                .arg(reading.band->low)
                                .arg(reading.band->high)
                                .arg(shaded.low)
                                .arg(shaded.high)));
    }
    if (!booster.isEmpty() && !report.band->boosterPeak)
        QCOMPARE(outline.last().hours, report.booster()->atMinute / 60.0);
    else
        QVERIFY2(outline.last().edges.high < 1e-12,
                 qPrintable(QString::number(outline.last().edges.high)));

    const CalculatedDose &dose = report.dose.dose;
    const SessionPlan &plan = *report.dose.plan;
    const ForecastBand planBand = ForecastBand::ofPlan(dose, plan);
    const std::optional<PlanBand> brief = ::planBand(dose, plan, ReleaseBal);
    QVERIFY(brief && report.band->release);
    QCOMPARE(report.band->peak, brief->peak);
    QCOMPARE(report.band->release->fromMinutes, brief->release.fromMinutes);
    QCOMPARE(report.band->release->toMinutes, brief->release.toMinutes);

    // The booster's own course, as its dose was poured, from the reading at 100 minutes.
    std::optional<ForecastBand> boosterBand;
    double from = 0;
    double rise = 0;
    double riseHours = 0;
    constexpr int ServedAt = 110;
    if (!booster.isEmpty() && readings.contains(QLatin1String("100="))) {
        const DoseReport own = evaluateDose(boosterInput(workedExampleInput(), 0.08f - 0.054f, 10),
                                            {SessionPlanSettings{1, ReleaseBal}, std::nullopt});
        QVERIFY(own.plan && own.plan->ok());
        from = double(0.054f);
        rise = own.plan->peakBal;
        riseHours = own.plan->peakHours;
        boosterBand = ForecastBand(bandSpread(dose),
                                   {rise, ServedAt / 60.0, riseHours, 100 / 60.0, from + rise});
    }
    QCOMPARE(report.band->boosterPeak.has_value(), boosterBand.has_value());
    if (boosterBand) {
        QVERIFY(sameEdges(*report.band->boosterPeak, boosterBand->peak()));
        const std::optional<ReleaseBand> release = boosterBand->release(ReleaseBal);
        QVERIFY(release && report.band->boosterRelease);
        QCOMPARE(report.band->boosterRelease->fromMinutes, release->fromMinutes);
        QCOMPARE(report.band->boosterRelease->toMinutes, release->toMinutes);
    }
    for (const ReadingLine &reading : report.readings) {
        if (!reading.band)
            continue;
        const double hours = reading.atMinute / 60.0;
        BandEdges edges = planBand.around(plan.expectedLine(hours), hours);
        if (!booster.isEmpty() && reading.atMinute >= ServedAt) {
            // The booster's course continued straight below 0: r + P(t - B).
            const double since = hours - ServedAt / 60.0;
            const double course =
                from + (since < riseHours
                            ? rise * since / riseHours
                            : rise - DosingModel::EliminationBalPerHour * (since - riseHours));
            edges = boosterBand->around(course, hours);
        }
        QVERIFY2(sameEdges(*reading.band, edges),
                 qPrintable(QStringLiteral("%1: %2..%3")
                                .arg(reading.atMinute)
                                .arg(reading.band->low, 0, 'g', 17)
                                .arg(reading.band->high, 0, 'g', 17)));
    }
}

void TestSessionCourse::damagedRecord_data()
{
    QTest::addColumn<int>("minute");  // of every entry
    QTest::addColumn<float>("value"); // every level, drinking period and target

    constexpr int lowest = std::numeric_limits<int>::min();
    constexpr int highest = std::numeric_limits<int>::max();
    constexpr float huge = std::numeric_limits<float>::max();
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("the earliest minute") << lowest << 0.05f;
    QTest::newRow("the latest minute") << highest << 0.05f;
    QTest::newRow("the largest float") << 100 << huge;
    QTest::newRow("not a number") << 100 << nan;
    QTest::newRow("below 0") << -1 << -huge;
}

// A record may hold any value its file allows: the report keeps every entry and words it.
void TestSessionCourse::damagedRecord()
{
    QFETCH(int, minute);
    QFETCH(float, value);
    SessionRecord record = recordOf({}, {}, QStringLiteral("70=0.06 85=0.057 100=0.054"));
    record.setup.input.state.DD = value;
    appendServed(record, 3, minute);
    appendReading(record, minute, value);
    const int booster = appendBooster(record, minute, value);
    record.entries.last().boosterTargetBal = value;
    SessionEntry correction;
    correction.event = EntryEvent::Correction;
    correction.corrects = booster;
    correction.values.drinkingMinutes = value;
    correction.reason = QStringLiteral("wrong time");
    append(record, correction);
    correction.corrects = 1; // the setup, without a start
    correction.values = EntryValues{};
    correction.values.start = QDateTime();
    correction.values.releaseBal = value;
    append(record, correction);

    for (const int offeredAt : {minute, 0}) {
        const SessionReport report = reportOf(record, minute, offeredAt);
        QCOMPARE(report.readings.size(), 4);
        QCOMPARE(report.boosters.size(), 1);
        QCOMPARE(report.history.size(), 2);
        const SessionText text = describeSession(report, QLocale::c());
        QCOMPARE(text.readings.size(), 4);
        QVERIFY(text.observedPeak.startsWith(QLatin1String("Observed peak: ")));
        QCOMPARE(text.history.size(), 2);
    }
}

QTEST_APPLESS_MAIN(TestSessionCourse)
#include "tst_sessioncourse.moc"
