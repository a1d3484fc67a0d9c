#include "calc/session/TypedTime.h"

#include "calc/session/ClockText.h"
#include "calc/session/SessionClock.h"

#include <QRegularExpression>

namespace {

constexpr int MinutesPerHalfDay = 12 * 60;

// Of the two times on a 12-hour clock, the one within the half day before `now` or the few
// minutes after it.
QTime nearestBefore(int hour, int minute, const QTime &now)
{
    const int morning = (hour % 12) * 60 + minute;
    const auto minutesAgo = [&now](int at) {
        int ago = (SessionClock::minuteOfDay(now) - at + SessionClock::MinutesPerDay) %
                  SessionClock::MinutesPerDay;
        if (ago > SessionClock::MinutesPerDay - SessionClock::AheadMinutes)
            ago -= SessionClock::MinutesPerDay; // a few minutes ahead
        return ago;
    };
    const int chosen = minutesAgo(morning) <= minutesAgo(morning + MinutesPerHalfDay)
                           ? morning
                           : morning + MinutesPerHalfDay;
    return QTime(chosen / 60, chosen % 60);
}

} // namespace

bool usesTwelveHourClock(const QLocale &locale)
{
    const QString format = hoursAndMinutesFormat(locale);
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('a') || c == QLatin1Char('A')))
            return true;
    }
    return false;
}

std::optional<QTime> readTypedTime(const QString &typed, const QLocale &locale, const QTime &now)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(?:(\d{1,2})[:.](\d\d)|(\d{1,2})(\d\d))\s*(am|a|pm|p)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = typed.trimmed();
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        // As the field itself shows the time, whatever the locale's words for AM and PM.
        const QTime shown = locale.toTime(text, hoursAndMinutesFormat(locale));
        return shown.isValid() ? std::optional(QTime(shown.hour(), shown.minute())) : std::nullopt;
    }
    const bool colon = match.capturedLength(1) > 0;
    const int hour = match.captured(colon ? 1 : 3).toInt();
    const int minute = match.captured(colon ? 2 : 4).toInt();
    const QString suffix = match.captured(5).toLower();
    if (minute > 59)
        return std::nullopt;
    if (!suffix.isEmpty()) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        const bool afternoon = suffix.startsWith(QLatin1Char('p'));
        return QTime(hour % 12 + (afternoon ? 12 : 0), minute);
    }
    if (hour > 23)
        return std::nullopt;
    if (hour >= 1 && hour <= 12 && usesTwelveHourClock(locale))
        return nearestBefore(hour, minute, now);
    return QTime(hour, minute);
}
