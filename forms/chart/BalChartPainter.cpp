#include "forms/chart/BalChartPainter.h"

#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionText.h"
#include "forms/chart/BalChartData.h"
#include "forms/chart/BalChartLabels.h"
#include "forms/common/AxisSteps.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Minutes between clock ticks: the first that leaves room for every label; whole days beyond.
qint64 clockStep(double spanMinutes, int labelsThatFit)
{
    static constexpr std::array<qint64, 12> steps = {5,   10,  15,  30,  60,   120,
                                                     180, 240, 360, 720, 1440, 2880};
    for (qint64 step : steps) {
        if (spanMinutes / double(step) <= labelsThatFit)
            return step;
    }
    return std::max<qint64>(2, qint64(AxisSteps::roundStep(spanMinutes / labelsThatFit / 1440))) *
           1440;
}

// Maps hours after the start and levels onto the plot rectangle.
struct Scale {
    QRectF plot;
    double firstHours = 0;
    double hours = 1; // the span from firstHours
    double top = 1;

    double x(double h) const { return plot.left() + plot.width() * (h - firstHours) / hours; }
    double y(double level) const { return plot.bottom() - plot.height() * level / top; }
    QPointF at(const QPointF &point) const { return {x(point.x()), y(point.y())}; }
};

// Paints one chart: lays it out, draws its shading, lines and marks, then places and draws its
// labels.
class ChartPainter {
public:
    ChartPainter(QPainter &painter, const QRectF &area, const SessionReport &report, bool showNow,
                 const BalChartColours &colours)
        : m_painter(painter), m_area(area), m_report(report), m_data(balChartData(report, showNow)),
          m_colour(colours), m_metrics(painter.font(), painter.device()), m_u(m_metrics.height()),
          m_thin(m_u * 0.07), m_clockFormat(hoursAndMinutesFormat(m_locale)),
          m_clockWidth(
              m_metrics.horizontalAdvance(m_locale.toString(QTime(23, 59), m_clockFormat))),
          m_labels(m_u * 0.1)
    {
    }

    QList<BalChartLabel> paint()
    {
        m_painter.fillRect(m_area, m_colour.base);
        if (!m_report.hasPlan()) {
            noPlan();
            return m_labels.labels();
        }
        if (!layOut())
            return {};
        shadeDrinking();
        shadeBand();
        shadePersonal();
        drawGrid();
        drawLevelLines();
        drawCourse();
        drawPersonal();
        drawLegend();
        drawReadings();
        drawPortions();
        drawNow();
        drawAxes();
        placeTimes();
        placeLevelLabels();
        placePlotLabels();
        drawLabels();
        return m_labels.labels();
    }

private:
    QPainter &m_painter;
    const QRectF m_area;
    const SessionReport &m_report;
    const BalChartData m_data;
    const BalChartColours m_colour;
    const QFontMetricsF m_metrics;
    const double m_u; // a line of text: every size follows it
    const double m_thin;
    const QLocale m_locale;
    const QString m_clockFormat;
    const double m_clockWidth;
    BalChartLabels m_labels;
    Scale m_scale;
    QRectF m_plot;
    double m_clockTop = 0; // the clock's labels below the plot
    QList<int> m_timeRows; // the row of each of the session's times
    double m_levelStep = 1;
    qint64 m_clockStep = 60;
    // The legend's samples, each left of its text: a line, a shade, or a shade with a line on it.
    enum class Sample { Line, Shade, ShadeAndLine };
    struct LegendSample {
        QRectF rect;
        Sample sample;
        QColor line;
        QColor shade;
    };
    QList<LegendSample> m_legend;

    const LevelScale &unit() const { return m_report.setup.input.level; }
    double width(const QString &text) const { return m_metrics.horizontalAdvance(text); }
    QRectF textRect(const QString &text, const QPointF &topLeft) const
    {
        return {topLeft, QSizeF(width(text), m_u)};
    }
    BalChartLabel label(const QString &text, const QColor &colour) const
    {
        return {text, {}, colour};
    }
    void addLabel(const QString &text, const QRectF &rect, const QColor &colour)
    {
        m_labels.add({text, rect, colour});
    }

    void noPlan()
    {
        m_painter.setPen(QPen(m_colour.grid, m_thin));
        m_painter.drawRect(m_area.adjusted(m_thin, m_thin, -m_thin, -m_thin));
        const QString text = QStringLiteral("No plan");
        addLabel(
            text,
            QRectF(m_area.center() - QPointF(width(text) / 2, m_u / 2), QSizeF(width(text), m_u)),
            m_colour.text);
        drawLabels();
    }

