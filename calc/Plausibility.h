#pragma once

#include "calc/BodyUnits.h"
#include "calc/DoseValues.h"

#include <QList>
#include <QLocale>
#include <QString>

struct DoseInput;

// A value of a participant or a dosing parameter outside its plausible range (DoseValues).
struct PlausibilityNotice {
    DoseValue value = DoseValue::Height;
    ValueUnits units; // the units the value was given in
    float number = 0;
};

// The values of `input` outside their ranges, in the table's order: the height and weight in
// the units they were given in, the target in the lab's unit.
QList<PlausibilityNotice> PlausibilityNotices(const DoseInput &input);

// The plausible range of a value in `units`: a level's converted from g/100 ml.
PlausibleRange plausibleRange(DoseValue value, const ValueUnits &units);

// "height 178 in is outside 48–90 in", or "target BAL 0 g/100 ml is not above 0 g/100 ml" for a
// value at a lower limit that is not part of the range; numbers as SingleToText writes them.
QString PlausibilityNoticeText(const PlausibilityNotice &notice, const QLocale &locale = QLocale());

// "height 48–90 in" for the range of a value in `units`, for help texts.
QString PlausibleRangeText(DoseValue value, const ValueUnits &units,
                           const QLocale &locale = QLocale());

// Every range as PlausibleRangeText writes it, one per line in the table's order; height and
// weight in inches and pounds, then in centimetres and kilograms.
QStringList PlausibleRangeLines(const QLocale &locale = QLocale());
