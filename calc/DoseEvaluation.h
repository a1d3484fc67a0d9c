#pragma once

#include "calc/BodyUnits.h"
#include "calc/CalcDose.h"
#include "calc/DoseValues.h"
#include "calc/DosingState.h"
#include "calc/Plausibility.h"
#include "calc/SessionPlan.h"

#include <QList>
#include <optional>

// A participant and the dosing parameters as the operator gave them: in metric units the height
// and weight are the centimetres and kilograms as typed, which the calculation takes as they are.
struct DoseInput {
    DosingState state; // the gender, age and parameters; height and weight in inches and pounds
    BodyUnits units = BodyUnits::InchesPounds;
    BodyInCm bodyInCm; // the height and weight in centimetres and kilograms, in metric units

    // The number of a value as given: for height and weight in the input's units. The gender is
    // not a number and is never asked for.
    float number(DoseValue value) const;
    float &number(DoseValue value);
    bool metric() const { return units == BodyUnits::CentimetresKilograms; }
};

// What the operator asks for beside the dose.
struct DoseOptions {
    std::optional<SessionPlanSettings> plan;
};

// Everything one evaluation found, for a front end to present.
struct DoseReport {
    DoseOutcome outcome;
    // The state as the calculation left it (on a fault, the results of the steps before it),
    // the intermediates and the units.
    CalculatedDose dose;
    QList<PlausibilityNotice> notices; // for a dose: the values outside their plausible range
    std::optional<SessionPlan> plan;   // asked for and a dose: the plan, or why there is none

    bool ok() const { return outcome.ok(); }
};

// The one road from given values to what every front end shows: the dose, its plausibility
// notices and, when asked, its session plan.
DoseReport evaluateDose(const DoseInput &input, const DoseOptions &options = {});
