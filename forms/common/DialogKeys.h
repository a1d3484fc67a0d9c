#pragma once

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

// Keys for a window that has neither a default nor a cancel button: Esc does nothing (it must
// not close the window and lose what was typed), and Enter presses only the button that has the
// focus. True when the key was handled here.
inline bool handleKeyWithoutDefaultButton(QWidget *window, QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QPushButton *>(window->focusWidget())) {
            event->accept();
            button->click();
            return true;
        }
        return false;
    default:
        return false;
    }
}
