#include "forms/chart/PlanRecordPage.h"

#include "forms/common/Fonts.h"
#include "forms/common/VersionText.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <numeric>

namespace {

constexpr double MinimumMarginMm = 15;
constexpr int Wrapped = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
// Room on either side of a cell's text, in lines of its font.
constexpr double CellPadding = 0.3;

ColumnWidths measure(const PageTable &table, const QFontMetricsF &body,
                     const QFontMetricsF &heading, double padding)
{
    const qsizetype columns = table.columns.size();
    ColumnWidths widths{QList<double>(columns, 0), QList<double>(columns, 0)};
    const auto cell = [&](const QString &text, const QFontMetricsF &metrics, qsizetype column) {
        widths.natural[column] =
            std::max(widths.natural[column], metrics.horizontalAdvance(text) + padding * 2);
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            widths.least[column] =
                std::max(widths.least[column], metrics.horizontalAdvance(word) + padding * 2);
    };
    for (qsizetype column = 0; column < columns; ++column) {
        cell(table.columns[column], heading, column);
        for (const QStringList &row : table.rows)
            cell(row.value(column), body, column);
    }
    return widths;
}

// The columns' widths within `room`: each on one line when they fit; otherwise each at least as
// wide as its longest word, the room left shared out as each would need it; narrowed alike when
// even that is too wide.
QList<double> fitted(const ColumnWidths &widths, double room)
{
    const double natural = std::accumulate(widths.natural.begin(), widths.natural.end(), 0.0);
    if (natural <= room)
        return widths.natural;
    const double least = std::accumulate(widths.least.begin(), widths.least.end(), 0.0);
    QList<double> fitted = widths.least;
    if (least >= room) {
        for (double &width : fitted)
            width *= room / least;
        return fitted;
    }
    const double share = (room - least) / (natural - least);
    for (qsizetype column = 0; column < fitted.size(); ++column)
        fitted[column] += (widths.natural[column] - widths.least[column]) * share;
    return fitted;
}

} // namespace

void PageWriter::setPaging(Paging paging)
{
    m_paging = std::move(paging);
}

void PageWriter::roomFor(double height)
{
    if (m_paging && m_top > m_page.top() && m_top + height > m_page.bottom())
        nextPage();
}

void PageWriter::keepRoom(double height)
{
    roomFor(height);
}

void PageWriter::nextPage()
{
    if (m_draw) {
        if (m_paging->foot)
            m_paging->foot(m_pageNumber);
        if (m_paging->newPage)
            m_paging->newPage();
    }
    ++m_pageNumber;
    m_top = m_page.top();
}

void PageWriter::finish()
{
    if (m_draw && m_paging && m_paging->foot)
        m_paging->foot(m_pageNumber);
}

void PageWriter::text(const QString &text, const QFont &font, double indent)
{
    m_painter.setFont(font);
    const QRectF measured = m_painter.boundingRect(
        QRectF(m_page.left() + indent, m_top, m_page.width() - indent, m_page.height()), Wrapped,
        text);
    roomFor(measured.height());
    const QRectF room(m_page.left() + indent, m_top, m_page.width() - indent,
                      std::max(0.0, m_page.bottom() - m_top));
    QRectF used;
    if (m_draw)
        m_painter.drawText(room, Wrapped, text, &used);
    else
        used = m_painter.boundingRect(room, Wrapped, text);
    m_top += used.height();
}

void PageWriter::gap(const QFont &font, double lines)
{
    m_top += QFontMetricsF(font, m_painter.device()).height() * lines;
}

QRectF PageWriter::take(double height)
{
    roomFor(height);
    const QRectF block(m_page.left(), m_top, m_page.width(), height);
    m_top += height;
    return block;
}

ColumnWidths PageWriter::columnWidths(const PageTable &table, const TableSetting &setting) const
{
    const QFontMetricsF body(Fonts::arial(setting.points), m_painter.device());
    ColumnWidths widths =
        measure(table, body, QFontMetricsF(Fonts::arial(setting.points, true), m_painter.device()),
                body.height() * CellPadding);
    // Set alone across the page, each column at least a seventh of it while they all fit.
    if (!setting.beside) {
        QList<double> wider = widths.natural;
        for (double &width : wider)
            width = std::max(width, m_page.width() / 7);
        if (std::accumulate(wider.begin(), wider.end(), 0.0) <= m_page.width())
            widths.natural = wider;
    }
    return widths;
}

PageWriter::TableWidth PageWriter::tableWidth(const PageTable &table,
                                              const TableSetting &setting) const
{
    const ColumnWidths widths = columnWidths(table, setting);
    return {std::accumulate(widths.natural.begin(), widths.natural.end(), 0.0),
            std::accumulate(widths.least.begin(), widths.least.end(), 0.0)};
}

