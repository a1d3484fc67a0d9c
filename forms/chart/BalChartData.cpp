#include "forms/chart/BalChartData.h"

#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "forms/common/AxisSteps.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

using namespace BalChartLimits;

// Far beyond any window, yet near enough that clipping a line to the window stays finite.
constexpr double Far = 1e15;
constexpr qint64 MinutesPerDay = 24 * 60;

// The window in hours and levels.
struct Box {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;

    bool contains(const QPointF &point) const
    {
        return point.x() >= left && point.x() <= right && point.y() >= bottom && point.y() <= top;
    }
};

// A point whose values are numbers, each brought within Far; none for one that is not a number.
std::optional<QPointF> bounded(double hours, double level)
{
    if (std::isnan(hours) || std::isnan(level))
        return std::nullopt;
    return QPointF(std::clamp(hours, -Far, Far), std::clamp(level, -Far, Far));
}

// The part of the line from `a` to `b` inside `box` (Liang and Barsky's clipping); none when it
// misses the box.
std::optional<std::pair<QPointF, QPointF>> clipped(const QPointF &a, const QPointF &b,
                                                   const Box &box)
{
    double from = 0;
    double to = 1;
    // Keeps the part where p * t <= q.
    const auto keep = [&from, &to](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
        return from <= to;
    };
    const QPointF d = b - a;
    if (!keep(-d.x(), a.x() - box.left) || !keep(d.x(), box.right - a.x()) ||
        !keep(-d.y(), a.y() - box.bottom) || !keep(d.y(), box.top - a.y()))
        return std::nullopt;
    return std::pair{a + d * from, a + d * to};
}

// A line cut to `box`, in pieces; `cut` tells whether anything was left out.
QList<QList<QPointF>> clippedLine(const QList<std::optional<QPointF>> &line, const Box &box,
                                  bool &cut)
{
    QList<QList<QPointF>> pieces;
    cut = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        cut = cut || !line[i] || !box.contains(*line[i]);
        if (i == 0 || !line[i] || !line[i - 1])
            continue;
        const auto part = clipped(*line[i - 1], *line[i], box);
        if (!part)
            continue;
        if (pieces.isEmpty() || pieces.last().last() != part->first)
            pieces.append({part->first});
        pieces.last().append(part->second);
    }
    return pieces;
}

// An outline cut to `box` (Sutherland and Hodgman's clipping, one edge of the box at a time).
QList<QPointF> clippedOutline(QList<QPointF> outline, const Box &box)
{
    // Each edge as: how far inside a point lies (negative outside).
    const std::array<std::function<double(const QPointF &)>, 4> inside = {
        [&box](const QPointF &p) { return p.x() - box.left; },
        [&box](const QPointF &p) { return box.right - p.x(); },
        [&box](const QPointF &p) { return p.y() - box.bottom; },
        [&box](const QPointF &p) { return box.top - p.y(); },
    };
    for (const auto &depth : inside) {
        QList<QPointF> kept;
        for (qsizetype i = 0; i < outline.size(); ++i) {
            const QPointF &a = outline[(i + outline.size() - 1) % outline.size()];
            const QPointF &b = outline[i];
            const double da = depth(a);
            const double db = depth(b);
            if ((da >= 0) != (db >= 0))
                kept.append(a + (b - a) * (da / (da - db)));
            if (db >= 0)
                kept.append(b);
        }
        outline = kept;
    }
    return outline;
}

// A round level above `highest`: a whole number of steps of about a tenth of it.
double topAbove(double highest)
{
    const double rough = highest * Headroom;
    const double step = AxisSteps::roundStep(rough / 10);
    return std::ceil(rough / step) * step;
}

class Builder {
public:
    Builder(const SessionReport &report, bool showNow)
        : m_report(report), m_unit(report.setup.input.level), m_plan(*report.dose.plan),
          m_curve(report.expected.has_value()), m_showNow(showNow)
    {
    }

    BalChartData build()
    {
        placeInTime();
        placeLevels();
        drawReadings();
        drawPortions();
        drawCourse();
        drawPersonal();
        drawDrinking();
        return m_data;
    }

private:
    const SessionReport &m_report;
    const LevelScale &m_unit;
    const SessionPlan &m_plan;
    const bool m_curve;
    const bool m_showNow;
    BalChartData m_data;
    double m_lowest = 0;  // the earliest time in reach
    double m_latest = 0;  // the latest
    double m_ceiling = 0; // the highest level a reading is drawn at
    double m_highest = 0; // the highest level drawn
    Box m_box;

