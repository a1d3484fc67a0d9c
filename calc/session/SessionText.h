#pragma once

#include "calc/dose/LevelUnits.h"
#include "calc/session/SessionReport.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

// A session's report in words, as the window, the printed page and the command line show it:
// clock times from the start of drinking in force, levels in the lab's unit, numbers in the
// given regional format.
struct SessionText {
    QString beverage;            // "Alcohol", or the placebo with its float
    QStringList served;          // per portion: its served clock time, or "not yet"
    QStringList servedNotes;     // per portion: the marks voided, "served at 14:02, voided"
    QList<QStringList> readings; // one per reading, in the order of readingColumns
    QString observedPeak;        // "Observed peak: 0.06 g/100 ml at 14:10"
    QString descending;          // "Descending limb shown at 14:55"; empty for a placebo
    // "Release level reached at 16:40 (0.018)", or why not yet: the reading at or below the level
    // fell faster than a body eliminates, or more readings are to confirm it.
    QString release;
    // The 80 % band in force (the plan's, or after a booster the booster's): "80 % of
    // participants like this one peak between 0.0585 and 0.1029 g/100 ml.", and when they are
    // expected below the release level, in clock times; empty without a band.
    QString peakBand;
    QString releaseBand;
    // "Personal forecast from 5 readings: falling 0.0172 g/100 ml per hour (80 %: 0.0151–0.0193);
    // below 0.02 at 16:52 (80 %: 16:35–17:12)."; empty while there is none.
    QString personal;
    QString booster;             // the booster served; empty without one
    QList<QStringList> boosters; // one per booster entry, voided ones too, as boosterColumns
    QStringList boosterCourse;   // after a booster: its peak, below the release level, zero
    // After a booster: "Planned before the booster: peak 0.0807 g/100 ml at 15:15, below 0.02
    // g/100 ml at 19:18, zero at 20:38."; the Booster tab alone shows it.
    QString plannedBeforeBooster;
    QString offer;             // the booster estimate, or why there is none
    QString offerPeakBand;     // the band of the estimate's expected peak; empty without one
    QStringList offerWarnings; // its own notices, and what everything served with it passes
    QStringList history;       // every correction and void, in the order made

    static QStringList readingColumns(const LevelScale &level);
    static QStringList boosterColumns();
    // What a booster estimate is and is not; shown beside every estimate.
    static QString boosterCaveat();
    // "Placebo: no curve is expected."
    static QString placeboNote();
    // In place of the times in force after a booster whose course cannot be computed.
    static QString noTimesAfterBooster();
    // A reading's note in the window for one that fell faster than a body eliminates.
    static QString implausibleFallNote();
    // What the band assumes, under the chart that shades it.
    static QString bandNote();
};

// The protocol the session is judged by, always named: "Protocol: Arm A", "Protocol: none", or
// for a record whose protocol is not the one open now (`limitsChecked` false) which protocol it
// was recorded under and that its limits are not checked.
QString protocolLine(const SessionSetup &setup, bool limitsChecked);

SessionText describeSession(const SessionReport &report, const QLocale &locale = QLocale());

// "alcohol 12 ml, mixer 48 ml, total 60 ml"
QString volumesText(float alcoholMl, float mixerMl, float totalMl,
                    const QLocale &locale = QLocale());

// A level the model expects (`level` in the lab's unit), as the plan writes levels: 4 decimals
// in g/100 ml, 4 significant digits in another unit.
QString expectedLevelText(double level, const LevelScale &scale, const QLocale &locale = QLocale());
// A difference from it, written the same way with its sign; none for one that rounds to 0.
QString differenceText(double difference, const LevelScale &scale,
                       const QLocale &locale = QLocale());

// What an entry records, with its values in force: "the reading 0.06 g/100 ml at 15:10".
QString entryValuesText(const EntryInForce &entry, const SessionReport &report,
                        const QLocale &locale = QLocale());

// Every row of `record` in file order, as History lists them, in the order of historyColumns:
// each entry as it was made beside what it is now (as corrected, or voided), and each correction
// and void with what it changed and why. `report` is the record's.
QStringList historyColumns();
QList<QStringList> describeHistory(const SessionRecord &record, const SessionReport &report,
                                   const QLocale &locale = QLocale());

// A correction or a void: what changed, from what to what, why, who and when.
QString changeText(const EntryChange &change, const SessionReport &report,
                   const QLocale &locale = QLocale());

// The questions asked before an entry. `expectedBal` is the expected peak, or a placebo's target.
QString highReadingQuestion(float level, double expectedBal, bool placebo, const LevelScale &scale,
                            const QLocale &locale = QLocale());
// The same for a reading given with the others at once, as the command line gives them, at `time`
// ("minute 70"): "WARNING: The reading of 0.6 g/100 ml at minute 70 is 7 times the expected peak
// (0.0807 g/100 ml): it may be a slip."
QString highReadingWarning(const QString &time, float level, double expectedBal, bool placebo,
                           const LevelScale &scale, const QLocale &locale = QLocale());
QString sameMinuteQuestion(const QString &clock, float otherLevel, const LevelScale &scale,
                           const QLocale &locale = QLocale());
// Before a reading of `level` at `minute` that falls from `before` faster than a body eliminates:
// "Record a reading of 0.006 g/100 ml? It is 0.062 below the reading at 12:20 PM, a fall of 0.248
// per hour; no body eliminates faster than 0.040 per hour." The fall, its rate and the fastest
// are written in the lab's unit with the decimals that give the fastest two significant digits:
// 3 in g/100 ml and g/210 L, 2 in g/L and mg/L, none in mg/100 ml and µg/100 ml.
QString implausibleFallQuestion(const SessionReport &report, int minute, float level,
                                const ReadingLine &before, const QLocale &locale = QLocale());
// The same for a reading of the report that fell so, as the command line gives it: "WARNING: The
// reading of 0.006 g/100 ml at minute 125 is 0.062 below the reading at minute 110, a fall of
// 0.248 per hour; no body eliminates faster than 0.040 per hour: it may be a slip."
QString implausibleFallWarning(const SessionReport &report, const ReadingLine &reading,
                               const QLocale &locale = QLocale());
QString boosterQuestion(const QStringList &warnings);
