#pragma once

#include "calc/DosingState.h"
#include "tools/pourwise-dose/DoseField.h"

#include <array>

enum class InputProblem { None, Empty, NotANumber, OutOfRange, UnknownGender };

struct ParticipantReading {
    DosingState state;
    std::array<InputProblem, DoseFieldCount> problems{}; // indexed by DoseField
    bool ok() const;
};

// Turns the eight texts of one participant into a dosing state, the same way for roster rows
// and the command line. Numbers follow the locale-free number rule ("." as the decimal
// separator); gender is male/female/m/f/1/0 in any letter case. Every field is read, so all of
// a participant's problems can be reported at once.
ParticipantReading readParticipant(const ParticipantText &text);
