#pragma once

#include "calc/dose/DoseValues.h"
#include "calc/session/SessionRecord.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <string_view>

// The session record's file format (docs/record.md) as one table, from which both the writer and
// the reader work: the columns in their order, and for each event which cells its rows fill.
//
// Every row is one event. Version 2 numbers the entries and ends with an end row; version 1 (the
// first program's files) has fewer columns and neither. A cell an event has no use for is empty.

enum class RecordColumn {
    Entry,
    Event,
    EnteredAt,
    Operator,
    Corrects,
    Reason,
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
    Protocol,
    ProtocolSha256,
    Sha256,
};

struct RecordColumnInfo {
    RecordColumn column;
    std::string_view name;
    int since; // the first version of the file with this column
};

// In the order of version 2's header; version 1's is the same without the columns since 2.
inline constexpr std::array<RecordColumnInfo, 36> RecordColumns{{
    {RecordColumn::Entry, "entry", 2},
    {RecordColumn::Event, "event", 1},
    {RecordColumn::EnteredAt, "entered_at", 2},
    {RecordColumn::Operator, "operator", 2},
    {RecordColumn::Corrects, "corrects", 2},
    {RecordColumn::Reason, "reason", 2},
    {RecordColumn::Number, "number", 1},
    {RecordColumn::AtMin, "at_min", 1},
    {RecordColumn::ServedAtMin, "served_at_min", 1},
    {RecordColumn::Level, "level", 1},
    {RecordColumn::AlcoholMl, "alcohol_ml", 1},
    {RecordColumn::MixerMl, "mixer_ml", 1},
    {RecordColumn::TotalMl, "total_ml", 1},
    {RecordColumn::SessionCode, "session_code", 1},
    {RecordColumn::ProgramVersion, "program_version", 1},
    {RecordColumn::Start, "start", 1},
    {RecordColumn::LevelUnit, "level_unit", 1},
    {RecordColumn::BreathRatio, "breath_ratio", 1},
    {RecordColumn::Gender, "gender", 1},
    {RecordColumn::Height, "height", 1},
    {RecordColumn::Weight, "weight", 1},
    {RecordColumn::HeightCm, "height_cm", 1},
    {RecordColumn::WeightKg, "weight_kg", 1},
    {RecordColumn::Age, "age", 1},
    {RecordColumn::Bal, "bal", 1},
    {RecordColumn::Target, "target", 1},
    {RecordColumn::Dd, "dd", 1},
    {RecordColumn::Proof, "proof", 1},
    {RecordColumn::Ratio, "ratio", 1},
    {RecordColumn::Portions, "portions", 1},
    {RecordColumn::ReleaseBal, "release_bal", 1},
    {RecordColumn::Placebo, "placebo", 1},
    {RecordColumn::FloatMl, "float_ml", 1},
    {RecordColumn::Protocol, "protocol", 2},
    {RecordColumn::ProtocolSha256, "protocol_sha256", 2},
    {RecordColumn::Sha256, "sha256", 2},
}};

constexpr std::size_t RecordColumnCount = RecordColumns.size();

constexpr std::string_view recordColumnName(RecordColumn column)
{
    return RecordColumns[std::size_t(column)].name;
}

// The columns of a version's header, in their order.
constexpr std::array<std::optional<RecordColumn>, RecordColumnCount> headerColumns(int version)
{
    std::array<std::optional<RecordColumn>, RecordColumnCount> columns{};
    std::size_t count = 0;
    for (const RecordColumnInfo &info : RecordColumns) {
        if (info.since <= version)
            columns[count++] = info.column;
    }
    return columns;
}

// How a row of an event fills a cell.
enum class Cell : unsigned char {
    Unused,   // always empty
    Required, // never empty
    Optional, // empty when the value is not there
};
using EventCells = std::array<Cell, RecordColumnCount>;
using ColumnSet = std::array<bool, RecordColumnCount>;

constexpr EventCells cellsOf(std::initializer_list<RecordColumn> required,
                             std::initializer_list<RecordColumn> optional = {})
{
    EventCells cells{};
    for (const RecordColumn column : required)
        cells[std::size_t(column)] = Cell::Required;
    for (const RecordColumn column : optional)
        cells[std::size_t(column)] = Cell::Optional;
    return cells;
}

constexpr ColumnSet columnsOf(std::initializer_list<RecordColumn> columns)
{
    ColumnSet set{};
    for (const RecordColumn column : columns)
        set[std::size_t(column)] = true;
    return set;
}

struct RecordEventInfo {
    std::string_view name;           // in the event column
    std::optional<EntryEvent> event; // none: the end row, which is no entry
    EventCells firstVersion;         // all unused: no such rows in version 1
    EventCells cells;                // in version 2
    // The cells of an entry of this event that a correction of it fills, with the values as
    // corrected (SessionEntry::values); none: it has no values to correct.
    ColumnSet corrected;
};

