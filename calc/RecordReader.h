#pragma once

#include "calc/SessionRecord.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// Reads a session record's file as RecordWriter writes it (docs/record.md), strictly: the
// header, the rows in the order plan, portions, readings, booster, every cell an event uses
// readable and every other cell empty. A byte order mark and LF line ends are accepted too. A
// file with any fault gives no record, only the message naming its line.
namespace RecordReader {

struct Result {
    std::optional<SessionRecord> record;
    QString errorText; // "ERROR: The session record cannot be read: line 4: ..."
};

Result read(QByteArrayView bytes);
Result open(const QString &path);

} // namespace RecordReader
