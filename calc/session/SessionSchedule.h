#pragma once

#include "calc/dose/Protocol.h"
#include "calc/session/SessionReport.h"

#include <QList>
#include <optional>

// What a session has due, and when, from its report alone: no clock is read here, so the window,
// the Lab Day and the command line all say the same. Times are whole minutes after the start of
// drinking in force.
//
// - Each portion not yet served is due at its planned time.
// - The next reading is due at the later of the last reading (not voided) plus the interval and
//   the drinking's end plus the mouth-alcohol wait (SessionRules::MouthAlcoholMinutes); after a
//   booster, the booster's drinking end takes the place of the drinking's. With
//   readingsDuringDrinking, it waits for neither: it is due at the later of the last reading plus
//   the interval and the interval after the start of drinking (or of the booster); the readings
//   taken before the wait is over are still noted as mouth alcohol and do not count.
// - Once the participant is released, nothing is due.
// - A placebo's schedule follows the same rules from the same entries, so that what is due never
//   tells the arms apart.

enum class DueKind { Portion, Reading };

struct DueItem {
    DueKind kind = DueKind::Reading;
    int portion = 0; // a portion's number, from 1; 0 for a reading
    int atMinute = 0;

    bool operator==(const DueItem &) const = default;
};

struct SessionSchedule {
    QList<DueItem> items; // earliest first; at the same minute the portions, then the reading

    // The earliest item; none when nothing is due.
    std::optional<DueItem> next() const;
    // How many items fall before `minute`: those overdue at it.
    qsizetype overdueAt(int minute) const;
};

// The schedule of a session as `report` shows it, with the protocol's `schedule`. Nothing is due
// without a plan.
SessionSchedule scheduleOf(const SessionReport &report, const ProtocolSchedule &schedule = {});

// The times readings fall due when each is taken when it falls due, as an observer's sheet lists
// them: the next reading's time and then every interval after it up to `untilMinute`, at least
// `least` of them. A release does not end them, since it would tell a placebo's sheet from an
// alcohol session's; none without a plan.
QList<int> readingTimes(const SessionReport &report, const ProtocolSchedule &schedule,
                        int untilMinute, qsizetype least);
