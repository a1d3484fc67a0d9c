#include "calc/session/SessionReport.h"
#include "calc/session/SessionRules.h"
#include "calc/session/SessionText.h"
#include "tests/support/SessionSupport.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace SessionSupport;

Q_DECLARE_METATYPE(SessionFault)

namespace {

constexpr float ReleaseBal = 0.02f;

// The worked example's record as a new session sets it up, with `entries` appended unchecked, as
// a file may hold them (see SessionSupport::appendEntries).
SessionRecord recordOf(const QString &entries, bool placebo = false)
{
    auto session = workedSession();
    session->setBeverage(placebo, 0);
    SessionRecord record = session->record();
    appendEntries(record, entries);
    return record;
}

SessionReport reportOf(const SessionRecord &record, int nowMinute = 600,
                       std::optional<int> boosterAt = std::nullopt, float boosterMinutes = 10,
                       const ReleaseRule &release = {})
{
    SessionReportOptions options;
    options.release = release;
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

// The band a chart shades from `outline` at `hours`: straight between its points, the later one
// where two lie at the same time, nothing outside it.
BandEdges shadedAt(const QList<BandPoint> &outline, double hours)
{
    for (qsizetype i = outline.size() - 1; i > 0; --i) {
        const BandPoint &from = outline[i - 1];
        const BandPoint &to = outline[i];
        if (hours < from.hours || hours > to.hours)
            continue;
        const double share =
            to.hours == from.hours ? 1 : (hours - from.hours) / (to.hours - from.hours);
        return {from.edges.low + (to.edges.low - from.edges.low) * share,
                from.edges.high + (to.edges.high - from.edges.high) * share};
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
    void implausibleFall_data();
    void implausibleFall();
    void release_data();
    void release();
    void course_data();
    void course();
    void boosterOffer_data();
    void boosterOffer();
    void boosterCourse_data();
    void boosterCourse();
    void timesInForce_data();
    void timesInForce();
    void band_data();
    void band();
    void damagedRecord_data();
    void damagedRecord();
    void personal_data();
    void personal();
};

void TestSessionCourse::readingNotes_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("notes");

    // The drinking period of the worked example is 40 minutes.
    QTest::newRow("before the start: baseline") << "-180=0 -1=0.001 0=0"
                                                << "baseline baseline mouth_alcohol";
    QTest::newRow("within 15 minutes of the drinking period's end")
        << "5=0.02 54=0.07 55=0.07"
        << "mouth_alcohol mouth_alcohol counts";
    QTest::newRow("worked example, mouth alcohol")
        << "5=0.025 10=0.012 15=0.009 30=0.015 45=0.025 60=0.033"
        << "mouth_alcohol mouth_alcohol mouth_alcohol mouth_alcohol mouth_alcohol counts";
    QTest::newRow("within 15 minutes of the last portion served, later than the period")
        << "s1@0 s2@13 s3@50 54=0.07 64=0.07 65=0.07"
        << "mouth_alcohol mouth_alcohol counts";
    QTest::newRow("within 15 minutes of a portion served in its own row, as version 1 keeps it")
        << "s1@0p s2@13p s3@50p 54=0.07 64=0.07 65=0.07"
        << "mouth_alcohol mouth_alcohol counts";
    QTest::newRow("a voided serving does not end the drinking") << "s3@50x 54=0.07 55=0.07"
                                                                << "mouth_alcohol counts";
    QTest::newRow("within 15 minutes of a booster's drinking")
        << "b120 110=0.05 120=0.05 144=0.06 145=0.06"
        << "counts mouth_alcohol mouth_alcohol booster";
    QTest::newRow("negative or not a number") << "60=-0.01 70=nan 80=inf"
                                              << "not_a_level not_a_level not_a_level";
}

void TestSessionCourse::readingNotes()
{
    QFETCH(QString, entries);
    QFETCH(QString, notes);
    QStringList words;
    for (const ReadingLine &reading : reportOf(recordOf(entries)).readings)
        words << QLatin1String(readingNoteWord(reading.note));
    QCOMPARE(words.join(QLatin1Char(' ')), notes);
}

// What the counting readings of a phase show; a placebo's show no limb, only a release.
void TestSessionCourse::limb_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("bal"); // in time order
    QTest::addColumn<int>("shown");   // index; -1 for none
    QTest::addColumn<int>("withdrawnBy");
    QTest::addColumn<int>("release"); // at or below 0.02

    QTest::newRow("two falling in a row") << false << "0.06 0.057 0.054" << 2 << -1 << -1;
    QTest::newRow("too few") << false << "0.06 0.057" << -1 << -1 << -1;
    QTest::newRow("a flat reading neither shows it")
        << false << "0.06 0.057 0.057" << -1 << -1 << -1;
    QTest::newRow("nor breaks the fall before it")
        << false << "0.06 0.057 0.057 0.05" << -1 << -1 << -1;
    QTest::newRow("nor withdraws it") << false << "0.06 0.057 0.054 0.054" << 2 << -1 << -1;
    QTest::newRow("a rise first: from the rise on")
        << false << "0.05 0.06 0.055 0.05" << 3 << -1 << -1;
    QTest::newRow("withdrawn by a later rise") << false << "0.08 0.07 0.06 0.065" << -1 << 3 << -1;
    QTest::newRow("a second rise does not move the withdrawal")
        << false << "0.08 0.07 0.06 0.065 0.07" << -1 << 3 << -1;
    QTest::newRow("shown again two falls after the rise")
        << false << "0.08 0.07 0.06 0.065 0.06 0.05" << 5 << -1 << -1;
    QTest::newRow("release at the limb's own reading") << false << "0.08 0.05 0.02" << 2 << -1 << 2;
    QTest::newRow("a low reading before the limb does not release")
        << false << "0.015 0.08 0.06 0.04 0.03 0.021" << 3 << -1 << -1;
    QTest::newRow("release after the limb") << false << "0.08 0.06 0.04 0.03 0.019" << 2 << -1 << 4;
    QTest::newRow("a withdrawn limb takes its release")
        << false << "0.08 0.05 0.02 0.03" << -1 << 3 << -1;
    QTest::newRow("placebo: none") << true << "" << -1 << -1 << -1;
    QTest::newRow("placebo: never above it") << true << "0.01 0.005" << -1 << -1 << 0;
    QTest::newRow("placebo: at the level, nothing above after")
        << true << "0.03 0.02 0.01" << -1 << -1 << 1;
    QTest::newRow("placebo: above it again, from the last fall")
        << true << "0.01 0.03 0.015 0.02" << -1 << -1 << 2;
    QTest::newRow("placebo: the latest above it") << true << "0.01 0.03" << -1 << -1 << -1;
}

void TestSessionCourse::limb()
{
    QFETCH(bool, placebo);
    QFETCH(QString, bal);
    QFETCH(int, shown);
    QFETCH(int, withdrawnBy);
    QFETCH(int, release);
    // The readings as the rest of a list whose first value, far above them all, was taken off:
    // it stays in memory just before the first reading, where a rule that read before the first
    // reading would find a fall.
    QList<float> levels{1};
    QList<TimedReading> timed;
    for (const QString &level : bal.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        levels << level.toFloat();
        timed << TimedReading{int(timed.size()) * 15, level.toFloat()};
    }
    levels.removeFirst();
    const LimbCourse course = placebo ? LimbCourse{} : limbCourse(levels);
    QCOMPARE(course.shown.value_or(-1), shown);
    QCOMPARE(course.withdrawnBy.value_or(-1), withdrawnBy);
    const std::optional<qsizetype> from =
        placebo ? placeboRelease(levels, ReleaseBal) : course.shown;
    QCOMPARE(releaseCourse(timed, {}, from, ReleaseBal, {}).release.value_or(-1), release);
}

// A counting reading that falls faster than a body eliminates from the counting reading before it
// in its phase: each reading's "the minute it fell from", "-" for none.
void TestSessionCourse::implausibleFall_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("fellFrom");

