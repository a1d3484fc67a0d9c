#include "calc/Booster.h"

#include "calc/Plausibility.h"
#include "calc/ProtocolCheck.h"

BoosterEstimate estimateBooster(const DoseInput &dose, float targetBal,
                                const QList<LevelReading> &readings, float drinkingMinutes,
                                bool placebo)
{
    BoosterEstimate estimate;
    if (placebo) {
        estimate.refusal = BoosterRefusal::Placebo;
        return estimate;
    }
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

CalculatedDose servedWithBooster(const CalculatedDose &dose, const QList<ServedPortion> &poured,
                                 const DosingState &booster)
{
    CalculatedDose together = dose;
    DosingState &s = together.state;
    s.AlcDose = booster.AlcDose;
    s.MixDose = booster.MixDose;
    s.TotDose = booster.TotDose;
    for (const ServedPortion &portion : poured) {
        s.AlcDose += float(portion.alcoholMl);
        s.MixDose += float(portion.mixerMl);
        s.TotDose += float(portion.totalMl);
    }
    return together;
}

BoosterJudgement judgeWithBooster(const CalculatedDose &together,
                                  const std::optional<Protocol> &protocol, const QLocale &locale)
{
    BoosterJudgement judgement;
    if (const std::optional<PlausibilityNotice> notice = ethanolNotice(together))
        judgement.notices << PlausibilityNoticeText(*notice, locale);
    if (!protocol)
        return judgement;
    // The booster leaves the target as it was: that limit is the dose's alone.
    for (const LimitBreach &breach : limitBreaches(together, *protocol)) {
        if (breach.kind != LimitBreach::Kind::Target)
            judgement.overLimits << limitBreachText(breach, *protocol, locale);
    }
    return judgement;
}
