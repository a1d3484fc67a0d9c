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
    QString doseInputs;             // the participant and the dosing parameters of the calculation
    QString doseVolumes;            // the three volumes
    QString choices;                // start, number of portions and release level
    QString peakLine;               // "Expected peak BAL: 0.0807 g/100 ml at 14:10"
    QString releaseLine;            // "Expected below 0.02 g/100 ml at 18:13"
    QString zeroLine;               // "Expected zero at 19:33"
    QList<QStringList> portionRows; // one per portion, in the order of PortionColumns

    static QStringList portionColumns();
    // What the expectation is and is not; shown beside every plan.
    static QString caveat();
};

PlanText describePlan(const CalculatedDose &dose, const SessionPlan &plan, const QTime &start,
                      const SessionPlanSettings &settings, const QLocale &locale = QLocale());

// The clock time `minutesAfter` minutes after `start`, hours and minutes in the user's short
// format, with "(next day)" or "(+N days)" when it falls on a later day.
QString clockText(const QTime &start, qint64 minutesAfter, const QLocale &locale = QLocale());
