#include "calc/session/SessionClock.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int MinutesPerStep = 5;
constexpr qint64 SecondsPerMinute = 60;

// What the wall clock shows at `moment`, as if it were UTC. Entries are typed as clock times and
// become minutes of the clock (minuteOf), so the time now is counted on the clock too: across
// the night the clock is put forward or back for summer time, a time typed as the clock shows it
// now is then never more, nor less, than now.
QDateTime onTheClock(const QDateTime &moment)
{
    const QDateTime local = moment.toLocalTime();
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

} // namespace

int SessionClock::minuteOfDay(const QTime &time)
{
    return time.hour() * 60 + time.minute();
}

int SessionClock::minuteOf(const QTime &clock, const QTime &start)
{
    const int after = (minuteOfDay(clock) - minuteOfDay(start) + MinutesPerDay) % MinutesPerDay;
    return after >= MinutesPerDay - BaselineMinutes ? after - MinutesPerDay : after;
}

QTime SessionClock::clockAfter(const QTime &start, int minute)
{
    // Whole days dropped first, so that no minute of an int overflows the seconds.
    return start.addSecs(int(qint64(minute) % MinutesPerDay * SecondsPerMinute));
}

int SessionClock::minutesSince(const QDateTime &start, const QDateTime &now)
{
    const qint64 seconds = onTheClock(start).secsTo(onTheClock(now));
    // Rounded down, so a second before the start is minute -1.
    const qint64 minutes = seconds >= 0 ? seconds / SecondsPerMinute
                                        : -((-seconds + SecondsPerMinute - 1) / SecondsPerMinute);
    return int(std::clamp<qint64>(minutes, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

QDateTime SessionClock::momentAt(const QDateTime &start, int minute)
{
    const QDateTime counted = start.addSecs(qint64(minute) * SecondsPerMinute);
    // Across a change for summer time the clock is an hour off the seconds counted.
    return counted.addSecs(qint64(minute - minutesSince(start, counted)) * SecondsPerMinute);
}

bool SessionClock::aheadOf(int minute, const QDateTime &start, const QDateTime &now)
{
    return qint64(minute) * SecondsPerMinute - onTheClock(start).secsTo(onTheClock(now)) >
           AheadMinutes * SecondsPerMinute;
}

QDateTime SessionClock::defaultStart(const QDateTime &now)
{
    const QDateTime local = now.toLocalTime();
    const QTime time = local.time();
    QDateTime start(local.date(), QTime(time.hour(), time.minute()));
    if (time.second() != 0 || time.msec() != 0)
        start = start.addSecs(SecondsPerMinute);
    const int past = start.time().minute() % MinutesPerStep;
    return past == 0 ? start : start.addSecs((MinutesPerStep - past) * SecondsPerMinute);
}

QDateTime SessionClock::startAt(const QTime &clock, const QDateTime &near)
{
    const QDateTime local = near.toLocalTime();
    const QTime minute(clock.hour(), clock.minute());
    QDateTime nearest;
    for (int day = -1; day <= 1; ++day) {
        const QDateTime candidate(local.date().addDays(day), minute);
        const qint64 apart = std::abs(local.secsTo(candidate));
        // The later of two as near: candidates come in time order.
        if (!nearest.isValid() || apart <= std::abs(local.secsTo(nearest)))
            nearest = candidate;
    }
    return nearest;
}

QDateTime SessionClock::entryTime(const QDateTime &moment)
{
    const QDateTime utc = moment.toUTC();
    return utc.addMSecs(-utc.time().msec());
}
