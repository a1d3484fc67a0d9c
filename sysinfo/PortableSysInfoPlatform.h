#pragma once

#include "sysinfo/SysInfoPlatform.h"

#include <QString>
#include <QVariantMap>
#include <functional>
#include <map>
#include <string>

// The launcher's operations where there is no Windows registry. A read-only INI file, kept by
// the machine's administrator, stands in for the machine-wide registry: its groups are key paths
// (backslashes between the parts), its entries the value names, and every entry is text. Only
// the local-machine root exists; names match regardless of letter case, as in the registry.
// A backslash in a file path counts as a folder separator.
class PortableSysInfoPlatform : public SysInfoPlatform {
public:
    using ShowMessage = std::function<void(const std::string &text)>;

    // `registryFile` is the stand-in registry; it is only ever read.
    PortableSysInfoPlatform(QString registryFile, ShowMessage showMessage);

    // The first "Pourwise/registry.ini" in the machine-wide configuration folders (for example
    // /etc/xdg/Pourwise/registry.ini); the user's own configuration folder is not machine-wide.
    static QString defaultRegistryFile();

    std::int32_t openKey(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                         std::uint32_t access, KeyHandle &key) override;
    std::int32_t queryValue(KeyHandle key, const std::string &valueName, std::uint32_t &type,
                            char *buffer, std::uint32_t &size) override;
    void closeKey(KeyHandle key) override;
    std::string findFile(const std::string &path) override;
    void startProgram(const std::string &path) override;
    void showMessage(const std::string &text) override;

private:
    QString registryFile;
    ShowMessage show;
    std::map<KeyHandle, QVariantMap> openKeys;
    KeyHandle nextKey = 1;
};
