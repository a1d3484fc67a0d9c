#include "forms/ClockField.h"

#include "calc/ClockText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <utility>

namespace {

// Often enough that the minute shown changes within a second of the clock's.
constexpr int TickMsecs = 1000;

bool editsTheTime(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    default:
        return !event->text().isEmpty() && event->text().at(0).isPrint();
    }
}

} // namespace

ClockField::ClockField(QWidget *parent) : QTimeEdit(parent), m_tick(new QTimer(this))
{
    setDisplayFormat(hoursAndMinutesFormat(QLocale()));
    lineEdit()->installEventFilter(this);
    m_tick->setObjectName(QStringLiteral("clockTick"));
    connect(m_tick, &QTimer::timeout, this, &ClockField::showClock);
    m_tick->start(TickMsecs);
    // Any time the clock did not give, typed, stepped or set by the window, stops the following.
    connect(this, &QTimeEdit::timeChanged, this, [this] {
        if (!m_showingClock)
            m_following = false;
    });
    showClock();
}

void ClockField::setClock(Clock clock)
{
    m_clock = std::move(clock);
    showClock();
}

void ClockField::follow()
{
    m_following = true;
    showClock();
}

// The time the operator is about to replace stays still while the field has the focus; it
// catches up when the focus leaves.
void ClockField::showClock()
{
    if (!m_following || hasFocus())
        return;
    const QTime now = m_clock();
    m_showingClock = true;
    setTime(QTime(now.hour(), now.minute()));
    m_showingClock = false;
}

void ClockField::readyForTyping()
{
    m_typedHours.clear();
    setCurrentSection(HourSection);
    setSelectedSection(HourSection);
}

int ClockField::highestHour() const
{
    return displayedSections().testFlag(AmPmSection) ? 12 : 23;
}

void ClockField::focusInEvent(QFocusEvent *event)
{
    QTimeEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
        m_readyOnRelease = true; // after the click has placed the cursor
        break;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        readyForTyping();
        break;
    default:
        break;
    }
}

void ClockField::focusOutEvent(QFocusEvent *event)
{
    QTimeEdit::focusOutEvent(event);
    m_readyOnRelease = false;
    showClock();
}

void ClockField::keyPressEvent(QKeyEvent *event)
{
    if (editsTheTime(event))
        m_following = false;
    const QString typed = event->text();
    const bool digit = typed.size() == 1 && typed.at(0).isDigit();
    if (digit && currentSection() == HourSection) {
        const QString hours = m_typedHours + typed;
        if (hours.size() > 2 || hours.toInt() > highestHour()) {
            // The hours are complete: this digit begins the minutes.
            m_typedHours.clear();
            setCurrentSection(MinuteSection);
            setSelectedSection(MinuteSection);
        } else {
            m_typedHours = hours;
        }
    } else if (!digit) {
        m_typedHours.clear();
    }
    QTimeEdit::keyPressEvent(event);
}

void ClockField::mouseReleaseEvent(QMouseEvent *event)
{
    QTimeEdit::mouseReleaseEvent(event);
    if (std::exchange(m_readyOnRelease, false))
        readyForTyping();
}

// The clicks on the time itself go to the field's text part, which has placed the cursor by the
// time the button is released.
bool ClockField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        std::exchange(m_readyOnRelease, false))
        readyForTyping();
    return QTimeEdit::eventFilter(watched, event);
}

void ClockField::stepBy(int steps)
{
    m_following = false;
    QTimeEdit::stepBy(steps);
}
