#include "calc/session/ClockText.h"

#include <QRegularExpression>

namespace {

constexpr qint64 MinutesPerDay = 24 * 60;

} // namespace

QString hoursAndMinutesFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?ss?(?:[.,]z+)?"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}

QString clockText(const QTime &start, qint64 minutesAfter, const QLocale &locale)
{
    const qint64 total = start.msecsSinceStartOfDay() / 60000 + minutesAfter;
    qint64 days = total / MinutesPerDay;
    if (total < 0 && total % MinutesPerDay != 0)
        --days;
    const QTime time = QTime(0, 0).addSecs(int(total - days * MinutesPerDay) * 60);
    QString text = locale.toString(time, hoursAndMinutesFormat(locale));
    if (days == 1)
        text += QStringLiteral(" (next day)");
    else if (days > 1)
        text += QStringLiteral(" (+%1 days)").arg(locale.toString(days));
    return text;
}

QString durationText(qint64 minutes, const QLocale &locale)
{
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(locale.toString(minutes));
    return QStringLiteral("%1 h %2 min")
        .arg(locale.toString(minutes / 60), locale.toString(minutes % 60));
}
