#pragma once

#include "calc/SessionReport.h"

#include <QDateTime>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// The observer's sheet of a session: what staff who face the participant need on paper, and
// nothing that tells the beverage. It has the session code, the start, the portions' total
// volumes with when each was planned and served, and the readings with their times (as many as
// one page holds, then how many more the record has), with rows to write more in; no beverage,
// dose, target, booster, expectation or curve, so that a placebo session's sheet and an alcohol
// session's of the same plan and entries are the same picture.
namespace ObserverSheet {

// Paints the sheet on one page of `device` (a printer, or a PDF writer); false when the device
// cannot be painted on. Margins narrower than 15 mm are widened to 15 mm.
bool paint(QPagedPaintDevice &device, const SessionReport &report, const QDateTime &printedAt);

// Paints it on `page` of the painter's device.
void paint(QPainter &painter, const QRectF &page, const SessionReport &report,
           const QDateTime &printedAt);

} // namespace ObserverSheet
