#include "calc/dose/Booster.h"

#include "calc/dose/Plausibility.h"
#include "calc/dose/ProtocolCheck.h"

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
