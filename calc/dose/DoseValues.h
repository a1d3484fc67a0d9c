#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"

#include <QLocale>
#include <QString>
#include <array>
#include <optional>
#include <span>

// Every value of one participant and every dosing parameter, in the order the roster and the
// command line list them. Everything that names, stores, reads or checks one of them derives
// from the one table below: the settings keys and defaults, the command line's options and
// roster columns, the window's captions, the words of notices and printed plans, and the
// plausible ranges.
enum class DoseValue { Gender, Height, Weight, Age, BAL, DD, Proof, Ratio };

// A fact that may depend on the units of height and weight; most are the same in both.
template <typename T> struct PerUnits {
    T inchesPounds;
    T metric;
    constexpr PerUnits(T both) : inchesPounds(both), metric(both) {}
    constexpr PerUnits(T inUs, T inMetric) : inchesPounds(inUs), metric(inMetric) {}
    constexpr const T &operator[](BodyUnits units) const
    {
        return units == BodyUnits::CentimetresKilograms ? metric : inchesPounds;
    }
};

// A value outside its plausible range is computed all the same; the operator is told to check
// it. A typing slip such as 178 in the inches field gives a dose far too large without any other
// sign.
struct PlausibleRange {
    float low = 0;
    float high = 0;
    bool lowIncluded = true; // false: the value must be above `low`
};

// In the texts below, "%L" stands for the level's name ("BAL", or "BrAC" for breath) and "%U" for
// the lab's unit of levels ("g/100 ml" by default); see LevelUnits.h.
struct DoseValueInfo {
    DoseValue value;
    float DosingState::*field; // null for the gender, a 16-bit whole number
    // The roster's column; the command line's option is the same with "-" for "_".
    PerUnits<const char *> column;
    PerUnits<const char *> argument; // the option's argument as --help names it
    PerUnits<const char *> help;     // what --help says of the option
    PerUnits<const char *> caption;  // the input window's caption of its field
    PerUnits<const char *> unit;     // as written after a number; empty for none
    const char *name;                // as notices and lists name it
    // The value in a sentence, "%1" for the number; null: the name, the number and the unit.
    const char *phrase;
    // The height and weight ranges are the inch and pound ranges rounded to whole units.
    std::optional<PerUnits<PlausibleRange>> range;
    // Stored between runs: the key as read and as written (the drinking period is read as "DD"
    // and written as "dd"), and the default when nothing is stored or given. Null for the
    // participant's own values, which are never stored and have no default.
    const char *settingsKey;
    const char *writtenKey;
    std::optional<double> defaultValue; // 0.08 is the double 0.08
    // A level may also be given in the lab's unit, under this column and option; null for the
    // other values.
    const char *levelColumn = nullptr;
    const char *levelArgument = nullptr;
    const char *levelHelp = nullptr;
};

