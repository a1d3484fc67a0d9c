#pragma once

#include "calc/dose/DoseEvaluation.h"

// The dosing model's worked example: a man of 70 in, 160 lb and 25 years at the default
// parameters (0.08 g/100 ml over 40 minutes, proof 200, ratio 6), whose dose is 68 ml of spirit
// and 408 ml of mixer.
inline DoseInput workedExampleInput()
{
    DoseInput input;
    DosingState &s = input.state;
    s.Gender = Gender::Male;
    s.Height = 70;
    s.Weight = 160;
    s.Age = 25;
    s.BAL = 0.08f;
    s.DD = 40;
    s.Proof = 200;
    s.Ratio = 6;
    return input;
}

// The worked example as a calculation leaves it.
inline CalculatedDose workedExampleDose()
{
    return evaluateDose(workedExampleInput()).dose;
}
