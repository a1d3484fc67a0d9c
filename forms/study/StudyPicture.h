#pragma once

#include "calc/study/AchievementTable.h"
#include "calc/study/StudyRecord.h"

#include <QByteArray>
#include <QLineF>
#include <QList>
#include <QPalette>
#include <QRectF>
#include <QWidget>
#include <map>
#include <set>
#include <tuple>

class QFontMetricsF;
class QImage;
class QPagedPaintDevice;
class QPainter;

// A study's sessions in one picture: each session's own peak (before any booster, as the
// achievement judges the dose) against its target, in g/100 ml, in a column per group of protocol
// x beverage x gender (the achievement's groups, in its order), with each alcohol group's target
// and the lines 20 % below and above it. It draws the sessions the achievement counts (records
// whose status is ok) that have such a peak; a boosted session with its own marker, named in
// the key. A
// point is named by hovering over it (its tool tip) or by selecting it: a click, or the arrow
// keys, Home and End once the picture has the focus. One paint routine draws it on the screen, on
// paper and into a file; every size in it follows the painter's font.
class StudyPicture : public QWidget {
    Q_OBJECT

public:
    struct Point {
        QString code; // the session code
        QString file; // the record's file, as the sessions table gives it
        double targetBal = 0;
        double peakBal = 0; // before the booster of a boosted session
        bool boosted = false;
    };
    // What a group draws of its sessions.
    struct Drawing {
        QList<qsizetype> drawn;   // its points, as indices into points(), in the order added
        std::set<double> targets; // of the points drawn, in g/100 ml
        qint64 boosted = 0;       // of the points drawn
    };
    // A group as the achievement counts it, and what it draws.
    struct Group : Drawing {
        QString protocol; // empty for none
        bool placebo = false;
        QByteArray gender;   // "m" or "f"
        qint64 sessions = 0; // every session counted, with an observed peak or not
        qint64 within = 0;   // those within 20 % of their target
    };

    // Where the picture puts things in an area, for a painter's font.
    struct Layout {
        QRectF plot;
        double radius = 0;     // of a point
        QList<QPointF> points; // the centre of each of points(), in its order
        // Each alcohol group's targets across its column, and the lines 20 % below and above
        // them; a placebo group, not dosed to reach its target, has none.
        QList<QLineF> targets;
        QList<QLineF> bands;
        QList<QRectF> columns; // each group's, in the order of groups()
        // The key above the plot, each entry's text; the boosted sessions' only when one is drawn.
        QStringList key;
        double bottomLevel = 0;
        double topLevel = 0;
        double step = 0; // between the level axis's labels
    };

    explicit StudyPicture(QWidget *parent = nullptr);

    void clear();
    // Counts the record's session in its group when the achievement counts it, and draws it when
    // it has an observed peak.
    void add(const StudyRecord &record);

    const QList<Point> &points() const { return m_points; }
    // The groups, in the achievement's order.
    QList<Group> groups() const;
    // The group's name as its column is labelled: "Arm A, alcohol, m", "No protocol, placebo, f".
    static QString groupName(const Group &group);

    Layout layout(const QRectF &area, const QFontMetricsF &metrics) const;
    // The area of the widget the picture is drawn in.
    QRectF plotArea() const;
    // The point drawn at `position` in the widget, the nearest if several are; -1 for none.
    qsizetype pointAt(const QPointF &position) const;
    // A point in words, its session code first, levels in the user's regional format.
    QString describe(qsizetype point) const;

    qsizetype selected() const { return m_selected; }
    // Selects a point (-1: none) and tells selectionChanged.
    void select(qsizetype point);

    // Draws the picture into `area` on `palette`'s base, `selected` marked (-1: none).
    void paint(QPainter &painter, const QRectF &area, const QPalette &palette,
               qsizetype selected = -1) const;
    // The picture as printed or saved, on white paper under a title line: on every page of
    // `device` (a printer or a PDF writer), false when it cannot be painted on; as an image of
    // 2400 x 1500 pixels at 200 dots per inch.
    bool printOn(QPagedPaintDevice &device) const;
    QImage image() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void selectionChanged(qsizetype point);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void paintPage(QPainter &painter, const QRectF &page) const;
    // The points in the order the keys step through them: group by group, left to right.
    QList<qsizetype> keyOrder() const;
    // What a screen reader says of the picture: how many sessions each group has, its target and
    // how many are within 20 % of it.
    void describePicture();

    // Protocol, beverage and gender as the achievement's cells write them.
    using Key = std::tuple<QByteArray, QByteArray, QByteArray>;
    QList<Point> m_points;
    AchievementTable m_achievement; // its groups, counted
    std::map<Key, Drawing> m_drawings;
    qsizetype m_selected = -1;
};
