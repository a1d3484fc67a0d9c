#pragma once

#include "calc/session/SessionReport.h"
#include "calc/session/SessionSchedule.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// What is due in a session, in words, as the Lab Day lists it and the session's window shows it
// under its tabs: the next item, its clock time and the time to it at `now`, the latest counting
// reading and its age, and the session's state. It names neither the dose nor the beverage.
struct ScheduleText {
    QString session;   // the session code, or that it has none yet
    QString next;      // "Reading", "Portion 2", or "Nothing"
    QString at;        // the next item's clock time; empty without one
    QString in;        // "in 4:05", "due now", "overdue by 2:10"; empty without an item
    QString reading;   // the latest counting reading with its unit, or "none yet"
    QString readingAt; // its clock time; empty without one
    QString age;       // how long ago it was taken: "12 min"; empty without one
    QString state;     // "Released at 16:40", "Descending limb shown at 14:55", ...
    QString nextLine;  // all of the next item in a line: "Next: reading at 14:55, in 4:05"
    bool due = false;  // the next item's time has come
};

ScheduleText describeSchedule(const SessionReport &report, const SessionSchedule &schedule,
                              const QDateTime &now, const QLocale &locale = QLocale());

// The seconds from `now` to the moment `item` falls due; at or below 0 it is due.
qint64 secondsToDue(const SessionReport &report, const DueItem &item, const QDateTime &now);

// "in 4:05" (minutes and seconds, hours too from an hour on), "due now" at 0, "overdue by 2:10".
QString countdownText(qint64 seconds);
