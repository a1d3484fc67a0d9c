#pragma once

#include "calc/SessionRecord.h"

// The values each kind of entry records, as an entry or a correction of it holds them.

inline EntryValues readingValues(int atMinute, float level)
{
    EntryValues values;
    values.atMinute = atMinute;
    values.level = level;
    return values;
}

inline EntryValues servedValues(std::optional<int> atMinute)
{
    EntryValues values;
    values.servedAtMinute = atMinute;
    return values;
}

inline EntryValues boosterValues(int servedAtMinute, float drinkingMinutes)
{
    EntryValues values = servedValues(servedAtMinute);
    values.drinkingMinutes = drinkingMinutes;
    return values;
}

inline EntryValues setupValues(const QDateTime &start, float releaseBal)
{
    EntryValues values;
    values.start = start;
    values.releaseBal = releaseBal;
    return values;
}
