#pragma once

#include <QLabel>
#include <QPixmap>

// A picture box takes the size of its picture plus a two-pixel sunken border on each side,
// and can take the keyboard focus like the other controls of its window.
inline QLabel *pictureBox(QWidget *container, const char *name, const QPixmap &picture, int left,
                          int top, const QString &accessibleName)
{
    constexpr int Border = 2;
    auto *box = new QLabel(container);
    box->setObjectName(QLatin1String(name));
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setLineWidth(Border);
    box->setPixmap(picture);
    box->setAlignment(Qt::AlignCenter);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setAccessibleName(accessibleName);
    box->setGeometry(qRound(left / 15.0), qRound(top / 15.0), picture.width() + 2 * Border,
                     picture.height() + 2 * Border);
    return box;
}
