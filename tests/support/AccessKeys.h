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
    // The page of a tab widget the control is on, shown only with its tab; null: always shown.
    const QWidget *page = nullptr;
};

// Every control of `window` that shows a caption: a label that captions a field, a button (push,
// radio or check) and a tab. A button's key is the shortcut it has, which is the one its caption
// shows unless something replaced it; a label's and a tab's is the one their caption shows.
inline QList<CaptionedControl> captionedControls(const QWidget *window)
{
    const QList<QTabWidget *> tabWidgets = window->findChildren<QTabWidget *>();
    const auto pageOf = [&](const QWidget *control) -> const QWidget * {
        for (const QTabWidget *tabs : tabWidgets) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (tabs->widget(i)->isAncestorOf(control))
                    return tabs->widget(i);
            }
        }
        return nullptr;
    };
    QList<CaptionedControl> found;
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy())
            found << CaptionedControl{label->objectName(), label->text(),
                                      QKeySequence::mnemonic(label->text()), pageOf(label)};
    }
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->text().isEmpty())
            found << CaptionedControl{button->objectName(), button->text(), button->shortcut(),
                                      pageOf(button)};
    }
    for (const QTabWidget *tabs : tabWidgets) {
        for (int i = 0; i < tabs->count(); ++i)
            found << CaptionedControl{
                tabs->objectName() + QLatin1Char('/') + tabs->widget(i)->objectName(),
                tabs->tabText(i), QKeySequence::mnemonic(tabs->tabText(i)), pageOf(tabs)};
    }
    return found;
}

// Two controls can be on screen together unless they are on different pages of a tab widget.
inline bool shownTogether(const CaptionedControl &a, const CaptionedControl &b)
{
    return !a.page || !b.page || a.page == b.page;
}
