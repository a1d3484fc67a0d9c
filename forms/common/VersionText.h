#pragma once

#include "appinfo/AppInfo.h"

#include <QString>

// "2.1.0": each number in decimal without leading zeros, the revision always shown.
inline QString versionNumber()
{
    return QStringLiteral("%1.%2.%3")
        .arg(AppInfo::Major)
        .arg(AppInfo::Minor)
        .arg(AppInfo::Revision);
}

// "Version 2.1.0"
inline QString versionText()
{
    return QStringLiteral("Version ") + versionNumber();
}
