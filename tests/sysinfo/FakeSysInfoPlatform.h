#pragma once

#include "sysinfo/SysInfoPlatform.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// A registry, a file system and a process table in memory. Every operation is written to
// `calls` in a short readable form, so tests can compare the exact sequence against the rules.
class FakeSysInfoPlatform : public SysInfoPlatform {
public:
    struct Value {
        std::uint32_t type = 0;
        QByteArray data;
    };

    void addKey(const QString &key) { registry[key]; }
    void setValue(const QString &key, const QString &name, const Value &value)
    {
        registry[key][name] = value;
    }
    void addFile(const QString &path) { files.insert(path); }
    void addProgram(const QString &path) { programs.insert(path); }
    // The first call of `operation` ("open", "query", "close", "find" or "start") throws.
    void throwOn(const QString &operation) { failingOperation = operation; }

    QStringList calls;

    std::int32_t openKey(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                         std::uint32_t access, KeyHandle &key) override;
    std::int32_t queryValue(KeyHandle key, const std::string &valueName, std::uint32_t &type,
                            char *buffer, std::uint32_t &size) override;
    void closeKey(KeyHandle key) override;
    std::string findFile(const std::string &path) override;
    void startProgram(const std::string &path) override;
    void showMessage(const std::string &text) override;

private:
    void throwIfFailing(const QString &operation);

    QMap<QString, QMap<QString, Value>> registry;
    QSet<QString> files;
    QSet<QString> programs;
    QMap<KeyHandle, QString> openKeys;
    KeyHandle nextKey = 100;
    QString failingOperation;
};
