#pragma once

#include <QColor>

// The colours of the chart on a palette's base: the palette's own for the background, the
// text and the grid, and for the lines and marks lighter variants on a dark base, so that
// a dark desktop reads as well as the printed page.
struct BalChartColours {
    QColor base;
    QColor text;
    QColor grid;
    QColor drinking; // the shaded drinking periods
    QColor band;     // the shaded 80 % band
    QColor curve;
    QColor personal;     // the personal forecast's course
    QColor personalBand; // and its band, a second shade
    QColor target;
    QColor release;
    QColor reading;
    QColor booster;
};
