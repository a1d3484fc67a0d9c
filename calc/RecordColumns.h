#pragma once

#include "calc/DoseValues.h"

#include <array>
#include <string_view>

// The columns of a session record's file, in their fixed order (docs/record.md). Every row is one
// event; a column a row's event has no use for is empty.
enum class RecordColumn {
    Event, // plan, portion, reading or booster
    Number,
    AtMin,
    ServedAtMin,
    Level,
    AlcoholMl,
    MixerMl,
    TotalMl,
    SessionCode,
    ProgramVersion,
    Start,
    LevelUnit,
    BreathRatio,
    Gender,
    Height,
    Weight,
    HeightCm,
    WeightKg,
    Age,
    Bal,
    Target,
    Dd,
    Proof,
    Ratio,
    Portions,
    ReleaseBal,
    Placebo,
    FloatMl,
};

inline constexpr std::array<std::string_view, 28> RecordColumns = {
    "event",       "number",     "at_min",       "served_at_min", "level",
    "alcohol_ml",  "mixer_ml",   "total_ml",     "session_code",  "program_version",
    "start",       "level_unit", "breath_ratio", "gender",        "height",
    "weight",      "height_cm",  "weight_kg",    "age",           "bal",
    "target",      "dd",         "proof",        "ratio",         "portions",
    "release_bal", "placebo",    "float_ml"};

constexpr std::string_view recordColumnName(RecordColumn column)
{
    return RecordColumns[std::size_t(column)];
}

// The columns of the participant's values and the dosing parameters are the roster's.
static_assert([] {
    const auto same = [](RecordColumn column, DoseValue value, BodyUnits units) {
        return recordColumnName(column) == std::string_view(infoOf(value).column[units]);
    };
    constexpr BodyUnits Us = BodyUnits::InchesPounds;
    constexpr BodyUnits Metric = BodyUnits::CentimetresKilograms;
    return same(RecordColumn::Gender, DoseValue::Gender, Us) &&
           same(RecordColumn::Height, DoseValue::Height, Us) &&
           same(RecordColumn::Weight, DoseValue::Weight, Us) &&
           same(RecordColumn::HeightCm, DoseValue::Height, Metric) &&
           same(RecordColumn::WeightKg, DoseValue::Weight, Metric) &&
           same(RecordColumn::Age, DoseValue::Age, Us) &&
           same(RecordColumn::Bal, DoseValue::BAL, Us) &&
           same(RecordColumn::Dd, DoseValue::DD, Us) &&
           same(RecordColumn::Proof, DoseValue::Proof, Us) &&
           same(RecordColumn::Ratio, DoseValue::Ratio, Us) &&
           recordColumnName(RecordColumn::Target) == infoOf(DoseValue::BAL).levelColumn &&
           RecordColumns.size() == std::size_t(RecordColumn::FloatMl) + 1;
}());

// The events, as the event column names them.
namespace RecordEvent {
inline constexpr std::string_view Plan = "plan";
inline constexpr std::string_view Portion = "portion";
inline constexpr std::string_view Reading = "reading";
inline constexpr std::string_view Booster = "booster";
} // namespace RecordEvent
