#pragma once

#include "DosingState.h"
#include "frmMain.h"

#include <QPointer>

namespace Module1 {
// The one main window, created at start-up and held until the program ends.
inline QPointer<frmMain> MainWindow;
} // namespace Module1
