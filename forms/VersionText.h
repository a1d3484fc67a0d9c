#pragma once

#include "appinfo/AppInfo.h"

#include <QString>

// "Version 2.1.0": each number in decimal without leading zeros, the revision always shown.
inline QString versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(AppInfo::Major)
        .arg(AppInfo::Minor)
        .arg(AppInfo::Revision);
}
