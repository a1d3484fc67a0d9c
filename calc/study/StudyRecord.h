#pragma once

#include "calc/record/RecordReader.h"
#include "calc/record/RecordStatus.h"
#include "calc/session/SessionReport.h"

#include <QDateTime>
#include <QString>
#include <optional>

// One session record of a study, read and evaluated once for all of its tables.
struct StudyRecord {
    QString file; // as given, or as found in a folder
    RecordStatus status = RecordStatus::Unreadable;
    // Why the status is not ok, starting "ERROR: " or "WARNING: " and naming the file; empty for
    // a record that is ok.
    QString message;
    // The record as it is now, every entry corrected; none for a record that cannot be read.
    std::optional<SessionReport> report;
    int corrections = 0;
    int voids = 0;

    // The message without its "ERROR: " or "WARNING: ", as a table's cell gives it.
    QString problem() const;
    // What the operator is told of the record while its study's tables are made: the message of
    // a record that cannot be read, or is cut or changed, as when it is checked or opened; empty
    // for the others, whose status and problem the sessions table gives.
    QString notice() const;
    // The reading that is the observed peak; none without one.
    const ReadingLine *observedPeak() const;
    // Whether a booster was served (and not voided).
    bool boosted() const;
    // The highest counting reading before the booster, the earliest of equal ones; none without
    // a booster, or without a counting reading before it.
    const ReadingLine *peakBeforeBooster() const;
    // The peak the dose reached by itself, which the achievement judges it by: the peak before
    // the booster, or the observed peak of a session without one.
    const ReadingLine *dosePeak() const;
    // The target in the lab's unit: as typed, or the target BAL as the lab's unit shows it.
    float targetLevel() const;
    // The target in g/100 ml as the achievement shows it: as typed, or converted from the lab's
    // unit (LevelScale::balToShow).
    double targetBal() const;
    // A reading of the record in g/100 ml, likewise; none for none.
    std::optional<double> bal(const ReadingLine *reading) const;
    // A peak over the target, both in the lab's unit as the sessions table gives them, one
    // division of 32-bit floats; none for a placebo, which is not dosed to reach the target,
    // without a peak, or for a target not above 0.
    std::optional<float> peakVsTarget(const ReadingLine *peak) const;
};

// The moment a record is evaluated at for a study: its start of drinking plus the latest minute
// any of its entries names (a reading, a portion planned or served, a booster), so that nothing
// in the tables depends on the clock or on when they are made.
QDateTime studyMoment(const SessionRecord &record);

// Reads the record at `file` as RecordFile::open does, judges it as it is judged when opened
// (openRecord) and evaluates it at studyMoment.
StudyRecord readStudyRecord(const QString &file);
// The same for a record's file already read.
StudyRecord studyRecord(const QString &file, RecordReading reading);
