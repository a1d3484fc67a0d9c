#include "tests/sysinfo/FakeSysInfoPlatform.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {
// Latin-1 keeps one character per byte, embedded NULs included.
QString fromStd(const std::string &text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}
} // namespace

void FakeSysInfoPlatform::throwIfFailing(const QString &operation)
{
    if (operation != failingOperation)
        return;
    failingOperation.clear();
    throw std::runtime_error("fake failure of " + operation.toStdString());
}

std::int32_t FakeSysInfoPlatform::openKey(std::uint32_t root, const std::string &keyName,
                                          std::uint32_t options, std::uint32_t access,
                                          KeyHandle &key)
{
    calls << QStringLiteral("open 0x%1 %2 options=%3 access=0x%4")
                 .arg(root, 0, 16)
                 .arg(fromStd(keyName))
                 .arg(options)
                 .arg(access, 0, 16);
    throwIfFailing(QStringLiteral("open"));
    if (root != 0x80000002u || !registry.contains(fromStd(keyName)))
        return 2;
    key = nextKey++;
    openKeys[key] = fromStd(keyName);
    return 0;
}

std::int32_t FakeSysInfoPlatform::queryValue(KeyHandle key, const std::string &valueName,
                                             std::uint32_t &type, char *buffer, std::uint32_t &size)
{
    // The buffer must arrive cleared and with the size it really has.
    const bool cleared = std::all_of(buffer, buffer + size, [](char c) { return c == '\0'; });
    calls << QStringLiteral("query %1 size=%2%3")
                 .arg(fromStd(valueName))
                 .arg(size)
                 .arg(cleared ? QString() : QStringLiteral(" not cleared"));
    throwIfFailing(QStringLiteral("query"));
    const auto values = registry.constFind(openKeys.value(key));
    if (values == registry.cend() || !values->contains(fromStd(valueName)))
        return 2;
    const Value value = values->value(fromStd(valueName));
    if (std::uint32_t(value.data.size()) > size) {
        size = std::uint32_t(value.data.size());
        return 234;
    }
    std::memcpy(buffer, value.data.constData(), std::size_t(value.data.size()));
    size = std::uint32_t(value.data.size());
    type = value.type;
    return 0;
}

void FakeSysInfoPlatform::closeKey(KeyHandle key)
{
    calls << QStringLiteral("close %1").arg(openKeys.take(key));
    throwIfFailing(QStringLiteral("close"));
}

std::string FakeSysInfoPlatform::findFile(const std::string &path)
{
    calls << QStringLiteral("find ") + fromStd(path);
    throwIfFailing(QStringLiteral("find"));
    return files.contains(fromStd(path)) ? std::string("FOUND.EXE") : std::string();
}

void FakeSysInfoPlatform::startProgram(const std::string &path)
{
    calls << QStringLiteral("start ") + fromStd(path);
    throwIfFailing(QStringLiteral("start"));
    if (!programs.contains(fromStd(path)))
        throw std::runtime_error("no such program");
}

void FakeSysInfoPlatform::showMessage(const std::string &text)
{
    calls << QStringLiteral("message ") + fromStd(text);
}
