#include "sysinfo/Win32SysInfoPlatform.h"

#include "sysinfo/SystemPlatform.h"

#include <stdexcept>
#include <windows.h>

namespace {

// The predefined roots are 32-bit values that Windows sign-extends into a handle, so
// 0x80000002 becomes 0xFFFFFFFF80000002 on 64-bit Windows.
HKEY rootHandle(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY keyHandle(SysInfoPlatform::KeyHandle key)
{
    return reinterpret_cast<HKEY>(key);
}

// A NUL inside a registry text would silently cut the path short at the Win32 boundary.
bool holdsNul(const std::string &text)
{
    return text.find('\0') != std::string::npos;
}

} // namespace

Win32SysInfoPlatform::Win32SysInfoPlatform(ShowMessage showMessage) : show(std::move(showMessage))
{
    if (!show)
        throw std::invalid_argument("Win32SysInfoPlatform needs a way to show its message");
}

std::int32_t Win32SysInfoPlatform::openKey(std::uint32_t root, const std::string &keyName,
                                           std::uint32_t options, std::uint32_t access,
                                           KeyHandle &key)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(rootHandle(root), keyName.c_str(), options, access, &opened);
    if (result == ERROR_SUCCESS)
        key = reinterpret_cast<KeyHandle>(opened);
    return result;
}

std::int32_t Win32SysInfoPlatform::queryValue(KeyHandle key, const std::string &valueName,
                                              std::uint32_t &type, char *buffer,
                                              std::uint32_t &size)
{
    DWORD valueType = 0;
    DWORD dataSize = size;
    const LONG result = RegQueryValueExA(keyHandle(key), valueName.c_str(), nullptr, &valueType,
                                         reinterpret_cast<BYTE *>(buffer), &dataSize);
    type = valueType;
    size = dataSize;
    return result;
}

void Win32SysInfoPlatform::closeKey(KeyHandle key)
{
    RegCloseKey(keyHandle(key));
}

std::string Win32SysInfoPlatform::findFile(const std::string &path)
{
    // Attributes rather than a directory search, so that wildcards in a registry text never
    // match some other file.
    if (path.empty() || holdsNul(path))
        return {};
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD notNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & notNormal) != 0)
        return {};
    const std::string::size_type slash = path.find_last_of("\\/:");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? path : name;
}

void Win32SysInfoPlatform::startProgram(const std::string &path)
{
    if (path.empty() || holdsNul(path))
        throw std::runtime_error("no program path to start");
    // The path is the application name, so Windows never splits it at a space and tries a
    // shorter, possibly planted, program first; the quoted command line gives the program the
    // usual first argument.
    std::string commandLine = '"' + path + '"';
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("CreateProcessA failed with error " +
                                 std::to_string(GetLastError()));
    // The tool runs on its own; nothing waits for it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void Win32SysInfoPlatform::showMessage(const std::string &text)
{
    show(text);
}

std::unique_ptr<SysInfoPlatform>
makeSystemPlatform(std::function<void(const std::string &text)> showMessage)
{
    return std::make_unique<Win32SysInfoPlatform>(std::move(showMessage));
}
