#pragma once

#include "sysinfo/SysInfoPlatform.h"

#include <cstdint>
#include <string>

// Finds the operating system's system information tool through the machine-wide registry and
// starts it. Plain C++ so that the Windows build needs no Qt here.
namespace SysInfo {

inline constexpr std::uint32_t LocalMachineRoot = 0x80000002u;
inline constexpr const char *ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char *ToolValue = "PATH";
inline constexpr const char *LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char *LocationValue = "MSINFO";
inline constexpr const char *ToolFileName = "\\MSINFO32.EXE";

// Read access only: asking for write rights on machine-wide keys fails for standard users.
inline constexpr std::uint32_t QueryValueAccess = 0x0001u;
inline constexpr std::uint32_t ValueBufferSize = 1024;
inline constexpr std::uint32_t TextType = 1;
inline constexpr std::uint32_t NumberType = 4;

inline constexpr const char *UnavailableMessage = "System Information Is Unavailable At This Time";

} // namespace SysInfo

// Reads the value `SubKeyRef` of the key `KeyName` below `KeyRoot` as text into `KeyVal`.
// True when the key opened and the value was read. On false `KeyVal` is empty; for a value that
// is neither text (1) nor a 32-bit number (4) it is true and `KeyVal` keeps its text.
// Errors raised by the platform pass to the caller.
bool GetKeyValue(SysInfoPlatform &platform, std::uint32_t KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal);

// Looks up the tool's path, falls back to its registered folder, starts it, and shows the one
// unavailable message on any failure. Never throws for a failure of the search or the start.
void StartSysInfo(SysInfoPlatform &platform);