namespace RecordEventCells {
using C = RecordColumn;
// Every entry of version 2 says which it is, and when and by whom it was entered: the time and
// the initials are empty only in the entries carried over from a version-1 file, which come
// before every other (the reader holds to that).
constexpr EventCells entryCells(std::initializer_list<RecordColumn> required,
                                std::initializer_list<RecordColumn> optional = {})
{
    EventCells cells = cellsOf(required, optional);
    for (const RecordColumn column : {C::Entry, C::Event})
        cells[std::size_t(column)] = Cell::Required;
    for (const RecordColumn column : {C::EnteredAt, C::Operator})
        cells[std::size_t(column)] = Cell::Optional;
    return cells;
}
// The plan's values, in both versions. Height and weight are given as one pair, in inches and
// pounds or in centimetres and kilograms; a protocol's name and digest come together.
constexpr EventCells planCells(int version)
{
    EventCells cells =
        cellsOf({C::Event, C::SessionCode, C::ProgramVersion, C::Start, C::LevelUnit,
                 C::BreathRatio, C::Gender, C::Age, C::Bal, C::Dd, C::Proof, C::Ratio, C::Portions,
                 C::ReleaseBal, C::Placebo, C::FloatMl, C::AlcoholMl, C::MixerMl, C::TotalMl},
                {C::Height, C::Weight, C::HeightCm, C::WeightKg, C::Target});
    if (version >= 2) {
        cells[std::size_t(C::Entry)] = Cell::Required;
        for (const RecordColumn column :
             {C::EnteredAt, C::Operator, C::Protocol, C::ProtocolSha256})
            cells[std::size_t(column)] = Cell::Optional;
    }
    return cells;
}
} // namespace RecordEventCells

inline constexpr std::array<RecordEventInfo, 8> RecordEvents{{
    {entryEventName(EntryEvent::Plan), EntryEvent::Plan, RecordEventCells::planCells(1),
     RecordEventCells::planCells(2), columnsOf({RecordColumn::Start, RecordColumn::ReleaseBal})},
    // A portion of the plan as poured; version 1 marked it served in the same row.
    {entryEventName(EntryEvent::Portion), EntryEvent::Portion,
     cellsOf({RecordColumn::Event, RecordColumn::Number, RecordColumn::AtMin,
              RecordColumn::AlcoholMl, RecordColumn::MixerMl, RecordColumn::TotalMl},
             {RecordColumn::ServedAtMin}),
     RecordEventCells::entryCells({RecordColumn::Number, RecordColumn::AtMin,
                                   RecordColumn::AlcoholMl, RecordColumn::MixerMl,
                                   RecordColumn::TotalMl},
                                  {RecordColumn::ServedAtMin}),
     columnsOf({RecordColumn::ServedAtMin})},
    {entryEventName(EntryEvent::Served),
     EntryEvent::Served,
     {},
     RecordEventCells::entryCells({RecordColumn::Number, RecordColumn::ServedAtMin}),
     columnsOf({RecordColumn::ServedAtMin})},
    // Version 1 numbered the readings; an entry's number is what names one now.
    {entryEventName(EntryEvent::Reading), EntryEvent::Reading,
     cellsOf({RecordColumn::Event, RecordColumn::Number, RecordColumn::AtMin, RecordColumn::Level}),
     RecordEventCells::entryCells({RecordColumn::AtMin, RecordColumn::Level}),
     columnsOf({RecordColumn::AtMin, RecordColumn::Level})},
    {entryEventName(EntryEvent::Booster), EntryEvent::Booster,
     cellsOf({RecordColumn::Event, RecordColumn::ServedAtMin, RecordColumn::Bal, RecordColumn::Dd,
              RecordColumn::AlcoholMl, RecordColumn::MixerMl, RecordColumn::TotalMl}),
     RecordEventCells::entryCells({RecordColumn::ServedAtMin, RecordColumn::Bal, RecordColumn::Dd,
                                   RecordColumn::AlcoholMl, RecordColumn::MixerMl,
                                   RecordColumn::TotalMl}),
     columnsOf({RecordColumn::ServedAtMin, RecordColumn::Dd})},
    // Besides these, a correction fills the corrected cells of the entry it corrects.
    {entryEventName(EntryEvent::Correction),
     EntryEvent::Correction,
     {},
     RecordEventCells::entryCells({RecordColumn::Corrects, RecordColumn::Reason}),
     {}},
    {entryEventName(EntryEvent::Void),
     EntryEvent::Void,
     {},
     RecordEventCells::entryCells({RecordColumn::Corrects, RecordColumn::Reason}),
     {}},
    // The end row: the number of rows before it (the header not counted) and the SHA-256 of
    // every byte before it.
    {"end",
     std::nullopt,
     {},
     cellsOf({RecordColumn::Event, RecordColumn::Number, RecordColumn::Sha256}),
     {}},
}};

// The event's row of the table.
const RecordEventInfo &recordEventInfo(EntryEvent event);
// The table's row named `name` in the event column, for `version`; null for none.
const RecordEventInfo *recordEventNamed(std::string_view name, int version);

// The participant's values and the dosing parameters have the roster's columns.
static_assert([] {
    const auto same = [](RecordColumn column, DoseValue value, BodyUnits units) {
        return recordColumnName(column) == std::string_view(infoOf(value).column[units]);
    };
    constexpr BodyUnits Us = BodyUnits::InchesPounds;
    constexpr BodyUnits Metric = BodyUnits::CentimetresKilograms;
    bool inOrder = true;
    for (std::size_t i = 0; i < RecordColumns.size(); ++i)
        inOrder = inOrder && RecordColumns[i].column == RecordColumn(i);
    return inOrder && same(RecordColumn::Gender, DoseValue::Gender, Us) &&
           same(RecordColumn::Height, DoseValue::Height, Us) &&
           same(RecordColumn::Weight, DoseValue::Weight, Us) &&
           same(RecordColumn::HeightCm, DoseValue::Height, Metric) &&
           same(RecordColumn::WeightKg, DoseValue::Weight, Metric) &&
           same(RecordColumn::Age, DoseValue::Age, Us) &&
           same(RecordColumn::Bal, DoseValue::BAL, Us) &&
           same(RecordColumn::Dd, DoseValue::DD, Us) &&
           same(RecordColumn::Proof, DoseValue::Proof, Us) &&
           same(RecordColumn::Ratio, DoseValue::Ratio, Us) &&
           recordColumnName(RecordColumn::Target) == infoOf(DoseValue::BAL).levelColumn;
}());
