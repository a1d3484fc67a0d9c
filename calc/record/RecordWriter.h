#pragma once

#include "calc/session/SessionRecord.h"

#include <QByteArray>

// A session record as its file, always in the current version (docs/record.md): UTF-8 CSV
// (RFC 4180, CRLF line ends, no byte order mark) with the columns of RecordColumns, one row per
// entry in the order they were made (the plan, its portions, then every later entry), and last
// the end row, which holds the number of rows before it and the SHA-256 of every byte before it.
// Each cell is filled as the table of RecordEvents says for its event; floats are written as the
// shortest text that reads back as the very same float ("0.024", "1e-30").
namespace RecordWriter {

QByteArray text(const SessionRecord &record);

} // namespace RecordWriter
