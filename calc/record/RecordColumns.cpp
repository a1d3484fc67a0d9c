#include "calc/record/RecordColumns.h"

const RecordEventInfo &recordEventInfo(EntryEvent event)
{
    for (const RecordEventInfo &info : RecordEvents) {
        if (info.event == event)
            return info;
    }
    return RecordEvents.front(); // every entry's event has its row in the table
}

const RecordEventInfo *recordEventNamed(std::string_view name, int version)
{
    for (const RecordEventInfo &info : RecordEvents) {
        const bool inVersion = version >= RecordVersion::Current ||
                               std::any_of(info.firstVersion.begin(), info.firstVersion.end(),
                                           [](Cell cell) { return cell != Cell::Unused; });
        if (info.name == name && inVersion)
            return &info;
    }
    return nullptr;
}
