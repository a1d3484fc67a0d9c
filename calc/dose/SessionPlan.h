#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/CalcDose.h"
#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"

#include <QList>

// A dose as one successful calculation left it: the state with its three volumes, the
// intermediates it stored on the way, the units the height and weight were given in, and the
// target in the lab's unit of levels.
struct CalculatedDose {
    DosingState state;
    DoseIntermediates intermediates;
    BodyUnits units = BodyUnits::InchesPounds;
    LevelScale level;
    float targetLevel = 0; // the target as given, or state.BAL in the lab's unit
};

// What the operator chooses for a plan. Both are remembered between runs.
namespace SessionPlanLimits {
inline constexpr int MinimumPortions = 1;
inline constexpr int MaximumPortions = 12;
inline constexpr int DefaultPortions = 3;
inline constexpr double DefaultReleaseLevel = 0.02; // g/100 ml; the double 0.02, as a default
} // namespace SessionPlanLimits

struct SessionPlanSettings {
    int portions = SessionPlanLimits::DefaultPortions;
    float releaseLevel = float(SessionPlanLimits::DefaultReleaseLevel);
};

// A whole number of portions from MinimumPortions to MaximumPortions.
bool acceptsPortions(float portions);
// A release level above 0 g/100 ml (and finite): "below 0" is never reached.
bool acceptsReleaseLevel(float level);

// One serving: a share of the alcohol and of the mixer, both whole millilitres.
struct ServedPortion {
    int number = 0;   // from 1
    int atMinute = 0; // after the start of drinking
    int alcoholMl = 0;
    int mixerMl = 0;
    int totalMl = 0;

    bool operator==(const ServedPortion &) const = default;
};

enum class PlanProblem {
    None,
    PortionsOutOfRange,       // not a whole number from 1 to 12
    ReleaseLevelNotAboveZero, // or not finite
    NegativeDrinkingPeriod,   // the portions would be served before the start
    NoBodyWater,              // body water not above 0 litres: the model has nothing to fill
    PeakNotAboveZero,         // the dose never raises the BAL
    NoAlcoholToServe,         // the alcohol volume is not above 0 ml
    NegativeMixer,            // the mixer volume is below 0 ml
    TimesOutOfRange,          // the expected times are beyond what a clock can show
};

// Minutes after the start of drinking as a plan shows them: whole minutes rounded half away from
// zero, so at an exact half the later minute is shown, the safe side for a release time.
int wholeMinutes(double minutes);
// Minutes a clock can show: a finite number within the range of int.
bool minutesFitAClock(double minutes);

// The dosing model's expectation for the course of a session, in g/100 ml and hours after the
// start of drinking; its times in whole minutes as wholeMinutes gives them.
struct SessionPlan {
    PlanProblem problem = PlanProblem::None;
    double peakBal = 0;      // reached at peakHours, rising in a straight line from 0
    double peakHours = 0;    // the drinking period plus half an hour
    double releaseHours = 0; // when the BAL falls below the release level; 0 if it never exceeds it
    double zeroHours = 0;    // when the BAL reaches 0
    int peakAfterMinutes = 0;
    int releaseAfterMinutes = 0;
    int zeroAfterMinutes = 0;
    QList<ServedPortion> portions;

    bool ok() const { return problem == PlanProblem::None; }
    // The expected BAL `hours` after the start of drinking: 0 before the start and after zeroHours.
    double expectedBal(double hours) const;
    // The same straight lines, the falling one continued below 0 after zeroHours, as a band
    // around the course needs them.
    double expectedLine(double hours) const;
};

// The session plan of a dose, computed in double precision from the served ethanol (the rounded
// alcohol volume at its proof, 0.7861 g/ml), the blood water (body water / 0.8 litres), steady
// absorption until 30 minutes after drinking ends and elimination of 0.015 g/100 ml per hour.
// The alcohol and mixer volumes are split into `portions` whole-millilitre shares that add up
// exactly to the doses, the first portions taking the extra millilitres.
SessionPlan PlanSession(const CalculatedDose &dose, int portions, float releaseLevel);
