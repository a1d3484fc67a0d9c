#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/SessionPlan.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

struct DoseInput;

// The dose itself is checked too: more than this many grams of ethanol per kg of body weight is
// beyond what published protocols give (about 0.8 to 1.0 g/kg), whatever each value alone says.
inline constexpr float PlausibleEthanolPerKg = 1.2f;

// A value of a participant or a dosing parameter outside its plausible range (DoseValues), or a
// dose of more ethanol per kg than is plausible.
struct PlausibilityNotice {
    enum class Kind { Value, EthanolPerKg };
    Kind kind = Kind::Value;
    DoseValue value = DoseValue::Height;
    ValueUnits units; // the units the value was given in
    float number = 0;
    double ethanolPerKg = 0; // of an EthanolPerKg notice
};

// The values of `input` outside their ranges, in the table's order: the height and weight in
// the units they were given in, the target in the lab's unit.
QList<PlausibilityNotice> PlausibilityNotices(const DoseInput &input);

// The plausible range of a value in `units`: a level's converted from g/100 ml.
PlausibleRange plausibleRange(DoseValue value, const ValueUnits &units);

// The grams of ethanol a dose serves per kg of body weight: its spirit at its proof, 0.7861 g/ml,
// over the calculation's own kilograms; none without a weight above 0.
std::optional<double> ethanolPerKg(const CalculatedDose &dose);

// The notice of a dose of more than PlausibleEthanolPerKg, if it is one.
std::optional<PlausibilityNotice> ethanolNotice(const CalculatedDose &dose);

// "height 178 in is outside 48–90 in", or "target BAL 0 g/100 ml is not above 0 g/100 ml" for a
// value at a lower limit that is not part of the range; numbers as SingleToText writes them.
// "ethanol 1.22 g/kg is above 1.2 g/kg", with 2 decimals, for the dose.
QString PlausibilityNoticeText(const PlausibilityNotice &notice, const QLocale &locale = QLocale());

// "height 48–90 in" for the range of a value in `units`, for help texts.
QString PlausibleRangeText(DoseValue value, const ValueUnits &units,
                           const QLocale &locale = QLocale());

// Every range as PlausibleRangeText writes it, one per line in the table's order; height and
// weight in inches and pounds, then in centimetres and kilograms; then the dose's ethanol per kg.
QStringList PlausibleRangeLines(const QLocale &locale = QLocale());
