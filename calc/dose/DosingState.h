#pragma once

#include <cstdint>

// The record of the current participant, the dosing parameters and the last results.
// Field order and widths are part of the program's contract: 32-bit floats and a 16-bit gender.
struct DosingState {
    float Height = 0;        // inches
    float Weight = 0;        // pounds
    float Age = 0;           // years
    std::int16_t Gender = 0; // -1 not specified, 1 male, anything else female
    float BAL = 0;           // target blood alcohol level, g/100 ml
    float DD = 0;            // drinking period, minutes
    float Proof = 0;         // 200 is pure alcohol
    float Ratio = 0;         // parts mixer per part alcohol
    float AlcDose = 0;       // results, ml
    float MixDose = 0;
    float TotDose = 0;
};

namespace Gender {
inline constexpr std::int16_t NotSpecified = -1;
inline constexpr std::int16_t Male = 1;
inline constexpr std::int16_t Female = 0;
} // namespace Gender
