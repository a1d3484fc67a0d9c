#include "calc/files/DurableFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixDurableFile : public DurableFile {
public:
    QString create(const QString &path, const QByteArray &bytes, const QString &permissionsOf,
                   bool &nameTaken) override;
    std::optional<QByteArray> read(const QString &path) override;
    QString replace(const QString &from, const QString &to) override;
    void remove(const QString &path) override;
    int names(const QString &path) override;
};

QString PosixDurableFile::create(const QString &path, const QByteArray &bytes,
                                 const QString &permissionsOf, bool &nameTaken)
{
    nameTaken = false;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        nameTaken = error == EEXIST;
        return reasonOf(error);
    }
    struct stat target;
    if (::stat(QFile::encodeName(permissionsOf).constData(), &target) == 0 &&
        S_ISREG(target.st_mode))
        ::fchmod(fd, target.st_mode & 07777); // as it was; the default of a new file otherwise
    int error = 0;
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && error == 0) {
        const ssize_t written = ::write(fd, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? errno : ENOSPC;
            break;
        }
        data += written;
        left -= written;
    }
    // The bytes reach the disk before the file may replace another.
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        return {};
    ::unlink(name.constData());
    return reasonOf(error);
}

std::optional<QByteArray> PosixDurableFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QString PosixDurableFile::replace(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return reasonOf(errno);
    // The folder's new entry is flushed too, so that the replacement survives a power cut.
    const QByteArray folder = QFile::encodeName(QFileInfo(to).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return {};
}

void PosixDurableFile::remove(const QString &path)
{
    ::unlink(QFile::encodeName(path).constData());
}

int PosixDurableFile::names(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return 0;
    return int(status.st_nlink);
}

} // namespace

DurableFile &DurableFile::system()
{
    static PosixDurableFile files;
    return files;
}
