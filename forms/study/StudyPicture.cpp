#include "forms/study/StudyPicture.h"

#include "calc/dose/LevelUnits.h"
#include "calc/dose/NumberText.h"
#include "calc/study/AchievementTable.h"
#include "calc/study/StudyCells.h"
#include "forms/chart/BalChart.h"
#include "forms/common/AxisSteps.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

// The share of sessions the picture's lines mark: within 20 % of the target, as the achievement
// counts it.
const WithinShare &within20()
{
    return *std::ranges::find(WithinShares, AchievementColumn::Within20Percent,
                              &WithinShare::column);
}

QString levelText(double level, const QLocale &locale)
{
    return SingleToText(float(level), locale);
}

// A boosted session's marker: a diamond of the point's size, drawn hollow.
QPolygonF diamond(const QPointF &centre, double radius)
{
    const double r = radius * 1.3;
    return QPolygonF({centre + QPointF(0, -r), centre + QPointF(r, 0), centre + QPointF(0, r),
                      centre + QPointF(-r, 0)});
}

QString unitText()
{
    return LevelScale().unitText();
}

QString protocolText(const StudyPicture::Group &group)
{
    return group.protocol.isEmpty() ? QStringLiteral("No protocol") : group.protocol;
}

} // namespace

StudyPicture::StudyPicture(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picStudy"));
    setAccessibleName(QStringLiteral("Observed peak against target, by group"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    describePicture();
}

void StudyPicture::clear()
{
    m_points.clear();
    m_achievement = {};
    m_drawings.clear();
    select(-1);
    describePicture();
    update();
}

void StudyPicture::add(const StudyRecord &record)
{
    const std::optional<AchievementSession> session = achievementSession(record);
    if (!session)
        return;
    m_achievement.add(*session);
    // A peak that is no number cannot be placed; the group counts its session all the same.
    if (session->peakBal && std::isfinite(*session->peakBal) && std::isfinite(session->targetBal)) {
        Drawing &group = m_drawings[{session->protocol.toUtf8(),
                                     StudyCells::beverage(session->placebo), session->gender}];
        group.drawn << m_points.size();
        group.targets.insert(session->targetBal);
        group.boosted += session->booster ? 1 : 0;
        m_points << Point{record.report->setup.sessionCode, record.file, session->targetBal,
                          *session->peakBal, session->booster};
    }
    describePicture();
    update();
}

QList<StudyPicture::Group> StudyPicture::groups() const
{
    QList<Group> all;
    for (const AchievementGroup &counted : m_achievement.groups()) {
        Group group;
        const auto drawing = m_drawings.find(
            {counted.protocol.toUtf8(), StudyCells::beverage(counted.placebo), counted.gender});
        if (drawing != m_drawings.end())
            static_cast<Drawing &>(group) = drawing->second;
        group.protocol = counted.protocol;
        group.placebo = counted.placebo;
        group.gender = counted.gender;
        group.sessions = counted.sessions;
        group.within = counted.withinCount(within20().column);
        all << group;
    }
    return all;
}

QString StudyPicture::groupName(const Group &group)
{
    return QStringLiteral("%1, %2, %3")
        .arg(protocolText(group), QString::fromLatin1(StudyCells::beverage(group.placebo)),
             QString::fromLatin1(group.gender));
}

StudyPicture::Layout StudyPicture::layout(const QRectF &area, const QFontMetricsF &metrics) const
{
    Layout layout;
    const double u = metrics.height();
    const WithinShare &share = within20();

    // The levels: from 0 (or a lower point) to a round level above every point and line.
    double lowest = 0;
    double highest = 0;
    for (const Point &point : m_points) {
        lowest = std::min(lowest, point.peakBal);
        highest = std::max(highest, point.peakBal);
    }
    const QList<Group> all = groups();
    for (const Group &group : all) {
        if (!group.placebo && !group.targets.empty())
            highest = std::max(highest, *group.targets.rbegin() * share.high);
    }
    layout.key = {QStringLiteral("Target"), QStringLiteral("Target \u00b1 20 %")};
    if (std::ranges::any_of(m_points, &Point::boosted))
        layout.key << QStringLiteral("Boosted: peak before the booster");
    highest = std::max(highest, 0.01);
    layout.step = AxisSteps::roundStep((highest - lowest) * 1.08 / 8);
    layout.bottomLevel = std::floor(lowest / layout.step) * layout.step;
    layout.topLevel = std::ceil(highest * 1.08 / layout.step) * layout.step;

    double labelWidth = 0;
    const QLocale locale;
    const int decimals = AxisSteps::decimalsOf(layout.step);
    for (double level = layout.bottomLevel; level <= layout.topLevel + layout.step / 2;
         level += layout.step)
        labelWidth =
            std::max(labelWidth, metrics.horizontalAdvance(locale.toString(level, 'f', decimals)));

    // Above the plot the axis's caption and the key; below it two lines naming each group.
    layout.plot = QRectF(area.left() + labelWidth + u * 0.8, area.top() + u * 1.8,
                         area.width() - labelWidth - u * 1.4, area.height() - u * 1.8 - u * 3);
    if (layout.plot.width() < u || layout.plot.height() < u)
        layout.plot = QRectF(area.center(), QSizeF(0, 0));
    layout.radius = u * 0.25;
    const QRectF &plot = layout.plot;
    const auto y = [&](double level) {
        return plot.bottom() - plot.height() * (level - layout.bottomLevel) /
                                   (layout.topLevel - layout.bottomLevel);
    };

    layout.points.resize(m_points.size());
    const double columnWidth = plot.width() / double(std::max<qsizetype>(1, all.size()));
    double left = plot.left();
    for (const Group &group : all) {
        const QRectF column(left, plot.top(), columnWidth, plot.height());
        layout.columns << column;
        left += columnWidth;
        // The points side by side in the order added, a point's width apart while they fit.
        const qsizetype count = group.drawn.size();
        const double spread = std::min(columnWidth * 0.6, double(count - 1) * u * 0.9);
        const double centre = column.center().x();
        for (qsizetype i = 0; i < count; ++i) {
            const double x =
                count == 1 ? centre : centre - spread / 2 + spread * double(i) / double(count - 1);
            layout.points[group.drawn[i]] = QPointF(x, y(m_points[group.drawn[i]].peakBal));
        }
        if (group.placebo)
            continue;
        const double half = std::min(columnWidth * 0.42, spread / 2 + u * 1.2);
        const auto across = [&](double level) {
            return QLineF(centre - half, y(level), centre + half, y(level));
        };
        for (double target : group.targets) {
            layout.targets << across(target);
            layout.bands << across(target * share.low) << across(target * share.high);
        }
    }
    return layout;
}

qsizetype StudyPicture::pointAt(const QPointF &position) const
{
    const Layout drawn = layout(plotArea(), QFontMetricsF(font(), this));
    const double reach = std::max(drawn.radius * 1.6, 3.0);
    qsizetype nearest = -1;
    double nearestDistance = reach;
    for (qsizetype i = 0; i < drawn.points.size(); ++i) {
        const double distance = QLineF(position, drawn.points[i]).length();
        // The later of two points as near is the one drawn on top.
        if (distance <= nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QString StudyPicture::describe(qsizetype point) const
{
    if (point < 0 || point >= m_points.size())
        return {};
    const Point &at = m_points[point];
    const QLocale locale;
    return QStringLiteral("%1 (%2): %3 %4, target %5 %6")
        .arg(at.code, at.file,
             at.boosted ? QStringLiteral("boosted, peak before the booster")
                        : QStringLiteral("observed peak"),
             levelText(at.peakBal, locale), levelText(at.targetBal, locale), unitText());
}

void StudyPicture::select(qsizetype point)
{
    const qsizetype chosen = point >= 0 && point < m_points.size() ? point : -1;
    if (chosen == m_selected)
        return;
    m_selected = chosen;
    update();
    emit selectionChanged(m_selected);
}

QList<qsizetype> StudyPicture::keyOrder() const
{
    QList<qsizetype> order;
    for (const Group &group : groups())
        order << group.drawn;
    return order;
}

void StudyPicture::describePicture()
{
    const QLocale locale;
    const auto counted = [](qint64 count, const QString &one, const QString &many) {
        return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
    };
    const auto sessions = [&](qint64 count) {
        return counted(count, QStringLiteral("session"), QStringLiteral("sessions"));
    };
    QStringList parts;
    qint64 drawn = 0;
    for (const Group &group : groups()) {
        drawn += group.drawn.size();
        QString part = QStringLiteral("%1: %2, %3 drawn")
                           .arg(groupName(group), sessions(group.sessions))
                           .arg(group.drawn.size());
        if (group.boosted > 0)
            part +=
                QStringLiteral(" (%1 boosted, at its peak before the booster)").arg(group.boosted);
        if (!group.placebo && !group.drawn.isEmpty()) {
            QStringList texts;
            for (double target : group.targets)
                texts << levelText(target, locale);
            part += QStringLiteral(", target %1 %2, %3 within 20 % of it")
                        .arg(texts.join(QStringLiteral(" and ")), unitText())
                        .arg(group.within);
        }
        parts << part + QLatin1Char('.');
    }
    setAccessibleDescription(
        parts.isEmpty()
            ? QStringLiteral("No session drawn.")
            : QStringLiteral("%1 drawn in %2. ")
                      .arg(sessions(drawn), counted(parts.size(), QStringLiteral("group"),
                                                    QStringLiteral("groups"))) +
                  parts.join(QLatin1Char(' ')));
}

void StudyPicture::paint(QPainter &painter, const QRectF &area, const QPalette &palette,
                         qsizetype selected) const
{
    const BalChart::Colours colour = BalChart::colours(palette);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, colour.base);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double u = metrics.height();
    const double thin = u * 0.07;
    const QLocale locale;
    const Layout drawn = layout(area, metrics);
    const QRectF &plot = drawn.plot;
    if (plot.isEmpty()) {
        painter.restore();
        return;
    }
    const auto y = [&](double level) {
        return plot.bottom() -
               plot.height() * (level - drawn.bottomLevel) / (drawn.topLevel - drawn.bottomLevel);
    };

    // The level axis, its grid and its caption; the key to the right of the caption.
    const int decimals = AxisSteps::decimalsOf(drawn.step);
    for (double level = drawn.bottomLevel; level <= drawn.topLevel + drawn.step / 2;
         level += drawn.step) {
        const double at = y(level);
        painter.setPen(QPen(colour.grid, thin));
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        painter.setPen(QPen(colour.text, thin));
        painter.drawLine(QPointF(plot.left() - u * 0.3, at), QPointF(plot.left(), at));
        painter.drawText(QRectF(area.left(), at - u / 2, plot.left() - area.left() - u * 0.45, u),
                         Qt::AlignRight | Qt::AlignVCenter, locale.toString(level, 'f', decimals));
    }
    const QString caption =
        QStringLiteral("Observed peak, before any booster (%1)").arg(unitText());
    painter.drawText(QRectF(area.left(), area.top(), area.width(), u * 1.2),
                     Qt::AlignLeft | Qt::AlignTop, caption);
    // The key: the target's line, the dashed lines 20 % either side, the boosted sessions' marker.
    const double line = u * 1.6;
    double keyWidth = 0;
    for (const QString &text : drawn.key)
        keyWidth += line + u * 0.3 + metrics.horizontalAdvance(text) + u * 0.75;
    if (metrics.horizontalAdvance(caption) + u + keyWidth < area.width()) {
        double x = area.right() - keyWidth;
        const double keyY = area.top() + u * 0.6;
        for (qsizetype i = 0; i < drawn.key.size(); ++i) {
            if (i < 2) {
                painter.setPen(QPen(colour.target, i == 0 ? u * 0.12 : u * 0.08,
                                    i == 0 ? Qt::SolidLine : Qt::DashLine));
                painter.drawLine(QPointF(x, keyY), QPointF(x + line, keyY));
            } else {
                painter.setPen(QPen(colour.reading, u * 0.1));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolygon(diamond(QPointF(x + line / 2, keyY), drawn.radius));
            }
            painter.setPen(colour.text);
            const double width = metrics.horizontalAdvance(drawn.key[i]);
            painter.drawText(QRectF(x + line + u * 0.3, area.top(), width + u * 0.1, u * 1.2),
                             Qt::AlignLeft | Qt::AlignTop, drawn.key[i]);
            x += line + u * 0.3 + width + u * 0.75;
        }
    }

    // A column per group, named below it on two lines.
    const QList<Group> all = groups();
    for (qsizetype i = 0; i < drawn.columns.size(); ++i) {
        const QRectF &column = drawn.columns[i];
        if (i > 0) {
            painter.setPen(QPen(colour.grid, thin));
            painter.drawLine(column.topLeft(), column.bottomLeft());
        }
        const Group &group = all[i];
        const QStringList lines = {
            protocolText(group), QStringLiteral("%1, %2 (%3)")
                                     .arg(QString::fromLatin1(StudyCells::beverage(group.placebo)),
                                          QString::fromLatin1(group.gender))
                                     .arg(group.drawn.size())};
        painter.setPen(colour.text);
        for (qsizetype row = 0; row < lines.size(); ++row)
            painter.drawText(
                QRectF(column.left(), plot.bottom() + u * (0.35 + double(row)), column.width(), u),
                Qt::AlignHCenter | Qt::AlignTop,
                metrics.elidedText(lines[row], Qt::ElideRight, column.width() - u * 0.3));
    }
    painter.setPen(QPen(colour.text, thin));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    // The lines of each alcohol group, then the points over them, the selected one last.
    QPen band(colour.target, u * 0.08, Qt::DashLine);
    band.setCapStyle(Qt::FlatCap);
    painter.setPen(band);
    for (const QLineF &edge : drawn.bands)
        painter.drawLine(edge);
    QPen target(colour.target, u * 0.12);
    target.setCapStyle(Qt::FlatCap);
    painter.setPen(target);
    for (const QLineF &level : drawn.targets)
        painter.drawLine(level);
    // A session is a filled circle; a boosted one a hollow diamond, so that it is told apart in
    // black and white too.
    const auto drawPoint = [&](qsizetype i) {
        if (m_points[i].boosted) {
            painter.setPen(QPen(colour.reading, u * 0.1));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolygon(diamond(drawn.points[i], drawn.radius));
        } else {
            painter.setPen(QPen(colour.text, thin));
            painter.setBrush(colour.reading);
            painter.drawEllipse(drawn.points[i], drawn.radius, drawn.radius);
        }
    };
    for (qsizetype i = 0; i < drawn.points.size(); ++i)
        drawPoint(i);
    if (selected >= 0 && selected < drawn.points.size()) {
        const QPointF &point = drawn.points[selected];
        drawPoint(selected);
        painter.setPen(QPen(colour.text, u * 0.12));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(point, drawn.radius * 1.5, drawn.radius * 1.5);
        painter.setPen(QPen(colour.text, thin));
        painter.drawEllipse(point, drawn.radius * 2.3, drawn.radius * 2.3);
    }
    if (drawn.points.isEmpty()) {
        painter.setPen(colour.text);
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No session to draw: the records that are ok and have an "
                                        "observed peak are drawn here."));
    }
    painter.restore();
}

void StudyPicture::paintPage(QPainter &painter, const QRectF &page) const
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double u = metrics.height();
    QFont bold = painter.font();
    bold.setBold(true);
    painter.save();
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), u * 1.5),
                     Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("%1: %2 sessions").arg(accessibleName()).arg(m_points.size()));
    painter.restore();
    paint(painter, page.adjusted(0, u * 2, 0, 0), BalChart::printPalette());
}

