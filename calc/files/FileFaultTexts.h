#pragma once

#include <QString>

// Why a record's lock cannot be taken, each worded in one place.

// A session record another copy of Pourwise records into, on computer `host` as process `pid`
// (an empty host: its lock file `lockFile` does not say): it opens read-only.
QString recordLockedMessage(const QString &file, const QString &lockFile, const QString &host,
                            qint64 pid);
// A session record beside which no lock file can be made (a folder that cannot be written, a full
// disk: `why`, in the system's words): it opens read-only, as another copy could not be kept from
// recording into it.
QString recordLockNotMadeMessage(const QString &file, const QString &lockFile, const QString &why);
// A session record whose lock file's place holds `what` ("a folder"), not a file: no lock can be
// taken, so it opens read-only.
QString recordLockNotAFileMessage(const QString &file, const QString &lockFile,
                                  const QString &what);
// Why a record opened read-only because of its lock, in brief, as a refused entry and the window's
// state line say it after "read-only: ": the copy that holds its lock, a lock that cannot be made,
// or a place where a lock file cannot be.
QString recordLockedReason(const QString &host, qint64 pid);
QString recordLockNotMadeReason(const QString &lockFile, const QString &why);
QString recordLockNotAFileReason(const QString &lockFile, const QString &what);
