#include "calc/session/SessionRules.h"

#include "calc/dose/DosingModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using DosingModel::EliminationBalPerHour;
using DosingModel::MinutesPerHour;

// Far beyond any clock, yet far from overflowing a qint64 when a minute is added.
constexpr double LatestMinute = 1e15;

// Half away from zero, as the plan rounds its minutes; a damaged record's values stay in range.
qint64 clampedWholeMinutes(double minutes)
{
    if (std::isnan(minutes))
        return 0;
    return qint64(std::round(std::clamp(minutes, -LatestMinute, LatestMinute)));
}

double hoursOf(double minutes)
{
    return minutes / MinutesPerHour;
}

} // namespace

ReadingNote readingNote(int atMinute, float level, const DrinkingTimes &times)
{
    if (!std::isfinite(level) || level < 0)
        return ReadingNote::NotALevel;
    if (atMinute < 0)
        return ReadingNote::Baseline;
    const double minute = atMinute;
    if (minute < times.drinkingEnds + SessionRules::MouthAlcoholMinutes)
        return ReadingNote::MouthAlcohol;
    if (!times.boosterAt || atMinute < *times.boosterAt)
        return ReadingNote::Counts;
    const double boosterEnds = double(*times.boosterAt) + times.boosterMinutes;
    return minute < boosterEnds + SessionRules::MouthAlcoholMinutes ? ReadingNote::MouthAlcohol
                                                                    : ReadingNote::Booster;
}

LimbCourse limbCourse(const QList<float> &bal)
{
    LimbCourse course;
    qsizetype lastRise = 0;
    for (qsizetype i = 1; i < bal.size(); ++i) {
        if (bal[i] > bal[i - 1]) {
            lastRise = i;
            if (course.shown) {
                course.withdrawnBy = i;
                course.shown.reset();
            }
        }
        if (!course.shown && i >= lastRise + 2 && bal[i - 2] > bal[i - 1] && bal[i - 1] > bal[i]) {
            course.shown = i;
            course.withdrawnBy.reset();
        }
    }
    return course;
}

std::optional<qsizetype> placeboRelease(const QList<float> &bal, float releaseBal)
{
    std::optional<qsizetype> release;
    for (qsizetype i = 0; i < bal.size(); ++i) {
        if (!(bal[i] <= releaseBal))
            release.reset();
        else if (!release)
            release = i;
    }
    return release;
}

double fallPerHour(const TimedReading &before, const TimedReading &after)
{
    const double fall = double(before.bal) - double(after.bal);
    const double hours = hoursOf(double(after.atMinute) - double(before.atMinute));
    if (hours > 0)
        return fall / hours;
    // Within one minute: a fall is as fast as can be.
    return fall > 0 ? std::numeric_limits<double>::infinity() : 0;
}

bool fellImplausibly(const TimedReading &before, const TimedReading &after)
{
    return fallPerHour(before, after) > SessionRules::FastestFallBalPerHour;
}

QList<bool> implausibleFalls(const QList<TimedReading> &readings)
{
    QList<bool> implausible;
    for (qsizetype i = 0; i < readings.size(); ++i)
        implausible << (i > 0 && fellImplausibly(readings[i - 1], readings[i]));
    return implausible;
}

ReleaseCourse releaseCourse(const QList<TimedReading> &readings, const QList<bool> &implausible,
                            std::optional<qsizetype> from, float releaseBal,
                            const ReleaseRule &rule)
{
    ReleaseCourse course;
    if (!from)
        return course;
    for (qsizetype i = *from; i < readings.size() && !course.release; ++i) {
        if (!(readings[i].bal <= releaseBal))
            continue;
        if (!course.waiting)
            course.waiting = i;
        course.latestFellImplausibly.reset();
        if (implausible.value(i)) {
            course.latestFellImplausibly = i;
            continue;
        }
        const bool apart =
            course.confirming.isEmpty() ||
            qint64(readings[i].atMinute) >=
                qint64(readings[course.confirming.constLast()].atMinute) + rule.minutesApart;
        if (!apart)
            continue;
        course.confirming << i;
        if (course.confirming.size() >= rule.confirmingReadings)
            course.release = i;
    }
    if (course.release) {
        course.waiting.reset();
    } else if (!course.confirming.isEmpty()) {
        course.nextFromMinute =
            qint64(readings[course.confirming.constLast()].atMinute) + rule.minutesApart;
    }
    return course;
}