    QString targetText() const
    {
        return QStringLiteral("Target %1")
            .arg(SingleToText(unit().shownLevel(m_report.dose.dose.state.BAL), m_locale));
    }
    QString releaseText() const
    {
        return QStringLiteral("Release %1")
            .arg(SingleToText(unit().shownLevel(m_report.releaseBal), m_locale));
    }

    // The session's times below the clock: the start, and with a course its release and zero.
    QList<std::tuple<double, QString, QColor>> times() const
    {
        QList<std::tuple<double, QString, QColor>> times{
            {0, QStringLiteral("Start"), m_colour.text}};
        if (m_data.releaseHours)
            times.append({*m_data.releaseHours, QStringLiteral("Release"), m_colour.release});
        if (m_data.zeroHours)
            times.append({*m_data.zeroHours, QStringLiteral("Zero"), m_colour.curve});
        return times;
    }

    // What the legend names: the expected course, the band and the personal forecast, each that
    // is drawn.
    QList<std::pair<QString, LegendSample>> legendEntries() const
    {
        QList<std::pair<QString, LegendSample>> entries{
            {QStringLiteral("Expected course"), {{}, Sample::Line, m_colour.curve, {}}}};
        if (m_report.band)
            entries.append(
                {QStringLiteral("%1 % band").arg(m_locale.toString(BandSpreads::Percent)),
                 {{}, Sample::Shade, {}, m_colour.band}});
        if (m_report.personal)
            entries.append({QStringLiteral("Personal forecast"),
                            {{}, Sample::ShadeAndLine, m_colour.personal, m_colour.personalBand}});
        return entries;
    }

    // The legend from `left` on the row at `top`, each entry a sample and its name, on as many
    // rows as it takes; returns the bottom of the last.
    double placeLegend(double left, double top)
    {
        const double sampleWidth = m_u;
        const double apart = m_u * 0.8;
        double x = left;
        for (auto [text, sample] : legendEntries()) {
            const double w = sampleWidth + m_u * 0.25 + width(text);
            if (x > m_area.left() && x + w > m_area.right()) {
                x = m_area.left();
                top += m_u * 1.15;
            }
            sample.rect = QRectF(x, top + m_u * 0.2, sampleWidth, m_u * 0.6);
            m_legend.append(sample);
            addLabel(text, textRect(text, {x + sampleWidth + m_u * 0.25, top}), m_colour.text);
            x += w + apart;
        }
        return top + m_u;
    }

    // The title above the plot, with the legend beside it or, for a placebo, its note; each
    // below the title when the row is too narrow. Returns the bottom of what they take.
    double placeHeader()
    {
        const QString title = QStringLiteral("%1 (%2)").arg(unit().levelName(), unit().unitText());
        addLabel(title, textRect(title, m_area.topLeft()), m_colour.text);
        double bottom = m_area.top() + m_u;
        if (m_report.expected)
            return placeLegend(m_area.left() + width(title) + m_u, m_area.top());
        const QString note = SessionText::placeboNote();
        if (width(title) + m_u + width(note) <= m_area.width()) {
            addLabel(note, textRect(note, {m_area.right() - width(note), m_area.top()}),
                     m_colour.text);
            return bottom;
        }
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QRectF rect = m_metrics.boundingRect(
            QRectF(m_area.left(), bottom, m_area.width(), m_area.height()), flags, note);
        m_labels.add({note, rect, m_colour.text, flags});
        return rect.bottom();
    }

    // The rows of the session's times, each as low as it needs to be to stay clear of those
    // before it; returns how many rows they take.
    int timeRows(QList<int> &rows) const
    {
        QList<QRectF> taken;
        int count = 1;
        for (const auto &[hours, text, colour] : times()) {
            const QRectF rect = timeRect(hours, text, 0);
            int row = 0;
            const auto clash = [&](int r) {
                for (qsizetype i = 0; i < taken.size(); ++i) {
                    if (rows[i] == r &&
                        rect.adjusted(-m_u * 0.3, 0, m_u * 0.3, 0).intersects(taken[i]))
                        return true;
                }
                return false;
            };
            while (clash(row))
                ++row;
            rows.append(row);
            taken.append(rect);
            count = std::max(count, row + 1);
        }
        return count;
    }
    double rowHeight() const { return m_u * 1.15; }
    // A session's time's label in `row`: centred under its time, inside the chart.
    QRectF timeRect(double hours, const QString &text, int row) const
    {
        const double w = width(text);
        const double left = std::clamp(m_scale.x(hours) - w / 2, m_area.left(), m_area.right() - w);
        return {left, m_clockTop + m_u * 1.15 + row * rowHeight(), w, m_u};
    }

