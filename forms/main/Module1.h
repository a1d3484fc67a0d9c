#pragma once

#include "calc/dose/DosingState.h"
#include "forms/main/RunValues.h"

#include <QPointer>
#include <optional>

class frmMain;
class frmSplash;

namespace Module1 {
// The one record of participant, parameters and results, shared by the windows for the whole run.
inline DosingState dosingState;
// What the run keeps beside it: the metric height and weight, the typed target, the last dose.
inline RunValues run;
// The one main window, created by the splash window's Begin and held until the program ends.
inline QPointer<frmMain> MainWindow;
// The splash window while it is loaded; it is destroyed when it goes.
inline QPointer<frmSplash> Splash;

// The program's start: no participant entered yet, and the splash window on the screen. The
// settings are read only when Begin loads the main window.
void Main();
// The splash window's Begin: the main window loaded and shown, the splash gone.
void Begin();
} // namespace Module1
