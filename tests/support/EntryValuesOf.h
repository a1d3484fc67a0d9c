#pragma once

#include "calc/SessionRecord.h"

// The values each kind of entry records, as an entry or a correction of it holds them.

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
