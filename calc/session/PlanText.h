#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/SessionPlan.h"
#include "calc/session/SessionReport.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

// A session plan in words, as both the window and the printed record show it: numbers in the
// user's regional format, times as clock times from the start of drinking in force.
struct PlanText {
    QString doseInputs;  // the participant and the dosing parameters of the calculation
    QString doseVolumes; // the three volumes; a placebo's window leaves them out
    QString choices;     // start, number of portions and release level
    QString levels;      // the unit and ratio of levels, unless g/100 ml
    // The three expected times in force (the plan's, or after a booster the booster's); empty for
    // a placebo, which expects no curve, and without a plan. "Expected peak BAL: 0.0807 g/100 ml
    // at 14:10", or in breath "Expected peak BrAC: 0.4035 mg/L (BAL 0.0807 g/100 ml at 2000:1) at
    // 14:10"
    QString peakLine;
    QString releaseLine;            // "Expected below 0.02 g/100 ml at 18:13"
    QString zeroLine;               // "Expected zero at 19:33"
    QList<QStringList> portionRows; // one per portion as poured, in the order of portionColumns

    // A placebo's portions hold the float where alcohol's hold the spirit.
    static QStringList portionColumns(bool placebo = false);
    // What the expectation is and is not; shown beside every plan.
    static QString caveat();
};

// The plan of `report`'s session: its dose, the choices in force and the portions as poured.
PlanText describePlan(const SessionReport &report, const QLocale &locale = QLocale());

// What the protocol says of the dose: where the calculation differs from it, then each limit the
// dose passes; empty without a protocol.
QStringList protocolLines(const DoseReport &report, const std::optional<Protocol> &protocol,
                          const QLocale &locale = QLocale());

// An expected peak in the lab's unit, 4 significant digits, with the BAL (4 decimals) and the
// ratio for breath; "0.0807 g/100 ml" in the default unit.
QString peakText(double peakBal, const LevelScale &level, const QLocale &locale = QLocale());

// "Levels in mg/L of breath, read at a blood/breath ratio of 2000:1."
QString levelsSentence(const LevelScale &level, const QLocale &locale = QLocale());
