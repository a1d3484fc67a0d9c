#pragma once

#include "sysinfo/SysInfoPlatform.h"

#include <functional>
#include <string>

// The launcher's operations over Win32: the 8-bit registry functions of advapi32, a file test
// by attributes and CreateProcessA. No Qt, so that it builds with any Windows C++ compiler.
class Win32SysInfoPlatform : public SysInfoPlatform {
public:
    using ShowMessage = std::function<void(const std::string &text)>;

    // `showMessage` must be set: the launcher's message is the operator's only feedback.
    explicit Win32SysInfoPlatform(ShowMessage showMessage);

    std::int32_t openKey(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                         std::uint32_t access, KeyHandle &key) override;
    std::int32_t queryValue(KeyHandle key, const std::string &valueName, std::uint32_t &type,
                            char *buffer, std::uint32_t &size) override;
    void closeKey(KeyHandle key) override;
    std::string findFile(const std::string &path) override;
    void startProgram(const std::string &path) override;
    void showMessage(const std::string &text) override;

private:
    ShowMessage show;
};
