#pragma once

#include "sysinfo/SysInfoPlatform.h"

#include <functional>
#include <memory>
#include <string>

// The launcher's operations on the machine the program runs on: the Windows registry and
// processes on Windows, the machine-wide stand-in registry file and detached processes elsewhere.
// `showMessage` shows the launcher's message to the operator; the windows pass their message box.
std::unique_ptr<SysInfoPlatform>
makeSystemPlatform(std::function<void(const std::string &text)> showMessage);
