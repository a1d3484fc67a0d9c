#pragma once

#include "calc/SessionPlan.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

// A session plan in words, as both the window and the printed record show it: numbers in the
// user's regional format, times as clock times from the start of drinking.
struct PlanText {
    QString doseInputs;  // the participant and the dosing parameters of the calculation
    QString doseVolumes; // the three volumes
    QString choices;     // start, number of portions and release level
    QString levels;      // the unit and ratio of levels, unless g/100 ml
    // "Expected peak BAL: 0.0807 g/100 ml at 14:10", or in breath "Expected peak BrAC: 0.4035
    // mg/L (BAL 0.0807 g/100 ml at 2000:1) at 14:10"
    QString peakLine;
    QString releaseLine;            // "Expected below 0.02 g/100 ml at 18:13"
    QString zeroLine;               // "Expected zero at 19:33"
    QList<QStringList> portionRows; // one per portion, in the order of PortionColumns

    static QStringList portionColumns();
    // What the expectation is and is not; shown beside every plan.
    static QString caveat();
};

PlanText describePlan(const CalculatedDose &dose, const SessionPlan &plan, const QTime &start,
                      const SessionPlanSettings &settings, const QLocale &locale = QLocale());

// An expected peak in the lab's unit, 4 significant digits, with the BAL (4 decimals) and the
// ratio for breath; "0.0807 g/100 ml" in the default unit.
QString peakText(double peakBal, const LevelScale &level, const QLocale &locale = QLocale());

// "Levels in mg/L of breath, read at a blood/breath ratio of 2000:1."
QString levelsSentence(const LevelScale &level, const QLocale &locale = QLocale());

// The clock time `minutesAfter` minutes after `start`, hours and minutes in the user's short
// format, with "(next day)" or "(+N days)" when it falls on a later day.
QString clockText(const QTime &start, qint64 minutesAfter, const QLocale &locale = QLocale());
