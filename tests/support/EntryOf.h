#pragma once

#include "calc/session/SessionRecord.h"

#include <QDateTime>

// An entry of a session and the values each kind of entry records, each written out in one
// statement.

inline EntryValues readingValues(int atMinute, float level)
{
    return {atMinute, level, {}, {}, {}, {}};
}

inline EntryValues servedValues(std::optional<int> atMinute)
{
    return {{}, {}, atMinute, {}, {}, {}};
}

inline EntryValues boosterValues(int servedAtMinute, float drinkingMinutes)
{
    return {{}, {}, servedAtMinute, drinkingMinutes, {}, {}};
}

inline EntryValues setupValues(const QDateTime &start, float releaseBal)
{
    return {{}, {}, {}, {}, start, releaseBal};
}

// When and by whom an entry was made; none for an entry carried over from a version-1 file.
struct EntryStamp {
    QDateTime enteredAt; // UTC
    QString operatorInitials;
};

// Every value of an entry, in the order SessionEntry holds them; the total is the volumes' sum.
inline SessionEntry entryOf(int entry, EntryEvent event, const EntryStamp &stamp,
                            const EntryValues &values, int number = 0, int plannedAtMinute = 0,
                            int alcoholMl = 0, int mixerMl = 0, float boosterTargetBal = 0,
                            int corrects = 0, const QString &reason = {})
{
    const int totalMl = alcoholMl + mixerMl;
    return {entry,   event,   stamp.enteredAt,  stamp.operatorInitials,
            number,  values,  plannedAtMinute,  alcoholMl,
            mixerMl, totalMl, boosterTargetBal, corrects,
            reason};
}
