#include "calc/session/ScheduleText.h"

#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionClock.h"

#include <cstdlib>

namespace {

// "4:05", or "1:04:05" from an hour on.
QString duration(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2")
            .arg(seconds / 60 % 60, hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:%2").arg(hours).arg(minutesAndSeconds)
                     : minutesAndSeconds;
}

QString stateOf(const SessionReport &report, const QLocale &locale)
{
    const ReadingsOutcome &outcome = report.outcome;
    const auto clock = [&](qsizetype reading) {
        return clockText(report.start.time(), report.readings[reading].atMinute, locale);
    };
    if (!report.hasPlan())
        return QStringLiteral("No plan");
    if (outcome.release)
        return QStringLiteral("Released at %1").arg(clock(*outcome.release));
    if (outcome.limbShown)
        return QStringLiteral("Descending limb shown at %1").arg(clock(*outcome.limbShown));
    if (outcome.limbWithdrawnBy)
        return QStringLiteral("Descending limb withdrawn at %1")
            .arg(clock(*outcome.limbWithdrawnBy));
    return QStringLiteral("Not yet released");
}

} // namespace

qint64 secondsToDue(const SessionReport &report, const DueItem &item, const QDateTime &now)
{
    return now.secsTo(SessionClock::momentAt(report.start, item.atMinute));
}

QString countdownText(qint64 seconds)
{
    if (seconds > 0)
        return QStringLiteral("in ") + duration(seconds);
    if (seconds == 0)
        return QStringLiteral("due now");
    return QStringLiteral("overdue by ") + duration(-seconds);
}

ScheduleText describeSchedule(const SessionReport &report, const SessionSchedule &schedule,
                              const QDateTime &now, const QLocale &locale)
{
    ScheduleText text;
    text.session = report.setup.sessionCode.isEmpty() ? QStringLiteral("(no code yet)")
                                                      : report.setup.sessionCode;
    text.state = stateOf(report, locale);
    const QTime start = report.start.time();
    if (const std::optional<DueItem> next = schedule.next()) {
        const qint64 seconds = secondsToDue(report, *next, now);
        text.next = next->kind == DueKind::Reading
                        ? QStringLiteral("Reading")
                        : QStringLiteral("Portion %1").arg(locale.toString(next->portion));
        text.at = clockText(start, next->atMinute, locale);
        text.in = countdownText(seconds);
        text.due = seconds <= 0;
        text.nextLine = QStringLiteral("%1: %2 at %3, %4")
                            .arg(text.due ? QStringLiteral("Due") : QStringLiteral("Next"),
                                 text.next.toLower(), text.at, text.in);
    } else {
        text.next = QStringLiteral("Nothing");
        text.nextLine = report.outcome.release
                            ? QStringLiteral("Nothing is due: %1.").arg(text.state.toLower())
                            : QStringLiteral("Nothing is due.");
    }

    text.reading = QStringLiteral("none yet");
    for (qsizetype i = report.readings.size() - 1; i >= 0; --i) {
        const ReadingLine &latest = report.readings[i];
        if (!latest.counts())
            continue;
        text.reading = SingleToText(latest.level, locale) + QLatin1Char(' ') +
                       report.setup.input.level.unitText();
        text.readingAt = clockText(start, latest.atMinute, locale);
        const qint64 minutes =
            SessionClock::momentAt(report.start, latest.atMinute).secsTo(now) / 60;
        text.age = QStringLiteral("%1 min").arg(locale.toString(std::max<qint64>(minutes, 0)));
        break;
    }
    return text;
}
