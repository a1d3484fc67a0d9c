#pragma once

#include "calc/SessionPlan.h"

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
    // The first reading at or below the release level, from the one that showed the limb on.
    std::optional<qsizetype> release;
};
LimbCourse limbCourse(const QList<float> &bal, float releaseBal);

// A placebo has no limb: its release is the first reading at or below the release level after
// which none is above it.
std::optional<qsizetype> placeboRelease(const QList<float> &bal, float releaseBal);

// The highest reading, the earliest of equal ones.
std::optional<qsizetype> highestReading(const QList<float> &bal);

// The expected course after a booster served at B: from r, the latest counting reading before B
// (or the dose's expected level at B without one), the booster's own plan course P, a straight
// rise from 0 to its peak over its drinking period and half an hour, then the steady fall, not
// stopped at 0: max(0, r + P(t - B)). In g/100 ml; times rounded as the plan rounds them.
struct BoosterCourse {
    int servedAtMinute = 0;        // B
    double fromBal = 0;            // r
    std::optional<int> fromMinute; // the reading r is, none for the dose's expected level
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
