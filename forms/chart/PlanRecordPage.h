#pragma once

#include <QFont>
#include <QList>
#include <QLocale>
#include <QRectF>
#include <QStringList>
#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPainter;

// What the printed pages are written with: blocks of text and tables down a page, each below the
// last, and on as many pages as they take once paging is set (setPaging): a block that does not
// fit below the last starts the next page, and a table runs on over the pages, its heading row
// repeated. Without drawing it only measures, so that the pages can be laid out and counted
// before they are painted.

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
    bool fill = false;      // the columns widened alike to fill the room: cells to write in
};

class PageWriter {
public:
    PageWriter(QPainter &painter, const QRectF &page, bool draw)
        : m_painter(painter), m_page(page), m_top(page.top()), m_draw(draw)
    {
    }

    // How a page ends and the next begins, while drawing: `foot` paints the foot of the page
    // numbered from 1 that is done, `newPage` starts the next on the device.
    struct Paging {
        std::function<void(int page)> foot;
        std::function<void()> newPage;
    };
    void setPaging(Paging paging);
    // The page written on now, from 1.
    int pageNumber() const { return m_pageNumber; }
    // At least `height` below the current position on this page, else on the next.
    void keepRoom(double height);
    // The last page is done: its foot is painted.
    void finish();

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
    // A block of `height` starts the next page when paging is set, the page already holds
    // something and the block would run past its bottom.
    void roomFor(double height);
    void nextPage();

    QPainter &m_painter;
    QRectF m_page;
    double m_top;
    bool m_draw;
    std::optional<Paging> m_paging;
    int m_pageNumber = 1;
};

// Paints what `write` writes on as many pages of `device` as it takes, margins widened, each page
// with its foot: the program and its version at the left, the session code and "Page N of M" at
// the right. `write` runs twice, first only to count the pages. False when the device cannot be
// painted on.
bool paintPages(QPagedPaintDevice &device, const QString &sessionCode,
                const std::function<void(PageWriter &writer)> &write);
