#pragma once

#include <QDateTime>
#include <QTime>

// The operator enters the times of a session as clock times; the record keeps whole minutes after
// the start of drinking. A clock time up to BaselineMinutes before the start is a baseline taken
// before it; any other time is after the start, on the next day if need be, so a session may run
// past midnight.
namespace SessionClock {

inline constexpr int BaselineMinutes = 180;
inline constexpr int MinutesPerDay = 24 * 60;
// A clock may run a little ahead of the computer's; a time further ahead of now is a slip.
inline constexpr int AheadMinutes = 5;

// The minutes since midnight that `time` shows, its seconds left out.
int minuteOfDay(const QTime &time);
// Seconds are left out: the record keeps whole minutes. `clock` must be valid.
int minuteOf(const QTime &clock, const QTime &start);
// The clock time `minute` minutes after `start` (before it for a negative minute), around the
// clock past midnight: the time minuteOf gives `minute` for. `start` must be valid.
QTime clockAfter(const QTime &start, int minute);

// The minutes are those of the wall clock: on the night it is put forward or back for summer
// time, a time typed as the clock shows it is as many minutes after the start as the clock says.

// Whole minutes of the clock from `start` to `now`, rounded down, within the range of an int.
int minutesSince(const QDateTime &start, const QDateTime &now);

// The first moment the clock shows `minute` minutes after `start` (put back, it shows an hour
// twice).
QDateTime momentAt(const QDateTime &start, int minute);

// Whether `minute` after `start` is more than AheadMinutes after `now`.
bool aheadOf(int minute, const QDateTime &start, const QDateTime &now);

// The start a new session is offered: the next whole five minutes of the local clock from `now`.
QDateTime defaultStart(const QDateTime &now);

// The start of drinking at the local clock time `clock` (seconds left out) nearest to `near`: a
// session is set up a little before it starts or entered a little after, on either side of
// midnight. Exactly twelve hours away, the later one. `clock` must be valid.
QDateTime startAt(const QTime &clock, const QDateTime &near);

// `moment` in UTC without its milliseconds, as an entry's time of entry is kept.
QDateTime entryTime(const QDateTime &moment);

} // namespace SessionClock
