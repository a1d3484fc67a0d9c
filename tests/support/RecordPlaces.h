#pragma once

#include "calc/record/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

// What may stand at a record's path when it is opened, for the tests that open it: the record
// itself or anything else, and the file given a second name or marked read-only.
namespace RecordPlaces {

// Makes `place` stand at `path`: "record" a copy of the record at `record`, "link to record" a
// link to it, "link to /dev/zero", "folder", "link to folder" (to `folder`, which is there),
// "large" a file of 64 MB and a byte (sparse: no disk taken), "pipe" a named pipe (Unix only) and
// "nothing" nothing. False when it cannot be made.
inline bool make(const QString &place, const QString &record, const QString &path,
                 const QString &folder)
{
    if (place == QLatin1String("record"))
        return QFile::copy(record, path);
    if (place == QLatin1String("link to record"))
        return QFile::link(record, path);
    if (place == QLatin1String("link to /dev/zero"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (place == QLatin1String("folder"))
        return QDir().mkpath(path);
    if (place == QLatin1String("link to folder"))
        return QFile::link(folder, path);
    if (place == QLatin1String("large")) {
        QFile large(path);
        return large.open(QIODevice::WriteOnly) && large.resize(RecordFile::LargestFile + 1);
    }
#ifdef Q_OS_UNIX
    if (place == QLatin1String("pipe"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#endif
    return place == QLatin1String("nothing");
}

// Whether a file can be given a second name here (hardLink).
#ifdef Q_OS_UNIX
inline constexpr bool HardLinks = true;
#else
inline constexpr bool HardLinks = false;
#endif

// Gives the file at `path` a second name beside it, "<path>.copy" (a hard link). False when it
// cannot.
inline bool hardLink(const QString &path)
{
#ifdef Q_OS_UNIX
    return ::link(QFile::encodeName(path).constData(),
                  QFile::encodeName(path + QStringLiteral(".copy")).constData()) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// Marks the file at `path` read-only for everyone.
inline bool markReadOnly(const QString &path)
{
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

} // namespace RecordPlaces
