#pragma once

#include "calc/dose/ReleaseRule.h"
#include "calc/dose/SessionPlan.h"

#include <QList>
#include <QPointF>
#include <optional>

// The rules that judge a session's readings. Times are whole minutes after the start of drinking;
// levels are compared as the g/100 ml of blood LevelScale::toBal turns them into.

namespace SessionRules {
// A reading taken sooner than this after drinking ends may hold alcohol left in the mouth.
inline constexpr int MouthAlcoholMinutes = 15;
// A reading this close to the expected peak's time is a reading of the peak.
inline constexpr int PeakWindowMinutes = 15;
// No body eliminates faster than this, in g/100 ml per hour: it is above the fastest elimination
// published for healthy adults, and heavy drinkers reach about 0.035. A counting reading that
// falls faster from the counting reading before it in its phase is likely a slip.
inline constexpr double FastestFallBalPerHour = 0.040;
// A booster is worked out only from a counting reading at most this many minutes old.
inline constexpr int FreshReadingMinutes = 20;
} // namespace SessionRules

// What a reading is to the rules.
enum class ReadingNote {
    Counts,       // judged by every rule
    Baseline,     // before the start: shown and recorded, never judged
    MouthAlcohol, // less than MouthAlcoholMinutes after drinking or a booster's drinking ends
    Booster,      // counts, in the booster's phase
    NotALevel,    // negative or not finite, as no instrument reads: never judged
};

// The note as tables and the command line write it: counts, baseline, mouth_alcohol, booster
// (or not_a_level, which no entry made or read can have).
const char *readingNoteWord(ReadingNote note);

inline bool counts(ReadingNote note)
{
    return note == ReadingNote::Counts || note == ReadingNote::Booster;
}

// When the drinking of a session ends: at the later of its drinking period's end and the last
// portion served; a booster served at B over Db minutes ends its own at B + Db. A booster starts
// a new phase: the readings at or after B.
struct DrinkingTimes {
    double drinkingEnds = 0;
    std::optional<int> boosterAt;
    double boosterMinutes = 0;

    bool inLatestPhase(int atMinute) const { return !boosterAt || atMinute >= *boosterAt; }
};

ReadingNote readingNote(int atMinute, float level, const DrinkingTimes &times);

// What the counting readings of the latest phase show, each as an index into them (in time
// order, as g/100 ml).
struct LimbCourse {
    // The descending limb: with k the last reading that rose above the one before it (the first
    // if none did), the first i >= k + 2 with readings i-2 > i-1 > i. A flat reading neither
    // shows nor withdraws it.
    std::optional<qsizetype> shown;
    // The rise that withdrew a limb shown before it, while the limb is not shown again.
    std::optional<qsizetype> withdrawnBy;
};
LimbCourse limbCourse(const QList<float> &bal);

// A placebo has no limb: its release may start at the first reading at or below the release level
// after which none is above it.
std::optional<qsizetype> placeboRelease(const QList<float> &bal, float releaseBal);

// A counting reading as the release and the fall are judged: minutes after the start, g/100 ml.
struct TimedReading {
    int atMinute = 0;
    float bal = 0;
};

// The fall from `before` to `after` in g/100 ml per hour, in double precision; infinite for a
// fall within one minute, negative for a rise.
double fallPerHour(const TimedReading &before, const TimedReading &after);
// A fall faster than SessionRules::FastestFallBalPerHour.
bool fellImplausibly(const TimedReading &before, const TimedReading &after);
// Of the counting readings of one phase in time order, which fell implausibly from the one
// before.
QList<bool> implausibleFalls(const QList<TimedReading> &readings);

// How the release is declared from the counting readings of the latest phase (each an index into
// them): from `from` on (the reading that showed the descending limb, after which none rises; for
// a placebo, the first after which none is above the release level), a reading at or below the
// level that fell implausibly is passed over; the others confirm one another, each at least
// ReleaseRule::minutesApart after the last that confirmed, and the one that makes
// ReleaseRule::confirmingReadings of them releases.
struct ReleaseCourse {
    std::optional<qsizetype> release;
    // The readings that confirmed so far, the release the last; the first is where the release
    // level was reached.
    QList<qsizetype> confirming;
    // While there is no release: the first reading at or below the level since the last above it.
    std::optional<qsizetype> waiting;
    // While there is no release: the latest reading, when it is at or below the level and fell
    // implausibly.
    std::optional<qsizetype> latestFellImplausibly;
    // While some confirmed and there is no release: the next confirms from this minute on.
    std::optional<qint64> nextFromMinute;

    bool reached() const { return !confirming.isEmpty(); }
};
ReleaseCourse releaseCourse(const QList<TimedReading> &readings, const QList<bool> &implausible,
                            std::optional<qsizetype> from, float releaseBal,
                            const ReleaseRule &rule);

// The level a booster served at `boosterMinute` starts from: the counting reading `reading`
// carried to that minute along the model's fall, max(0, r - 0.015 x (B - R) / 60) g/100 ml,
// computed in double precision and rounded once to a 32-bit float, as a reading is.
float boosterStartBal(const TimedReading &reading, int boosterMinute);

// The highest reading, the earliest of equal ones.
std::optional<qsizetype> highestReading(const QList<float> &bal);

// The expected peak, release and zero of a course, as a session's headline names them.
struct ExpectedTimes {
    double peakBal = 0;
    qint64 peakAtMinute = 0;
    qint64 releaseAtMinute = 0;
    bool neverAboveRelease = false;
    qint64 zeroAtMinute = 0;
};
ExpectedTimes planTimes(const SessionPlan &plan);

// The expected course after a booster served at B: from r0, the latest counting reading before B
// carried to B (boosterStartBal; without one, the dose's expected level at B), the booster's own
// plan course P, a straight rise from 0 to its peak over its drinking period and half an hour,
// then the steady fall, not stopped at 0: max(0, r0 + P(t - B)). In g/100 ml; times rounded as
// the plan rounds them.
struct BoosterCourse {
    int servedAtMinute = 0;        // B
    double fromBal = 0;            // r0
    std::optional<int> fromMinute; // the reading r0 is carried from, none for the expected level
    double riseBal = 0;            // the booster's own expected peak
    double riseHours = 0;          // its drinking period and half an hour
    double releaseBal = 0;

    double expectedBal(double minute) const;
    // The same straight lines, the fall continued below 0, as a band around the course needs them.
    double expectedLine(double minute) const;
    double peakBal() const { return fromBal + riseBal; }
    qint64 peakAtMinute() const;
    bool neverAboveRelease() const { return !(peakBal() > releaseBal); }
    // At B when it is never above the release level.
    qint64 releaseAtMinute() const;
    qint64 zeroAtMinute() const;
    ExpectedTimes times() const;
};

// `boosterPlan` is the booster's own session plan, which must be ok.
BoosterCourse boosterCourse(int servedAtMinute, double fromBal, std::optional<int> fromMinute,
                            const SessionPlan &boosterPlan, float releaseBal);

// The course a session expects: the dose's plan, and after a booster the booster's course.
struct ExpectedCourse {
    SessionPlan plan; // ok
    std::optional<BoosterCourse> booster;

    double expectedBal(double minute) const;
    // The course as the chart draws it, straight between the points: hours after the start and
    // g/100 ml.
    QList<QPointF> points() const;
};