    QTest::newRow("the slip: 0.062 in 15 minutes, 0.248 an hour")
        << "80=0.072 95=0.07 110=0.068 125=0.006"
        << "- - - 110";
    QTest::newRow("0.039 an hour") << "70=0.06 85=0.05025"
                                   << "- -";
    QTest::newRow("0.041 an hour") << "70=0.06 85=0.04975"
                                   << "- 70";
    QTest::newRow("any fall within one minute") << "70=0.06 70=0.059"
                                                << "- 70";
    QTest::newRow("a rise") << "70=0.02 85=0.06"
                            << "- -";
    // 54 may hold mouth alcohol (drinking ends at 40); 100 is voided.
    QTest::newRow("from the counting reading before it")
        << "54=0.09 70=0.06 85=0.055 100=0.02x 115=0.05"
        << "- - - - -";
    QTest::newRow("the first of the booster's phase falls from none") << "b120 100=0.06 145=0.02"
                                                                      << "- -";
}

void TestSessionCourse::implausibleFall()
{
    QFETCH(QString, entries);
    QFETCH(QString, fellFrom);
    const SessionReport report = reportOf(recordOf(entries));
    QStringList from;
    for (const ReadingLine &reading : report.readings)
        from << (reading.implausibleFallFrom
                     ? QString::number(report.readings[*reading.implausibleFallFrom].atMinute)
                     : QStringLiteral("-"));
    QCOMPARE(from.join(QLatin1Char(' ')), fellFrom);
}

