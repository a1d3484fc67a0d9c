#pragma once

#include "calc/session/SessionReport.h"
#include "forms/chart/BalChartColours.h"
#include "forms/chart/BalChartLabels.h"

#include <QPalette>
#include <QWidget>

class QPainter;

// A session's expected level against clock time, in the lab's unit of levels, with the target and
// release levels, the 80 % band, the personal forecast, a legend and what the session has recorded:
// the portions served, the readings (voided ones left out) and the course after a booster. It
// presents the report (calc/session/SessionReport.h) and computes nothing of the model. One paint
// routine draws it on the screen and on the printed page; every size in it follows the painter's
// font, so it reads the same at any scale and on any device, and no two of its labels overlap.
class BalChart : public QWidget {
    Q_OBJECT

public:
    explicit BalChart(QWidget *parent = nullptr);

    // The report to draw, with its "now" line.
    void setReport(const SessionReport &report);
    // What the chart leaves out or marks at its edge of the report set, for the window to show
    // beside it: "Some values lie beyond what the chart can show: ..."; empty when it shows all.
    QString clampNote() const { return m_clampNote; }
    static QString clampNote(const SessionReport &report);

    using Colours = BalChartColours;
    static Colours colours(const QPalette &palette);
    // White paper with black text, as the printed page has it.
    static QPalette printPalette();

    // Draws the chart into `area` with the painter's font; text in the user's regional format.
    // The "now" line only with `showNow`: paper has none. Returns the labels drawn.
    static QList<BalChartLabel> paint(QPainter &painter, const QRectF &area,
                                      const SessionReport &report, bool showNow = false,
                                      const QPalette &palette = printPalette());

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SessionReport m_report;
    QString m_clampNote;
};