    // Margins for the labels: levels on the left, the target's and release's on the right, the
    // clock and the session's times below. False when the plot would be too small to draw.
    bool layOut()
    {
        const double headerBottom = placeHeader();
        const int decimals = AxisSteps::decimalsOf(AxisSteps::roundStep(m_data.topLevel / 6));
        const double levelWidth =
            std::max(width(m_locale.toString(0.0, 'f', decimals)),
                     width(m_locale.toString(m_data.topLevel, 'f', decimals)));
        const double left = std::max(levelWidth + m_u * 0.8, m_clockWidth / 2 + m_u * 0.2);
        const double right =
            std::max(std::max(width(targetText()), width(releaseText())) + m_u * 0.5,
                     m_clockWidth / 2 + m_u * 0.2);
        m_plot = QRectF(m_area.left() + left, headerBottom + m_u * 0.7,
                        m_area.width() - left - right, 0);
        m_scale = {m_plot, m_data.firstHours, m_data.lastHours - m_data.firstHours,
                   m_data.topLevel};
        QList<int> rows;
        const double below = m_u * 0.55 + m_u * 1.15 + timeRows(rows) * rowHeight() + m_u * 1.1;
        m_plot.setBottom(m_area.bottom() - below);
        if (m_plot.width() < m_u * 3 || m_plot.height() < m_u * 2)
            return false;
        m_scale.plot = m_plot;
        m_clockTop = m_plot.bottom() + m_u * 0.55;
        const double levelTicks = std::clamp(std::floor(m_plot.height() / (m_u * 1.5)), 1.0, 6.0);
        m_levelStep = AxisSteps::roundStep(m_data.topLevel / levelTicks);
        const int clockLabels = std::max(1, int(m_plot.width() / (m_clockWidth * 1.4)));
        m_clockStep = clockStep(m_scale.hours * 60, clockLabels);

        m_timeRows = rows;
        return true;
    }

    // The session's times in their rows, each with a short mark above it at its time, and the
    // clock's caption below them.
    void placeTimes()
    {
        const QList<std::tuple<double, QString, QColor>> sessionTimes = times();
        for (qsizetype i = 0; i < sessionTimes.size(); ++i) {
            const auto &[hours, text, colour] = sessionTimes[i];
            const QRectF rect = timeRect(hours, text, m_timeRows[i]);
            const double x = std::clamp(m_scale.x(hours), rect.left(), rect.right());
            m_painter.setPen(QPen(colour, m_thin * 1.5));
            m_painter.drawLine(QPointF(x, rect.top() - m_u * 0.12), QPointF(x, rect.top()));
            addLabel(text, rect, colour);
        }
        const QString caption = QStringLiteral("Clock time");
        addLabel(
            caption,
            textRect(caption, {m_plot.center().x() - width(caption) / 2, m_area.bottom() - m_u}),
            m_colour.text);
    }

    QList<double> levelTicks() const
    {
        QList<double> ticks;
        for (int i = 0; i * m_levelStep <= m_data.topLevel * (1 + 1e-9); ++i)
            ticks << i * m_levelStep;
        return ticks;
    }

    void shadeDrinking()
    {
        for (const auto &[from, to] : m_data.drinking)
            m_painter.fillRect(QRectF(QPointF(m_scale.x(from), m_plot.top()),
                                      QPointF(m_scale.x(to), m_plot.bottom())),
                               m_colour.drinking);
    }

    void shadeBand()
    {
        if (m_data.band.size() < 3)
            return;
        QPolygonF outline;
        for (const QPointF &point : m_data.band)
            outline << m_scale.at(point);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(m_colour.band);
        m_painter.drawPolygon(outline);
        m_painter.setBrush(Qt::NoBrush);
    }

    // The personal forecast's band, in a second shade over the first.
    void shadePersonal()
    {
        if (m_data.personalBand.size() < 3)
            return;
        QPolygonF outline;
        for (const QPointF &point : m_data.personalBand)
            outline << m_scale.at(point);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(m_colour.personalBand);
        m_painter.drawPolygon(outline);
        m_painter.setBrush(Qt::NoBrush);
    }

