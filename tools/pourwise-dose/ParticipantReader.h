#pragma once

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/DoseValues.h"

#include <array>
#include <string_view>

// One text per value of a participant, indexed by DoseValue.
using ParticipantText = std::array<std::string_view, DoseValues.size()>;

// The units a participant's texts are in.
struct ReadingUnits {
    BodyUnits body = BodyUnits::InchesPounds;
    LevelScale level;
    // The target is a level in `level` (the "target" column or --target), not the BAL in g/100 ml.
    bool targetInLevelUnit = false;
};

struct ParticipantReading {
    DoseInput input; // in metric units the inches and pounds stay 0
    std::array<InputProblem, DoseValues.size()> problems{}; // indexed by DoseValue
    bool ok() const;
};

// Turns the texts of one participant into the values of a dose, the same way for roster rows and
// the command line. Numbers follow the locale-free number rule ("." as the decimal separator);
// gender is male/female/m/f/1/0 in any letter case. Every value is read, so all of a
// participant's problems can be reported at once.
ParticipantReading readParticipant(const ParticipantText &text, const ReadingUnits &units = {});

// The roster's column of a value: "height", or "height_cm" in metric units, "target" for a target
// in the unit of levels.
std::string_view columnName(DoseValue value, BodyUnits units = BodyUnits::InchesPounds);
std::string_view columnName(DoseValue value, const ReadingUnits &units);

// The text of a dosing parameter's default, as the command line's output writes numbers
// ("0.08"); empty for the participant's own values, which have none.
std::string_view defaultText(DoseValue value);