inline constexpr std::array<DoseValueInfo, 8> DoseValues{{
    {.value = DoseValue::Gender,
     .field = nullptr,
     .column = "gender",
     .argument = "G",
     .help = "male, female, m, f, 1 (male) or 0 (female), any letter case",
     .caption = "Gender",
     .unit = "",
     .name = "gender",
     .phrase = nullptr,
     .range = std::nullopt,
     .settingsKey = nullptr,
     .writtenKey = nullptr,
     .defaultValue = std::nullopt},
    {.value = DoseValue::Height,
     .field = &DosingState::Height,
     .column = {"height", "height_cm"},
     .argument = {"IN", "CM"},
     .help = {"height in inches", "height in centimetres"},
     .caption = {"Height (inches):", "Height (cm):"},
     .unit = {"in", "cm"},
     .name = "height",
     .phrase = nullptr,
     .range = PerUnits<PlausibleRange>{{48, 90}, {122, 229}},
     .settingsKey = nullptr,
     .writtenKey = nullptr,
     .defaultValue = std::nullopt},
    {.value = DoseValue::Weight,
     .field = &DosingState::Weight,
     .column = {"weight", "weight_kg"},
     .argument = {"LB", "KG"},
     .help = {"weight in pounds", "weight in kilograms"},
     .caption = {"Weight (lbs):", "Weight (kg):"},
     .unit = {"lb", "kg"},
     .name = "weight",
     .phrase = nullptr,
     .range = PerUnits<PlausibleRange>{{70, 500}, {32, 227}},
     .settingsKey = nullptr,
     .writtenKey = nullptr,
     .defaultValue = std::nullopt},
    {.value = DoseValue::Age,
     .field = &DosingState::Age,
     .column = "age",
     .argument = "Y",
     .help = "age in years",
     .caption = "Age (years):",
     .unit = "years",
     .name = "age",
     .phrase = nullptr,
     .range = PerUnits<PlausibleRange>{{18, 100}},
     .settingsKey = nullptr,
     .writtenKey = nullptr,
     .defaultValue = std::nullopt},
    {.value = DoseValue::BAL,
     .field = &DosingState::BAL,
     .column = "bal",
     .argument = "G100ML",
     .help = "target blood alcohol level in g/100 ml",
     .caption = "Target %L (%U):",
     .unit = "%U",
     .name = "target %L",
     .phrase = nullptr,
     .range = PerUnits<PlausibleRange>{{0, 0.2f, false}}, // in g/100 ml
     .settingsKey = "BAL",
     .writtenKey = "BAL",
     .defaultValue = 0.08,
     .levelColumn = "target",
     .levelArgument = "V",
     .levelHelp = "the target in the unit of --level-unit, instead of --bal"},
    {.value = DoseValue::DD,
     .field = &DosingState::DD,
     .column = "dd",
     .argument = "MIN",
     .help = "length of the drinking period in minutes",
     .caption = "Duration of Drinking Period (minutes):",
     .unit = "minutes",
     .name = "drinking period",
     .phrase = nullptr,
     .range = PerUnits<PlausibleRange>{{5, 240}},
     .settingsKey = "DD",
     .writtenKey = "dd",
     .defaultValue = 40},
    {.value = DoseValue::Proof,
     .field = &DosingState::Proof,
     .column = "proof",
     .argument = "P",
     .help = "proof of the alcohol, 200 is pure alcohol",
     .caption = "Alcohol Proof: ",
     .unit = "",
     .name = "proof",
     .phrase = nullptr,
     .range = PerUnits<PlausibleRange>{{0, 200, false}},
     .settingsKey = "Proof",
     .writtenKey = "Proof",
     .defaultValue = 200},
    {.value = DoseValue::Ratio,
     .field = &DosingState::Ratio,
     .column = "ratio",
     .argument = "R",
     .help = "parts of mixer for every part of alcohol",
     .caption = "Parts mixer for every 1 part alcohol:",
     .unit = "",
     .name = "mixer ratio",
     .phrase = "%1 parts mixer for every 1 part alcohol",
     .range = PerUnits<PlausibleRange>{{0, 20}},
     .settingsKey = "Ratio",
     .writtenKey = "Ratio",
     .defaultValue = 6},
}};

constexpr const DoseValueInfo &infoOf(DoseValue value)
{
    return DoseValues[std::size_t(value)];
}

constexpr std::size_t indexOf(DoseValue value)
{
    return std::size_t(value);
}

// The participant's own values come first, then the dosing parameters.
inline constexpr std::size_t FirstDosingParameter = indexOf(DoseValue::BAL);
inline constexpr std::span<const DoseValueInfo> DosingParameters =
    std::span(DoseValues).subspan(FirstDosingParameter);

// Height and weight are the values whose units the operator chooses.
constexpr bool dependsOnUnits(DoseValue value)
{
    const DoseValueInfo &info = infoOf(value);
    return std::string_view(info.column.inchesPounds) != info.column.metric;
}

// A level is given, shown and checked in the lab's unit; the calculation takes it in g/100 ml.
constexpr bool isLevel(DoseValue value)
{
    return infoOf(value).levelColumn != nullptr;
}

static_assert([] {
    for (std::size_t i = 0; i < DoseValues.size(); ++i) {
        const DoseValueInfo &info = DoseValues[i];
        // The table is indexed by its enum, and a value is stored exactly when it has a default.
        if (std::size_t(info.value) != i || (info.settingsKey == nullptr) != !info.defaultValue ||
            (info.settingsKey == nullptr) != (i < FirstDosingParameter))
            return false;
    }
    return true;
}());

// The units a value is given and shown in.
struct ValueUnits {
    BodyUnits body = BodyUnits::InchesPounds;
    LevelScale level = {};
};

// A text of the table with the level's name and unit filled in.
QString tableText(const char *text, const LevelScale &level = {});

// "height 70 in", "proof 200": the name, the number as SingleToText writes it and the unit; a
// level is in the lab's unit.
QString valueText(DoseValue value, float number, const ValueUnits &units = {},
                  const QLocale &locale = QLocale());
// The value in a sentence: its phrase where it has one ("6 parts mixer for every 1 part
// alcohol"), else as valueText writes it.
QString valuePhrase(DoseValue value, float number, const ValueUnits &units = {},
                    const QLocale &locale = QLocale());
