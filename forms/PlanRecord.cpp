#include "forms/PlanRecord.h"

#include "calc/ClockText.h"
#include "calc/FaultTexts.h"
#include "calc/SessionText.h"
#include "forms/BalChart.h"
#include "forms/Fonts.h"
#include "forms/PlanText.h"
#include "forms/VersionText.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <array>
#include <numeric>
#include <optional>

namespace {

constexpr double MinimumMarginMm = 15;

// How tightly the tables are set: the first that leaves the chart room enough is used.
// Set tightest, the portions and the readings stand side by side, each as narrow as its cells.
struct TableSetting {
    double points;
    double rowLines; // a row's height in lines of its font
    bool beside;
};
constexpr std::array<TableSetting, 5> TableSettings{
    {{10, 1.35, false}, {9, 1.25, false}, {9, 1.25, true}, {8, 1.15, true}, {7, 1.1, true}}};

// Writes blocks of text down the page, each below the last. Without drawing it only measures,
// so that the page can be laid out before it is painted.
class PageWriter {
public:
    PageWriter(QPainter &painter, const QRectF &page, bool draw)
        : m_painter(painter), m_page(page), m_top(page.top()), m_draw(draw)
    {
    }

    // `indent` from the left edge of the page.
    void text(const QString &text, const QFont &font, double indent = 0)
    {
        m_painter.setFont(font);
        const QRectF room(m_page.left() + indent, m_top, m_page.width() - indent,
                          m_page.bottom() - m_top);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        QRectF used;
        if (m_draw)
            m_painter.drawText(room, flags, text, &used);
        else
            used = m_painter.boundingRect(room, flags, text);
        m_top += used.height();
    }

    void gap(const QFont &font, double lines)
    {
        m_top += QFontMetricsF(font, m_painter.device()).height() * lines;
    }

    // A block of `height` from the current position down; the next text goes below it.
    QRectF take(double height)
    {
        const QRectF block(m_page.left(), m_top, m_page.width(), height);
        m_top += height;
        return block;
    }

    double top() const { return m_top; }
    // Back up, to set a block beside the one just written.
    void setTop(double top) { m_top = top; }
    bool draws() const { return m_draw; }
    const QRectF &page() const { return m_page; }
    QPainter &painter() { return m_painter; }

private:
    QPainter &m_painter;
    QRectF m_page;
    double m_top;
    bool m_draw;
};

// A table of text `indent` from the left edge: each column as wide as its widest cell and, set
// alone across the page, at least 14 % of it; all of them narrowed alike if together they are
// wider than `room`. Times are left-aligned, numbers right-aligned. Returns the table's width.
double table(PageWriter &writer, const QStringList &columns, const QList<QStringList> &rows,
             const QList<qsizetype> &leftColumns, const TableSetting &setting, double indent,
             double room)
{
    QPainter &painter = writer.painter();
    const QFont font = Fonts::arial(setting.points);
    const QFont bold = Fonts::arial(setting.points, true);
    const double row = QFontMetricsF(font, painter.device()).height() * setting.rowLines;
    const double padding = row * 0.25;
    QList<double> widths;
    for (qsizetype column = 0; column < columns.size(); ++column) {
        double width = QFontMetricsF(bold, painter.device()).horizontalAdvance(columns[column]);
        for (const QStringList &cells : rows) {
            if (column < cells.size())
                width = std::max(
                    width, QFontMetricsF(font, painter.device()).horizontalAdvance(cells[column]));
        }
        widths << std::max(setting.beside ? 0 : writer.page().width() * 0.14,
                           width + padding * 2.5);
    }
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    const double narrowing = std::min(1.0, room / total);
    const auto drawRow = [&](const QStringList &cells, const QFont &rowFont) {
        const QRectF line = writer.take(row);
        if (!writer.draws())
            return;
        painter.setFont(rowFont);
        double left = line.left() + indent;
        for (qsizetype column = 0; column < columns.size(); ++column) {
            const QRectF cell(left, line.top(), widths[column] * narrowing, row);
            left = cell.right();
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(padding, 0, -padding, 0),
                             Qt::AlignVCenter |
                                 (leftColumns.contains(column) ? Qt::AlignLeft : Qt::AlignRight),
                             cells.value(column));
        }
    };
    painter.setPen(QPen(Qt::black, row * 0.03));
    drawRow(columns, bold);
    for (const QStringList &cells : rows)
        drawRow(cells, font);
    return total * narrowing;
}

} // namespace

