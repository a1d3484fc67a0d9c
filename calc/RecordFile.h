#pragma once

#include "calc/RecordReader.h"
#include "calc/SessionRecord.h"

#include <QString>

// A session record's file on the disk: opened as RecordReader reads it, saved as RecordWriter
// writes it, through the one verified save (calc/SafeWrite.h).
namespace RecordFile {

// No session record comes near this; a file larger is no record and is never read whole.
inline constexpr qint64 LargestFile = qint64(64) << 20;

// Reads the record at `path` and never writes anything. Only a regular file (a link is followed)
// of at most LargestFile bytes is read: a folder, a named pipe, a device or a link to one is
// refused at once without being opened, since a pipe would wait for a writer for ever and a
// device might never end.
RecordReading open(const QString &path);

// Saves `record` at `path`, always in the current version (a version-1 record becomes version 2:
// ask first). Empty when saved; else the message ("ERROR: ..."), and the file is as it was.
QString save(const QString &path, const SessionRecord &record);

// Saves a new session's `record` as save does, only at a `path` where nothing is yet: a new
// session never replaces another's record.
QString saveNew(const QString &path, const SessionRecord &record);

} // namespace RecordFile
