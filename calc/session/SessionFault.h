#pragma once

#include <QString>

// Why a session refuses an operation; the words of each are in calc/session/SessionFaultTexts.
enum class SessionFault {
    None,
    ReadOnly,     // a record opened read-only
    NoPlan,       // nothing is entered without a session plan
    SetupFixed,   // the setup changes only before the first entry and the first save
    SessionCode,  // not a code acceptsSessionCode takes
    PlaceboFloat, // a float no portion of the plan can hold
    PlanChoice,   // a number of portions or a release level the plan cannot take
    StartInvalid, // a start of drinking without a date or a time
    NoInitials,   // the operator's initials are asked before the first entry
    InitialsInvalid,
    ClockInvalid,
    TimeAhead,         // more than SessionClock::AheadMinutes after now
    ServedBeforeStart, // a portion or a booster served before the start of drinking
    PortionUnknown,
    PortionServedAlready,
    ReadingNotFinite,
    ReadingNegative,
    BoosterPlacebo,
    BoosterServedAlready,
    BoosterPeriod, // not a whole number of minutes from 1 to 120
    BoosterMouthAlcohol,
    BoosterLimb,
    BoosterAtTarget,
    BoosterImplausibleFall, // the latest counting reading fell faster than a body eliminates
    BoosterReleased,        // the release level has been reached
    BoosterStaleReading,    // the latest counting reading is older than FreshReadingMinutes
    BoosterDose,            // the booster's own dose or plan cannot be computed
    EntryUnknown,
    EntryIsChange,      // a correction or a void is never corrected or voided itself
    EntryVoided,        // a voided entry is never corrected or voided again
    PlannedPortion,     // the plan's portions are neither corrected nor voided
    SetupNotVoidable,   // the setup is corrected, never voided
    CorrectionValues,   // a correction gives exactly the values its entry records
    CorrectionNoChange, // a correction that leaves the entry as it is
    ReasonMissing,
    ReasonTooLong,
    ReasonControlCharacter, // a tab, a line break or another control character
};

// An operation's answer: done (None), or refused with the message to show.
struct SessionRefusal {
    SessionFault fault = SessionFault::None;
    QString message; // "ERROR: ..."

    bool refused() const { return fault != SessionFault::None; }
};
