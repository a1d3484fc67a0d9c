#pragma once

#include "calc/SessionReport.h"

#include <QDateTime>
#include <QStringList>

class QPagedPaintDevice;

// The printed record of a session: one page with its code and beverage, the date, the dose and
// its inputs, the protocol, the plan's choices, the portions and when each was served, the
// expected times, the readings and what they show, the booster, the chart, the caveat and the
// program's version. There is no field for the participant's name.
namespace PlanRecord {

// Paints the record on one page of `device` (a printer, or a PDF writer); false when the device
// cannot be painted on. Margins narrower than 15 mm are widened to 15 mm.
// `protocolLines` name the protocol, say where the dose differs from it and which limits it passes.
bool paint(QPagedPaintDevice &device, const SessionReport &report, const QDateTime &printedAt,
           const QStringList &protocolLines = {});

} // namespace PlanRecord