double PageWriter::table(const PageTable &table, const TableSetting &setting, double indent,
                         double room)
{
    const QFont font = Fonts::arial(setting.points);
    const QFont bold = Fonts::arial(setting.points, true);
    const double line = QFontMetricsF(font, m_painter.device()).height();
    const double padding = line * CellPadding;
    const ColumnWidths natural = columnWidths(table, setting);
    QList<double> widths = fitted(natural, room);
    if (setting.fill) {
        const double spare = room - std::accumulate(widths.begin(), widths.end(), 0.0);
        for (double &width : widths)
            width += std::max(0.0, spare) / double(widths.size());
    }
    const bool clip = std::accumulate(natural.least.begin(), natural.least.end(), 0.0) > room;

    const auto height = [&](const QStringList &cells, const QFont &rowFont) {
        m_painter.setFont(rowFont);
        double textHeight = line;
        for (qsizetype column = 0; column < widths.size(); ++column) {
            const QRectF room(0, 0, std::max(1.0, widths[column] - padding * 2), 1e6);
            textHeight = std::max(
                textHeight, m_painter.boundingRect(room, Wrapped, cells.value(column)).height());
        }
        return textHeight + line * (setting.rowLines - 1);
    };
    const auto row = [&](const QStringList &cells, const QFont &rowFont, double rowHeight) {
        m_painter.setFont(rowFont);
        const QRectF block = take(rowHeight);
        if (!m_draw)
            return;
        double left = block.left() + indent;
        for (qsizetype column = 0; column < widths.size(); ++column) {
            const QRectF cell(left, block.top(), widths[column], block.height());
            left = cell.right();
            m_painter.drawRect(cell);
            if (clip)
                m_painter.setClipRect(cell);
            const int align = table.textColumns.contains(column) ? Qt::AlignLeft : Qt::AlignRight;
            m_painter.drawText(cell.adjusted(padding, 0, -padding, 0),
                               Qt::AlignVCenter | Qt::TextWordWrap | align, cells.value(column));
            m_painter.setClipping(false);
        }
    };
    m_painter.setPen(QPen(Qt::black, line * 0.03));
    const double headingHeight = height(table.columns, bold);
    // The heading row never stands alone at the foot of a page.
    roomFor(headingHeight + (table.rows.isEmpty() ? 0 : height(table.rows.constFirst(), font)));
    row(table.columns, bold, headingHeight);
    for (const QStringList &cells : table.rows) {
        const double rowHeight = height(cells, font);
        const int page = m_pageNumber;
        roomFor(rowHeight);
        if (m_pageNumber != page) // the table runs on: its heading again
            row(table.columns, bold, headingHeight);
        row(cells, font, rowHeight);
    }
    return std::accumulate(widths.begin(), widths.end(), 0.0);
}

namespace {

// Margins narrower than 15 mm widened to 15 mm, as every printed page has them.
void widenMargins(QPagedPaintDevice &device)
{
    const QMarginsF margins = device.pageLayout().margins(QPageLayout::Millimeter);
    device.setPageMargins(QMarginsF(std::max(margins.left(), MinimumMarginMm),
                                    std::max(margins.top(), MinimumMarginMm),
                                    std::max(margins.right(), MinimumMarginMm),
                                    std::max(margins.bottom(), MinimumMarginMm)),
                          QPageLayout::Millimeter);
}

} // namespace

bool paintPages(QPagedPaintDevice &device, const QString &sessionCode,
                const std::function<void(PageWriter &writer)> &write)
{
    widenMargins(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QFont small = Fonts::arial(8);
    const QRectF whole(0, 0, device.width(), device.height());
    const QRectF body =
        whole.adjusted(0, 0, 0, -QFontMetricsF(small, painter.device()).height() * 1.5);
    PageWriter measure(painter, body, false);
    measure.setPaging({});
    write(measure);
    const int count = measure.pageNumber();

    const QLocale locale;
    const auto foot = [&](int number) {
        painter.setFont(small);
        painter.setPen(Qt::black);
        painter.drawText(whole, Qt::AlignLeft | Qt::AlignBottom,
                         QStringLiteral("Pourwise %1").arg(versionText()));
        painter.drawText(whole, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Session code: %1    Page %2 of %3")
                             .arg(sessionCode.isEmpty() ? QStringLiteral("none") : sessionCode,
                                  locale.toString(number), locale.toString(count)));
    };
    PageWriter writer(painter, body, true);
    writer.setPaging({foot, [&device] { device.newPage(); }});
    painter.setPen(Qt::black);
    write(writer);
    writer.finish();
    return painter.end();
}
