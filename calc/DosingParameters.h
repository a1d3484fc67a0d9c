#pragma once

#include "calc/DosingState.h"

#include <array>

// The four dosing parameters the program remembers between runs. Everything that names one
// derives from this table: the settings keys, the defaults, the command line's options and the
// roster's columns.
struct DosingParameter {
    float DosingState::*field;
    const char *key;        // settings key as read
    const char *writtenKey; // as written: the drinking period is read as "DD" and written as "dd"
    double defaultValue;    // when nothing is stored or given; 0.08 is the double 0.08
    const char *option;     // command-line option (without "--") and roster column
};

inline constexpr std::array<DosingParameter, 4> DosingParameters{{
    {&DosingState::BAL, "BAL", "BAL", 0.08, "bal"},
    {&DosingState::DD, "DD", "dd", 40, "dd"},
    {&DosingState::Proof, "Proof", "Proof", 200, "proof"},
    {&DosingState::Ratio, "Ratio", "Ratio", 6, "ratio"},
}};
