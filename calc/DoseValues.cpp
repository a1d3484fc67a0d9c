#include "calc/DoseValues.h"

#include "calc/NumberText.h"

QString valueText(DoseValue value, float number, BodyUnits units, const QLocale &locale)
{
    const DoseValueInfo &info = infoOf(value);
    QString text = QLatin1String(info.name) + QLatin1Char(' ') + SingleToText(number, locale);
    if (*info.unit[units])
        text += QLatin1Char(' ') + QLatin1String(info.unit[units]);
    return text;
}

QString valuePhrase(DoseValue value, float number, BodyUnits units, const QLocale &locale)
{
    const DoseValueInfo &info = infoOf(value);
    if (info.phrase)
        return QString::fromLatin1(info.phrase).arg(SingleToText(number, locale));
    return valueText(value, number, units, locale);
}
