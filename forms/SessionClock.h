#pragma once

#include <QTime>

// The operator enters the times of a session as clock times; the record keeps whole minutes after
// the start of drinking. A clock time up to BaselineMinutes before the start is a baseline
// reading taken before it; any other time is after the start, on the next day if need be, so a
// session may run past midnight.
namespace SessionClock {

inline constexpr int BaselineMinutes = 180;
inline constexpr int MinutesPerDay = 24 * 60;

// Seconds are left out: the record keeps whole minutes.
inline int minuteOf(const QTime &clock, const QTime &start)
{
    const auto minuteOfDay = [](const QTime &time) { return time.hour() * 60 + time.minute(); };
    const int after = (minuteOfDay(clock) - minuteOfDay(start) + MinutesPerDay) % MinutesPerDay;
    return after >= MinutesPerDay - BaselineMinutes ? after - MinutesPerDay : after;
}

inline QTime clockOf(int minute, const QTime &start)
{
    return start.addSecs(minute * 60);
}

} // namespace SessionClock
