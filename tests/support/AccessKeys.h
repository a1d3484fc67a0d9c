#pragma once

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QList>
#include <QTabWidget>

// A control that shows a caption, with the access key it answers to.
struct CaptionedControl {
    QString name; // the object name; a tab's is its tab widget's and its page's
    QString caption;
    QKeySequence key; // empty: none
};

// Every control of `window` that shows a caption: a label that captions a field, a button (push,
// radio or check) and a tab, on every page of the window's tab widgets. A button's key is the
// shortcut it has, which is the one its caption shows unless something replaced it; a label's and
// a tab's is the one their caption shows.
inline QList<CaptionedControl> captionedControls(const QWidget *window)
{
    QList<CaptionedControl> found;
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy())
            found << CaptionedControl{label->objectName(), label->text(),
                                      QKeySequence::mnemonic(label->text())};
    }
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->text().isEmpty())
            found << CaptionedControl{button->objectName(), button->text(), button->shortcut()};
    }
    for (const QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        for (int i = 0; i < tabs->count(); ++i)
            found << CaptionedControl{tabs->objectName() + QLatin1Char('/') +
                                          tabs->widget(i)->objectName(),
                                      tabs->tabText(i), QKeySequence::mnemonic(tabs->tabText(i))};
    }
    return found;
}
