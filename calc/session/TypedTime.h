#pragma once

#include <QLocale>
#include <QString>
#include <QTime>
#include <optional>

// A clock time as an operator types it in a hurry. Accepted, in any case and with or without a
// space before the suffix: h:mm, hmm, hh:mm and hhmm ("." may stand for ":"), each with an
// optional a, am, p or pm ("120pm" is 1:20 PM, "1030a" 10:30 AM, "105pm" 1:05 PM), and the time
// as the locale's clock writes it. With a suffix the hours run from 1 to 12. Without one, hours
// from 1 to 12 on a 12-hour clock are the time within the 12 hours before `now` or the
// SessionClock::AheadMinutes after it; on a 24-hour clock, and for 0 and 13 to 23 on either, the
// hours are as typed. Anything else is no time: it is refused, never read as something near it.

// Whether the locale's short time format shows hours 1 to 12 with AM and PM.
bool usesTwelveHourClock(const QLocale &locale);

// The time `typed` stands for at `now`, to the minute; none when it is not one of the forms.
std::optional<QTime> readTypedTime(const QString &typed, const QLocale &locale, const QTime &now);
