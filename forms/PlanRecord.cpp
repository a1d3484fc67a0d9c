#include "forms/PlanRecord.h"

#include "calc/FaultTexts.h"
#include "forms/BalChart.h"
#include "forms/ClockText.h"
#include "forms/Fonts.h"
#include "forms/PlanText.h"
#include "forms/VersionText.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {

constexpr double MinimumMarginMm = 15;

// Writes blocks of text down the page, each below the last.
class PageWriter {
public:
    PageWriter(QPainter &painter, const QRectF &page)
        : m_painter(painter), m_page(page), m_top(page.top())
    {
    }

    void text(const QString &text, const QFont &font)
    {
        m_painter.setFont(font);
        QRectF used;
        m_painter.drawText(QRectF(m_page.left(), m_top, m_page.width(), m_page.bottom() - m_top),
                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text, &used);
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
    const QRectF &page() const { return m_page; }
    QPainter &painter() { return m_painter; }

private:
    QPainter &m_painter;
    QRectF m_page;
    double m_top;
};

void portionTable(PageWriter &writer, const PlanText &text, const QFont &font, const QFont &bold)
{
    QPainter &painter = writer.painter();
    const double row = QFontMetricsF(font, painter.device()).height() * 1.35;
    const QStringList columns = PlanText::portionColumns();
    const double columnWidth = writer.page().width() * 0.7 / columns.size();
    const double padding = row * 0.25;
    const auto drawRow = [&](const QStringList &cells, const QFont &rowFont) {
        const QRectF line = writer.take(row);
        painter.setFont(rowFont);
        for (qsizetype column = 0; column < cells.size(); ++column) {
            const QRectF cell(line.left() + column * columnWidth, line.top(), columnWidth, row);
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(padding, 0, -padding, 0),
                             Qt::AlignVCenter | (column == 1 ? Qt::AlignLeft : Qt::AlignRight),
                             cells[column]);
        }
    };
    painter.setPen(QPen(Qt::black, row * 0.03));
    drawRow(columns, bold);
    for (const QStringList &cells : text.portionRows)
        drawRow(cells, font);
}

} // namespace

bool PlanRecord::paint(QPagedPaintDevice &device, const CalculatedDose &dose,
                       const SessionPlan &plan, const QTime &start,
                       const SessionPlanSettings &settings, const QDateTime &printedAt)
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
    const PlanText text = describePlan(dose, plan, start, settings, locale);
    const QFont title = Fonts::arial(16, true);
    const QFont heading = Fonts::arial(11, true);
    const QFont body = Fonts::arial(10);
    const QFont bold = Fonts::arial(10, true);
    const QFont small = Fonts::arial(8);
    const QRectF page(0, 0, device.width(), device.height());
    PageWriter writer(painter, page);

    writer.text(QStringLiteral("Pourwise Session Plan"), title);
    writer.text(QStringLiteral("Printed %1 at %2")
                    .arg(locale.toString(printedAt.date(), QLocale::ShortFormat),
                         locale.toString(printedAt.time(), hoursAndMinutesFormat(locale))),
                body);
    writer.gap(body, 0.8);
    writer.text(QStringLiteral("Dose"), heading);
    writer.text(text.doseInputs, body);
    writer.text(text.doseVolumes, body);
    writer.gap(body, 0.8);
    writer.text(QStringLiteral("Plan"), heading);
    writer.text(text.choices, body);
    if (!text.levels.isEmpty())
        writer.text(text.levels, body);
    writer.gap(body, 0.4);
    if (plan.ok()) {
        for (const QString &line : {text.peakLine, text.releaseLine, text.zeroLine})
            writer.text(line, bold);
        writer.gap(body, 0.6);
        portionTable(writer, text, body, bold);
    } else {
        writer.text(planFaultText(plan.problem).message, bold);
    }
    writer.gap(body, 0.8);

    // The chart takes what is left above the caveat and the footer, at most a landscape box.
    const QFontMetricsF bodyMetrics(body, &device);
    const double footer = bodyMetrics.height() * 6;
    const double chartHeight = std::min(page.width() * 0.6, page.bottom() - writer.top() - footer);
    if (chartHeight > bodyMetrics.height() * 8) {
        painter.setFont(body);
        BalChart::paint(painter, writer.take(chartHeight),
                        {plan, dose.state.BAL, settings.releaseLevel, start, dose.level});
        writer.gap(body, 0.8);
    }
    writer.text(PlanText::caveat(), bold);

    painter.setFont(small);
    painter.setPen(Qt::black);
    painter.drawText(page, Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Pourwise %1").arg(versionText()));
    return painter.end();
}
