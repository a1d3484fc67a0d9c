#pragma once

#include "calc/BodyUnits.h"
#include "calc/DosingState.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <array>
#include <optional>

// Values outside a generous adult range are not refused: the dose is computed as always, and
// the operator is told which values to check. A typing slip such as 178 in the inches field
// gives a dose far too large without any other sign.

enum class CheckedValue { Height, Weight, Age, BAL, DD, Proof, Ratio };

struct PlausibleRange {
    CheckedValue value;
    std::optional<BodyUnits> units; // the units the row applies to; none: every units
    const char *name;               // as a notice names the value
    const char *unit;               // as written after a number; empty for none
    float low;
    float high;
    bool lowIncluded; // false: the value must be above `low`
};

// Every range, in the order the values are entered. Height and weight have a row for each
// kind of units; the metric rows are the inch and pound ranges rounded to whole units.
inline constexpr std::array<PlausibleRange, 9> PlausibleRanges{{
    {CheckedValue::Height, BodyUnits::InchesPounds, "height", "in", 48, 90, true},
    {CheckedValue::Height, BodyUnits::CentimetresKilograms, "height", "cm", 122, 229, true},
    {CheckedValue::Weight, BodyUnits::InchesPounds, "weight", "lb", 70, 500, true},
    {CheckedValue::Weight, BodyUnits::CentimetresKilograms, "weight", "kg", 32, 227, true},
    {CheckedValue::Age, std::nullopt, "age", "years", 18, 100, true},
    {CheckedValue::BAL, std::nullopt, "target BAL", "g/100 ml", 0, 0.2f, false},
    {CheckedValue::DD, std::nullopt, "drinking period", "minutes", 5, 240, true},
    {CheckedValue::Proof, std::nullopt, "proof", "", 0, 200, false},
    {CheckedValue::Ratio, std::nullopt, "mixer ratio", "", 0, 20, true},
}};

struct PlausibilityNotice {
    const PlausibleRange *range = nullptr;
    float value = 0;
};

// The values of a participant and the dosing parameters that lie outside their range, in the
// table's order. With `bodyInCm` the height and weight checked are those centimetres and
// kilograms (as CalcDose takes them), otherwise the inches and pounds of the state.
QList<PlausibilityNotice> PlausibilityNotices(const DosingState &state,
                                              std::optional<BodyInCm> bodyInCm = std::nullopt);

// "height 178 in is outside 48–90 in", or "target BAL 0 g/100 ml is not above 0 g/100 ml" for a
// value at a lower limit that is not part of the range; numbers as SingleToText writes them.
QString PlausibilityNoticeText(const PlausibilityNotice &notice, const QLocale &locale = QLocale());

// "height 48–90 in" for every row of the table, for help texts.
QString PlausibleRangeText(const PlausibleRange &range, const QLocale &locale = QLocale());
