#include "calc/dose/DoseValues.h"

#include "calc/dose/NumberText.h"

QString tableText(const char *text, const LevelScale &level)
{
    return QString::fromUtf8(text)
        .replace(QLatin1String("%L"), level.levelName())
        .replace(QLatin1String("%U"), level.unitText());
}

QString valueText(DoseValue value, float number, const ValueUnits &units, const QLocale &locale)
{
    const DoseValueInfo &info = infoOf(value);
    QString text =
        tableText(info.name, units.level) + QLatin1Char(' ') + SingleToText(number, locale);
    if (*info.unit[units.body])
        text += QLatin1Char(' ') + tableText(info.unit[units.body], units.level);
    return text;
}

QString valuePhrase(DoseValue value, float number, const ValueUnits &units, const QLocale &locale)
{
    const DoseValueInfo &info = infoOf(value);
    if (info.phrase)
        return tableText(info.phrase, units.level).arg(SingleToText(number, locale));
    return valueText(value, number, units, locale);
}
