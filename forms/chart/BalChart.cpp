#include "forms/chart/BalChart.h"

#include "forms/chart/BalChartData.h"
#include "forms/chart/BalChartPainter.h"

#include <QPainter>
#include <cmath>

namespace {

// `a` with `share` of `b` mixed in.
QColor blend(const QColor &a, const QColor &b, double share)
{
    const auto mix = [share](double x, double y) { return int(std::lround(x + (y - x) * share)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

} // namespace

BalChart::BalChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picChart"));
    setAccessibleName(QStringLiteral("Expected BAL against clock time"));
}

void BalChart::setReport(const SessionReport &report)
{
    m_report = report;
    m_clampNote = clampNote(report);
    setAccessibleName(
        QStringLiteral("Expected %1 against clock time").arg(report.setup.input.level.levelName()));
    update();
}

QString BalChart::clampNote(const SessionReport &report)
{
    return balChartNote(balChartData(report, false).beyond);
}

QSize BalChart::sizeHint() const
{
    const int u = fontMetrics().height();
    return {u * 30, u * 18};
}

QSize BalChart::minimumSizeHint() const
{
    const int u = fontMetrics().height();
    return {u * 22, u * 13};
}

void BalChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    paint(painter, rect(), m_report, true, palette());
}

QPalette BalChart::printPalette()
{
    QPalette palette(Qt::black, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    return palette;
}

BalChart::Colours BalChart::colours(const QPalette &palette)
{
    Colours c;
    c.base = palette.color(QPalette::Base);
    c.text = palette.color(QPalette::Text);
    c.grid = blend(c.base, c.text, 0.15);
    const bool dark = c.base.lightnessF() < 0.5;
    c.curve = dark ? QColor(0x5f, 0xc8, 0xdc) : QColor(0x17, 0x5e, 0x6e);
    c.target = dark ? QColor(0xff, 0xa8, 0x4d) : QColor(0xb3, 0x59, 0x00);
    c.release = dark ? QColor(0x86, 0xd6, 0x8a) : QColor(0x2e, 0x7d, 0x32);
    c.reading = dark ? QColor(0xff, 0x8a, 0xc4) : QColor(0xad, 0x14, 0x57);
    c.booster = dark ? QColor(0xc3, 0xa6, 0xff) : QColor(0x5e, 0x35, 0xb1);
    c.drinking = blend(c.base, c.text, 0.07);
    c.band = blend(c.base, c.curve, dark ? 0.22 : 0.18);
    c.personal = dark ? QColor(0x64, 0xb5, 0xf6) : QColor(0x15, 0x65, 0xc0);
    c.personalBand = blend(c.base, c.personal, dark ? 0.3 : 0.22);
    return c;
}

QList<BalChartLabel> BalChart::paint(QPainter &painter, const QRectF &area,
                                     const SessionReport &report, bool showNow,
                                     const QPalette &palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QList<BalChartLabel> labels = paintBalChart(painter, area, report, showNow, colours(palette));
    painter.restore();
    return labels;
}
