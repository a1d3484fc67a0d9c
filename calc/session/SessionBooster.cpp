#include "calc/session/SessionBooster.h"

#include <cmath>

bool acceptsBoosterMinutes(float minutes)
{
    return minutes >= BoosterPeriod::Minimum && minutes <= BoosterPeriod::Maximum &&
           minutes == std::trunc(minutes);
}

DoseInput boosterInput(const DoseInput &dose, float targetBal, float drinkingMinutes)
{
    DoseInput booster = dose;
    booster.typedTarget.reset();
    booster.state.BAL = targetBal;
    booster.state.DD = drinkingMinutes;
    return booster;
}

std::optional<SessionPlan> boosterPlan(const DoseInput &dose, const BoosterLine &booster,
                                       float releaseBal)
{
    const DoseReport own =
        evaluateDose(boosterInput(dose, booster.targetBal, booster.drinkingMinutes));
    if (!own.ok())
        return std::nullopt;
    CalculatedDose poured = own.dose;
    poured.state.AlcDose = float(booster.alcoholMl);
    poured.state.MixDose = float(booster.mixerMl);
    poured.state.TotDose = float(booster.totalMl);
    const SessionPlan plan = PlanSession(poured, 1, releaseBal);
    return plan.ok() ? std::optional(plan) : std::nullopt;
}
