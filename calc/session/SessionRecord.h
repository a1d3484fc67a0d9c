#pragma once

#include "calc/dose/DoseEvaluation.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <string_view>

// A session's record is research data: the session's setup (its plan row) and then every entry
// in the order it was made. An entry is never changed or removed; a correction or a void is an
// entry of its own that names the entry it changes. What the session is now (the corrected
// values) is derived from the entries, never stored in their place.

// What an entry says. Entries are numbered 1, 2, 3 ... in the order they were made; the setup is
// entry 1, the plan's portions follow it, and every later entry is one of the others.
enum class EntryEvent {
    Plan,       // the setup: see SessionSetup
    Portion,    // a portion of the plan as it is poured (a placebo's float and mixer)
    Served,     // a portion marked served
    Reading,    // a measured level
    Booster,    // a booster served
    Correction, // new values for an earlier entry, with the reason
    Void,       // an earlier entry taken back, with the reason
};

// An event's word, in a record's event column and in the session's history.
constexpr std::string_view entryEventName(EntryEvent event)
{
    switch (event) {
    case EntryEvent::Plan:
        return "plan";
    case EntryEvent::Portion:
        return "portion";
    case EntryEvent::Served:
        return "served";
    case EntryEvent::Reading:
        return "reading";
    case EntryEvent::Booster:
        return "booster";
    case EntryEvent::Correction:
        return "correction";
    case EntryEvent::Void:
        return "void";
    }
    return {};
}

// The values of an entry that a correction may change. An entry fills those its event uses; a
// correction fills every one of them that the event of the entry it corrects uses, with the
// values as corrected.
struct EntryValues {
    std::optional<int> atMinute;          // Reading: when it was taken
    std::optional<float> level;           // Reading: in the lab's unit of levels
    std::optional<int> servedAtMinute;    // Served, Booster; a version-1 Portion once served
    std::optional<float> drinkingMinutes; // Booster: its own drinking period
    std::optional<QDateTime> start;       // Plan: the start of drinking, local time, to the minute
    std::optional<float> releaseBal;      // Plan: the release level, g/100 ml

    bool operator==(const EntryValues &) const = default;
};

// Every time is whole minutes after the start of drinking (below 0 before it).
struct SessionEntry {
    int entry = 0; // from 1, in the order entered, never reused
    EntryEvent event = EntryEvent::Reading;
    QDateTime enteredAt;      // UTC, to the second; invalid in a version-1 record
    QString operatorInitials; // 1 to 8 letters; empty in a version-1 record
    int number = 0;           // Portion, Served: the portion's number, from 1
    EntryValues values;
    // Portion: the planned minute and the volumes poured. Booster: the volumes and the target it
    // was estimated for, float32(target - latest counting reading) in g/100 ml.
    int plannedAtMinute = 0;
    int alcoholMl = 0;
    int mixerMl = 0;
    int totalMl = 0;
    float boosterTargetBal = 0;
    // Correction, Void: the entry changed, and why.
    int corrects = 0;
    QString reason;

    bool operator==(const SessionEntry &) const = default;
};

// The session as it was set up before its first entry: entry 1 of the record.
struct SessionSetup {
    QString sessionCode;
    QString programVersion; // of the program that wrote the record first
    QDateTime enteredAt;    // UTC; invalid in a version-1 record
    QString operatorInitials;
    QDateTime start; // the start of drinking, local time, to the minute; required
    DoseInput input; // as given: the units, the lab's unit of levels and ratio, the values
    SessionPlanSettings plan;
    // The dose as it was computed; opened again, it is compared with the dose computed anew.
    float alcoholMl = 0;
    float mixerMl = 0;
    float totalMl = 0;
    bool placebo = false;
    int floatMl = 0;
    // The protocol the session was dosed under: its name and the SHA-256 (lower-case hex) of its
    // file as read; both empty without one.
    QString protocolName;
    QByteArray protocolSha256;
};

namespace RecordVersion {
inline constexpr int First = 1;   // no entry numbers, times of entry, operators or corrections
inline constexpr int Current = 2; // entries, corrections and voids, and the end row
} // namespace RecordVersion

// Everything one session holds, as saved and opened again.
struct SessionRecord {
    int version = RecordVersion::Current;
    SessionSetup setup;
    QList<SessionEntry> entries; // the entries after the setup (from 2), in the order made
};

// The same record as far as its file can tell: the values as given, not what a calculation left
// in the state.
bool operator==(const SessionSetup &a, const SessionSetup &b);
bool operator==(const SessionRecord &a, const SessionRecord &b);

// A record's dose is the dose `report` computes now: the same three volumes.
bool recordedDoseMatches(const SessionSetup &setup, const DoseReport &report);