bool PlanRecord::paint(QPagedPaintDevice &device, const SessionReport &report,
                       const QDateTime &printedAt, const QStringList &protocolLines)
{
    const QMarginsF margins = device.pageLayout().margins(QPageLayout::Millimeter);
    device.setPageMargins(QMarginsF(std::max(margins.left(), MinimumMarginMm),
                                    std::max(margins.top(), MinimumMarginMm),
                                    std::max(margins.right(), MinimumMarginMm),
                                    std::max(margins.bottom(), MinimumMarginMm)),
                          QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QLocale locale;
    PlanText text = describePlan(report, locale);
    const LevelScale &level = report.setup.input.level;
    const bool planOk = report.hasPlan();
    QStringList portionColumns = PlanText::portionColumns();
    const SessionText sessionText = describeSession(report, locale);
    portionColumns << QStringLiteral("Served");
    for (qsizetype i = 0; i < text.portionRows.size(); ++i)
        text.portionRows[i] << sessionText.served.value(i);
    const QFont title = Fonts::arial(16, true);
    const QFont heading = Fonts::arial(11, true);
    const QFont body = Fonts::arial(10);
    const QFont bold = Fonts::arial(10, true);
    const QFont small = Fonts::arial(8);
    const QRectF page(0, 0, device.width(), device.height());
    const QFontMetricsF bodyMetrics(body, &device);
    const double footer = bodyMetrics.height() * 6;

    // Everything above the chart; returns the writer's position below it.
    const auto writeTop = [&](PageWriter &writer, const TableSetting &tables) {
        writer.text(QStringLiteral("Pourwise Session Plan"), title);
        if (!report.setup.sessionCode.isEmpty())
            writer.text(QStringLiteral("Session code: %1").arg(report.setup.sessionCode), bold);
        writer.text(sessionText.beverage, body);
        writer.text(QStringLiteral("Printed %1 at %2")
                        .arg(locale.toString(printedAt.date(), QLocale::ShortFormat),
                             locale.toString(printedAt.time(), hoursAndMinutesFormat(locale))),
                    body);
        writer.gap(body, 0.8);
        writer.text(QStringLiteral("Dose"), heading);
        writer.text(text.doseInputs, body);
        writer.text(text.doseVolumes, body);
        for (const QString &line : protocolLines)
            writer.text(line, bold);
        writer.gap(body, 0.8);
        writer.text(QStringLiteral("Plan"), heading);
        writer.text(text.choices, body);
        if (!text.levels.isEmpty())
            writer.text(text.levels, body);
        writer.gap(body, 0.4);
        const double width = writer.page().width();
        const double apart = bodyMetrics.height();
        const bool readings = !sessionText.readings.isEmpty();
        const bool beside = tables.beside && planOk && readings;
        double besideTop = 0;
        double portionsBottom = 0;
        double readingsIndent = 0;
        if (planOk) {
            for (const QString &line : {text.peakLine, text.releaseLine, text.zeroLine}) {
                if (!line.isEmpty())
                    writer.text(line, bold);
            }
            writer.gap(body, 0.6);
            if (beside) {
                // The readings' heading starts level with the portions' table.
                besideTop = writer.top();
                writer.gap(heading, 1);
            }
            double room = width;
            if (beside) {
                // The readings keep their natural width; the portions have the rest.
                PageWriter measure(writer.painter(), writer.page(), false);
                room = std::max(width / 3, width - apart -
                                               table(measure, SessionText::readingColumns(level),
                                                     sessionText.readings, {1}, tables, 0, width));
            }
            readingsIndent =
                table(writer, portionColumns, text.portionRows, {1, 5}, tables, 0, room) + apart;
            portionsBottom = writer.top();
        } else {
            writer.text(
                planFaultText(report.dose.plan ? report.dose.plan->problem : PlanProblem::None)
                    .message,
                bold);
        }
        if (beside) {
            writer.setTop(besideTop);
        } else {
            writer.gap(body, 0.8);
            readingsIndent = 0;
        }
        writer.text(QStringLiteral("Readings"), heading, readingsIndent);
        if (readings) {
            table(writer, SessionText::readingColumns(level), sessionText.readings, {1}, tables,
                  readingsIndent, width - readingsIndent);
            writer.setTop(std::max(writer.top(), portionsBottom));
            writer.gap(body, 0.3);
        }
        for (const QString &line :
             {sessionText.observedPeak, sessionText.descending, sessionText.release})
            writer.text(line, body);
        if (!sessionText.booster.isEmpty()) {
            writer.text(sessionText.booster, bold);
            writer.text(SessionText::boosterCaveat(), small);
        }
        writer.gap(body, 0.8);
    };

    // The chart takes what is left above the caveat and the footer, at most a landscape box;
    // long tables are set tighter first, so that the chart keeps room to be read.
    const double roomyChart = bodyMetrics.height() * 16;
    const double smallestChart = bodyMetrics.height() * 8;
    TableSetting tables = TableSettings.back();
    for (const TableSetting &setting : TableSettings) {
        PageWriter measure(painter, page, false);
        writeTop(measure, setting);
        if (page.bottom() - measure.top() - footer >= roomyChart) {
            tables = setting;
            break;
        }
    }
    PageWriter writer(painter, page, true);
    writeTop(writer, tables);
    const double chartHeight = std::min(page.width() * 0.6, page.bottom() - writer.top() - footer);
    if (chartHeight > smallestChart) {
        painter.setFont(body);
        BalChart::paint(painter, writer.take(chartHeight), report);
        writer.gap(body, 0.8);
    }
    writer.text(PlanText::caveat(), bold);

    painter.setFont(small);
    painter.setPen(Qt::black);
    painter.drawText(page, Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Pourwise %1").arg(versionText()));
    return painter.end();
}
