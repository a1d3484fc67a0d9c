#pragma once

#include <QColor>

// The colour of the main window's empty workspace: the system's application-workspace colour
// where the platform has one.
QColor workspaceColour();
