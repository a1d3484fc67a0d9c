#pragma once

#include "calc/BodyUnits.h"
#include "calc/DoseEvaluation.h"
#include "calc/DosingState.h"
#include "forms/frmMain.h"
#include "forms/frmSplash.h"

#include <QPointer>
#include <optional>

namespace Module1 {
// The one record of participant, parameters and results, shared by the windows for the whole run.
inline DosingState dosingState;
// The participant's height in cm and weight in kg, beside the state's inches and pounds, so that
// in metric units the input window shows the centimetres and kilograms as they were typed. Every
// reading of the height and weight sets both: typed inches and pounds give the calculation's own
// cm = in / 0.3937 and kg = lb / 2.2046, typed centimetres and kilograms are kept as typed and
// give the state in = cm x 0.3937 and lb = kg x 2.2046.
inline BodyInCm bodyInCm;
// The values of the last dose calculated successfully in this run, which a session plan is made
// from.
inline std::optional<DoseInput> lastDose;
// The one main window, created by the splash window's Begin and held until the program ends.
inline QPointer<frmMain> MainWindow;
// The splash window while it is loaded; it is destroyed when it goes.
inline QPointer<frmSplash> Splash;

// The program's start: no participant entered yet, and the splash window on the screen. The
// settings are read only when Begin loads the main window.
void Main();
} // namespace Module1
