#pragma once

#include "calc/session/SessionEntries.h"

#include <optional>

// What a correction of an entry asks the operator for, each value as it stands in force: the
// entry's time, and beside it the one number it records, if any. Per event (as changedAs gives
// it): a reading, its time taken and its level; a serving (a version-1 portion served in its own
// row too), its time served; a booster, its time served and its drinking period.
struct EntryCorrection {
    enum class Number {
        None,
        Level,           // a reading's, in the lab's unit of levels
        DrinkingMinutes, // a booster's drinking period
    };

    EntryEvent event = EntryEvent::Served;
    int minute = 0; // the time in force, minutes after the start of drinking
    Number number = Number::None;
    float value = 0; // the number's value in force

    // The values a correction carries when `minute` and `value` are typed: every value the
    // entry records (fitsEvent), the number's left out where it has none.
    EntryValues corrected(int typedMinute, float typedValue) const;
};

// What a correction of `entry` asks for; none for an entry not corrected by its time (the setup,
// a planned portion, a correction or a void).
std::optional<EntryCorrection> entryCorrection(const EntryInForce &entry);
