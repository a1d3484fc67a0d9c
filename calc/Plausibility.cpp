#include "calc/Plausibility.h"

#include "calc/NumberText.h"

namespace {

float checkedValue(CheckedValue value, const DosingState &s, const std::optional<BodyInCm> &body)
{
    switch (value) {
    case CheckedValue::Height:
        return body ? body->heightCm : s.Height;
    case CheckedValue::Weight:
        return body ? body->weightKg : s.Weight;
    case CheckedValue::Age:
        return s.Age;
    case CheckedValue::BAL:
        return s.BAL;
    case CheckedValue::DD:
        return s.DD;
    case CheckedValue::Proof:
        return s.Proof;
    case CheckedValue::Ratio:
        break;
    }
    return s.Ratio;
}

// Written so that a value that is not a number is never inside.
bool isInside(const PlausibleRange &range, float value)
{
    const bool aboveLow = range.lowIncluded ? value >= range.low : value > range.low;
    return aboveLow && value <= range.high;
}

// "178 in", or "250" for a value without a unit.
QString withUnit(float value, const PlausibleRange &range, const QLocale &locale)
{
    QString text = SingleToText(value, locale);
    if (*range.unit)
        text += QLatin1Char(' ') + QLatin1String(range.unit);
    return text;
}

QString span(const PlausibleRange &range, const QLocale &locale)
{
    return SingleToText(range.low, locale) + QChar(0x2013) + withUnit(range.high, range, locale);
}

} // namespace

QList<PlausibilityNotice> PlausibilityNotices(const DosingState &state,
                                              std::optional<BodyInCm> bodyInCm)
{
    const BodyUnits units = bodyInCm ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds;
    QList<PlausibilityNotice> notices;
    for (const PlausibleRange &range : PlausibleRanges) {
        if (range.units && *range.units != units)
            continue;
        const float value = checkedValue(range.value, state, bodyInCm);
        if (!isInside(range, value))
            notices.append({&range, value});
    }
    return notices;
}

QString PlausibilityNoticeText(const PlausibilityNotice &notice, const QLocale &locale)
{
    const PlausibleRange &range = *notice.range;
    const QString value =
        QLatin1String(range.name) + QLatin1Char(' ') + withUnit(notice.value, range, locale);
    // "is outside 0–0.2" would wrongly suggest that 0 itself is fine.
    if (!range.lowIncluded && !(notice.value > range.high))
        return value + QStringLiteral(" is not above ") + withUnit(range.low, range, locale);
    return value + QStringLiteral(" is outside ") + span(range, locale);
}

QString PlausibleRangeText(const PlausibleRange &range, const QLocale &locale)
{
    const QString name = QLatin1String(range.name) + QLatin1Char(' ');
    if (range.lowIncluded)
        return name + span(range, locale);
    return name + QStringLiteral("above ") + SingleToText(range.low, locale) +
           QStringLiteral(", at most ") + withUnit(range.high, range, locale);
}
