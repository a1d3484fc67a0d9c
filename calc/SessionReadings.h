#pragma once

#include "calc/LevelUnits.h"
#include "calc/SessionPlan.h"

#include <QList>
#include <optional>

// One measured level: whole minutes after the start of drinking (below 0 for a baseline taken
// before it) and the level in the lab's unit.
struct LevelReading {
    int atMinute = 0;
    float level = 0;

    bool operator==(const LevelReading &) const = default;
};

// Readings are kept in time order; readings taken in the same minute keep the order they were
// added in.
bool inTimeOrder(const QList<LevelReading> &readings);
// Adds `reading` after every reading not later than it, so the list stays in time order.
void insertReading(QList<LevelReading> &readings, const LevelReading &reading);

// The expected level at a reading's time from the plan's curve, in the lab's unit, and the
// reading's difference from it.
struct ExpectedAtReading {
    double expectedLevel = 0;
    double difference = 0; // the reading minus the expected level
};
ExpectedAtReading expectedAtReading(const LevelReading &reading, const SessionPlan &plan,
                                    const LevelScale &level);

// What a session's readings show, each as an index into them. The rules compare the readings as
// the g/100 ml of blood LevelScale::toBal turns them into.
struct ReadingsCourse {
    // The highest reading, the earliest of equal ones.
    std::optional<qsizetype> peak;
    // The first reading i with readings i-2 > i-1 > i: the descending limb is shown from it on.
    std::optional<qsizetype> descendingShown;
    // The first reading at or below the release level, counting from descendingShown; one at or
    // below it before the limb has descended does not release.
    std::optional<qsizetype> releaseReached;
};

// `releaseBal` is in g/100 ml, as SessionPlanSettings keeps it.
ReadingsCourse readingsCourse(const QList<LevelReading> &readings, const LevelScale &level,
                              float releaseBal);
