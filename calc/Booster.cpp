#include "calc/Booster.h"

BoosterEstimate estimateBooster(const DoseInput &dose, float targetBal,
                                const QList<LevelReading> &readings, float drinkingMinutes)
{
    BoosterEstimate estimate;
    // The release level plays no part in the limb.
    if (!readingsCourse(readings, dose.level, 0).descendingShown) {
        estimate.refusal = BoosterRefusal::LimbNotDescended;
        return estimate;
    }
    const float latestBal = dose.level.toBal(readings.constLast().level);
    if (!(latestBal < targetBal)) {
        estimate.refusal = BoosterRefusal::AtOrAboveTarget;
        return estimate;
    }
    estimate.targetBal = targetBal - latestBal; // a float subtraction, rounded once
    DoseInput booster = dose;
    booster.typedTarget.reset();
    booster.state.BAL = estimate.targetBal;
    booster.state.DD = drinkingMinutes;
    estimate.report = evaluateDose(booster);
    return estimate;
}
