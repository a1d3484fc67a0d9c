#include "calc/DurableFile.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <io.h>
#include <windows.h>

namespace {

QString lastErrorText()
{
    wchar_t *text = nullptr;
    const DWORD error = ::GetLastError();
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString reason = text ? QString::fromWCharArray(text).trimmed()
                                : QStringLiteral("system error %1").arg(error);
    ::LocalFree(text);
    return reason;
}

} // namespace

QString DurableFile::reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString DurableFile::create(const QString &path, const QByteArray &bytes,
                            const QString &permissionsOf, bool &nameTaken)
{
    nameTaken = QFile::exists(path);
    QFile file(path);
    if (nameTaken || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return nameTaken ? QStringLiteral("the name is taken") : file.errorString();
    bool done = file.write(bytes) == bytes.size();
    QString reason = done ? QString() : file.errorString();
    if (done && !::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle())))) {
        reason = lastErrorText();
        done = false;
    }
    file.close();
    if (done && QFile::exists(permissionsOf))
        QFile::setPermissions(path, QFile::permissions(permissionsOf));
    if (!done)
        QFile::remove(path);
    return reason;
}

QString DurableFile::replace(const QString &from, const QString &to)
{
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    if (::MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                      reinterpret_cast<const wchar_t *>(target.utf16()),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return lastErrorText();
}
