#include "calc/files/FileKind.h"

#include "calc/files/DiskRoom.h"
#include "calc/files/DurableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

QString otherThanAFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    if (info.isDir())
        return QStringLiteral("a folder");
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISFIFO(status.st_mode))
            return QStringLiteral("a named pipe");
        if (S_ISSOCK(status.st_mode))
            return QStringLiteral("a socket");
        if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
            return QStringLiteral("a device");
    }
#endif
    return QStringLiteral("something other than a file");
}

QString whyNoFileCanBeMade(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink()) {
        const QString other = otherThanAFile(path);
        return QStringLiteral("%1 is in its place")
            .arg(other.isEmpty() ? QStringLiteral("a file") : other);
    }
    const QFileInfo folder(target.absolutePath());
    if (folder.exists() && !folder.isDir()) {
        const QString other = otherThanAFile(folder.absoluteFilePath());
        return QStringLiteral("%1 is in the place of its folder")
            .arg(other.isEmpty() ? QStringLiteral("a file") : other);
    }
    if (!folder.exists())
        return DurableFile::reasonOf(ENOENT);
    if (tooLittleRoom(path, {1024}))
        return DurableFile::reasonOf(ENOSPC);
    // An empty file made and removed at once: the system's own answer, whatever the permissions
    // seem to say.
    DurableFile &files = DurableFile::current();
    const QString probe = path + QStringLiteral(".probe");
    bool taken = false;
    QString reason = files.create(probe, {}, {}, taken);
    if (taken) {
        files.remove(probe);
        reason = files.create(probe, {}, {}, taken);
    }
    if (!reason.isEmpty())
        return reason;
    files.remove(probe);
    return QStringLiteral("the system gave no reason");
}

QString folderUnreadable(const QString &path)
{
#ifdef Q_OS_UNIX
    // Opened as a listing would open it: the system's answer, not the permission bits alone.
    DIR *folder = ::opendir(QFile::encodeName(path).constData());
    if (!folder)
        return DurableFile::reasonOf(errno);
    ::closedir(folder);
    return {};
#else
    return QDir(path).isReadable() ? QString() : DurableFile::reasonOf(EACCES);
#endif
}
