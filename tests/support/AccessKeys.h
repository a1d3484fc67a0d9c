#pragma once

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QList>
#include <QStackedWidget>
#include <QStringList>
#include <QTabWidget>

// A control that shows a caption, with the access key it answers to.
struct CaptionedControl {
    QString name; // the object name; a tab's is its tab widget's and its page's
    QString caption;
    QKeySequence key; // empty: none
    QString page;     // the object name of the tab page it lies on; empty: none, always shown
};

// The tab page `control` lies on, the nearest; none when it lies on no tab widget's page.
inline const QWidget *tabPageOf(const QWidget *control, const QWidget *window)
{
    for (const QWidget *widget = control; widget && widget != window;
         widget = widget->parentWidget()) {
        const QWidget *stack = widget->parentWidget();
        const auto *tabs = qobject_cast<const QStackedWidget *>(stack)
                               ? qobject_cast<const QTabWidget *>(stack->parentWidget())
                               : nullptr;
        if (tabs && tabs->indexOf(widget) >= 0)
            return widget;
    }
    return nullptr;
}

// Every control of `window` that shows a caption: a label that captions a field, a button (push,
// radio or check) and a tab, on every page of the window's tab widgets. A button's key is the
// shortcut it has, which is the one its caption shows unless something replaced it; a label's and
// a tab's is the one their caption shows.
inline QList<CaptionedControl> captionedControls(const QWidget *window)
{
    QList<CaptionedControl> found;
    const auto pageOf = [window](const QWidget *control) {
        const QWidget *page = tabPageOf(control, window);
        return page ? page->objectName() : QString();
    };
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
    for (const QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        for (int i = 0; i < tabs->count(); ++i)
            found << CaptionedControl{
                tabs->objectName() + QLatin1Char('/') + tabs->widget(i)->objectName(),
                tabs->tabText(i), QKeySequence::mnemonic(tabs->tabText(i)), pageOf(tabs)};
    }
    return found;
}

// The controls shown while the tab page named `page` is: those on no tab page, and those on it.
inline QList<CaptionedControl> shownWith(const QList<CaptionedControl> &controls,
                                         const QString &page)
{
    QList<CaptionedControl> shown;
    for (const CaptionedControl &control : controls) {
        if (control.page.isEmpty() || control.page == page)
            shown << control;
    }
    return shown;
}

// The controls without an access key, or whose key is not the one their caption shows, as
// `name "caption"`.
inline QStringList withoutTheirKey(const QList<CaptionedControl> &controls)
{
    QStringList without;
    for (const CaptionedControl &control : controls) {
        if (control.key.isEmpty() || control.key != QKeySequence::mnemonic(control.caption))
            without << QStringLiteral("%1 \"%2\"").arg(control.name, control.caption);
    }
    return without;
}

// Each two of `controls` that answer to the same access key, as "key: name and name".
inline QStringList sharingAKey(const QList<CaptionedControl> &controls)
{
    QStringList shared;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (!controls[i].key.isEmpty() && controls[i].key == controls[j].key)
                shared << QStringLiteral("%1: %2 and %3")
                              .arg(controls[i].key.toString(QKeySequence::NativeText),
                                   controls[i].name, controls[j].name);
        }
    }
    return shared;
}
