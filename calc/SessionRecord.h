#pragma once

#include "calc/DoseEvaluation.h"
#include "calc/SessionReadings.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>

// A portion of the plan as the session served it: the planned minute and the volumes poured
// (a placebo's float and mixer with placebo), and the minute it was marked served.
struct RecordedPortion {
    ServedPortion portion;
    std::optional<int> servedAtMinute;

    bool operator==(const RecordedPortion &) const = default;
};

// A booster joins the record only once it was served.
struct RecordedBooster {
    float targetBal = 0;       // g/100 ml
    float drinkingMinutes = 0; // its own drinking period
    float alcoholMl = 0;
    float mixerMl = 0;
    float totalMl = 0;
    int servedAtMinute = 0;

    bool operator==(const RecordedBooster &) const = default;
};

// Everything one session holds, as saved and opened again. Every time is whole minutes after the
// start of drinking, whose clock time (local, to the minute) is kept when it is known.
struct SessionRecord {
    QString sessionCode;
    QString programVersion; // of the program that wrote it
    QDate startDate;        // null: no clock time
    QTime startTime;
    DoseInput input; // as given: the units, the lab's unit of levels and ratio, the values
    SessionPlanSettings plan;
    // The dose as it was computed; opened again, it is compared with the dose computed anew.
    float alcoholMl = 0;
    float mixerMl = 0;
    float totalMl = 0;
    bool placebo = false;
    int floatMl = 0;
    QList<RecordedPortion> portions;
    QList<LevelReading> readings; // in time order
    std::optional<RecordedBooster> booster;
};

// The same record as far as its file can tell: the values as given, not what a calculation left
// in the state.
bool operator==(const SessionRecord &a, const SessionRecord &b);

// A record's dose is the dose `report` computes now: the same three volumes.
bool recordedDoseMatches(const SessionRecord &record, const DoseReport &report);