    QPen personalPen() const
    {
        // Dashes as long as the gaps between them, through which the expected course shows where
        // they meet.
        QPen pen(m_colour.personal, m_u * 0.2);
        pen.setDashPattern({3, 3});
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    }

    // The personal forecast's course, dashed, from the observed peak on.
    void drawPersonal()
    {
        m_painter.setPen(personalPen());
        for (const QList<QPointF> &piece : m_data.personal) {
            for (qsizetype i = 1; i < piece.size(); ++i) {
                const QLineF line(m_scale.at(piece[i - 1]), m_scale.at(piece[i]));
                m_painter.drawLine(line);
                m_labels.avoid(line);
            }
        }
    }

    void drawLegend()
    {
        for (const LegendSample &sample : m_legend) {
            if (sample.sample != Sample::Line)
                m_painter.fillRect(sample.rect, sample.shade);
            if (sample.sample == Sample::Shade)
                continue;
            QPen pen = sample.sample == Sample::Line ? QPen(sample.line, m_u * 0.2) : personalPen();
            pen.setCapStyle(Qt::FlatCap);
            m_painter.setPen(pen);
            const double y = sample.rect.center().y();
            m_painter.drawLine(QPointF(sample.rect.left(), y), QPointF(sample.rect.right(), y));
        }
    }

    void drawGrid()
    {
        m_painter.setPen(QPen(m_colour.grid, m_thin));
        for (double level : levelTicks()) {
            if (level > 0)
                m_painter.drawLine(QPointF(m_plot.left(), m_scale.y(level)),
                                   QPointF(m_plot.right(), m_scale.y(level)));
        }
    }

    // The level axis and the clock axis, with their ticks and labels; the clock's ticks on whole
    // steps of the clock, not of the minutes since the start.
    void drawAxes()
    {
        m_painter.setPen(QPen(m_colour.text, m_thin));
        const int decimals = AxisSteps::decimalsOf(m_levelStep);
        for (double level : levelTicks()) {
            const QPointF tick(m_plot.left(), m_scale.y(level));
            m_painter.drawLine(tick, tick - QPointF(m_u * 0.3, 0));
            const QString text = m_locale.toString(level, 'f', decimals);
            addLabel(text,
                     textRect(text, {tick.x() - m_u * 0.45 - width(text), tick.y() - m_u / 2}),
                     m_colour.text);
        }
        const qint64 startMinute = m_report.start.time().msecsSinceStartOfDay() / 60000;
        const qint64 firstMinute = qint64(std::ceil(m_scale.firstHours * 60));
        const double lastMinute = (m_scale.firstHours + m_scale.hours) * 60;
        const auto modulo = [](qint64 a, qint64 b) { return ((a % b) + b) % b; };
        for (qint64 minute = firstMinute + modulo(-(startMinute + firstMinute), m_clockStep);
             double(minute) <= lastMinute; minute += m_clockStep) {
            const QPointF tick(m_scale.x(minute / 60.0), m_plot.bottom());
            m_painter.drawLine(tick, tick + QPointF(0, m_u * 0.3));
            const QTime clock = QTime(0, 0).addSecs(int(modulo(startMinute + minute, 1440)) * 60);
            const QString text = m_locale.toString(clock, m_clockFormat);
            addLabel(text, textRect(text, {tick.x() - width(text) / 2, m_clockTop}), m_colour.text);
        }
        m_painter.drawLine(m_plot.bottomLeft(), m_plot.bottomRight());
        m_painter.drawLine(m_plot.bottomLeft(), m_plot.topLeft());
    }

    void drawLevelLines()
    {
        const auto across = [this](double level, const QColor &colour, Qt::PenStyle style,
                                   double penWidth) {
            QPen pen(colour, penWidth, style);
            pen.setCapStyle(Qt::FlatCap);
            m_painter.setPen(pen);
            const QLineF line(m_plot.left(), m_scale.y(level), m_plot.right(), m_scale.y(level));
            m_painter.drawLine(line);
            m_labels.avoid(line);
        };
        across(m_data.targetLevel, m_colour.target, Qt::DashLine, m_u * 0.1);
        across(m_data.releaseLevel, m_colour.release, Qt::DotLine, m_u * 0.12);
        if (m_data.releaseHours) {
            m_painter.setPen(QPen(m_colour.release, m_u * 0.08, Qt::DotLine));
            m_painter.drawLine(m_scale.at({*m_data.releaseHours, 0}),
                               m_scale.at({*m_data.releaseHours, m_data.releaseLevel}));
        }
    }

