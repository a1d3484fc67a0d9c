#pragma once

#include "calc/SessionRecord.h"

#include <QDateTime>

// Entries of a session's record written out value by value, as a test expects them, and the
// worked example's session: a man of 70 in, 160 lb and 25 years at the default parameters, whose
// dose of 68 ml of spirit and 408 ml of mixer is poured in three portions, 23 + 136, 23 + 136 and
// 22 + 136 ml, at 0, 13 and 27 minutes.

// When and by whom an entry was made; none for an entry carried over from a version-1 file.
struct EntryStamp {
    QDateTime enteredAt; // UTC
    QString operatorInitials;
};

// 2026-12-08 at `hhmmss` UTC, by `initials`.
inline EntryStamp stampAt(const char *hhmmss, const char *initials = "JS")
{
    return {QDateTime(QDate(2026, 12, 8), QTime::fromString(QLatin1String(hhmmss), u"HH:mm:ss"),
                      Qt::UTC),
            QString::fromUtf8(initials)};
}

inline SessionEntry stamped(SessionEntry entry, const EntryStamp &stamp)
{
    entry.enteredAt = stamp.enteredAt;
    entry.operatorInitials = stamp.operatorInitials;
    return entry;
}

inline SessionEntry portionEntry(int entry, int number, int atMinute, int alcoholMl, int mixerMl,
                                 const EntryStamp &stamp = {},
                                 std::optional<int> servedAtMinute = std::nullopt)
{
    SessionEntry portion;
    portion.entry = entry;
    portion.event = EntryEvent::Portion;
    portion.number = number;
    portion.plannedAtMinute = atMinute;
    portion.alcoholMl = alcoholMl;
    portion.mixerMl = mixerMl;
    portion.totalMl = alcoholMl + mixerMl;
    portion.values.servedAtMinute = servedAtMinute;
    return stamped(portion, stamp);
}

inline SessionEntry servedEntry(int entry, int number, int atMinute, const EntryStamp &stamp)
{
    SessionEntry served;
    served.entry = entry;
    served.event = EntryEvent::Served;
    served.number = number;
    served.values.servedAtMinute = atMinute;
    return stamped(served, stamp);
}

inline SessionEntry readingEntry(int entry, int atMinute, float level, const EntryStamp &stamp = {})
{
    SessionEntry reading;
    reading.entry = entry;
    reading.event = EntryEvent::Reading;
    reading.values.atMinute = atMinute;
    reading.values.level = level;
    return stamped(reading, stamp);
}

inline SessionEntry boosterEntry(int entry, int servedAtMinute, float targetBal,
                                 float drinkingMinutes, int alcoholMl, int mixerMl,
                                 const EntryStamp &stamp = {})
{
    SessionEntry booster;
    booster.entry = entry;
    booster.event = EntryEvent::Booster;
    booster.values.servedAtMinute = servedAtMinute;
    booster.values.drinkingMinutes = drinkingMinutes;
    booster.boosterTargetBal = targetBal;
    booster.alcoholMl = alcoholMl;
    booster.mixerMl = mixerMl;
    booster.totalMl = alcoholMl + mixerMl;
    return stamped(booster, stamp);
}

inline SessionEntry correctionEntry(int entry, int corrects, const EntryValues &values,
                                    const QString &reason, const EntryStamp &stamp)
{
    SessionEntry correction;
    correction.entry = entry;
    correction.event = EntryEvent::Correction;
    correction.corrects = corrects;
    correction.values = values;
    correction.reason = reason;
    return stamped(correction, stamp);
}

inline SessionEntry voidEntry(int entry, int voids, const QString &reason, const EntryStamp &stamp)
{
    SessionEntry voided;
    voided.entry = entry;
    voided.event = EntryEvent::Void;
    voided.corrects = voids;
    voided.reason = reason;
    return stamped(voided, stamp);
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
    DosingState &s = setup.input.state;
    s.Gender = Gender::Male;
    s.Height = 70;
    s.Weight = 160;
    s.Age = 25;
    s.BAL = 0.08f;
    s.DD = 40;
    s.Proof = 200;
    s.Ratio = 6;
    setup.plan = {3, 0.02f};
    setup.alcoholMl = 68;
    setup.mixerMl = 408;
    setup.totalMl = 476;
    return setup;
}

// The worked example's session in the current version, before anything was served: the setup
// and its three portions.
inline SessionRecord workedSession()
{
    SessionRecord record;
    record.setup = workedSetup(stampAt("13:58:12"));
    record.entries = {portionEntry(2, 1, 0, 23, 136, stampAt("13:58:12")),
                      portionEntry(3, 2, 13, 23, 136, stampAt("13:58:12")),
                      portionEntry(4, 3, 27, 22, 136, stampAt("13:58:12"))};
    return record;
}
