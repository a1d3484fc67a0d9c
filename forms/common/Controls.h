#pragma once

#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <cmath>
#include <initializer_list>

// Small helpers for the windows laid out by Qt's layouts: every control is named, for the tests
// and the accessibility tree, and every field is announced with its caption.
namespace Controls {

template <typename Control> Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

// A menu of the menu bar; its title's action carries the name too, as the accessibility tree
// shows the menu bar's items by their actions.
inline QMenu *menu(QMenuBar *bar, const char *name, const QString &title)
{
    QMenu *menu = named(bar->addMenu(title), name);
    named(menu->menuAction(), name);
    return menu;
}

inline QLabel *label(const char *name, const QString &text)
{
    return named(new QLabel(text), name);
}

// A caption as a screen reader says it: without the "&" before its access key; "&&", which shows
// one "&", says one too.
inline QString withoutAccessKey(const QString &caption)
{
    QString said;
    said.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        said += caption[i];
    }
    return said;
}

// A field is announced by screen readers with the caption of the label beside it, and its
// access key takes the operator there.
template <typename Field> Field *captioned(Field *field, QLabel *caption)
{
    caption->setBuddy(field);
    field->setAccessibleName(withoutAccessKey(caption->text()));
    return field;
}

// A text field never so narrow that `sample` does not show whole in it: the text, the cursor
// after it, and around them what Qt's smallest line edit keeps around one character (frame and
// margins).
inline void widenToShow(QLineEdit *field, const QString &sample)
{
    const int around = field->minimumSizeHint().width() - field->fontMetrics().maxWidth();
    const auto text = int(std::ceil(QFontMetricsF(field->font()).horizontalAdvance(sample)));
    constexpr int Cursor = 1;
    field->setMinimumWidth(around + text + Cursor);
}

inline QGroupBox *frame(const char *name, const QString &caption, QLayout *contents)
{
    auto *box = named(new QGroupBox(caption), name);
    box->setAccessibleName(withoutAccessKey(caption));
    box->setLayout(contents);
    return box;
}

// The windows' alarm red for text on `background`: dark on a light window, light on a dark one,
// so that it reads as well as the text around it.
inline QColor alarmColour(const QColor &background)
{
    return background.lightnessF() < 0.5 ? QColor(0xff, 0x8a, 0x80) : QColor(0xb0, 0x00, 0x20);
}

// A line that tells the operator what is wrong, in the windows' alarm red, wrapped.
inline QLabel *alarmLabel(const char *name)
{
    QLabel *line = label(name, QString());
    line->setWordWrap(true);
    QPalette alarm = line->palette();
    alarm.setColor(QPalette::WindowText, alarmColour(alarm.color(QPalette::Window)));
    line->setPalette(alarm);
    return line;
}

// A button that Enter presses only when it has the focus.
inline QPushButton *commandButton(const char *name, const QString &caption)
{
    auto *button = named(new QPushButton(caption), name);
    button->setAutoDefault(false);
    return button;
}

// A window's closing row: its buttons side by side at the right.
inline QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}

// Sizes a resizable window as `wanted` and at least `least`, both within nine tenths of the
// screen it opens on.
inline void sizeWithinScreen(QWidget *window, QSize wanted, QSize least)
{
    const QScreen *screen = window->parentWidget() ? window->parentWidget()->screen()
                                                   : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() * 0.9 : wanted;
    window->setMinimumSize(least.boundedTo(available));
    window->resize(wanted.boundedTo(available));
}

// A scrolled area's bars, and the containers Qt puts them in, are announced as what they are.
inline void nameScrollBars(QAbstractScrollArea *area)
{
    const auto name = [](QWidget *bar, const QString &text) {
        bar->setAccessibleName(text);
        if (bar->parentWidget())
            bar->parentWidget()->setAccessibleName(text);
    };
    name(area->verticalScrollBar(), QStringLiteral("Vertical scroll bar"));
    name(area->horizontalScrollBar(), QStringLiteral("Horizontal scroll bar"));
}

} // namespace Controls