// The release from the limb on (a placebo's from its last readings at or below the level): never
// at a reading that fell implausibly, and with more readings asked for, at the one that makes them
// all, each at least 5 minutes after the one before. Minutes, -1 for none: where the level was
// reached, the release, the first reading at or below it that has not released, the latest that
// fell implausibly, and from when the next confirms.
void TestSessionCourse::release_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<int>("readings"); // to release
    QTest::addColumn<QList<int>>("minutes");

    const QString slip = QStringLiteral("80=0.072 95=0.07 110=0.068 125=0.006");
    const QString falling = QStringLiteral("80=0.05 110=0.04 140=0.03 165=0.019");
    QTest::newRow("a slip never releases") << false << slip << 1 << QList{-1, -1, 125, 125, -1};
    QTest::newRow("the next plausible reading does")
        << false << slip + " 140=0.005" << 1 << QList{140, 140, -1, -1, -1};
    QTest::newRow("two readings: the first waits")
        << false << falling << 2 << QList{165, -1, 165, -1, 170};
    QTest::newRow("two readings: one too soon does not confirm")
        << false << falling + " 168=0.018" << 2 << QList{165, -1, 165, -1, 170};
    QTest::newRow("two readings, 5 minutes apart")
        << false << falling + " 168=0.018 170=0.017" << 2 << QList{165, 170, -1, -1, -1};
    QTest::newRow("a slip does not confirm")
        << false << falling + " 170=0.001" << 2 << QList{165, -1, 165, 170, 170};
    QTest::newRow("three readings")
        << false << falling + " 170=0.018" << 3 << QList{165, -1, 165, -1, 175};
    QTest::newRow("placebo: two readings from the last above the level")
        << true << "60=0.019 70=0.021 80=0.018 84=0.017 90=0.016" << 2 << QList{80, 90, -1, -1, -1};
}

void TestSessionCourse::release()
{
    QFETCH(bool, placebo);
    QFETCH(QString, entries);
    QFETCH(int, readings);
    QFETCH(QList<int>, minutes);
    const SessionReport report =
        reportOf(recordOf(entries, placebo), 600, std::nullopt, 10, {readings, 5});
    const ReadingsOutcome &outcome = report.outcome;
    const std::optional<qsizetype> reached = outcome.releaseConfirming.isEmpty()
                                                 ? std::nullopt
                                                 : std::optional(outcome.releaseConfirming.first());
    QCOMPARE((QList<int>{minuteAt(report, reached), minuteAt(report, outcome.release),
                         minuteAt(report, outcome.releaseWaiting),
                         minuteAt(report, outcome.releaseFellImplausibly),
                         int(outcome.releaseNextFromMinute.value_or(-1))}),
             minutes);
}