    // A clock time, or how long before the start for one more than a day before it, which a
    // clock time alone would not tell.
    QString clock(qint64 minute) const
    {
        if (minute <= -MinutesPerDay)
            return QStringLiteral("%1 minutes before the start").arg(QLocale().toString(-minute));
        return clockText(m_report.start.time(), minute);
    }
    QString level(float value) const
    {
        return SingleToText(value, QLocale()) + QLatin1Char(' ') + m_unit.unitText();
    }
    bool inReach(double hours) const { return hours >= m_lowest && hours <= m_latest; }
    // The time `hours` in the window from now on, unless it is beyond reach.
    bool widen(double hours)
    {
        if (!inReach(hours))
            return false;
        m_data.firstHours = std::min(m_data.firstHours, hours);
        m_data.lastHours = std::max(m_data.lastHours, hours);
        return true;
    }
    // Counts a level into the window's height unless it lies above the readings' ceiling.
    void lift(double level)
    {
        if (level <= m_ceiling)
            m_highest = std::max(m_highest, level);
    }

    // From the start to the course's end (a placebo's drinking) or the release band's end when
    // that is later, widened by what else is drawn within reach.
    void placeInTime()
    {
        double end = m_curve ? m_plan.zeroHours : double(m_report.setup.input.state.DD) / 60;
        if (m_curve && m_report.band && m_report.band->release)
            end = std::max(end, m_report.band->release->toHours);
        for (const ServedPortion &portion : m_plan.portions)
            end = std::max(end, portion.atMinute / 60.0);
        if (!std::isfinite(end) || end < 1)
            end = 1;
        const double reach = std::max(ReachHours, end);
        m_lowest = -reach;
        m_latest = end + reach;
        m_data.firstHours = 0;
        m_data.lastHours = end;
        for (const ReadingLine &reading : m_report.readings) {
            if (!reading.voided)
                widen(reading.atMinute / 60.0);
        }
        for (const PortionLine &portion : m_report.portions) {
            widen(portion.portion.atMinute / 60.0);
            if (const std::optional<ServedMark> served = portion.served())
                widen(served->atMinute / 60.0);
        }
        // A booster's course to its end, unless that is beyond reach: then it is cut.
        if (m_curve && m_report.expected->booster)
            widen(m_report.expected->points().last().x());
        if (m_report.personal && m_report.personal->releaseToMinute)
            widen(*m_report.personal->releaseToMinute / 60.0);
        if (m_showNow && widen(m_report.nowMinute / 60.0))
            m_data.nowHours = m_report.nowMinute / 60.0;
        m_data.lastHours += (m_data.lastHours - m_data.firstHours) * 0.04;
    }

    // From 0 to a round level above the highest one drawn: the levels set and expected, and
    // readings up to a few times the highest of those.
    void placeLevels()
    {
        const auto orZero = [](double level) {
            return std::isfinite(level) && level > 0 ? level : 0.0;
        };
        m_data.targetLevel = orZero(m_unit.fromBal(double(m_report.dose.dose.state.BAL)));
        m_data.releaseLevel = orZero(m_unit.fromBal(double(m_report.releaseBal)));
        double reference = std::max(m_data.targetLevel, m_data.releaseLevel);
        if (m_curve)
            reference = std::max(reference, orZero(m_unit.fromBal(m_plan.peakBal)));
        if (reference == 0)
            reference = 1;
        m_ceiling = reference * ReadingCeiling;
        m_highest = reference;
        for (const ReadingLine &reading : m_report.readings) {
            if (!reading.voided && inReach(reading.atMinute / 60.0) && reading.level >= 0)
                lift(reading.level);
        }
        if (m_curve) {
            for (const QPointF &point : m_report.expected->points()) {
                if (inReach(point.x()))
                    lift(m_unit.fromBal(point.y()));
            }
            if (m_report.band) {
                for (const BandPoint &point : m_report.band->outline) {
                    if (inReach(point.hours))
                        lift(m_unit.fromBal(point.edges.high));
                }
            }
        }
        m_data.topLevel = topAbove(m_highest);
        m_box = {m_data.firstHours, m_data.lastHours, 0, m_data.topLevel};
    }

    // The expected course, its band and the times of its peak, release level and zero.
    void drawCourse()
    {
        if (!m_curve)
            return;
        QList<std::optional<QPointF>> course;
        for (const QPointF &point : m_report.expected->points())
            course << bounded(point.x(), m_unit.fromBal(point.y()));
        bool cut = false;
        m_data.course = clippedLine(course, m_box, cut);
        if (cut)
            m_data.beyond << QStringLiteral("part of the expected course after the booster");

        if (m_report.band) {
            QList<QPointF> outline;
            const QList<BandPoint> &band = m_report.band->outline;
            for (const BandPoint &point : band) {
                if (const auto high = bounded(point.hours, m_unit.fromBal(point.edges.high)))
                    outline << *high;
            }
            for (auto point = band.crbegin(); point != band.crend(); ++point) {
                if (const auto low = bounded(point->hours, m_unit.fromBal(point->edges.low)))
                    outline << *low;
            }
            if (outline.size() > 2)
                m_data.band = clippedOutline(outline, m_box);
        }

        const QPointF peak(m_plan.peakHours, m_unit.fromBal(m_plan.peakBal));
        if (m_box.contains(peak)) {
            m_data.peak = peak;
            m_data.peakBal = m_plan.peakBal;
        }
        if (const std::optional<BoosterCourse> &booster = m_report.expected->booster) {
            const auto top =
                bounded(double(booster->peakAtMinute()) / 60, m_unit.fromBal(booster->peakBal()));
            if (top && m_box.contains(*top))
                m_data.boosterPeak = *top;
        }
        // The times in force: after a booster its own, never the plan's.
        if (!m_report.booster()) {
            if (m_plan.releaseHours > 0)
                m_data.releaseHours = m_plan.releaseHours;
            m_data.zeroHours = m_plan.zeroHours;
        } else if (const std::optional<ExpectedTimes> times = m_report.timesInForce()) {
            const auto inWindow = [this](qint64 minute) {
                const double hours = double(minute) / 60;
                return hours >= m_box.left && hours <= m_box.right ? std::optional(hours)
                                                                   : std::nullopt;
            };
            if (!times->neverAboveRelease)
                m_data.releaseHours = inWindow(times->releaseAtMinute);
            m_data.zeroHours = inWindow(times->zeroAtMinute);
        }
    }

