#pragma once

#include "calc/DosingState.h"
#include "tools/pourwise-dose/DoseField.h"

#include <array>
#include <optional>

enum class InputProblem { None, Empty, NotANumber, OutOfRange, UnknownGender };

struct ParticipantReading {
    DosingState state; // height and weight stay 0 when they are given in metric units
    BodyUnits units = BodyUnits::InchesPounds;
    BodyInCm bodyInCm; // the height and weight given in metric units
    std::array<InputProblem, DoseFieldCount> problems{}; // indexed by DoseField
    bool ok() const;
    // What the calculation and the plausibility check take beside the state.
    std::optional<BodyInCm> typedInCm() const;
};

// Turns the eight texts of one participant into a dosing state, the same way for roster rows
// and the command line. Numbers follow the locale-free number rule ("." as the decimal
// separator); gender is male/female/m/f/1/0 in any letter case. Every field is read, so all of
// a participant's problems can be reported at once.
ParticipantReading readParticipant(const ParticipantText &text,
                                   BodyUnits units = BodyUnits::InchesPounds);
