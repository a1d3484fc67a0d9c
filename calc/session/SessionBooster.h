#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Protocol.h"
#include "calc/session/SessionReport.h"

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

// A whole number of minutes from BoosterPeriod::Minimum to Maximum.
bool acceptsBoosterMinutes(float minutes);

// The session's input with the booster's target (g/100 ml) and drinking period.
DoseInput boosterInput(const DoseInput &dose, float targetBal, float drinkingMinutes);

// The booster's own session plan as it was poured: its dose computed again from the record, with
// the volumes recorded; none when it cannot be computed.
std::optional<SessionPlan> boosterPlan(const DoseInput &dose, const BoosterLine &booster,
                                       float releaseBal);

// The booster `report`'s session would serve at `atMinute` over `drinkingMinutes`, judged on the
// readings before it, or why it would not.
BoosterOffer offerBooster(const SessionReport &report, int atMinute, float drinkingMinutes,
                          const std::optional<Protocol> &protocol,
                          const QLocale &locale = QLocale());
