#pragma once

#include "calc/SessionRecord.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

// A session's record in words, as both the window and the printed page show it: clock times from
// the record's start, levels in the lab's unit and the user's regional format.
struct SessionText {
    QString beverage;            // "Alcohol", or the placebo with its float
    QStringList served;          // per portion: its served clock time, or empty
    QList<QStringList> readings; // one per reading, in the order of readingColumns
    QString observedPeak;        // "Observed peak: 0.06 g/100 ml at 14:10"
    QString descending;          // "Descending limb shown at 14:55"
    QString release;             // "Release level reached at 16:40 (0.018)"
    QString booster;             // the booster served; empty without one

    static QStringList readingColumns(const LevelScale &level);
    // What a booster estimate is and is not; shown beside every estimate.
    static QString boosterCaveat();
    // "Placebo: no curve is expected."
    static QString placeboNote();
};

// `plan` is the record's plan, whose curve the readings are compared with; without a curve (a
// placebo, or no plan) the expected level and difference read "no curve".
SessionText describeSession(const SessionRecord &record, const SessionPlan &plan,
                            const QLocale &locale = QLocale());

// "alcohol 12 ml, mixer 48 ml, total 60 ml"
QString volumesText(float alcoholMl, float mixerMl, float totalMl,
                    const QLocale &locale = QLocale());
