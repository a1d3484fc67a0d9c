#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"

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

// The same dose with its levels in `level`: a target typed in another scale is taken as the BAL
// it was turned into.
DoseInput inLevelScale(DoseInput input, const LevelScale &level);
