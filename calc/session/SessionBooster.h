#pragma once

#include "calc/dose/Booster.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/ForecastBand.h"
#include "calc/session/SessionFault.h"
#include "calc/session/SessionRules.h"

#include <QLocale>
#include <optional>

// A session's booster: the dose the model computes for the same participant with the target
// float32(target - r0) in g/100 ml, r0 the latest counting reading before it carried to its time
// (boosterStartBal), drunk over its own drinking period. It is offered only for alcohol, once the
// descending limb is shown at the latest counting reading, while that reading fell no faster than
// a body eliminates, is at most SessionRules::FreshReadingMinutes old and below the target, and
// as long as the release level has not been reached.

namespace BoosterPeriod {
inline constexpr int Minimum = 1; // minutes
inline constexpr int Maximum = 120;
} // namespace BoosterPeriod

struct BoosterLine {
    int entry = 0;
    int atMinute = 0;          // B, as corrected
    float drinkingMinutes = 0; // Db, as corrected
    float targetBal = 0;       // what it was estimated for
    int alcoholMl = 0;
    int mixerMl = 0;
    int totalMl = 0;
    bool corrected = false;
    bool voided = false;
    // Its expected course; none for a placebo, without a plan, or when its own dose cannot be
    // computed again from the record.
    std::optional<BoosterCourse> course;
    // The counting reading its course starts from, carried to its time; none when it starts from
    // the dose's expected level.
    std::optional<qsizetype> fromReading;
};

// The booster a session would serve at a minute, or why it would not.
struct BoosterOffer {
    SessionRefusal refusal; // None: offered
    int atMinute = 0;       // B: the readings before it are judged
    float drinkingMinutes = 0;
    std::optional<qsizetype> fromReading; // the latest counting reading before B
    float fromBal = 0;                    // that reading carried to B (boosterStartBal)
    float targetBal = 0;                  // float32(target - fromBal), g/100 ml
    DoseReport report;                    // its own dose, with its notices and plan
    BoosterJudgement judgement;           // everything served with it, judged as one dose
    // The 80 % band of its expected peak, g/100 ml: the spread of the booster alone from B.
    std::optional<BandEdges> peakBand;

    bool ok() const { return !refusal.refused(); }
    // Refused only because the reading it would start from is too old by now: a booster served
    // earlier, while that reading was fresh, may still be recorded at its own time.
    bool staleNow() const { return refusal.fault == SessionFault::BoosterStaleReading; }
};

// A whole number of minutes from BoosterPeriod::Minimum to Maximum.
bool acceptsBoosterMinutes(float minutes);

// The session's input with the booster's target (g/100 ml) and drinking period.
DoseInput boosterInput(const DoseInput &dose, float targetBal, float drinkingMinutes);

// The booster's own session plan as it was poured: its dose computed again from the record, with
// the volumes recorded; none when it cannot be computed.
std::optional<SessionPlan> boosterPlan(const DoseInput &dose, const BoosterLine &booster,
                                       float releaseBal);
