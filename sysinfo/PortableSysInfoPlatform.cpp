#include "sysinfo/PortableSysInfoPlatform.h"

#include "appinfo/AppInfo.h"
#include "sysinfo/SysInfoLauncher.h"
#include "sysinfo/SystemPlatform.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <cstring>
#include <stdexcept>

namespace {

// The registry's own result codes, so that the stand-in fails the way the registry does.
constexpr std::int32_t FileNotFound = 2;
constexpr std::int32_t InvalidHandle = 6;
constexpr std::int32_t MoreData = 234;

constexpr std::uint32_t BinaryType = 3;
constexpr std::uint32_t MultiTextType = 7;

bool holdsNul(const std::string &text)
{
    return text.find('\0') != std::string::npos;
}

QString localPath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path)).replace(u'\\', u'/');
}

// Text is stored with its terminating NUL, as the registry stores it. An unquoted entry with a
// comma reads as a list, which stands for a multi-text value and so never names a program.
QByteArray valueData(const QVariant &value, std::uint32_t &type)
{
    if (value.typeId() == QMetaType::QString) {
        type = SysInfo::TextType;
        return QFile::encodeName(value.toString()) + '\0';
    }
    if (value.typeId() == QMetaType::QStringList) {
        type = MultiTextType;
        QByteArray data;
        for (const QString &item : value.toStringList())
            data += QFile::encodeName(item) + '\0';
        return data + '\0';
    }
    type = BinaryType;
    return value.toByteArray();
}

} // namespace

PortableSysInfoPlatform::PortableSysInfoPlatform(QString registryFile, ShowMessage showMessage)
    : registryFile(std::move(registryFile)), show(std::move(showMessage))
{
    if (!show)
        throw std::invalid_argument("PortableSysInfoPlatform needs a way to show its message");
}

QString PortableSysInfoPlatform::defaultRegistryFile()
{
    const QString name = QStringLiteral("%1/registry.ini").arg(QString::fromUtf8(AppInfo::Title));
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders.removeAll(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    for (const QString &folder : folders) {
        const QString candidate = folder + u'/' + name;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return folders.isEmpty() ? QString() : folders.constFirst() + u'/' + name;
}

std::int32_t PortableSysInfoPlatform::openKey(std::uint32_t root, const std::string &keyName,
                                              std::uint32_t, std::uint32_t, KeyHandle &key)
{
    if (root != SysInfo::LocalMachineRoot || !QFileInfo(registryFile).isFile())
        return FileNotFound;
    const QSettings registry(registryFile, QSettings::IniFormat);
    const QStringList entries = registry.allKeys();
    // A file that cannot be read whole is not trusted for any lookup.
    if (registry.status() != QSettings::NoError)
        return FileNotFound;

    const QString prefix = QString::fromStdString(keyName).replace(u'\\', u'/') + u'/';
    QVariantMap values;
    for (const QString &entry : entries) {
        if (!entry.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString valueName = entry.mid(prefix.size());
        if (!valueName.contains(u'/'))
            values.insert(valueName.toCaseFolded(), registry.value(entry));
    }
    if (values.isEmpty())
        return FileNotFound;
    key = nextKey++;
    openKeys[key] = values;
    return 0;
}

std::int32_t PortableSysInfoPlatform::queryValue(KeyHandle key, const std::string &valueName,
                                                 std::uint32_t &type, char *buffer,
                                                 std::uint32_t &size)
{
    const auto openKey = openKeys.find(key);
    if (openKey == openKeys.end())
        return InvalidHandle;
    const QString name = QString::fromStdString(valueName).toCaseFolded();
    const auto value = openKey->second.constFind(name);
    if (value == openKey->second.cend())
        return FileNotFound;

    const QByteArray data = valueData(*value, type);
    if (std::uint32_t(data.size()) > size) {
        size = std::uint32_t(data.size());
        return MoreData;
    }
    std::memcpy(buffer, data.constData(), std::size_t(data.size()));
    size = std::uint32_t(data.size());
    return 0;
}

void PortableSysInfoPlatform::closeKey(KeyHandle key)
{
    openKeys.erase(key);
}

std::string PortableSysInfoPlatform::findFile(const std::string &path)
{
    if (path.empty() || holdsNul(path))
        return {};
    const QFileInfo file(localPath(path));
    if (!file.isFile() || file.isHidden())
        return {};
    return QFile::encodeName(file.fileName()).toStdString();
}

void PortableSysInfoPlatform::startProgram(const std::string &path)
{
    if (path.empty() || holdsNul(path))
        throw std::runtime_error("no program path to start");
    // The path is the program itself: never split into arguments and never looked up on the
    // search path; a relative path counts from the current folder, as on Windows.
    const QString program = QFileInfo(localPath(path)).absoluteFilePath();
    if (!QProcess::startDetached(program, {}))
        throw std::runtime_error("cannot start " + path);
}

void PortableSysInfoPlatform::showMessage(const std::string &text)
{
    show(text);
}

std::unique_ptr<SysInfoPlatform>
makeSystemPlatform(std::function<void(const std::string &text)> showMessage)
{
    return std::make_unique<PortableSysInfoPlatform>(PortableSysInfoPlatform::defaultRegistryFile(),
                                                     std::move(showMessage));
}
