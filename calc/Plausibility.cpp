#include "calc/Plausibility.h"

#include "calc/DoseEvaluation.h"
#include "calc/NumberText.h"

namespace {

const PlausibleRange &rangeOf(DoseValue value, BodyUnits units)
{
    return (*infoOf(value).range)[units];
}

// Written so that a value that is not a number is never inside.
bool isInside(const PlausibleRange &range, float value)
{
    const bool aboveLow = range.lowIncluded ? value >= range.low : value > range.low;
    return aboveLow && value <= range.high;
}

// "178 in", or "250" for a value without a unit.
QString withUnit(float number, DoseValue value, BodyUnits units, const QLocale &locale)
{
    QString text = SingleToText(number, locale);
    if (const char *unit = infoOf(value).unit[units]; *unit)
        text += QLatin1Char(' ') + QLatin1String(unit);
    return text;
}

QString span(DoseValue value, BodyUnits units, const QLocale &locale)
{
    const PlausibleRange &range = rangeOf(value, units);
    return SingleToText(range.low, locale) + QChar(0x2013) +
           withUnit(range.high, value, units, locale);
}

} // namespace

QList<PlausibilityNotice> PlausibilityNotices(const DoseInput &input)
{
    QList<PlausibilityNotice> notices;
    for (const DoseValueInfo &info : DoseValues) {
        if (!info.range)
            continue;
        const float number = input.number(info.value);
        if (!isInside((*info.range)[input.units], number))
            notices.append({info.value, input.units, number});
    }
    return notices;
}

QString PlausibilityNoticeText(const PlausibilityNotice &notice, const QLocale &locale)
{
    const PlausibleRange &range = rangeOf(notice.value, notice.units);
    const QString value = valueText(notice.value, notice.number, notice.units, locale);
    // "is outside 0–0.2" would wrongly suggest that 0 itself is fine.
    if (!range.lowIncluded && !(notice.number > range.high))
        return value + QStringLiteral(" is not above ") +
               withUnit(range.low, notice.value, notice.units, locale);
    return value + QStringLiteral(" is outside ") + span(notice.value, notice.units, locale);
}

QString PlausibleRangeText(DoseValue value, BodyUnits units, const QLocale &locale)
{
    const PlausibleRange &range = rangeOf(value, units);
    const QString name = QLatin1String(infoOf(value).name) + QLatin1Char(' ');
    if (range.lowIncluded)
        return name + span(value, units, locale);
    return name + QStringLiteral("above ") + SingleToText(range.low, locale) +
           QStringLiteral(", at most ") + withUnit(range.high, value, units, locale);
}

QStringList PlausibleRangeLines(const QLocale &locale)
{
    QStringList lines;
    for (const DoseValueInfo &info : DoseValues) {
        if (!info.range)
            continue;
        lines << PlausibleRangeText(info.value, BodyUnits::InchesPounds, locale);
        if (dependsOnUnits(info.value))
            lines << PlausibleRangeText(info.value, BodyUnits::CentimetresKilograms, locale);
    }
    return lines;
}
