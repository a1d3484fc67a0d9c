#pragma once

#include "calc/LevelUnits.h"
#include "calc/SessionPlan.h"
#include "calc/SessionRecord.h"

#include <QList>
#include <QPalette>
#include <QTime>
#include <QWidget>
#include <optional>

class QPainter;

// What the chart shows: the expected level of a plan against clock time, with the target and
// release levels, all in the lab's unit of levels, and what the session has recorded so far.
// Every time of the session is whole minutes after the start of drinking.
struct BalChartData {
    SessionPlan plan;        // without a plan (not ok) the chart is empty
    double targetBal = 0;    // g/100 ml
    double releaseLevel = 0; // g/100 ml
    QTime start;
    LevelScale level = {};
    bool placebo = false;                          // no curve is expected: the readings alone
    QList<LevelReading> readings = {};             // in the lab's unit, in time order
    QList<std::optional<int>> servedAtMinute = {}; // per portion of the plan: when it was served
    std::optional<int> nowMinute = {};             // the "now" line
    std::optional<RecordedBooster> booster = {};   // drawn from its time once served
};

// The expected BAL against clock time. One paint routine draws it on the screen and on the
// printed page; every size in it follows the painter's font, so it reads the same at any scale
// and on any device.
class BalChart : public QWidget {
    Q_OBJECT

public:
    explicit BalChart(QWidget *parent = nullptr);

    void setData(const BalChartData &data);

    // The colours of the chart on a palette's base: the palette's own for the background, the
    // text and the grid, and for the lines and marks lighter variants on a dark base, so that
    // a dark desktop reads as well as the printed page.
    struct Colours {
        QColor base;
        QColor text;
        QColor grid;
        QColor drinking; // the shaded drinking period
        QColor curve;
        QColor target;
        QColor release;
        QColor reading;
        QColor booster;
    };
    static Colours colours(const QPalette &palette);
    // White paper with black text, as the printed page has it.
    static QPalette printPalette();

    // Draws the chart into `area` with the painter's font; text in the user's regional format.
    static void paint(QPainter &painter, const QRectF &area, const BalChartData &data,
                      const QPalette &palette = printPalette());

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    BalChartData m_data;
};
