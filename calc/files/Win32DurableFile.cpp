#include "calc/files/DurableFile.h"

#include <QDir>
#include <QFile>

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

const wchar_t *nativeName(const QString &native)
{
    return reinterpret_cast<const wchar_t *>(native.utf16());
}

class Win32DurableFile : public DurableFile {
public:
    QString create(const QString &path, const QByteArray &bytes, const QString &permissionsOf,
                   bool &nameTaken) override;
    std::optional<QByteArray> read(const QString &path) override;
    QString replace(const QString &from, const QString &to) override;
    void remove(const QString &path) override;
    int names(const QString &path) override;
};

QString Win32DurableFile::create(const QString &path, const QByteArray &bytes,
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

std::optional<QByteArray> Win32DurableFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QString Win32DurableFile::replace(const QString &from, const QString &to)
{
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    if (::MoveFileExW(nativeName(source), nativeName(target),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return lastErrorText();
}

void Win32DurableFile::remove(const QString &path)
{
    QFile::remove(path);
}

int Win32DurableFile::names(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE file = ::CreateFileW(nativeName(native), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information;
    const BOOL told = ::GetFileInformationByHandle(file, &information);
    ::CloseHandle(file);
    return told ? int(information.nNumberOfLinks) : 0;
}

} // namespace

DurableFile &DurableFile::system()
{
    static Win32DurableFile files;
    return files;
}
