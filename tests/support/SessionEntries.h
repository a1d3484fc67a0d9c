#pragma once

#include "calc/session/SessionRecord.h"
#include "tests/support/EntryOf.h"
#include "tests/support/WorkedExample.h"

#include <QDateTime>

// Entries of a session's record written out value by value, as a test expects them, and the
// worked example's session, whose dose of 68 ml of spirit and 408 ml of mixer is poured in three
// portions, 23 + 136, 23 + 136 and 22 + 136 ml, at 0, 13 and 27 minutes.

// 2026-12-08 at `hhmmss` UTC, by `initials`.
inline EntryStamp stampAt(const char *hhmmss, const char *initials = "JS")
{
    return {QDateTime(QDate(2026, 12, 8), QTime::fromString(QLatin1String(hhmmss), u"HH:mm:ss"),
                      Qt::UTC),
            QString::fromUtf8(initials)};
}

inline SessionEntry portionEntry(int entry, int number, int atMinute, int alcoholMl, int mixerMl,
                                 const EntryStamp &stamp = {},
                                 std::optional<int> servedAtMinute = std::nullopt)
{
    return entryOf(entry, EntryEvent::Portion, stamp, servedValues(servedAtMinute), number,
                   atMinute, alcoholMl, mixerMl);
}

inline SessionEntry servedEntry(int entry, int number, int atMinute, const EntryStamp &stamp)
{
    return entryOf(entry, EntryEvent::Served, stamp, servedValues(atMinute), number);
}

inline SessionEntry readingEntry(int entry, int atMinute, float level, const EntryStamp &stamp = {})
{
    return entryOf(entry, EntryEvent::Reading, stamp, readingValues(atMinute, level));
}

inline SessionEntry boosterEntry(int entry, int servedAtMinute, float targetBal,
                                 float drinkingMinutes, int alcoholMl, int mixerMl,
                                 const EntryStamp &stamp = {})
{
    return entryOf(entry, EntryEvent::Booster, stamp,
                   boosterValues(servedAtMinute, drinkingMinutes), 0, 0, alcoholMl, mixerMl,
                   targetBal);
}

inline SessionEntry correctionEntry(int entry, int corrects, const EntryValues &values,
                                    const QString &reason, const EntryStamp &stamp)
{
    return entryOf(entry, EntryEvent::Correction, stamp, values, 0, 0, 0, 0, 0, corrects, reason);
}

inline SessionEntry voidEntry(int entry, int voids, const QString &reason, const EntryStamp &stamp)
{
    return entryOf(entry, EntryEvent::Void, stamp, {}, 0, 0, 0, 0, 0, voids, reason);
}

// The worked example's setup, started on 2026-12-08 at 14:05 local time.
inline SessionSetup workedSetup(const EntryStamp &stamp = {})
{
    SessionSetup setup;
    setup.sessionCode = QStringLiteral("P-017");
    setup.programVersion = QStringLiteral("2.1.0");
    setup.enteredAt = stamp.enteredAt;
    setup.operatorInitials = stamp.operatorInitials;
    setup.start = QDateTime(QDate(2026, 12, 8), QTime(14, 5));
    setup.input = workedExampleInput();
    setup.plan = {3, 0.02f};
    setup.alcoholMl = 68;
    setup.mixerMl = 408;
    setup.totalMl = 476;
    return setup;
}

// The worked example's three portions as planned (a placebo's with a float of 5 ml), each
// served at its planned minute (as a version-1 record marks them) or not at all.
inline QList<SessionEntry> workedPortions(const EntryStamp &stamp, bool placebo = false,
                                          bool servedAsPlanned = false)
{
    QList<SessionEntry> portions;
    for (const int number : {1, 2, 3}) {
        const int minute = number == 1 ? 0 : number == 2 ? 13 : 27;
        const int alcoholMl = placebo ? 5 : number < 3 ? 23 : 22;
        const int mixerMl = !placebo ? 136 : number < 3 ? 154 : 153;
        portions << portionEntry(number + 1, number, minute, alcoholMl, mixerMl, stamp,
                                 servedAsPlanned ? std::optional(minute) : std::nullopt);
    }
    return portions;
}

// The worked example's session in the current version, before anything was served: the setup
// and its three portions.
inline SessionRecord workedSession()
{
    return {RecordVersion::Current, workedSetup(stampAt("13:58:12")),
            workedPortions(stampAt("13:58:12"))};
}
