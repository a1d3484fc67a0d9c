#include "calc/dose/Plausibility.h"

#include "calc/dose/DoseInput.h"
#include "calc/dose/DosingModel.h"
#include "calc/dose/NumberText.h"

#include <cmath>

namespace {

// Written so that a value that is not a number is never inside.
bool isInside(const PlausibleRange &range, float value)
{
    const bool aboveLow = range.lowIncluded ? value >= range.low : value > range.low;
    return aboveLow && value <= range.high;
}

// "178 in", or "250" for a value without a unit.
QString withUnit(float number, DoseValue value, const ValueUnits &units, const QLocale &locale)
{
    QString text = SingleToText(number, locale);
    if (const char *unit = infoOf(value).unit[units.body]; *unit)
        text += QLatin1Char(' ') + tableText(unit, units.level);
    return text;
}

QString span(DoseValue value, const ValueUnits &units, const QLocale &locale)
{
    const PlausibleRange range = plausibleRange(value, units);
    return SingleToText(range.low, locale) + QChar(0x2013) +
           withUnit(range.high, value, units, locale);
}

} // namespace

PlausibleRange plausibleRange(DoseValue value, const ValueUnits &units)
{
    PlausibleRange range = (*infoOf(value).range)[units.body];
    if (isLevel(value)) {
        range.low = units.level.fromBal(range.low);
        range.high = units.level.fromBal(range.high);
    }
    return range;
}

QList<PlausibilityNotice> PlausibilityNotices(const DoseInput &input)
{
    const ValueUnits units{input.units, input.level};
    QList<PlausibilityNotice> notices;
    for (const DoseValueInfo &info : DoseValues) {
        if (!info.range)
            continue;
        const float number = input.given(info.value);
        if (!isInside(plausibleRange(info.value, units), number))
            notices.append({PlausibilityNotice::Kind::Value, info.value, units, number});
    }
    return notices;
}

std::optional<double> ethanolPerKg(const CalculatedDose &dose)
{
    using namespace DosingModel;
    const DosingState &s = dose.state;
    const double weightKg = dose.intermediates.weightKg;
    const double grams = double(s.AlcDose) * (double(s.Proof) / PureProof) * EthanolDensity;
    if (!(weightKg > 0) || !std::isfinite(grams / weightKg))
        return std::nullopt;
    return grams / weightKg;
}

std::optional<PlausibilityNotice> ethanolNotice(const CalculatedDose &dose)
{
    const std::optional<double> perKg = ethanolPerKg(dose);
    if (!perKg || !(*perKg > PlausibleEthanolPerKg))
        return std::nullopt;
    PlausibilityNotice notice;
    notice.kind = PlausibilityNotice::Kind::EthanolPerKg;
    notice.ethanolPerKg = *perKg;
    return notice;
}

QString PlausibilityNoticeText(const PlausibilityNotice &notice, const QLocale &locale)
{
    if (notice.kind == PlausibilityNotice::Kind::EthanolPerKg)
        return QStringLiteral("ethanol %1 g/kg is above %2 g/kg")
            .arg(locale.toString(notice.ethanolPerKg, 'f', 2),
                 SingleToText(PlausibleEthanolPerKg, locale));
    const PlausibleRange range = plausibleRange(notice.value, notice.units);
    const QString value = valueText(notice.value, notice.number, notice.units, locale);
    // "is outside 0–0.2" would wrongly suggest that 0 itself is fine.
    if (!range.lowIncluded && !(notice.number > range.high))
        return value + QStringLiteral(" is not above ") +
               withUnit(range.low, notice.value, notice.units, locale);
    return value + QStringLiteral(" is outside ") + span(notice.value, notice.units, locale);
}

QString PlausibleRangeText(DoseValue value, const ValueUnits &units, const QLocale &locale)
{
    const PlausibleRange range = plausibleRange(value, units);
    const QString name = tableText(infoOf(value).name, units.level) + QLatin1Char(' ');
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
        lines << PlausibleRangeText(info.value, {BodyUnits::InchesPounds}, locale);
        if (dependsOnUnits(info.value))
            lines << PlausibleRangeText(info.value, {BodyUnits::CentimetresKilograms}, locale);
    }
    lines << QStringLiteral("ethanol at most %1 g per kg of body weight")
                 .arg(SingleToText(PlausibleEthanolPerKg, locale));
    return lines;
}
