#pragma once

#include "calc/SessionReport.h"

#include <QDateTime>
#include <QStringList>

class QPagedPaintDevice;

// The printed record of a session: one page with its code and beverage, the date, the dose and
// its inputs, the protocol, the plan's choices, the portions and when each was served, the
// expected times, the readings with their expected levels and what they show, the booster, the
// chart, the caveat, every correction and void, and the program's version. A placebo's page shows
// what is poured and neither the alcohol dose nor anything expected of it. There is no field for
// the participant's name.
namespace PlanRecord {

// Paints the record on one page of `device` (a printer, or a PDF writer); false when the device
// cannot be painted on. Margins narrower than 15 mm are widened to 15 mm. `protocolLines` name
// the protocol the session is judged by (protocolLine), then say where the dose differs from it
// and which limits it passes; without them the page names the record's protocol and claims no
// limit checked.
bool paint(QPagedPaintDevice &device, const SessionReport &report, const QDateTime &printedAt,
           const QStringList &protocolLines = {});

} // namespace PlanRecord
