#pragma once

#include "calc/dose/Protocol.h"
#include "calc/session/SessionReport.h"

#include <QDateTime>

class QPagedPaintDevice;

// The observer's sheet of a session: what staff who face the participant need on paper, and
// nothing that could tell them the beverage. It has the session code, the start of drinking, and
// one row per reading time the schedule gives (each reading taken when it falls due, from the
// next one due to six hours after the start, at least twelve), with blank cells for the time
// taken, the reading and the initials. It names no dose, level or expectation and fills in no
// reading, so that an alcohol session's sheet and a placebo session's of the same schedule say the
// same but for their codes. It runs on over as many pages as it takes, each with the session code
// and "Page N of M".
namespace ObserverSheet {

// Rows up to this many minutes after the start of drinking, and at least ReadingRows of them.
inline constexpr int UntilMinute = 6 * 60;
inline constexpr int ReadingRows = 12;

// Paints the sheet on the pages of `device` (a printer, or a PDF writer), the readings due by the
// protocol's `schedule`; false when the device cannot be painted on. Margins narrower than 15 mm
// are widened to 15 mm.
bool paint(QPagedPaintDevice &device, const SessionReport &report, const ProtocolSchedule &schedule,
           const QDateTime &printedAt);

} // namespace ObserverSheet
