#include "calc/session/EntryCorrection.h"

namespace {

// Each event corrected by its time, with the value that holds its time and its number, if any.
struct CorrectedEvent {
    EntryEvent event;
    std::optional<int> EntryValues::*time;
    EntryCorrection::Number number;
};

constexpr CorrectedEvent CorrectedEvents[]{
    {EntryEvent::Reading, &EntryValues::atMinute, EntryCorrection::Number::Level},
    {EntryEvent::Served, &EntryValues::servedAtMinute, EntryCorrection::Number::None},
    {EntryEvent::Booster, &EntryValues::servedAtMinute, EntryCorrection::Number::DrinkingMinutes},
};

const CorrectedEvent *correctedEvent(EntryEvent event)
{
    for (const CorrectedEvent &each : CorrectedEvents) {
        if (each.event == event)
            return &each;
    }
    return nullptr;
}

std::optional<float> EntryValues::*numberOf(EntryCorrection::Number number)
{
    switch (number) {
    case EntryCorrection::Number::Level:
        return &EntryValues::level;
    case EntryCorrection::Number::DrinkingMinutes:
        return &EntryValues::drinkingMinutes;
    case EntryCorrection::Number::None:
        break;
    }
    return nullptr;
}

} // namespace

EntryValues EntryCorrection::corrected(int typedMinute, float typedValue) const
{
    EntryValues values;
    if (const CorrectedEvent *kind = correctedEvent(event)) {
        values.*(kind->time) = typedMinute;
        if (const auto field = numberOf(number))
            values.*field = typedValue;
    }
    return values;
}

std::optional<EntryCorrection> entryCorrection(const EntryInForce &entry)
{
    const EntryEvent event = changedAs(entry.entry);
    const CorrectedEvent *kind = correctedEvent(event);
    if (!kind)
        return std::nullopt;
    EntryCorrection correction;
    correction.event = event;
    correction.minute = (entry.values.*(kind->time)).value_or(0);
    correction.number = kind->number;
    if (const auto field = numberOf(kind->number))
        correction.value = (entry.values.*field).value_or(0);
    return correction;
}
