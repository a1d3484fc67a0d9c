#pragma once

#include "calc/DoseEvaluation.h"
#include "calc/Protocol.h"
#include "calc/SessionReadings.h"

#include <QLocale>
#include <QStringList>
#include <optional>

// The booster that would bring a participant whose level is falling back to the target: the dose
// the model computes for the same participant with the target float32(BAL - latest reading in
// g/100 ml), drunk over its own drinking period, at the same proof and mixer ratio. It is the
// one evaluation of every dose, with its rounding, faults and messages; like every dose it allows
// for elimination while drinking and for the 30 minutes after.
namespace Booster {
inline constexpr float DefaultDrinkingMinutes = 10;
} // namespace Booster

enum class BoosterRefusal {
    None,
    LimbNotDescended, // a participant still absorbing would be overdosed
    AtOrAboveTarget,  // the latest reading, as g/100 ml, is not below the target
    Placebo,          // no curve is expected, and alcohol would break the blind
};

struct BoosterEstimate {
    BoosterRefusal refusal = BoosterRefusal::None;
    float targetBal = 0; // g/100 ml
    DoseReport report;   // without a refusal: the evaluation, which may still fault
    bool ok() const { return refusal == BoosterRefusal::None && report.ok(); }
};

// `dose` is the session's input as evaluated, `targetBal` its target in g/100 ml (the report's
// state.BAL); the readings are in dose.level, in time order. A placebo session gets no booster.
BoosterEstimate estimateBooster(const DoseInput &dose, float targetBal,
                                const QList<LevelReading> &readings, float drinkingMinutes,
                                bool placebo = false);

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
