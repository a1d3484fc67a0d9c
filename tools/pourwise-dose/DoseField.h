#pragma once

#include "calc/BodyUnits.h"
#include "calc/DosingParameters.h"

#include <array>
#include <cstddef>
#include <string_view>

// The eight inputs of one participant. Their names are the roster's column names; the command
// line's option names are the same with "-" for "_" (without "--"). Height and weight have a
// name for each kind of units: "height" and "weight" in inches and pounds, "height_cm" and
// "weight_kg" in centimetres and kilograms.
enum class DoseField { Gender, Height, Weight, Age, BAL, DD, Proof, Ratio };

inline constexpr std::size_t DoseFieldCount = 8;

inline constexpr std::array<DoseField, DoseFieldCount> AllDoseFields = {
    DoseField::Gender, DoseField::Height, DoseField::Weight, DoseField::Age,
    DoseField::BAL,    DoseField::DD,     DoseField::Proof,  DoseField::Ratio};

constexpr std::size_t indexOf(DoseField field)
{
    return static_cast<std::size_t>(field);
}

// The participant's own fields come first, then the dosing parameters in their table's order.
inline constexpr std::size_t FirstParameterField = indexOf(DoseField::BAL);
static_assert(DoseFieldCount - FirstParameterField == DosingParameters.size());

// The dosing parameter a field holds, or null for the participant's own fields.
const DosingParameter *dosingParameterOf(DoseField field);

std::string_view doseFieldName(DoseField field, BodyUnits units = BodyUnits::InchesPounds);

// Height and weight are the fields whose name and meaning follow the units.
constexpr bool dependsOnUnits(DoseField field)
{
    return field == DoseField::Height || field == DoseField::Weight;
}

// The value used when a dosing parameter is not given on the command line; empty for the
// participant's own fields, which have no default.
std::string_view doseFieldDefault(DoseField field);

// One text per field, indexed by DoseField.
using ParticipantText = std::array<std::string_view, DoseFieldCount>;
