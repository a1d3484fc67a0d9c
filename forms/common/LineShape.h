#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

// A straight line drawn on its window, as one member of a line array (told apart by "index").
// It covers just the band the pen paints and never takes the mouse or the focus.
class LineShape : public QWidget {
    Q_OBJECT

public:
    LineShape(QWidget *container, int index, QLine twips, QColor colour, int widthPixels);

    QLine line() const { return m_line; }
    QColor colour() const { return m_colour; }
    int penWidth() const { return m_width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLine m_line; // in the container's pixels
    QColor m_colour;
    int m_width;
};
