#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/CalcDose.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/Plausibility.h"
#include "calc/dose/Protocol.h"
#include "calc/dose/ProtocolCheck.h"
#include "calc/dose/SessionPlan.h"

#include <QList>
#include <optional>

// A participant and the dosing parameters as the operator gave them: in metric units the height
// and weight are the centimetres and kilograms as typed, which the calculation takes as they are;
// the target is either the state's BAL in g/100 ml or a level typed in the lab's unit.
struct DoseInput {
    DosingState state; // the gender, age and parameters; height and weight in inches and pounds
    BodyUnits units = BodyUnits::InchesPounds;
    BodyInCm bodyInCm; // the height and weight in centimetres and kilograms, in metric units
    LevelScale level;  // the lab's unit of levels
    // The target as typed in the lab's unit; the calculation takes it as
    // level.toBal(typedTarget) g/100 ml. None: the state's BAL is the target.
    std::optional<float> typedTarget;

    // The number a reader stores for a value: for height and weight in the input's units, for the
    // target the state's BAL. The gender is not a number and is never asked for.
    float &number(DoseValue value);
    float number(DoseValue value) const { return const_cast<DoseInput *>(this)->number(value); }
    // A value as given: the height and weight in the input's units, the target in the lab's unit
    // (as typed, or the state's BAL as LevelScale::shownLevel shows it).
    float given(DoseValue value) const;
    bool metric() const { return units == BodyUnits::CentimetresKilograms; }
};

// What the operator asks for beside the dose.
struct DoseOptions {
    std::optional<SessionPlanSettings> plan;
    std::optional<Protocol> protocol; // its limits judge the dose, its values are compared
};

// Everything one evaluation found, for a front end to present.
struct DoseReport {
    DoseOutcome outcome;
    // The state as the calculation left it (on a fault, the results of the steps before it),
    // the intermediates and the units.
    CalculatedDose dose;
    // For a dose: the values outside their plausible range, and a dose of more ethanol per kg
    // than is plausible.
    QList<PlausibilityNotice> notices;
    std::optional<SessionPlan> plan; // asked for and a dose: the plan, or why there is none
    // With a protocol and a dose: the limits passed, and where its values differ.
    QList<LimitBreach> breaches;
    QList<ProtocolDifference> differences;

    bool ok() const { return outcome.ok(); }
};

// The same dose with its levels in `level`: a target typed in another scale is taken as the BAL
// it was turned into.
DoseInput inLevelScale(DoseInput input, const LevelScale &level);

// The one road from given values to what every front end shows: the dose, its plausibility
// notices and, when asked, its session plan.
DoseReport evaluateDose(const DoseInput &input, const DoseOptions &options = {});