    // The course: a straight rise to the peak, then the steady fall to zero, and after a
    // booster its course from the reading it starts from.
    void drawCourse()
    {
        QPen pen(m_colour.curve, m_u * 0.2);
        pen.setJoinStyle(Qt::RoundJoin);
        for (const QList<QPointF> &piece : m_data.course) {
            QPainterPath path(m_scale.at(piece.first()));
            for (qsizetype i = 1; i < piece.size(); ++i) {
                path.lineTo(m_scale.at(piece[i]));
                m_labels.avoid(QLineF(m_scale.at(piece[i - 1]), m_scale.at(piece[i])));
            }
            m_painter.strokePath(path, pen);
        }
        if (m_data.peak)
            drawDot(*m_data.peak, m_colour.curve);
        if (m_data.boosterPeak)
            drawDot(*m_data.boosterPeak, m_colour.booster);
    }
    void drawDot(const QPointF &point, const QColor &colour)
    {
        const double r = m_u * 0.15;
        const QPointF at = m_scale.at(point);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(colour);
        m_painter.drawEllipse(at, r, r);
        m_painter.setBrush(Qt::NoBrush);
        m_labels.avoid(QRectF(at - QPointF(r, r), QSizeF(r * 2, r * 2)));
    }

    // The readings over the curve: joined faintly, each a filled circle with an outline; one
    // above the window a triangle pointing up at the top edge.
    void drawReadings()
    {
        if (m_data.readings.isEmpty())
            return;
        QColor join = m_colour.reading;
        join.setAlphaF(0.5);
        m_painter.setPen(QPen(join, m_thin));
        QPolygonF line;
        for (const BalChartData::Reading &reading : m_data.readings)
            line << m_scale.at(reading.at);
        m_painter.drawPolyline(line);
        const double r = m_u * 0.25;
        m_painter.setPen(QPen(m_colour.text, m_thin));
        m_painter.setBrush(m_colour.reading);
        for (const BalChartData::Reading &reading : m_data.readings) {
            const QPointF at = m_scale.at(reading.at);
            if (reading.aboveTop) {
                const QPointF up[3] = {at + QPointF(-r, r * 1.6), at + QPointF(r, r * 1.6), at};
                m_painter.drawPolygon(up, 3);
            } else {
                m_painter.drawEllipse(at, r, r);
            }
            m_labels.avoid(QRectF(at - QPointF(r, r), QSizeF(r * 2, r * 2)));
        }
        m_painter.setBrush(Qt::NoBrush);
    }

    // The portions on the time axis, over the curve that starts there: an open mark at the
    // planned minute, a filled one where it was served. Marks as wide as the gap between
    // portions, so that many quick ones stay apart.
    void drawPortions()
    {
        double mark = m_u * 0.45;
        const QList<ServedPortion> &planned = m_report.dose.plan->portions;
        for (qsizetype i = 1; i < planned.size(); ++i)
            mark = std::min(mark, std::abs(m_scale.x(planned[i].atMinute / 60.0) -
                                           m_scale.x(planned[i - 1].atMinute / 60.0)) *
                                      0.8);
        mark = std::max(mark, m_u * 0.25);
        for (const BalChartData::Portion &portion : m_data.portions) {
            const QPointF at(m_scale.x(portion.hours), m_plot.bottom());
            const QPointF triangle[3] = {at + QPointF(-mark / 2, -m_thin),
                                         at + QPointF(mark / 2, -m_thin), at + QPointF(0, -mark)};
            m_painter.setPen(QPen(m_colour.text, m_thin * 1.5));
            m_painter.setBrush(portion.served ? QBrush(m_colour.text) : QBrush(m_colour.base));
            m_painter.drawPolygon(triangle, 3);
            m_labels.avoid(QRectF(at - QPointF(mark / 2, mark), QSizeF(mark, mark)));
        }
        m_painter.setBrush(Qt::NoBrush);
    }

    void drawNow()
    {
        if (!m_data.nowHours)
            return;
        const double x = m_scale.x(*m_data.nowHours);
        m_painter.setPen(QPen(m_colour.text, m_u * 0.08));
        const QLineF line(x, m_plot.top(), x, m_plot.bottom());
        m_painter.drawLine(line);
        m_labels.avoid(line);
    }

