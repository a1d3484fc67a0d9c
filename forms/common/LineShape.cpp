#include "forms/common/LineShape.h"

#include "forms/common/Twips.h"

#include <QPainter>

LineShape::LineShape(QWidget *container, int index, QLine twips, QColor colour, int widthPixels)
    : QWidget(container), m_line(Twips::toPixels(twips.x1()), Twips::toPixels(twips.y1()),
                                 Twips::toPixels(twips.x2()), Twips::toPixels(twips.y2())),
      m_colour(colour), m_width(widthPixels)
{
    setObjectName(QStringLiteral("Line1"));
    setProperty("index", index);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Separator line"));
    const QRect band =
        QRect(m_line.p1(), m_line.p2()).normalized().adjusted(-m_width, -m_width, m_width, m_width);
    setGeometry(band);
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(m_colour, m_width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_line.translated(-pos()));
}