// What the readings show, from those that count; after a booster, from its phase. A booster's
// course starts from the latest counting reading before it carried to its time at 0.015 an hour,
// never below 0, or without one from the dose's expected level there.
void TestSessionCourse::course_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<int>("peakAt"); // minutes; -1 for none
    QTest::addColumn<int>("limbAt");
    QTest::addColumn<int>("releaseAt");
    QTest::addColumn<QString>("boosterFrom"); // "level@minute"; minute -1: the expected level

    const QString none;
    QTest::newRow("worked example")
        << false << "70=0.06 85=0.057 100=0.054" << 70 << 100 << -1 << none;
    QTest::newRow("worked example, mouth alcohol: only the reading at 60 counts")
        << false << "5=0.025 10=0.012 15=0.009 30=0.015 45=0.025 60=0.033" << 60 << -1 << -1
        << none;
    QTest::newRow("the earliest of equal peaks; a baseline never counts")
        << false << "-10=0.2 60=0.07 75=0.07 90=0.05" << 60 << -1 << -1 << none;
    QTest::newRow("a voided reading is left out")
        << false << "60=0.08 75=0.09x 90=0.06 160=0.02" << 60 << 160 << 160 << none;
    QTest::newRow("after a booster, its phase alone makes the limb; the peak is the session's")
        << false << "b120 70=0.08 85=0.07 100=0.06 150=0.07 165=0.06 180=0.05" << 70 << 180 << -1
        << "0.055@100";
    QTest::newRow("a limb before the booster does not carry over")
        << false << "b120 70=0.08 85=0.07 100=0.06 150=0.019" << 70 << -1 << -1 << "0.055@100";
    QTest::newRow("carried to the booster, never below 0")
        << false << "b120 70=0.08 85=0.07 100=0.004" << 70 << -1 << -1 << "0@100";
    // The bound of mouth alcohol: drinking ends at 40 minutes, the booster's at 130.
    QTest::newRow("15 minutes after drinking ends: the observed peak")
        << false << "54=0.09 55=0.08 70=0.07" << 55 << -1 << -1 << none;
    QTest::newRow("15 minutes after the booster's drinking ends: the observed peak")
        << false << "b120 70=0.06 85=0.055 100=0.05 144=0.09 145=0.08 160=0.07" << 145 << -1 << -1
        << "0.045@100";
    // The plan peaks at 0.0807 at 70 minutes and falls by 0.015 an hour.
    QTest::newRow("a booster without a counting reading before it")
        << false << "b110 5=0.02" << -1 << -1 << -1 << "0.0707@-1";
    QTest::newRow("placebo: no limb, released when it stays at or below the level")
        << true << "60=0.01 75=0.021 90=0.015 105=0.01" << 75 << -1 << 90 << none;
}

void TestSessionCourse::course()
{
    QFETCH(bool, placebo);
    QFETCH(QString, entries);
    QFETCH(int, peakAt);
    QFETCH(int, limbAt);
    QFETCH(int, releaseAt);
    QFETCH(QString, boosterFrom);
    const SessionReport report = reportOf(recordOf(entries, placebo));
    QCOMPARE(minuteAt(report, report.outcome.observedPeak), peakAt);
    QCOMPARE(minuteAt(report, report.outcome.limbShown), limbAt);
    QCOMPARE(minuteAt(report, report.outcome.release), releaseAt);
    QString from;
    if (const BoosterLine *booster = report.booster(); booster && booster->course)
        from = QStringLiteral("%1@%2")
                   .arg(booster->course->fromBal, 0, 'g', 3)
                   .arg(booster->course->fromMinute.value_or(-1));
    QCOMPARE(from, boosterFrom);
}

