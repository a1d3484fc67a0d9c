#pragma once

#include "calc/dose/LevelUnits.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// How a study's tables write their cells: numbers with "." whatever the locale, and a missing
// value as an empty cell, never a word: an infinity or NaN, which only a value derived from an
// extreme one can be, is written empty too.
namespace StudyCells {

QByteArray text(const QString &value);
// "alcohol" or "placebo"
QByteArray beverage(bool placebo);
// "m" or "f"
QByteArray gender(std::int16_t gender);
QByteArray whole(qint64 value);
// The shortest text that reads back as exactly `value` ("0.054", "1e-05"), as a record's file
// writes its floats.
QByteArray single(float value);
// A number typed or converted for showing (TypedDouble, SevenDigits): the shortest text that
// reads back as exactly `value` ("0.06", "177.8004"); empty beyond the range of a 32-bit float,
// where the calculation's own value is an infinity.
QByteArray number(double value);
// A level of the model in `scale`, as the plan writes levels: 4 decimals in g/100 ml, 4
// significant digits in another unit.
QByteArray modelLevel(double level, const LevelScale &scale);
// A reading's difference from the model's level, both in `scale`, written as modelLevel writes
// a level, with "-" before one below it; one that rounds to 0 has no sign.
QByteArray difference(double difference, const LevelScale &scale);
// A statistic no record holds (a mean, a standard deviation, a share): 4 decimals.
QByteArray statistic(double value);
// A number of whole minutes, or the middle of two ("312.5"): the shortest text of the double.
QByteArray minutes(double value);

template <typename T, typename Write>
QByteArray optional(const std::optional<T> &value, Write write)
{
    return value ? write(*value) : QByteArray();
}

} // namespace StudyCells
