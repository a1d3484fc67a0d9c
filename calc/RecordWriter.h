#pragma once

#include "calc/SessionRecord.h"

#include <QByteArray>
#include <QString>

// A session record as its file: UTF-8 CSV (RFC 4180, CRLF line ends, no byte order mark) with the
// fixed columns of RecordColumns, one row per event: the plan, each portion, each reading and the
// booster. Floats are written in the shortest form that reads back as the very same float.
namespace RecordWriter {

QByteArray text(const SessionRecord &record);

// Writes the file through QSaveFile, one atomic replacement: a failed save leaves the file as it
// was. False with `errorText` ("ERROR: ...") set when it cannot be written.
bool save(const QString &path, const SessionRecord &record, QString &errorText);

} // namespace RecordWriter