void TestSessionCourse::boosterOffer_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<int>("offeredAt");
    QTest::addColumn<float>("minutes");
    QTest::addColumn<SessionFault>("refusal");
    QTest::addColumn<float>("fromBal"); // r0, from the reading at 100 minutes
    QTest::addColumn<int>("notices");   // the booster's own

    // The worked example's from the reading 0.054 at 100 minutes (its volumes are in the
    // session's words), carried to 110 minutes: 0.0515. Two readings release, so that reaching
    // the release level once refuses a booster.
    const QString worked = QStringLiteral("70=0.06 85=0.057 100=0.054");
    const float at110 = 0.0515f;
    using enum SessionFault;
    QTest::newRow("worked example") << false << worked << 110 << 10.0f << None << at110 << 0;
    QTest::newRow("placebo") << true << worked << 110 << 10.0f << BoosterPlacebo << at110 << 0;
    QTest::newRow("served already")
        << false << "b105 " + worked << 110 << 10.0f << BoosterServedAlready << at110 << 0;
    QTest::newRow("limb not descended")
        << false << "70=0.06 85=0.057" << 110 << 10.0f << BoosterLimb << at110 << 0;
    QTest::newRow("at the target")
        << false << "60=0.1 75=0.095 90=0.09" << 110 << 10.0f << BoosterAtTarget << at110 << 0;
    QTest::newRow("the latest reading may hold mouth alcohol")
        << false << "5=0.025 10=0.012 15=0.009 30=0.015 45=0.025" << 110 << 10.0f
        << BoosterMouthAlcohol << at110 << 0;
    QTest::newRow("a baseline is not the latest reading")
        << false << "-10=0 " + worked << 110 << 10.0f << None << at110 << 0;
    QTest::newRow("a reading at the booster's own minute is not before it")
        << false << worked + " 110=0.05" << 110 << 10.0f << None << at110 << 0;
    QTest::newRow("a reading 20 minutes old")
        << false << worked << 120 << 10.0f << None << 0.049f << 0;
    QTest::newRow("a reading 21 minutes old")
        << false << worked << 121 << 10.0f << BoosterStaleReading << at110 << 0;
    QTest::newRow("the latest reading fell faster than a body eliminates")
        << false << "80=0.072 95=0.07 110=0.068 125=0.006" << 126 << 10.0f << BoosterImplausibleFall
        << at110 << 0;
    QTest::newRow("the release level reached once")
        << false << worked + " 190=0.019" << 200 << 10.0f << BoosterReleased << at110 << 0;
    QTest::newRow("1 minute, outside the plausible drinking period")
        << false << worked << 110 << 1.0f << None << at110 << 1;
    QTest::newRow("120 minutes") << false << worked << 110 << 120.0f << None << at110 << 0;
    QTest::newRow("0 minutes") << false << worked << 110 << 0.0f << BoosterPeriod << at110 << 0;
    QTest::newRow("121 minutes") << false << worked << 110 << 121.0f << BoosterPeriod << at110 << 0;
    QTest::newRow("half a minute")
        << false << worked << 110 << 10.5f << BoosterPeriod << at110 << 0;
    QTest::newRow("not a number") << false << worked << 110
                                  << std::numeric_limits<float>::quiet_NaN() << BoosterPeriod
                                  << at110 << 0;
}

void TestSessionCourse::boosterOffer()
{
    QFETCH(bool, placebo);
    QFETCH(QString, entries);
    QFETCH(int, offeredAt);
    QFETCH(float, minutes);
    QFETCH(SessionFault, refusal);
    QFETCH(float, fromBal);
    QFETCH(int, notices);
    const SessionReport report =
        reportOf(recordOf(entries, placebo), 600, offeredAt, minutes, {2, 5});
    if (refusal == SessionFault::BoosterServedAlready) {
        QVERIFY(!report.offer && report.booster());
        return;
    }
    QVERIFY(report.offer);
    const BoosterOffer &offer = *report.offer;
    QCOMPARE(offer.refusal.fault, refusal);
    QCOMPARE(offer.refusal.message.startsWith(QLatin1String("ERROR: ")), offer.refusal.refused());
    if (offer.refusal.refused())
        return;
    QCOMPARE(minuteAt(report, offer.fromReading), 100);
    QCOMPARE(offer.fromBal, fromBal);
    QCOMPARE(offer.targetBal, 0.08f - fromBal);
    QCOMPARE(offer.report.dose.state.DD, minutes);
    QCOMPARE(offer.report.notices.size(), notices);
}

// After a booster served at 110 minutes, from 0.054: its own course rises by 0.03 over its 10
// minutes and half an hour, then falls by 0.015 an hour; the sum is never below 0. Before it, the
// plan's course (-1).
void TestSessionCourse::boosterCourse_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<double>("expected");

    QTest::newRow("a minute before: the plan's") << 109 << -1.0;
    QTest::newRow("served: from where it starts") << 110 << 0.054;
    QTest::newRow("half way up") << 130 << 0.069;
    QTest::newRow("its peak") << 150 << 0.084;
    QTest::newRow("an hour after its peak") << 210 << 0.069;
    QTest::newRow("its own course below 0, the sum above") << 450 << 0.009;
    QTest::newRow("the sum below 0") << 510 << 0.0;
}

