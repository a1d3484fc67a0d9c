#include "forms/common/WorkspaceColour.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

QColor workspaceColour()
{
    const DWORD colour = GetSysColor(COLOR_APPWORKSPACE);
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}
