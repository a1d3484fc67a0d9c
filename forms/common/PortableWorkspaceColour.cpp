#include "forms/common/WorkspaceColour.h"

QColor workspaceColour()
{
    // Other systems name no workspace colour; this grey sets the dialogs off from the frame.
    return QColor(0x80, 0x86, 0x8f);
}