    // The personal forecast from the observed peak to the window's right edge: its course until
    // it reaches 0, its band at even steps, straight between them.
    void drawPersonal()
    {
        if (!m_report.personal)
            return;
        const PersonalFit &fit = m_report.personal->fit;
        const double from = m_report.personal->fromMinute / 60.0;
        const double to = m_box.right;
        if (!(from < to))
            return;
        const double zero = fit.rate() > 0 ? fit.hoursAt(0) : to;
        const double end = std::isfinite(zero) ? std::clamp(zero, from, to) : to;
        bool cut = false;
        m_data.personal = clippedLine({bounded(from, m_unit.fromBal(fit.level(from))),
                                       bounded(end, m_unit.fromBal(fit.level(end)))},
                                      m_box, cut);
        constexpr int Steps = 48;
        QList<QPointF> high;
        QList<QPointF> low;
        for (int step = 0; step <= Steps; ++step) {
            const double hours = from + (to - from) * step / Steps;
            const BandEdges edges = fit.band(hours);
            if (const auto point = bounded(hours, m_unit.fromBal(std::max(0.0, edges.high))))
                high << *point;
            if (const auto point = bounded(hours, m_unit.fromBal(std::max(0.0, edges.low))))
                low.prepend(*point);
        }
        if (high.size() + low.size() > 2)
            m_data.personalBand = clippedOutline(high + low, m_box);
    }

    // Readings not voided: a level above the ceiling is marked at the top; one at a time beyond
    // reach, or one that is not a level, is left out.
    void drawReadings()
    {
        for (const ReadingLine &reading : m_report.readings) {
            if (reading.voided)
                continue;
            const double hours = reading.atMinute / 60.0;
            const QString what = QStringLiteral("the reading %1 at %2")
                                     .arg(level(reading.level), clock(reading.atMinute));
            if (!inReach(hours) || !(reading.level >= 0)) {
                m_data.beyond << what;
                continue;
            }
            const bool above = reading.level > m_ceiling;
            if (above)
                m_data.beyond << what + QStringLiteral(", marked at the top");
            m_data.readings.append(
                {QPointF(hours, above ? m_data.topLevel : double(reading.level)), above});
        }
    }

    void drawPortions()
    {
        for (const PortionLine &line : m_report.portions) {
            const QString number = QLocale().toString(line.portion.number);
            const int planned = line.portion.atMinute;
            if (inReach(planned / 60.0))
                m_data.portions.append({planned / 60.0, false});
            else
                m_data.beyond
                    << QStringLiteral("portion %1 planned at %2").arg(number, clock(planned));
            if (const std::optional<ServedMark> served = line.served()) {
                if (inReach(served->atMinute / 60.0))
                    m_data.portions.append({served->atMinute / 60.0, true});
                else
                    m_data.beyond << QStringLiteral("portion %1 served at %2")
                                         .arg(number, clock(served->atMinute));
            }
        }
    }

    // The drinking until it ends, and a booster's; each cut to the window.
    void drawDrinking()
    {
        const DrinkingTimes &times = m_report.drinking;
        const auto shade = [this](double fromMinute, double minutes) {
            const double from = std::max(m_box.left, fromMinute / 60);
            const double to = std::min(m_box.right, (fromMinute + minutes) / 60);
            if (from < to)
                m_data.drinking.append({from, to});
        };
        shade(0, times.drinkingEnds);
        if (times.boosterAt)
            shade(*times.boosterAt, times.boosterMinutes);
    }
};

} // namespace

BalChartData balChartData(const SessionReport &report, bool showNow)
{
    if (!report.hasPlan())
        return {};
    return Builder(report, showNow).build();
}

QString balChartNote(const QStringList &beyond)
{
    constexpr qsizetype Named = 4;
    if (beyond.isEmpty())
        return {};
    QStringList named = beyond.mid(0, Named);
    if (beyond.size() > Named)
        named << QStringLiteral("and %1 more").arg(QLocale().toString(beyond.size() - Named));
    return QStringLiteral("Some values lie beyond what the chart can show: %1.")
        .arg(named.join(QStringLiteral("; ")));
}
