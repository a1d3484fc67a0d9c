#pragma once

#include <QLabel>

// A label that shows as much of its text as its width allows, cut at the end with "…". The whole
// text stays its accessible name and its tool tip, so nothing is lost to a screen reader or to a
// pointer resting on it.
class ElidingLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    void setFullText(const QString &text, const QString &toolTip = {});
    const QString &fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showWhatFits();

    QString m_fullText;
};
