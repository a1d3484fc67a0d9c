#include "forms/chart/BalChartLabels.h"

#include <cmath>

namespace {

bool crosses(const QLineF &line, const QRectF &rect)
{
    if (rect.contains(line.p1()) || rect.contains(line.p2()))
        return true;
    const QLineF edges[] = {{rect.topLeft(), rect.topRight()},
                            {rect.topRight(), rect.bottomRight()},
                            {rect.bottomRight(), rect.bottomLeft()},
                            {rect.bottomLeft(), rect.topLeft()}};
    for (const QLineF &edge : edges) {
        if (line.intersects(edge, nullptr) == QLineF::BoundedIntersection)
            return true;
    }
    return false;
}

bool within(const QRectF &rect, const QRectF &region)
{
    return rect.left() >= region.left() && rect.right() <= region.right() &&
           rect.top() >= region.top() && rect.bottom() <= region.bottom();
}

} // namespace

bool BalChartLabels::clearOfMarks(const QRectF &rect) const
{
    for (const QRectF &mark : m_marks) {
        if (rect.intersects(mark))
            return false;
    }
    for (const QLineF &line : m_lines) {
        if (crosses(line, rect))
            return false;
    }
    return true;
}

bool BalChartLabels::isFree(const QRectF &rect, bool clearOfMarks) const
{
    const QRectF apart = rect.adjusted(-m_gap, -m_gap, m_gap, m_gap);
    for (const BalChartLabel &label : m_labels) {
        if (apart.intersects(label.rect))
            return false;
    }
    return !clearOfMarks || this->clearOfMarks(rect);
}

std::optional<QRectF> BalChartLabels::nearestFree(const QRectF &wanted, const QRectF &region,
                                                  bool clearOfMarks) const
{
    const double step = std::max(1.0, wanted.height() / 4);
    const double spanX = region.width() - wanted.width();
    const double spanY = region.height() - wanted.height();
    if (spanX < 0 || spanY < 0)
        return std::nullopt;
    std::optional<QRectF> nearest;
    double nearestDistance = 0;
    for (double y = 0; y <= spanY; y += step) {
        for (double x = 0; x <= spanX; x += step) {
            const QRectF rect(QPointF(region.left() + x, region.top() + y), wanted.size());
            const QPointF away = rect.center() - wanted.center();
            const double distance = away.x() * away.x() + away.y() * away.y();
            if ((!nearest || distance < nearestDistance) && isFree(rect, clearOfMarks)) {
                nearest = rect;
                nearestDistance = distance;
            }
        }
    }
    return nearest;
}

bool BalChartLabels::place(BalChartLabel label, const QList<QRectF> &places, const QRectF &region,
                           bool optional)
{
    if (places.isEmpty())
        return false;
    for (bool clearOfMarks : {true, false}) {
        for (const QRectF &rect : places) {
            if (within(rect, region) && isFree(rect, clearOfMarks)) {
                label.rect = rect;
                m_labels.append(label);
                return true;
            }
        }
    }
    if (optional)
        return false;
    // Among very many marks the search for a place clear of them all would take long; the
    // label keeps clear of the other labels only.
    constexpr qsizetype MostMarksSearched = 400;
    const bool searchClearOfMarks = m_marks.size() + m_lines.size() <= MostMarksSearched;
    for (bool clearOfMarks : {searchClearOfMarks, false}) {
        if (const std::optional<QRectF> rect = nearestFree(places.first(), region, clearOfMarks)) {
            label.rect = *rect;
            m_labels.append(label);
            return true;
        }
    }
    label.rect = places.first();
    m_labels.append(label);
    return true;
}
