#include "forms/BalChart.h"

#include "calc/ClockText.h"
#include "calc/DosingModel.h"
#include "calc/NumberText.h"
#include "calc/SessionText.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// `a` with `share` of `b` mixed in.
QColor blend(const QColor &a, const QColor &b, double share)
{
    const auto mix = [share](double x, double y) { return int(std::lround(x + (y - x) * share)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

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

// Maps hours after the start and levels onto the plot rectangle; the time axis may begin before
// the start, at a baseline reading.
struct Scale {
    QRectF plot;
    double firstHours;
    double hours; // the span from firstHours
    double bal;
    QPointF at(double h, double level) const
    {
        return {plot.left() + plot.width() * (h - firstHours) / hours,
                plot.bottom() - plot.height() * level / bal};
    }
    bool shows(double h) const { return h >= firstHours && h <= firstHours + hours; }
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

void BalChart::setReport(const SessionReport &report)
{
    m_report = report;
    setAccessibleName(
        QStringLiteral("Expected %1 against clock time").arg(report.setup.input.level.levelName()));
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
    c.drinking = blend(c.base, c.curve, 0.12);
    return c;
}

void BalChart::paint(QPainter &painter, const QRectF &area, const SessionReport &report,
                     bool showNow, const QPalette &palette)
{
    const Colours colour = colours(palette);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, colour.base);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double u = metrics.height();
    const double thin = u * 0.07;
    const QLocale locale;

    if (!report.hasPlan()) {
        painter.setPen(QPen(colour.grid, thin));
        painter.drawRect(area.adjusted(thin, thin, -thin, -thin));
        painter.setPen(colour.text);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No plan"));
        painter.restore();
        return;
    }
    const SessionPlan &plan = *report.dose.plan;
    const bool curve = report.expected.has_value();
    // Every level in the lab's unit.
    const LevelScale &unit = report.setup.input.level;
    const double peakLevel = unit.fromBal(plan.peakBal);
    const double targetLevel = unit.fromBal(report.dose.dose.state.BAL);
    const double releaseLevel = unit.fromBal(report.releaseBal);

    // Readings the chart can place: a damaged level would make the scale infinite.
    struct Point {
        int atMinute;
        double level;
    };
    QList<Point> readings;
    for (const ReadingLine &reading : report.readings) {
        if (!reading.voided && std::isfinite(reading.level))
            readings.append({reading.atMinute, reading.level});
    }

    // The course the session expects, as the report gives it; after a booster it follows the
    // booster's course from the reading it starts from.
    QList<QPointF> course; // hours, level
    if (curve) {
        for (const QPointF &point : report.expected->points())
            course << QPointF(point.x(), unit.fromBal(point.y()));
    }
    const double nowHours = report.nowMinute / 60.0;

    // Vertical: from 0 to a round level above the peak, both marked levels, the readings and
    // the booster.
    double highest = std::max({curve ? peakLevel : 0.0, targetLevel, releaseLevel});
    for (const Point &reading : readings)
        highest = std::max(highest, reading.level);
    for (const QPointF &point : course)
        highest = std::max(highest, point.y());
    const double balStep = niceStep(highest * 1.15 / 5);
    const double balTop = std::ceil(highest * 1.15 / balStep) * balStep;
    const int balDecimals = decimalsOf(balStep);
    double labelWidth = 0;
    for (double level = 0; level <= balTop + balStep / 2; level += balStep)
        labelWidth = std::max(labelWidth,
                              metrics.horizontalAdvance(locale.toString(level, 'f', balDecimals)));

    // Horizontal: from the start, or a baseline reading before it, to just past the last thing
    // drawn. A now line far beyond the session would squeeze the whole plan into a corner, so
    // it only widens the span by a day at most.
    double firstHours = 0;
    double lastHours = plan.zeroHours;
    if (!readings.isEmpty()) {
        firstHours = std::min(firstHours, readings.first().atMinute / 60.0);
        lastHours = std::max(lastHours, readings.last().atMinute / 60.0);
    }
    if (!course.isEmpty())
        lastHours = std::max(lastHours, course.last().x());
    if (showNow && nowHours <= lastHours + 24 && nowHours >= firstHours)
        lastHours = std::max(lastHours, nowHours);
    const double spanHours = (lastHours - firstHours) * 1.04;

    // Room on the right for the labels of the two levels.
    const QString clockFormat = hoursAndMinutesFormat(locale);
    const double clockWidth =
        metrics.horizontalAdvance(locale.toString(QTime(23, 59), clockFormat));
    const QString targetLabel =
        QStringLiteral("Target %1")
            .arg(SingleToText(unit.shownLevel(report.dose.dose.state.BAL), locale));
    const QString releaseLabel =
        QStringLiteral("Release %1").arg(SingleToText(unit.shownLevel(report.releaseBal), locale));
    const double levelsWidth = std::max({metrics.horizontalAdvance(targetLabel),
                                         metrics.horizontalAdvance(releaseLabel), clockWidth / 2});
    // Below the plot: the clock, the session's times, and the axis caption.
    const QRectF plot(area.left() + labelWidth + u * 0.8, area.top() + u * 1.6,
                      area.width() - labelWidth - u * 0.8 - levelsWidth - u * 0.6,
                      area.height() - u * 1.6 - u * 3.9);
    if (plot.width() <= u || plot.height() <= u) {
        painter.restore();
        return;
    }
    const Scale scale{plot, firstHours, spanHours, balTop};
    const double spanMinutes = spanHours * 60;
    const qint64 step = clockStep(spanMinutes, std::max(1, int(plot.width() / (clockWidth * 1.5))));
    const double drinkingHours =
        std::max(0.0, plan.peakHours - DosingModel::AbsorptionAllowanceHours);

    // The drinking period, lightly shaded behind everything else.
    const QPointF drinkingStart = scale.at(0, balTop);
    const QPointF drinkingEnd = scale.at(std::min(drinkingHours, firstHours + spanHours), 0);
    painter.fillRect(QRectF(drinkingStart, drinkingEnd), colour.drinking);
    const QString drinkingLabel = QStringLiteral("Drinking");
    if (drinkingEnd.x() - drinkingStart.x() > metrics.horizontalAdvance(drinkingLabel) + u * 0.4) {
        painter.setPen(colour.text);
        painter.drawText(
            QRectF(drinkingStart.x(), plot.top() + u * 0.1, drinkingEnd.x() - drinkingStart.x(), u),
            Qt::AlignHCenter | Qt::AlignTop, drinkingLabel);
    }

    // Grid and the level axis.
    painter.setPen(QPen(colour.grid, thin));
    for (double level = balStep; level <= balTop + balStep / 2; level += balStep)
        painter.drawLine(QPointF(plot.left(), scale.at(0, level).y()),
                         QPointF(plot.right(), scale.at(0, level).y()));
    painter.setPen(QPen(colour.text, thin));
    for (double level = 0; level <= balTop + balStep / 2; level += balStep) {
        const QPointF tick(plot.left(), scale.at(0, level).y());
        painter.drawLine(tick, tick - QPointF(u * 0.3, 0));
        painter.drawText(QRectF(area.left(), tick.y() - u / 2, labelWidth, u),
                         Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(level, 'f', balDecimals));
    }
    const QString axisTitle = QStringLiteral("%1 (%2)").arg(unit.levelName(), unit.unitText());
    painter.drawText(QRectF(area.left(), area.top(), area.width(), u * 1.2),
                     Qt::AlignLeft | Qt::AlignTop, axisTitle);

    // The clock axis: ticks on whole steps of the clock, not of the minutes since the start.
    const qint64 startMinute = report.start.time().msecsSinceStartOfDay() / 60000;
    const qint64 firstMinute = qint64(std::ceil(firstHours * 60));
    const auto modulo = [](qint64 a, qint64 b) { return ((a % b) + b) % b; };
    for (qint64 minute = firstMinute + modulo(-(startMinute + firstMinute), step);
         minute <= firstMinute + spanMinutes; minute += step) {
        const QPointF tick = scale.at(minute / 60.0, 0);
        painter.drawLine(tick, tick + QPointF(0, u * 0.3));
        const QTime clock = QTime(0, 0).addSecs(int(modulo(startMinute + minute, 1440)) * 60);
        painter.drawText(QRectF(tick.x() - clockWidth, tick.y() + u * 0.35, clockWidth * 2, u),
                         Qt::AlignHCenter | Qt::AlignTop, locale.toString(clock, clockFormat));
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRectF(plot.left(), area.bottom() - u * 1.25, plot.width(), u * 1.2),
                     Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Clock time"));

    // The session's times below the clock, each at its own time; one that would overlap a
    // label already placed is left out, the earlier ones first.
    QList<std::pair<double, double>> taken;
    const auto timeLabel = [&](double hours, const QString &label, const QColor &labelColour) {
        if (!scale.shows(hours))
            return;
        const double x = scale.at(hours, 0).x();
        const double width = metrics.horizontalAdvance(label) + u * 0.3;
        const double left = std::max(area.left(), std::min(x - width / 2, area.right() - width));
        for (const auto &[otherLeft, otherRight] : taken) {
            if (left < otherRight && left + width > otherLeft)
                return;
        }
        taken.append({left, left + width});
        painter.setPen(QPen(labelColour, thin * 1.5));
        painter.drawLine(QPointF(x, plot.bottom() + u * 1.35), QPointF(x, plot.bottom() + u * 1.5));
        painter.drawText(QRectF(left, plot.bottom() + u * 1.45, width, u), Qt::AlignCenter, label);
    };
    timeLabel(0, QStringLiteral("Start"), colour.text);
    if (curve && plan.releaseHours > 0)
        timeLabel(plan.releaseHours, QStringLiteral("Release"), colour.release);
    if (curve)
        timeLabel(plan.zeroHours, QStringLiteral("Zero"), colour.curve);

    // The two levels; labels that would touch are moved apart, the higher level's upwards.
    double targetY = scale.at(0, targetLevel).y();
    double releaseY = scale.at(0, releaseLevel).y();
    const double apart = u * 1.05 - std::abs(targetY - releaseY);
    if (apart > 0) {
        const double direction = targetLevel >= releaseLevel ? 1 : -1;
        targetY -= direction * apart / 2;
        releaseY += direction * apart / 2;
    }
    levelLine(painter, scale, targetLevel, colour.target, Qt::DashLine, u * 0.1, targetLabel,
              targetY);
    levelLine(painter, scale, releaseLevel, colour.release, Qt::DotLine, u * 0.12, releaseLabel,
              releaseY);

    if (curve) {
        if (plan.releaseHours > 0) {
            painter.setPen(QPen(colour.release, u * 0.08, Qt::DotLine));
            painter.drawLine(scale.at(plan.releaseHours, 0),
                             scale.at(plan.releaseHours, releaseLevel));
        }
        // The course: a straight rise to the peak, then the steady fall to zero, and after a
        // booster its course from the reading it starts from.
        QPainterPath path(scale.at(course[0].x(), course[0].y()));
        for (qsizetype i = 1; i < course.size(); ++i)
            path.lineTo(scale.at(course[i].x(), course[i].y()));
        QPen curvePen(colour.curve, u * 0.2);
        curvePen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(curvePen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        const QPointF peak = scale.at(plan.peakHours, peakLevel);
        painter.setBrush(colour.curve);
        painter.drawEllipse(peak, u * 0.15, u * 0.15);
        painter.setPen(colour.curve);
        painter.drawText(QRectF(peak.x() + u * 0.4, peak.y() - u * 1.2, plot.right() - peak.x(), u),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Peak %1").arg(unit.isDefault()
                                                           ? locale.toString(plan.peakBal, 'f', 4)
                                                           : locale.toString(peakLevel, 'g', 4)));
    } else {
        // Beside the axis title, clear of the readings; inside the plot if the row is too
        // narrow for both.
        const QString note = SessionText::placeboNote();
        painter.setPen(colour.text);
        if (metrics.horizontalAdvance(axisTitle) + metrics.horizontalAdvance(note) + u <
            plot.right() - area.left())
            painter.drawText(QRectF(area.left(), area.top(), plot.right() - area.left(), u * 1.2),
                             Qt::AlignRight | Qt::AlignTop, note);
        else
            painter.drawText(plot.adjusted(u * 0.5, u * 1.3, -u * 0.5, 0),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, note);
    }

    if (curve && report.expected->booster) {
        const BoosterCourse &booster = *report.expected->booster;
        const QPointF top =
            scale.at(booster.peakAtMinute() / 60.0, unit.fromBal(booster.peakBal()));
        painter.setPen(colour.booster);
        painter.drawText(QRectF(top.x() - u * 5, top.y() - u * 1.2, u * 10, u), Qt::AlignCenter,
                         QStringLiteral("Booster"));
    }

    // The readings over the curve: joined faintly, each a filled circle with an outline.
    if (!readings.isEmpty()) {
        QColor join = colour.reading;
        join.setAlphaF(0.5);
        painter.setPen(QPen(join, thin));
        painter.setBrush(Qt::NoBrush);
        QPainterPath path(scale.at(readings[0].atMinute / 60.0, readings[0].level));
        for (const Point &reading : readings)
            path.lineTo(scale.at(reading.atMinute / 60.0, reading.level));
        painter.drawPath(path);
        painter.setPen(QPen(colour.text, thin));
        painter.setBrush(colour.reading);
        for (const Point &reading : readings)
            painter.drawEllipse(scale.at(reading.atMinute / 60.0, reading.level), u * 0.25,
                                u * 0.25);
    }

    // The portions on the time axis, over the curve that starts there: an open mark at the planned
    // minute, a filled one where it was served.
    // Marks as wide as the gap between portions, so that many quick ones stay apart.
    double mark = u * 0.45;
    for (qsizetype i = 1; i < plan.portions.size(); ++i)
        mark = std::min(mark, (plan.portions[i].atMinute - plan.portions[i - 1].atMinute) / 60.0 *
                                  plot.width() / spanHours * 0.8);
    mark = std::max(mark, u * 0.25);
    const auto portionMark = [&](int minute, bool served) {
        if (!scale.shows(minute / 60.0))
            return;
        const QPointF at = scale.at(minute / 60.0, 0);
        const QPointF triangle[3] = {at + QPointF(-mark / 2, -thin), at + QPointF(mark / 2, -thin),
                                     at + QPointF(0, -mark)};
        painter.setPen(QPen(colour.text, thin * 1.5));
        painter.setBrush(served ? QBrush(colour.text) : QBrush(colour.base));
        painter.drawPolygon(triangle, 3);
    };
    for (const ServedPortion &portion : plan.portions)
        portionMark(portion.atMinute, false);
    for (const PortionLine &portion : report.portions) {
        if (const std::optional<ServedMark> served = portion.served())
            portionMark(served->atMinute, true);
    }

    // Now, across the plot, labelled at its top on the side with room.
    if (showNow && scale.shows(nowHours)) {
        const double x = scale.at(nowHours, 0).x();
        painter.setPen(QPen(colour.text, u * 0.08));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const QString label = QStringLiteral("Now");
        const double width = metrics.horizontalAdvance(label) + u * 0.4;
        const double left = x + width <= plot.right() ? x : x - width;
        painter.drawText(QRectF(left, plot.top(), width, u), Qt::AlignCenter, label);
    }
    painter.restore();
}
