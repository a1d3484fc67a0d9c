#include "calc/SessionReadings.h"

#include "calc/DosingModel.h"

#include <algorithm>

bool inTimeOrder(const QList<LevelReading> &readings)
{
    return std::is_sorted(
        readings.begin(), readings.end(),
        [](const LevelReading &a, const LevelReading &b) { return a.atMinute < b.atMinute; });
}

void insertReading(QList<LevelReading> &readings, const LevelReading &reading)
{
    const auto after = std::upper_bound(
        readings.begin(), readings.end(), reading.atMinute,
        [](int minute, const LevelReading &each) { return minute < each.atMinute; });
    readings.insert(after, reading);
}

ExpectedAtReading expectedAtReading(const LevelReading &reading, const SessionPlan &plan,
                                    const LevelScale &level)
{
    ExpectedAtReading at;
    at.expectedLevel =
        level.fromBal(plan.expectedBal(double(reading.atMinute) / DosingModel::MinutesPerHour));
    at.difference = double(reading.level) - at.expectedLevel;
    return at;
}

ReadingsCourse readingsCourse(const QList<LevelReading> &readings, const LevelScale &level,
                              float releaseBal)
{
    ReadingsCourse course;
    QList<float> bal;
    for (const LevelReading &reading : readings)
        bal.append(level.toBal(reading.level));
    for (qsizetype i = 0; i < bal.size(); ++i) {
        if (!course.peak || bal[i] > bal[*course.peak])
            course.peak = i;
        if (!course.descendingShown && i >= 2 && bal[i - 2] > bal[i - 1] && bal[i - 1] > bal[i])
            course.descendingShown = i;
        if (course.descendingShown && !course.releaseReached && bal[i] <= releaseBal)
            course.releaseReached = i;
    }
    return course;
}
