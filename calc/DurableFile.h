#pragma once

#include <QByteArray>
#include <QString>

// The two steps of a save that only the system can do durably, one file per platform. Each gives
// an empty text when done, and otherwise the system's own reason ("No space left on device").
namespace DurableFile {

// Creates `path`, which must not exist yet, holding `bytes` with the permissions of the regular
// file `permissionsOf` (when there is one), and flushes it to the disk. On a failure nothing is
// left at `path`; `nameTaken` says whether the failure was that something was there already.
QString create(const QString &path, const QByteArray &bytes, const QString &permissionsOf,
               bool &nameTaken);

// Puts the file `from` in the place of `to` in one step, replacing what was there, and flushes the
// change to the disk.
QString replace(const QString &from, const QString &to);

// The system's words for an error number of the C library (errno).
QString reasonOf(int error);

} // namespace DurableFile
