#pragma once

#include "calc/record/RecordReader.h"
#include "calc/session/SessionRecord.h"

#include <QString>

// A session record's file on the disk: opened as RecordReader reads it, saved as RecordWriter
// writes it, through the one verified save (calc/files/SafeWrite.h), which reads the new file back
// as a record before it takes the old one's place.
namespace RecordFile {

// No session record comes near this; a file larger is no record and is never read whole.
inline constexpr qint64 LargestFile = qint64(64) << 20;

// Reads the record at `path` and never writes anything. Only a regular file (a link is followed)
// of at most LargestFile bytes is read: a folder, a named pipe, a device or a link to one is
// refused at once without being opened, since a pipe would wait for a writer for ever and a
// device might never end. The file is read in parts, so that only the record it gives is kept;
// the reading's stamp is the file's as it was before it was read.
RecordReading open(const QString &path);

// Saves `record` at `path`, always in the current version (a version-1 record becomes version 2:
// ask first). Empty when saved, with `stamp` (when given) set to the file's as written; else the
// message ("ERROR: ..."), and the file is as it was. The file is read back and must give the very
// same record, its end row vouching for it, before it replaces the old one.
QString save(const QString &path, const SessionRecord &record, RecordStamp *stamp = nullptr);

// Saves a new session's `record` as save does, only at a `path` where nothing is yet: a new
// session never replaces another's record.
QString saveNew(const QString &path, const SessionRecord &record, RecordStamp *stamp = nullptr);

// The file at `path` as it is now: its size, time of change, end row's digest and names. The
// size is -1 when there is no file.
RecordStamp stampOf(const QString &path);

// Why the file at `path` may no longer be written by the window that last read or wrote it as
// `stamp`, in brief: it is gone, marked read-only, has another name (a hard link) through which
// another window could write it, or is not as it was (its size, time of change or end row's
// digest differs: another program or window wrote it). Empty when it is as it was.
QString notAsStamped(const QString &path, const RecordStamp &stamp);

// Whether the file at `path` is marked read-only (no one may write it, as mode 0444 says) or
// cannot be written by this user. Pourwise never records into such a file.
bool markedReadOnly(const QString &path);

} // namespace RecordFile
