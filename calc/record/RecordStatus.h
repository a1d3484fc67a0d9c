#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/record/RecordReader.h"

#include <QLocale>
#include <QString>
#include <string_view>

// What a session record is worth as research data, in one word each. A record's status is the
// first that holds of these, in this order.
enum class RecordStatus {
    Unreadable,  // no record: the file cannot be read as one
    Changed,     // its end row does not match the rows before it
    Cut,         // it has no end row: entries may be missing at its end
    DoseDiffers, // the dose computed again from its values differs from the recorded one
    Unverified,  // version 1, which has no end row
    Ok,
};

// "ok", "unverified", "dose differs", "cut", "changed", "unreadable"
std::string_view recordStatusWord(RecordStatus status);

// Whether a record of `status` is told of as soon as it is checked, opened or its study's tables
// made: it cannot be read, or is cut or changed. The others' status is only given with the
// record's line or row.
bool recordStatusToldAtOnce(RecordStatus status);

// `dose` is the dose computed anew from the record's setup (evaluateDose of its input, with or
// without a plan); it is not looked at for a record that cannot be read.
RecordStatus recordStatus(const RecordReading &reading, const DoseReport &dose);

// Why a record's status is not ok, as a message starting "ERROR: " (unreadable) or "WARNING: "
// (the others) that names the file; empty for ok. `file` names it as RecordFile::open was given
// it; volumes are written in `locale`.
QString recordStatusMessage(RecordStatus status, const QString &file, const RecordReading &reading,
                            const DoseReport &dose, const QLocale &locale = QLocale());
