#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Protocol.h"

#include <QList>
#include <QLocale>
#include <QStringList>
#include <optional>

// What a booster adds to a session: its drinking period unless the operator gives another, and
// what the dose and the booster served together amount to, judged as one dose. The booster itself
// is offered and served by the session (calc/session/SessionBooster.h).
namespace Booster {
inline constexpr float DefaultDrinkingMinutes = 10;
}

// What the session serves with `booster`, as one dose to judge: `dose` with the volumes of the
// portions as poured (a placebo's floats, for one) and the booster's added together.
CalculatedDose servedWithBooster(const CalculatedDose &dose, const QList<ServedPortion> &poured,
                                 const DosingState &booster);

// The dose served with its booster judged as one, in words: above the plausible ethanol per kg
// ("ethanol 1.31 g/kg is above 1.2 g/kg"), over the protocol's ethanol or total limit.
struct BoosterJudgement {
    QStringList notices;
    QStringList overLimits;
    QStringList all() const { return notices + overLimits; }
};
BoosterJudgement judgeWithBooster(const CalculatedDose &together,
                                  const std::optional<Protocol> &protocol,
                                  const QLocale &locale = QLocale());
