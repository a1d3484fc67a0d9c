#include "forms/common/ElidingLabel.h"

#include <algorithm>

void ElidingLabel::setFullText(const QString &text, const QString &toolTip)
{
    m_fullText = text;
    setToolTip(toolTip.isEmpty() || toolTip == text ? QString() : toolTip);
    setAccessibleName(text);
    showWhatFits();
}

void ElidingLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showWhatFits();
}

void ElidingLabel::showWhatFits()
{
    const int room = contentsRect().width() - 2 * margin() - std::max(indent(), 0);
    setText(fontMetrics().elidedText(m_fullText, Qt::ElideRight, std::max(room, 0)));
}
