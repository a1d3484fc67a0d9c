#pragma once

#include "calc/dose/Booster.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/ForecastBand.h"
#include "calc/dose/PersonalForecast.h"
#include "calc/dose/Protocol.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionEntries.h"
#include "calc/session/SessionFault.h"
#include "calc/session/SessionRecord.h"
#include "calc/session/SessionRules.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <optional>

// Everything a session's record shows at a moment, which the window, the printed page and the
// command line only present. Times are whole minutes after the start of drinking in force; levels
// of readings are in the lab's unit, the model's levels in g/100 ml unless said otherwise.

// An entry that marked a portion served.
struct ServedMark {
    int entry = 0;
    int atMinute = 0; // as corrected
    bool corrected = false;
    bool voided = false;
};

// A portion of the plan as poured (a placebo's float and mixer), and its serving.
struct PortionLine {
    int entry = 0; // the Portion entry
    ServedPortion portion;
    QList<ServedMark> marks; // every entry that marked it served, in the order made

    // The first mark not voided; none while the portion is not served.
    std::optional<ServedMark> served() const;
};

struct ReadingLine {
    int entry = 0;
    int atMinute = 0; // as corrected
    float level = 0;  // as corrected, in the lab's unit
    // In the lab's unit; none for a placebo, or without a plan.
    std::optional<double> expectedLevel;
    std::optional<double> difference; // the reading minus the expected level
    // The 80 % band at its time, in g/100 ml: the plan's, or from a booster on the booster's;
    // none for a placebo, without a plan, or after a booster whose course starts from no reading.
    std::optional<BandEdges> band;
    std::optional<BandPosition> bandPosition; // none without a band, or for what is not a level
    ReadingNote note = ReadingNote::Counts;
    // A counting reading that fell faster than a body eliminates (fellImplausibly) from the
    // counting reading before it in its phase: that reading, as an index into the report's.
    std::optional<qsizetype> implausibleFallFrom;
    bool corrected = false;
    bool voided = false; // shown, and left out of every rule

    bool counts() const { return !voided && ::counts(note); }
};

// What the readings show, each as an index into SessionReport::readings.
struct ReadingsOutcome {
    std::optional<qsizetype> observedPeak; // the highest counting reading of the whole session
    std::optional<qsizetype> limbShown;    // of the latest phase; never for a placebo
    std::optional<qsizetype> limbWithdrawnBy;
    std::optional<qsizetype> release;
    // How the release is coming, as ReleaseCourse gives it, each an index into the readings.
    QList<qsizetype> releaseConfirming;
    std::optional<qsizetype> releaseWaiting;
    std::optional<qsizetype> releaseFellImplausibly;
    std::optional<qint64> releaseNextFromMinute;
};

// The band's edges at a time, in hours after the start of drinking.
struct BandPoint {
    double hours = 0;
    BandEdges edges;
};

// The 80 % band around the expected course (see docs/model.md), levels in g/100 ml, times in
// minutes after the start of drinking.
struct SessionBand {
    BandEdges peak;                     // the plan's, at its expected peak
    std::optional<ReleaseBand> release; // the plan's; none beyond what a clock can show
    // After the booster in force, when its course starts from a reading: its own, spreading from
    // its time on.
    std::optional<BandEdges> boosterPeak;
    std::optional<ReleaseBand> boosterRelease;
    // The band along the course, in time order, as a chart shades it (straight between the
    // points): the plan's from the start until its upper edge reaches 0, or until the booster
    // in force, from which the booster's own runs on; nothing more after a booster without one.
    // At the booster's time two points, the plan's edges and then the booster's.
    QList<BandPoint> outline;
};

struct SessionReport {
    SessionSetup setup;       // as recorded
    ReleaseRule release;      // how many readings release, as the options gave it
    QDateTime start;          // the start of drinking in force
    float releaseBal = 0;     // the release level in force, g/100 ml
    int setupCorrectedBy = 0; // the latest correction of either, 0 for none
    bool placebo = false;
    int nowMinute = 0;
    DoseReport dose; // computed anew from the setup, with the plan of the choices in force

    QList<PortionLine> portions;
    QList<ReadingLine> readings; // in time order; at the same minute, in the order made
    DrinkingTimes drinking;
    ReadingsOutcome outcome;
    QList<BoosterLine> boosters; // in the order made, voided ones too
    std::optional<qsizetype> boosterInForce;
    std::optional<BoosterOffer> offer; // while no booster is in force
    // None for a placebo or without a plan.
    std::optional<ExpectedCourse> expected;
    std::optional<SessionBand> band; // as `expected`
    // The participant's own fall, once the latest phase's readings show it; never for a placebo.
    std::optional<PersonalForecast> personal;
    QList<EntryChange> history; // every correction and void, in the order made

    bool hasPlan() const { return dose.plan && dose.plan->ok(); }
    const BoosterLine *booster() const;
    // The portion to mark next: the first one not served; none when all are.
    std::optional<int> nextUnservedPortion() const;
    // Whether a reading below the band lies at the expected peak, where a low reading says most:
    // a counting reading of the dose's phase within SessionRules::PeakWindowMinutes of it.
    bool atExpectedPeak(const ReadingLine &reading) const;
    // The highest level expected: the plan's peak, or a booster's when it is higher. None
    // without an expected course.
    std::optional<double> expectedPeakBal() const;
    // What a reading is held against for a slip of the decimal point: the expected peak, or a
    // placebo's target; none for alcohol without an expected course.
    std::optional<double> slipReferenceBal() const;
    // A reading (in the lab's unit) above twice that is likely a slip.
    bool likelySlip(float level) const;
    // The counting reading a new reading at `minute` of `level` (in the lab's unit) falls from
    // faster than a body eliminates: the latest counting reading of its phase before it, the
    // entry `exceptEntry` (a reading being corrected) left out; none when it would not count, or
    // falls no faster.
    std::optional<qsizetype> implausibleFallFrom(int minute, float level, int exceptEntry) const;

    // The times in force, which the headline, the chart and the printed page name: the plan's,
    // or once a booster is in force its course's; none without an expected course, or after a
    // booster whose course cannot be computed from the record.
    std::optional<ExpectedTimes> timesInForce() const;
    // The bands in force in the same way: the plan's, or the booster's (which has none when its
    // course starts from no reading).
    std::optional<BandEdges> peakBandInForce() const;
    std::optional<ReleaseBand> releaseBandInForce() const;
};

struct SessionReportOptions {
    std::optional<Protocol> protocol; // judges the dose and the booster with it
    ReleaseRule release;              // how many readings release
    float boosterMinutes = Booster::DefaultDrinkingMinutes;
    std::optional<int> boosterAtMinute; // the offer's B; none for now
    QLocale locale;                     // of the offer's words
    // The standard deviation of one reading, in the lab's unit, for the personal forecast; none
    // for the protocol's "device.readingSd", else PersonalPrior::ReadingSd.
    std::optional<float> readingSd;
};

SessionReport evaluateSession(const SessionRecord &record, const QDateTime &now,
                              const SessionReportOptions &options = {});
