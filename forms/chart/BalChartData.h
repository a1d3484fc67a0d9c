#pragma once

#include "calc/session/SessionReport.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <optional>

// What the chart draws of a session's report: times in hours after the start of drinking, levels
// in the lab's unit, every value finite and inside the chart's window, whatever the record
// holds. What lies beyond that window is left out, or marked at its edge, and said in words.
struct BalChartData {
    // The window: from the start (or a baseline before it) to just past the last thing drawn, at
    // least the later of the zero time and the end of a release band, and from 0 to a round
    // level above the highest one drawn.
    double firstHours = 0;
    double lastHours = 1;
    double topLevel = 0.1;

    double targetLevel = 0;
    double releaseLevel = 0;
    // Shaded: the drinking, and a booster's drinking.
    QList<std::pair<double, double>> drinking; // from, to

    // Only with an expected course: none for a placebo.
    QList<QList<QPointF>> course; // each piece a line inside the window
    QList<QPointF> band;          // the 80 % band as one outline, inside the window
    std::optional<QPointF> peak;  // the plan's expected peak
    double peakBal = 0;           // its level in g/100 ml, as its label writes it
    std::optional<QPointF> boosterPeak;
    std::optional<double> releaseHours; // when the course is expected below the release level
    std::optional<double> zeroHours;
    // The personal forecast from the observed peak on: its course until it reaches 0 and its
    // 80 % band (neither edge below 0) as one outline, both inside the window.
    QList<QList<QPointF>> personal;
    QList<QPointF> personalBand;

    struct Reading {
        QPointF at;
        bool aboveTop = false; // marked at the top edge: its level lies above the window
    };
    QList<Reading> readings;
    struct Portion {
        double hours = 0;
        bool served = false; // an open mark where it is planned, a filled one where served
    };
    QList<Portion> portions;
    std::optional<double> nowHours;

    // What the window leaves out or marks at its edge, one phrase each; empty when it shows all.
    QStringList beyond;
};

namespace BalChartLimits {
// A reading above this many times the highest level the session sets or expects is marked at
// the top of the chart; a plausible one is never more than twice the expected peak.
inline constexpr double ReadingCeiling = 3;
// How far before the start and after the course's end the chart reaches: a day, or the course's
// own span when that is longer.
inline constexpr double ReachHours = 24;
// The level axis ends this much above the highest level drawn, so that a peak has room above it.
inline constexpr double Headroom = 1.15;
} // namespace BalChartLimits

// What the chart draws of `report`; `showNow` adds the "now" line when it lies in the window.
BalChartData balChartData(const SessionReport &report, bool showNow);

// "Some values lie beyond what the chart can show: ..." for `beyond`; empty when it is empty.
QString balChartNote(const QStringList &beyond);
