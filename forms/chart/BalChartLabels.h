#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

// A text the chart draws, and the rectangle it takes.
struct BalChartLabel {
    QString text;
    QRectF rect;
    QColor colour;
    int flags = Qt::AlignCenter; // how the text sits in its rectangle
    bool onPlot = false;         // drawn over the lines of the plot, on a patch of the background
};

// Where the chart's labels go, so that no two of them overlap and each stays in its region. A
// label takes the first of its places that is free, keeping clear of the marks and lines drawn
// where it can; when none of them is, the free place in its region nearest the first.
class BalChartLabels {
public:
    // `gap`: the least room between two labels.
    explicit BalChartLabels(double gap) : m_gap(gap) {}

    // Marks and lines a label keeps clear of where it can.
    void avoid(const QRectF &mark) { m_marks.append(mark); }
    void avoid(const QLineF &line) { m_lines.append(line); }

    // A label at a place of its own, which nothing else takes.
    void add(const BalChartLabel &label) { m_labels.append(label); }

    bool isFree(const QRectF &rect, bool clearOfMarks = false) const;

    // `label` at the first free place among `places` (rectangles the size of its text) inside
    // `region`, else the nearest free one, else the first. With `optional` it is left out unless
    // one of `places` is free. Returns whether it was placed.
    bool place(BalChartLabel label, const QList<QRectF> &places, const QRectF &region,
               bool optional = false);

    const QList<BalChartLabel> &labels() const { return m_labels; }

private:
    // The free place for `size` in `region` nearest `wanted`, stepping a quarter of the gap's
    // height; none when there is none.
    std::optional<QRectF> nearestFree(const QRectF &wanted, const QRectF &region,
                                      bool clearOfMarks) const;
    bool clearOfMarks(const QRectF &rect) const;

    double m_gap;
    QList<BalChartLabel> m_labels;
    QList<QRectF> m_marks;
    QList<QLineF> m_lines;
};
