#pragma once

#include "calc/SessionReport.h"

#include <QDateTime>

class QPagedPaintDevice;

// The observer's sheet of a session: what an observer who must not know the beverage needs on
// paper. A placebo session's sheet and an alcohol session's read alike.
namespace ObserverSheet {

// Paints the sheet on `device` (a printer, or a PDF writer); false when the device cannot be
// painted on.
bool paint(QPagedPaintDevice &device, const SessionReport &report, const QDateTime &printedAt);

} // namespace ObserverSheet
