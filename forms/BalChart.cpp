#include "forms/BalChart.h"

#include "calc/NumberText.h"
#include "forms/ClockText.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QColor CurveColour(0x17, 0x5e, 0x6e);
const QColor TargetColour(0xb3, 0x59, 0x00);
const QColor ReleaseColour(0x2e, 0x7d, 0x32);
const QColor GridColour(0xdd, 0xdd, 0xdd);

// The smallest of 1, 2 or 5 times a power of ten that is at least `rough`.
double niceStep(double rough)
{
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

int decimalsOf(double step)
{
    return std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
}

// Minutes between clock ticks: the first that leaves room for every label; whole days beyond.
qint64 clockStep(double spanMinutes, int labelsThatFit)
{
    static constexpr std::array<qint64, 12> steps = {5,   10,  15,  30,  60,   120,
                                                     180, 240, 360, 720, 1440, 2880};
    for (qint64 step : steps) {
        if (spanMinutes / double(step) <= labelsThatFit)
            return step;
    }
    return qint64(niceStep(spanMinutes / labelsThatFit / 1440)) * 1440;
}

// Maps hours after the start and BAL onto the plot rectangle.
struct Scale {
    QRectF plot;
    double hours;
    double bal;
    QPointF at(double h, double level) const
    {
        return {plot.left() + plot.width() * h / hours,
                plot.bottom() - plot.height() * level / bal};
    }
};

// A level across the plot, labelled in the margin to its right at `labelY`, where the curve
// never runs.
void levelLine(QPainter &painter, const Scale &scale, double level, const QColor &colour,
               Qt::PenStyle style, double width, const QString &label, double labelY)
{
    const double y = scale.at(0, level).y();
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(scale.plot.left(), y), QPointF(scale.plot.right(), y));
    const double u = QFontMetricsF(painter.font(), painter.device()).height();
    painter.setPen(colour);
    painter.drawText(QRectF(scale.plot.right() + u * 0.3, labelY - u / 2, u * 20, u),
                     Qt::AlignLeft | Qt::AlignVCenter, label);
}

} // namespace

BalChart::BalChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picChart"));
    setAccessibleName(QStringLiteral("Expected BAL against clock time"));
}

void BalChart::setData(const BalChartData &data)
{
    m_data = data;
    setAccessibleName(QStringLiteral("Expected %1 against clock time").arg(data.level.levelName()));
    update();
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
    paint(painter, rect(), m_data);
}

