#include "sysinfo/SysInfoLauncher.h"

#include <array>

namespace {

// A registry number is a 32-bit little-endian word; shorter data counts as zero-padded.
std::string numberText(const char *data, std::uint32_t size)
{
    std::uint32_t number = 0;
    for (std::uint32_t i = 0; i < 4 && i < size; ++i)
        number |= std::uint32_t(static_cast<unsigned char>(data[i])) << (8 * i);
    return std::to_string(number);
}

// Used while another error is already on its way out: that first error is the one to report.
void closeKeyQuietly(SysInfoPlatform &platform, SysInfoPlatform::KeyHandle key) noexcept
{
    try {
        platform.closeKey(key);
    } catch (...) {
    }
}

bool locateAndStart(SysInfoPlatform &platform)
{
    std::string path;
    if (!GetKeyValue(platform, SysInfo::LocalMachineRoot, SysInfo::ToolKey, SysInfo::ToolValue,
                     path)) {
        // The registered folder is consulted only when the tool's own path is not recorded.
        if (!GetKeyValue(platform, SysInfo::LocalMachineRoot, SysInfo::LocationKey,
                         SysInfo::LocationValue, path))
            return false;
        // The folder text is used unchanged: one ending in a backslash gives a doubled one.
        path += SysInfo::ToolFileName;
        if (platform.findFile(path).empty())
            return false;
    }
    platform.startProgram(path);
    return true;
}

} // namespace

bool GetKeyValue(SysInfoPlatform &platform, std::uint32_t KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal)
{
    SysInfoPlatform::KeyHandle key = 0;
    if (platform.openKey(KeyRoot, KeyName, 0, SysInfo::QueryValueAccess, key) != 0) {
        KeyVal.clear();
        return false;
    }

    std::array<char, SysInfo::ValueBufferSize> buffer{};
    std::uint32_t size = SysInfo::ValueBufferSize;
    std::uint32_t type = 0;
    std::int32_t result = 0;
    try {
        result = platform.queryValue(key, SubKeyRef, type, buffer.data(), size);
    } catch (...) {
        closeKeyQuietly(platform, key);
        throw;
    }

    bool found = false;
    if (result != 0 || size > buffer.size()) {
        KeyVal.clear();
    } else {
        found = true;
        if (type == SysInfo::TextType) {
            // Text is usually stored with its terminating NUL; that one character, and only
            // that one, is dropped.
            KeyVal.assign(buffer.data(), size);
            if (!KeyVal.empty() && KeyVal.back() == '\0')
                KeyVal.pop_back();
        } else if (type == SysInfo::NumberType) {
            KeyVal = numberText(buffer.data(), size);
        }
    }
    platform.closeKey(key);
    return found;
}

void StartSysInfo(SysInfoPlatform &platform)
{
    bool started = false;
    try {
        started = locateAndStart(platform);
    } catch (...) {
        // Every error of the search or the start ends in the one message below.
    }
    if (!started)
        platform.showMessage(SysInfo::UnavailableMessage);
}
