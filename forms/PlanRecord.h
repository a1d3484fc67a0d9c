#pragma once

#include "calc/SessionPlan.h"
#include "calc/SessionRecord.h"

#include <QDateTime>
#include <QStringList>
#include <QTime>

class QPagedPaintDevice;

// The printed record of a session plan: one page with the date, the dose and its inputs, the
// plan's choices, the portions, the expected times, the chart, the caveat and the program's
// version. There is no field for the participant's name.
namespace PlanRecord {

// Paints the record on one page of `device` (a printer, or a PDF writer); false when the device
// cannot be painted on. Margins narrower than 15 mm are widened to 15 mm.
// `protocolLines` says where the dose differs from its protocol and which limits it passes.
// With a `session`, the page is the session's record too: its code and beverage, when each
// portion was served, the readings and what they show, the booster, and all of it on the chart.
bool paint(QPagedPaintDevice &device, const CalculatedDose &dose, const SessionPlan &plan,
           const QTime &start, const SessionPlanSettings &settings, const QDateTime &printedAt,
           const QStringList &protocolLines = {}, const SessionRecord *session = nullptr);

} // namespace PlanRecord
