#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// Clock times as the operator reads them: hours and minutes in the user's short time format.

// The user's short time format without the seconds that some locales add to it.
QString hoursAndMinutesFormat(const QLocale &locale = QLocale());

// The clock time `minutesAfter` minutes after `start`, with "(next day)" or "(+N days)" when it
// falls on a later day. Whole minutes of the wall clock: a session keeps minutes after its start.
QString clockText(const QTime &start, qint64 minutesAfter, const QLocale &locale = QLocale());

// A span of whole minutes: "25 min", "3 h 41 min".
QString durationText(qint64 minutes, const QLocale &locale = QLocale());