void BalChart::paint(QPainter &painter, const QRectF &area, const BalChartData &data)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double u = metrics.height();
    const double thin = u * 0.07;
    const QLocale locale;

    if (!data.plan.ok()) {
        painter.setPen(QPen(Qt::darkGray, thin));
        painter.drawRect(area.adjusted(thin, thin, -thin, -thin));
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No plan"));
        painter.restore();
        return;
    }
    const SessionPlan &plan = data.plan;
    // Every level in the lab's unit.
    const LevelScale &unit = data.level;
    const double peakLevel = unit.fromBal(plan.peakBal);
    const double targetLevel = unit.fromBal(data.targetBal);
    const double releaseLevel = unit.fromBal(data.releaseLevel);

    // Vertical: from 0 to a round level above the peak and both marked levels.
    const double highest = std::max({peakLevel, targetLevel, releaseLevel});
    const double balStep = niceStep(highest * 1.15 / 5);
    const double balTop = std::ceil(highest * 1.15 / balStep) * balStep;
    const int balDecimals = decimalsOf(balStep);
    double labelWidth = 0;
    for (double level = 0; level <= balTop + balStep / 2; level += balStep)
        labelWidth = std::max(labelWidth,
                              metrics.horizontalAdvance(locale.toString(level, 'f', balDecimals)));

    // Horizontal: clock time from the start to just past the expected zero, leaving room on the
    // right for the labels of the two levels.
    const QString clockFormat = hoursAndMinutesFormat(locale);
    const double clockWidth =
        metrics.horizontalAdvance(locale.toString(QTime(23, 59), clockFormat));
    const QString targetLabel =
        QStringLiteral("Target %1")
            .arg(SingleToText(unit.shownLevel(float(data.targetBal)), locale));
    const QString releaseLabel =
        QStringLiteral("Release %1")
            .arg(SingleToText(unit.shownLevel(float(data.releaseLevel)), locale));
    const double levelsWidth = std::max({metrics.horizontalAdvance(targetLabel),
                                         metrics.horizontalAdvance(releaseLabel), clockWidth / 2});
    const QRectF plot(area.left() + labelWidth + u * 0.8, area.top() + u * 1.6,
                      area.width() - labelWidth - u * 0.8 - levelsWidth - u * 0.6,
                      area.height() - u * 1.6 - u * 2.8);
    if (plot.width() <= u || plot.height() <= u) {
        painter.restore();
        return;
    }
    const Scale scale{plot, plan.zeroHours * 1.04, balTop};
    const double spanMinutes = scale.hours * 60;
    const qint64 step = clockStep(spanMinutes, std::max(1, int(plot.width() / (clockWidth * 1.5))));

    // Grid and the BAL axis.
    painter.setPen(QPen(GridColour, thin));
    for (double level = balStep; level <= balTop + balStep / 2; level += balStep)
        painter.drawLine(scale.at(0, level), scale.at(scale.hours, level));
    painter.setPen(QPen(Qt::black, thin));
    for (double level = 0; level <= balTop + balStep / 2; level += balStep) {
        const QPointF tick = scale.at(0, level);
        painter.drawLine(tick, tick - QPointF(u * 0.3, 0));
        painter.drawText(QRectF(area.left(), tick.y() - u / 2, labelWidth, u),
                         Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(level, 'f', balDecimals));
    }
    painter.drawText(QRectF(area.left(), area.top(), area.width(), u * 1.2),
                     Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("%1 (%2)").arg(unit.levelName(), unit.unitText()));

    // The clock axis: ticks on whole steps of the clock, not of the minutes since the start.
    const qint64 startMinute = data.start.msecsSinceStartOfDay() / 60000;
    for (qint64 minute = (step - startMinute % step) % step; minute <= spanMinutes;
         minute += step) {
        const QPointF tick = scale.at(minute / 60.0, 0);
        painter.drawLine(tick, tick + QPointF(0, u * 0.3));
        const QTime clock = QTime(0, 0).addSecs(int((startMinute + minute) % 1440) * 60);
        painter.drawText(QRectF(tick.x() - clockWidth, tick.y() + u * 0.35, clockWidth * 2, u),
                         Qt::AlignHCenter | Qt::AlignTop, locale.toString(clock, clockFormat));
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRectF(plot.left(), area.bottom() - u * 1.25, plot.width(), u * 1.2),
                     Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Clock time"));

    // The two levels; labels that would touch are moved apart, the higher level's upwards.
    double targetY = scale.at(0, targetLevel).y();
    double releaseY = scale.at(0, releaseLevel).y();
    const double apart = u * 1.05 - std::abs(targetY - releaseY);
    if (apart > 0) {
        const double direction = targetLevel >= releaseLevel ? 1 : -1;
        targetY -= direction * apart / 2;
        releaseY += direction * apart / 2;
    }
    levelLine(painter, scale, targetLevel, TargetColour, Qt::DashLine, u * 0.1, targetLabel,
              targetY);
    levelLine(painter, scale, releaseLevel, ReleaseColour, Qt::DotLine, u * 0.12, releaseLabel,
              releaseY);
    if (plan.releaseHours > 0) {
        painter.setPen(QPen(ReleaseColour, u * 0.08, Qt::DotLine));
        painter.drawLine(scale.at(plan.releaseHours, 0), scale.at(plan.releaseHours, releaseLevel));
    }

    // The curve: a straight rise to the peak, then the steady fall to zero.
    QPainterPath curve(scale.at(0, 0));
    curve.lineTo(scale.at(plan.peakHours, peakLevel));
    curve.lineTo(scale.at(plan.zeroHours, 0));
    QPen curvePen(CurveColour, u * 0.2);
    curvePen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(curvePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    const QPointF peak = scale.at(plan.peakHours, peakLevel);
    painter.setBrush(CurveColour);
    painter.drawEllipse(peak, u * 0.15, u * 0.15);
    painter.setPen(CurveColour);
    painter.drawText(QRectF(peak.x() + u * 0.4, peak.y() - u * 1.2, plot.right() - peak.x(), u),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Peak %1").arg(unit.isDefault()
                                                       ? locale.toString(plan.peakBal, 'f', 4)
                                                       : locale.toString(peakLevel, 'g', 4)));
    painter.restore();
}