    // The target's and the release level's labels in the margin to the right of the plot, at
    // their levels; labels that would touch are moved apart, the higher level's upwards, and
    // neither leaves the plot's height.
    void placeLevelLabels()
    {
        const QString target = targetText();
        const QString release = releaseText();
        double targetY = m_scale.y(m_data.targetLevel);
        double releaseY = m_scale.y(m_data.releaseLevel);
        const double apart = m_u * 1.15;
        const bool targetAbove = targetY <= releaseY;
        double &upper = targetAbove ? targetY : releaseY;
        double &lower = targetAbove ? releaseY : targetY;
        if (lower - upper < apart) {
            const double middle = (upper + lower) / 2;
            upper = middle - apart / 2;
            lower = middle + apart / 2;
        }
        if (upper < m_plot.top()) {
            lower += m_plot.top() - upper;
            upper = m_plot.top();
        }
        if (lower > m_plot.bottom()) {
            upper -= lower - m_plot.bottom();
            lower = m_plot.bottom();
        }
        const double left = m_plot.right() + m_u * 0.3;
        addLabel(target, textRect(target, {left, targetY - m_u / 2}), m_colour.target);
        addLabel(release, textRect(release, {left, releaseY - m_u / 2}), m_colour.release);
    }

    // Places around `anchor`: above it to the right, to the left, centred, then beside and
    // below it.
    QList<QRectF> around(const QPointF &anchor, const QString &text) const
    {
        const double w = width(text);
        const double h = m_u;
        const double off = m_u * 0.4;
        return {QRectF(anchor.x() + off, anchor.y() - off - h, w, h),
                QRectF(anchor.x() - off - w, anchor.y() - off - h, w, h),
                QRectF(anchor.x() - w / 2, anchor.y() - off - h, w, h),
                QRectF(anchor.x() + off, anchor.y() - h / 2, w, h),
                QRectF(anchor.x() - off - w, anchor.y() - h / 2, w, h),
                QRectF(anchor.x() + off, anchor.y() + off, w, h),
                QRectF(anchor.x() - off - w, anchor.y() + off, w, h)};
    }

    // The labels on the plot: "Now" at the top of its line on the side with room, the peaks
    // beside their points, and "Drinking" atop its shading where it has room.
    void placePlotLabels()
    {
        const QRectF region = m_plot.adjusted(m_thin, m_thin, -m_thin, -m_thin);
        const auto onPlot = [this](const QString &text, const QColor &colour) {
            BalChartLabel placed = label(text, colour);
            placed.onPlot = true;
            return placed;
        };
        if (m_data.nowHours) {
            const QString text = QStringLiteral("Now");
            const double x = m_scale.x(*m_data.nowHours);
            const double w = width(text);
            QList<QRectF> places;
            for (double y = region.top(); y + m_u <= region.bottom(); y += m_u)
                places << QRectF(x + m_u * 0.25, y, w, m_u)
                       << QRectF(x - m_u * 0.25 - w, y, w, m_u);
            m_labels.place(onPlot(text, m_colour.text), places, region);
        }
        if (m_data.peak) {
            const QString text = QStringLiteral("Peak %1").arg(
                expectedLevelText(m_data.peak->y(), unit(), m_locale));
            m_labels.place(onPlot(text, m_colour.curve), around(m_scale.at(*m_data.peak), text),
                           region);
        }
        if (m_data.boosterPeak) {
            const QString text = QStringLiteral("Booster");
            m_labels.place(onPlot(text, m_colour.booster),
                           around(m_scale.at(*m_data.boosterPeak), text), region);
        }
        if (!m_data.drinking.isEmpty()) {
            const QString text = QStringLiteral("Drinking");
            const auto &[from, to] = m_data.drinking.first();
            const double middle = (m_scale.x(from) + m_scale.x(to)) / 2;
            const QRectF place(middle - width(text) / 2, region.top(), width(text), m_u);
            if (place.left() >= m_scale.x(from) && place.right() <= m_scale.x(to))
                m_labels.place(onPlot(text, m_colour.text), {place}, region, true);
        }
    }

    void drawLabels()
    {
        for (const BalChartLabel &label : m_labels.labels()) {
            if (label.onPlot) {
                QColor patch = m_colour.base;
                patch.setAlphaF(0.8);
                m_painter.fillRect(label.rect, patch);
            }
            m_painter.setPen(label.colour);
            m_painter.drawText(label.rect, label.flags, label.text);
        }
    }
};

} // namespace

QList<BalChartLabel> paintBalChart(QPainter &painter, const QRectF &area,
                                   const SessionReport &report, bool showNow,
                                   const BalChartColours &colours)
{
    return ChartPainter(painter, area, report, showNow, colours).paint();
}