float boosterStartBal(const TimedReading &reading, int boosterMinute)
{
    const double eliminated = DosingModel::EliminationBalPerHour *
                              (double(boosterMinute) - double(reading.atMinute)) / MinutesPerHour;
    return float(std::max(0.0, double(reading.bal) - eliminated));
}

std::optional<qsizetype> highestReading(const QList<float> &bal)
{
    std::optional<qsizetype> highest;
    for (qsizetype i = 0; i < bal.size(); ++i) {
        if (!highest || bal[i] > bal[*highest])
            highest = i;
    }
    return highest;
}

double BoosterCourse::expectedBal(double minute) const
{
    return std::max(0.0, expectedLine(minute));
}

double BoosterCourse::expectedLine(double minute) const
{
    const double hours = hoursOf(minute - servedAtMinute);
    double rise = 0;
    if (hours >= riseHours)
        rise = riseBal - EliminationBalPerHour * (hours - riseHours);
    else if (hours > 0)
        rise = riseBal * hours / riseHours;
    return fromBal + rise;
}

qint64 BoosterCourse::peakAtMinute() const
{
    return servedAtMinute + clampedWholeMinutes(riseHours * MinutesPerHour);
}

qint64 BoosterCourse::releaseAtMinute() const
{
    if (neverAboveRelease())
        return servedAtMinute;
    return servedAtMinute +
           clampedWholeMinutes((riseHours + (peakBal() - releaseBal) / EliminationBalPerHour) *
                               MinutesPerHour);
}

qint64 BoosterCourse::zeroAtMinute() const
{
    return servedAtMinute +
           clampedWholeMinutes((riseHours + peakBal() / EliminationBalPerHour) * MinutesPerHour);
}

ExpectedTimes BoosterCourse::times() const
{
    return {peakBal(), peakAtMinute(), releaseAtMinute(), neverAboveRelease(), zeroAtMinute()};
}

ExpectedTimes planTimes(const SessionPlan &plan)
{
    return {plan.peakBal, plan.peakAfterMinutes, plan.releaseAfterMinutes, plan.releaseHours == 0,
            plan.zeroAfterMinutes};
}

BoosterCourse boosterCourse(int servedAtMinute, double fromBal, std::optional<int> fromMinute,
                            const SessionPlan &boosterPlan, float releaseBal)
{
    BoosterCourse course;
    course.servedAtMinute = servedAtMinute;
    course.fromBal = fromBal;
    course.fromMinute = fromMinute;
    course.riseBal = boosterPlan.peakBal;
    course.riseHours = boosterPlan.peakHours;
    course.releaseBal = releaseBal;
    return course;
}

double ExpectedCourse::expectedBal(double minute) const
{
    if (booster && minute >= booster->servedAtMinute)
        return booster->expectedBal(minute);
    return plan.expectedBal(hoursOf(minute));
}

QList<QPointF> ExpectedCourse::points() const
{
    const QList<QPointF> dose{{0, 0}, {plan.peakHours, plan.peakBal}, {plan.zeroHours, 0}};
    if (!booster)
        return dose;
    const double served = hoursOf(booster->servedAtMinute);
    QList<QPointF> points;
    for (const QPointF &point : dose) {
        if (point.x() < served)
            points << point;
    }
    const double peakHours = served + booster->riseHours;
    points << QPointF(served, plan.expectedBal(served)) << QPointF(served, booster->fromBal)
           << QPointF(peakHours, booster->peakBal())
           << QPointF(peakHours + booster->peakBal() / EliminationBalPerHour, 0);
    return points;
}

const char *readingNoteWord(ReadingNote note)
{
    switch (note) {
    case ReadingNote::Counts:
        break;
    case ReadingNote::Baseline:
        return "baseline";
    case ReadingNote::MouthAlcohol:
        return "mouth_alcohol";
    case ReadingNote::Booster:
        return "booster";
    case ReadingNote::NotALevel: // refused on entry and on reading a file: a guard only
        return "not_a_level";
    }
    return "counts";
}
