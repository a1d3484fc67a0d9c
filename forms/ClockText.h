#pragma once

#include <QLocale>
#include <QRegularExpression>
#include <QString>

// Clocks show hours and minutes in the user's short time format; some locales' short format adds
// the seconds, which are left out.
inline QString hoursAndMinutesFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?ss?(?:[.,]z+)?"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}
