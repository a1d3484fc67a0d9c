#pragma once

#include <QFont>
#include <QList>
#include <QLocale>
#include <QRectF>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// What the printed pages are written with: blocks of text and tables down a page, each below the
// last. Without drawing it only measures, so that a page can be laid out before it is painted.

// A table's cells as text, a row per list; text columns are left-aligned, numbers right-aligned.
struct PageTable {
    QStringList columns;
    QList<QStringList> rows;
    QList<qsizetype> textColumns;
};

// Each column's width on one line, and its least: its longest word.
struct ColumnWidths {
    QList<double> natural;
    QList<double> least;
};

// How tightly tables are set.
struct TableSetting {
    double points = 10;
    double rowLines = 1.35; // a line's height in lines of its font
    bool beside = false;    // two tables side by side, each as narrow as its cells
};

class PageWriter {
public:
    PageWriter(QPainter &painter, const QRectF &page, bool draw)
        : m_painter(painter), m_page(page), m_top(page.top()), m_draw(draw)
    {
    }

    // `indent` from the left edge of the page, wrapped at its right edge.
    void text(const QString &text, const QFont &font, double indent = 0);
    void gap(const QFont &font, double lines);
    // A block of `height` from the current position down; the next text goes below it.
    QRectF take(double height);
    // `table` `indent` from the left edge, at most `room` wide: each column as wide as its widest
    // cell and, set alone across the page, at least a seventh of it while they all fit; when they
    // are wider than `room` together, the cells wrap between words. Returns the table's width.
    double table(const PageTable &table, const TableSetting &setting, double indent, double room);
    // How wide `table` is with each cell on one line, and at least, its cells wrapped.
    struct TableWidth {
        double natural = 0;
        double least = 0;
    };
    TableWidth tableWidth(const PageTable &table, const TableSetting &setting) const;

    double top() const { return m_top; }
    // Back up, to set a block beside the one just written.
    void setTop(double top) { m_top = top; }
    bool draws() const { return m_draw; }
    const QRectF &page() const { return m_page; }
    QPainter &painter() { return m_painter; }

private:
    ColumnWidths columnWidths(const PageTable &table, const TableSetting &setting) const;

    QPainter &m_painter;
    QRectF m_page;
    double m_top;
    bool m_draw;
};

// The most of `count` rows for which `fits` holds, which holds for fewer if for more: what a
// page holds of a table that may be longer than any page.
qsizetype mostThatFit(qsizetype count, const std::function<bool(qsizetype)> &fits);
// What a page says of the rows it leaves out: "... and 3 more readings: the record lists every
// one."
QString moreInTheRecord(qsizetype count, const QString &what, const QLocale &locale);

// Margins narrower than 15 mm widened to 15 mm, as every printed page has them.
void widenMargins(QPagedPaintDevice &device);