void TestSessionCourse::boosterCourse()
{
    QFETCH(int, minute);
    QFETCH(double, expected);
    SessionPlan own;
    own.peakBal = 0.03;
    own.peakHours = 40 / 60.0;
    const BoosterCourse course = ::boosterCourse(110, 0.054, 100, own, ReleaseBal);
    const SessionPlan plan = PlanSession(workedExampleDose(), 3, ReleaseBal);
    const ExpectedCourse session{plan, course};
    if (expected < 0)
        expected = plan.expectedBal(minute / 60.0);
    QVERIFY2(std::abs(session.expectedBal(minute) - expected) < 1e-12,
             qPrintable(QString::number(session.expectedBal(minute), 'g', 17)));
    // Its peak at 150, below 0.02 after (0.084 - 0.02) / 0.015 hours more, zero after 0.084 /
    // 0.015 hours.
    QCOMPARE(course.peakAtMinute(), 150);
    QCOMPARE(course.releaseAtMinute(), 150 + 256);
    QCOMPARE(course.zeroAtMinute(), 150 + 336);

    // The chart's course: the dose's up to the booster, a jump to where it starts, the booster's.
    QCOMPARE(session.points(), (QList<QPointF>{{0, 0},
                                               {plan.peakHours, plan.peakBal},
                                               {110 / 60.0, plan.expectedBal(110 / 60.0)},
                                               {110 / 60.0, 0.054},
                                               {150 / 60.0, 0.084},
                                               {150 / 60.0 + 0.084 / 0.015, 0}}));
}

// The times in force, "peak P release R zero Z" in minutes after the start, and the release band
// in force, "band F-T": the plan's, and once a booster is served the booster's alone; none after a
// booster whose own dose cannot be computed again from the record (here one of no alcohol).
void TestSessionCourse::timesInForce_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<int>("boosterAlcoholMl");
    QTest::addColumn<QString>("times");

    const QString worked = QStringLiteral("70=0.06 85=0.057 100=0.054");
    const QString plan = QStringLiteral("peak 70 release 313 zero 393 band 211-455");
    QTest::newRow("the plan's") << worked << 25 << plan;
    QTest::newRow("the booster's once served")
        << "b110 " + worked << 25 << "peak 150 release 380 zero 460 band 319-477";
    QTest::newRow("the plan's again once it is voided") << "b110x " + worked << 25 << plan;
    QTest::newRow("a booster from no reading has no band")
        << "b110 5=0.02" << 25 << "peak 150 release 457 zero 537 band -";
    QTest::newRow("none after a booster that cannot be computed") << "b110 " + worked << 0 << "-";
}

void TestSessionCourse::timesInForce()
{
    QFETCH(QString, entries);
    QFETCH(int, boosterAlcoholMl);
    QFETCH(QString, times);
    SessionRecord record = recordOf(entries);
    for (SessionEntry &entry : record.entries) {
        if (entry.event == EntryEvent::Booster)
            entry.alcoholMl = boosterAlcoholMl;
    }
    const SessionReport report = reportOf(record);
    const std::optional<ExpectedTimes> inForce = report.timesInForce();
    const std::optional<ReleaseBand> band = report.releaseBandInForce();
    QCOMPARE(
        inForce
            ? QStringLiteral("peak %1 release %2 zero %3 band %4")
                  .arg(inForce->peakAtMinute)
                  .arg(inForce->releaseAtMinute)
                  .arg(inForce->zeroAtMinute)
                  .arg(band ? QStringLiteral("%1-%2").arg(band->fromMinutes).arg(band->toMinutes)
                            : QStringLiteral("-"))
            : QStringLiteral("-"),
        times);
    QCOMPARE(report.peakBandInForce().has_value(), band.has_value());
}

