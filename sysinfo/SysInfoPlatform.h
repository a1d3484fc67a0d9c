#pragma once

#include <cstdint>
#include <string>

// The operating-system operations the system information launcher needs, behind one small
// interface so that tests can put a recording fake in place of the real registry and processes.
// Results follow the Windows registry functions: 0 is success, anything else a failure.
class SysInfoPlatform {
public:
    using KeyHandle = std::uintptr_t;

    virtual ~SysInfoPlatform() = default;

    // Opens `keyName` below the 32-bit root handle `root`; on success `key` receives the handle.
    virtual std::int32_t openKey(std::uint32_t root, const std::string &keyName,
                                 std::uint32_t options, std::uint32_t access, KeyHandle &key) = 0;

    // Reads the value `valueName` into `buffer`, which holds `size` bytes on entry. On success
    // `type` and `size` receive the value's type and its number of data bytes. Data that does not
    // fit is a failure.
    virtual std::int32_t queryValue(KeyHandle key, const std::string &valueName,
                                    std::uint32_t &type, char *buffer, std::uint32_t &size) = 0;

    virtual void closeKey(KeyHandle key) = 0;

    // The file's name when `path` is an existing normal file (not a folder, not hidden, not a
    // system file); the empty text otherwise.
    virtual std::string findFile(const std::string &path) = 0;

    // Starts `path` as one program in a normal window with the focus, without waiting for it.
    // Throws when the program cannot be started.
    virtual void startProgram(const std::string &path) = 0;

    // Shows `text` to the operator and returns once it has been acknowledged.
    virtual void showMessage(const std::string &text) = 0;
};
