#include "calc/files/FileFaultTexts.h"

#include <QDir>

QString recordLockedMessage(const QString &file, const QString &lockFile, const QString &host,
                            qint64 pid)
{
    const QString path = QDir::toNativeSeparators(file);
    if (host.isEmpty())
        return QStringLiteral("WARNING: %1 is being recorded by another copy of Pourwise (its lock "
                              "file %2 does not say which). It opens read-only. If no copy of "
                              "Pourwise is recording into it, the lock is taken over when the "
                              "record is opened again a minute after the lock was made.")
            .arg(path, QDir::toNativeSeparators(lockFile));
    return QStringLiteral("WARNING: %1 is being recorded by Pourwise on the computer %2 (process "
                          "%3). It opens read-only. If no copy of Pourwise is running on %2, the "
                          "lock is taken over when the record is opened again.")
        .arg(path, host)
        .arg(pid);
}

QString recordLockNotMadeMessage(const QString &file, const QString &lockFile, const QString &why)
{
    return QStringLiteral("WARNING: %1 opens read-only: its lock file %2 cannot be made (%3), so "
                          "no other copy of Pourwise could be kept from recording into it. Make "
                          "room on its disk or let your user write in its folder, or copy the "
                          "record to a folder you can write in, and open it again.")
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(lockFile), why);
}

QString recordLockNotAFileMessage(const QString &file, const QString &lockFile, const QString &what)
{
    return QStringLiteral("WARNING: %1 opens read-only: its lock file %2 is %3, not a file, so no "
                          "lock can be taken on the record. Move or rename %2, then open the "
                          "record again.")
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(lockFile), what);
}

QString recordLockedReason(const QString &host, qint64 pid)
{
    if (host.isEmpty())
        return QStringLiteral("another copy of Pourwise is recording into it");
    return QStringLiteral("Pourwise on the computer %1 (process %2) is recording into it")
        .arg(host)
        .arg(pid);
}

QString recordLockNotMadeReason(const QString &lockFile, const QString &why)
{
    return QStringLiteral("its lock file %1 cannot be made (%2)")
        .arg(QDir::toNativeSeparators(lockFile), why);
}

QString recordLockNotAFileReason(const QString &lockFile, const QString &what)
{
    return QStringLiteral("its lock file %1 is %2, not a file")
        .arg(QDir::toNativeSeparators(lockFile), what);
}