bool StudyPicture::printOn(QPagedPaintDevice &device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    QFont font = this->font();
    font.setPointSizeF(10);
    painter.setFont(font);
    paintPage(painter, QRectF(0, 0, device.width(), device.height()));
    return painter.end();
}

QImage StudyPicture::image() const
{
    constexpr double DotsPerInch = 200;
    QImage image(2400, 1500, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(DotsPerInch / 0.0254)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font());
    const double margin = QFontMetricsF(painter.font(), &image).height();
    paintPage(painter, QRectF(image.rect()).adjusted(margin, margin, -margin, -margin));
    return image;
}

QSize StudyPicture::sizeHint() const
{
    const int u = fontMetrics().height();
    return {u * 40, u * 22};
}

QSize StudyPicture::minimumSizeHint() const
{
    const int u = fontMetrics().height();
    return {u * 20, u * 12};
}

bool StudyPicture::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const qsizetype point = pointAt(help->pos());
        if (point < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            // Gone once the pointer leaves the point.
            const Layout drawn = layout(plotArea(), QFontMetricsF(font(), this));
            const double reach = drawn.radius * 2;
            QToolTip::showText(
                help->globalPos(), describe(point), this,
                QRectF(drawn.points[point] - QPointF(reach, reach), QSizeF(reach * 2, reach * 2))
                    .toAlignedRect());
        }
        return true;
    }
    return QWidget::event(event);
}

QRectF StudyPicture::plotArea() const
{
    // Clear of the focus frame, and filled with the base colour to the widget's edges.
    const double margin = fontMetrics().height() * 0.5;
    return QRectF(rect()).adjusted(margin, margin, -margin, -margin);
}

void StudyPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.fillRect(rect(), BalChart::colours(palette()).base);
    paint(painter, plotArea(), palette(), m_selected);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void StudyPicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        select(pointAt(event->position()));
    QWidget::mousePressEvent(event);
}

void StudyPicture::keyPressEvent(QKeyEvent *event)
{
    const QList<qsizetype> order = keyOrder();
    if (order.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const qsizetype at = order.indexOf(m_selected);
    qsizetype next = -1;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        next = at < 0 ? 0 : std::min(at + 1, order.size() - 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        next = at < 0 ? order.size() - 1 : std::max<qsizetype>(at - 1, 0);
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = order.size() - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    select(order[next]);
    event->accept();
}