// Each reading against the band at its time: the plan's before a booster, the booster's from it
// on, centred on the course there. The outline a chart shades runs from the start, where nothing
// is absorbed yet, lies on every reading's band, and ends where its upper edge reaches 0, or at a
// booster without a band of its own.
void TestSessionCourse::band_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("positions"); // "-" for a reading without a band

    // The plan's band is 0.0585 to 0.1029 at its peak, 70 minutes; a baseline's is 0 to 0.
    QTest::newRow("against the plan's band")
        << false << "-10=0 -5=0.001 70=0.06 70=0.05 70=0.11 85=0.057 100=0.054 200=-0.01"
        << "within above within below above within within none";
    // The booster from 0.054 at 100 minutes starts from 0.0515 at 110, where the plan's band is
    // near 0.07 and its own no wider than that level, and peaks near 0.08 at 150: about 0.07 to
    // 0.09 there.
    QTest::newRow("a booster's band from it on")
        << false << "b110 70=0.06 85=0.057 100=0.054 110=0.054 150=0.08 160=0.05 170=0.12"
        << "within within within above within below above";
    QTest::newRow("a booster from no reading has none") << false << "b110 5=0.006 150=0.08"
                                                        << "within -";
    QTest::newRow("a placebo has none") << true << "70=0.06 85=0.057"
                                        << "- -";
}

void TestSessionCourse::band()
{
    QFETCH(bool, placebo);
    QFETCH(QString, entries);
    QFETCH(QString, positions);
    const SessionReport report = reportOf(recordOf(entries, placebo));
    QCOMPARE(report.band.has_value(), !placebo);
    QStringList words;
    for (const ReadingLine &reading : report.readings) {
        const std::optional<BandPosition> position = reading.bandPosition;
        words << (!reading.band                       ? "-"
                  : !position                         ? "none"
                  : *position == BandPosition::Below  ? "below"
                  : *position == BandPosition::Within ? "within"
                                                      : "above");
    }
    QCOMPARE(words.join(QLatin1Char(' ')), positions);
    if (placebo)
        return;

    const QList<BandPoint> &outline = report.band->outline;
    QVERIFY(outline.size() > 2);
    QCOMPARE(outline.first().hours, 0.0);
    QCOMPARE(outline.first().edges, BandEdges{});
    for (const ReadingLine &reading : report.readings) {
        const BandEdges shaded = shadedAt(outline, reading.atMinute / 60.0);
        QVERIFY2(!reading.band || (std::abs(shaded.low - reading.band->low) < 2e-5 &&
                                   std::abs(shaded.high - reading.band->high) < 2e-5),
                 qPrintable(QString::number(reading.atMinute)));
    }
    if (entries.contains(QLatin1Char('b')) && !report.band->boosterPeak)
        QCOMPARE(outline.last().hours, report.booster()->atMinute / 60.0);
    else
        QVERIFY2(outline.last().edges.high < 1e-12,
                 qPrintable(QString::number(outline.last().edges.high)));
}

// The personal forecast learns from the latest phase's counting readings once they show its
// limb, with the reading noise given, else the protocol's, else 0.004 g/100 ml; the rate's
// interval as worked out by hand from the readings as 32-bit floats.
void TestSessionCourse::personal_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<float>("readingSd");  // g/100 ml; 0: none given
    QTest::addColumn<float>("protocolSd"); // mg/L of breath at 2100:1; 0: none
    QTest::addColumn<int>("readings");     // -1: no forecast
    QTest::addColumn<int>("fromMinute");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");

    const QString worked = QStringLiteral("70=0.08 85=0.077 100=0.073 115=0.069 130=0.066");
    QTest::newRow("the limb not shown yet")
        << false << "70=0.08 85=0.077" << 0.0f << 0.0f << -1 << -1 << 0.0 << 0.0;
    QTest::newRow("worked example")
        << false << worked << 0.0f << 0.0f << 5 << 70 << 0.0123045440 << 0.0187536150;
    QTest::newRow("withdrawn with the limb") << false << "70=0.08 85=0.077 100=0.073 115=0.075"
                                             << 0.0f << 0.0f << -1 << -1 << 0.0 << 0.0;
    QTest::newRow("mouth alcohol and a voided reading left out")
        << false << "50=0.09 70=0.08 85=0.077 100=0.073x 115=0.069" << 0.0f << 0.0f << 3 << 70
        << 0.0123005630 << 0.0192221865;
    QTest::newRow("a fall no body can make left out: the worked example's")
        << false << worked + " 145=0.006" << 0.0f << 0.0f << 5 << 70 << 0.0123045440
        << 0.0187536150;
    QTest::newRow("after a booster, from its phase")
        << false << "70=0.06 85=0.057 100=0.054 b110 145=0.08 160=0.077 175=0.073" << 0.0f << 0.0f
        << 3 << 145 << 0.0121826127 << 0.0193831081;
    QTest::newRow("a placebo: none") << true << worked << 0.0f << 0.0f << -1 << -1 << 0.0 << 0.0;
    QTest::newRow("the reading noise given")
        << false << worked << 0.008f << 0.0f << 5 << 70 << 0.0122133376 << 0.0193589753;
    // 0.04 mg/L at 2100:1 is 0.0084 g/100 ml.
    QTest::newRow("the protocol's, in its own unit")
        << false << worked << 0.0f << 0.04f << 5 << 70 << 0.0122105158 << 0.0193814977;
    QTest::newRow("the one given before the protocol's")
        << false << worked << 0.008f << 0.04f << 5 << 70 << 0.0122133376 << 0.0193589753;
}

