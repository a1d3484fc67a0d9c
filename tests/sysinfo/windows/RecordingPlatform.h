#pragma once

#include "sysinfo/Win32SysInfoPlatform.h"

#include <string>
#include <vector>

// The real Win32 operations, each call written down first, so that a test against the real
// registry can also check which keys were read and what was started.
class RecordingPlatform : public SysInfoPlatform {
public:
    std::vector<std::string> calls;
    std::vector<std::string> messages;

    std::int32_t openKey(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                         std::uint32_t access, KeyHandle &key) override
    {
        calls.push_back("open " + keyName + " access=" + std::to_string(access));
        return real.openKey(root, keyName, options, access, key);
    }
    std::int32_t queryValue(KeyHandle key, const std::string &valueName, std::uint32_t &type,
                            char *buffer, std::uint32_t &size) override
    {
        calls.push_back("query " + valueName);
        return real.queryValue(key, valueName, type, buffer, size);
    }
    void closeKey(KeyHandle key) override
    {
        calls.push_back("close");
        real.closeKey(key);
    }
    std::string findFile(const std::string &path) override
    {
        calls.push_back("find " + path);
        return real.findFile(path);
    }
    void startProgram(const std::string &path) override
    {
        calls.push_back("start " + path);
        real.startProgram(path);
    }
    void showMessage(const std::string &text) override { real.showMessage(text); }

private:
    Win32SysInfoPlatform real{[this](const std::string &text) { messages.push_back(text); }};
};
