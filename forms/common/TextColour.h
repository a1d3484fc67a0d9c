#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// A text colour set on the control itself, kept whatever the theme's window text colour is.
inline void setTextColour(QWidget *control, const QColor &colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}
