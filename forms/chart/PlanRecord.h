#pragma once

#include "calc/session/SessionReport.h"

#include <QDateTime>
#include <QStringList>

class QPagedPaintDevice;

// The printed record of a session, the source document a lab files: its code and beverage, the
// date, the dose and its inputs, the protocol, the plan's choices, every portion and when it was
// served, the expected times, every reading with its expected level and what the readings show,
// the booster, the chart, the caveat, every correction and void with its reason and initials,
// and lines for the operator's signature and the date, on as many pages as it takes. Each page
// carries the session code, "Page N of M" and the program's version. A placebo's record shows what
// is poured and neither the alcohol dose nor anything expected of it. There is no field for the
// participant's name.
namespace PlanRecord {

// Paints the record on the pages of `device` (a printer, or a PDF writer); false when the device
// cannot be painted on. Margins narrower than 15 mm are widened to 15 mm. `protocolLines` name
// the protocol the session is judged by (protocolLine), then say where the dose differs from it
// and which limits it passes; without them the page names the record's protocol and claims no
// limit checked.
bool paint(QPagedPaintDevice &device, const SessionReport &report, const QDateTime &printedAt,
           const QStringList &protocolLines = {});

} // namespace PlanRecord
