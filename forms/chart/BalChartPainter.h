#pragma once

#include "calc/session/SessionReport.h"
#include "forms/chart/BalChartColours.h"
#include "forms/chart/BalChartLabels.h"

#include <QList>
#include <QRectF>

class QPainter;

// Paints one chart of `report` into `area` in `colours`: lays it out, draws its shading, lines
// and marks, then places and draws its labels, which it returns. BalChart::paint is its one
// caller.
QList<BalChartLabel> paintBalChart(QPainter &painter, const QRectF &area,
                                   const SessionReport &report, bool showNow,
                                   const BalChartColours &colours);