void TestSessionCourse::personal()
{
    QFETCH(bool, placebo);
    QFETCH(QString, entries);
    QFETCH(float, readingSd);
    QFETCH(float, protocolSd);
    QFETCH(int, readings);
    QFETCH(int, fromMinute);
    QFETCH(double, low);
    QFETCH(double, high);
    SessionReportOptions options;
    if (readingSd > 0)
        options.readingSd = readingSd;
    if (protocolSd > 0) {
        Protocol protocol;
        protocol.level = {LevelUnit::MilligramsPerLitre, 2100};
        protocol.readingSd = protocolSd;
        options.protocol = protocol;
    }
    const SessionReport report = evaluateSession(recordOf(entries, placebo), at(600), options);
    const std::optional<PersonalForecast> &forecast = report.personal;
    QCOMPARE(forecast ? forecast->readings : -1, readings);
    if (!forecast)
        return;
    QCOMPARE(forecast->fromMinute, fromMinute);
    QVERIFY2(std::abs(forecast->rateInterval.low - low) < 1e-9,
             qPrintable(QString::number(forecast->rateInterval.low, 'g', 12)));
    QVERIFY2(std::abs(forecast->rateInterval.high - high) < 1e-9,
             qPrintable(QString::number(forecast->rateInterval.high, 'g', 12)));
}

void TestSessionCourse::damagedRecord_data()
{
    QTest::addColumn<int>("minute");  // of every entry
    QTest::addColumn<float>("value"); // every level, drinking period and target

    constexpr float huge = std::numeric_limits<float>::max();
    QTest::newRow("the earliest minute") << std::numeric_limits<int>::min() << 0.05f;
    QTest::newRow("the latest minute") << std::numeric_limits<int>::max() << 0.05f;
    QTest::newRow("the largest float") << 100 << huge;
    QTest::newRow("not a number") << 100 << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("below 0") << -1 << -huge;
}

// A record may hold any value its file allows: the report keeps every entry and words it.
void TestSessionCourse::damagedRecord()
{
    QFETCH(int, minute);
    QFETCH(float, value);
    SessionRecord record = recordOf(QStringLiteral("70=0.06 85=0.057 100=0.054"));
    record.setup.input.state.DD = value;
    appendServed(record, 3, minute);
    appendReading(record, minute, value);
    const int booster = append(record, entryOf(0, EntryEvent::Booster, {},
                                               boosterValues(minute, value), 0, 0, 25, 150, value));
    // Its drinking period corrected alone, and the setup corrected without a start.
    append(record, entryOf(0, EntryEvent::Correction, {}, {{}, {}, {}, value, {}, {}}, 0, 0, 0, 0,
                           0, booster, QStringLiteral("wrong time")));
    append(record, entryOf(0, EntryEvent::Correction, {}, setupValues(QDateTime(), value), 0, 0, 0,
                           0, 0, 1, QStringLiteral("wrong time")));

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
