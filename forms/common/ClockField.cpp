#include "forms/common/ClockField.h"

#include "calc/session/SessionFaultTexts.h"
#include "calc/session/ClockText.h"
#include "calc/session/TypedTime.h"
#include "forms/common/Controls.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <utility>

namespace {

// Often enough that the minute shown changes within a second of the clock's.
constexpr int TickMsecs = 1000;

QString shown(const QTime &time)
{
    return QLocale().toString(time, hoursAndMinutesFormat(QLocale()));
}

} // namespace

ClockField::ClockField(QWidget *parent) : QAbstractSpinBox(parent), m_tick(new QTimer(this))
{
    lineEdit()->installEventFilter(this);
    // Any text the clock did not give, typed, stepped or set by the window, stops the following.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (!m_showingClock)
            m_following = false;
    });
    m_tick->setObjectName(QStringLiteral("clockTick"));
    connect(m_tick, &QTimer::timeout, this, &ClockField::showClock);
    m_tick->start(TickMsecs);
    showClock();
}

void ClockField::setClock(Clock clock)
{
    m_clock = std::move(clock);
    showClock();
}

std::optional<QTime> ClockField::typedTime() const
{
    return readTypedTime(text(), QLocale(), m_clock());
}

void ClockField::setTime(const QTime &time)
{
    m_following = false;
    show(time);
}

QString ClockField::problem() const
{
    if (typedTime())
        return {};
    QString caption = Controls::withoutAccessKey(accessibleName());
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return typedTimeMessage(caption, text());
}

void ClockField::follow()
{
    m_following = true;
    showClock();
}

void ClockField::show(const QTime &time)
{
    const bool following = m_following;
    m_showingClock = true;
    lineEdit()->setText(shown(time));
    m_showingClock = false;
    m_following = following;
}

// The time the operator is about to replace stays still while the field has the focus; it
// catches up when the focus leaves.
void ClockField::showClock()
{
    if (!m_following || hasFocus())
        return;
    show(m_clock());
}

void ClockField::readyForTyping()
{
    lineEdit()->selectAll();
}

QSize ClockField::sizeHint() const
{
    // Room for the widest time of the user's format, and a little to type another form in.
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.setWidth(hint.width() +
                  fontMetrics().horizontalAdvance(shown(QTime(22, 58)) + QLatin1Char('0')));
    return hint;
}

QSize ClockField::minimumSizeHint() const
{
    return sizeHint();
}

void ClockField::focusInEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusInEvent(event);
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
        lineEdit()->setCursorPosition(0); // the arrow keys step the hours
        break;
    }
}

void ClockField::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    m_readyOnRelease = false;
    // How a time typed was read; a text that is not a time stays as typed, to be refused.
    if (!m_following) {
        if (const std::optional<QTime> time = typedTime())
            show(*time);
    }
    showClock();
}

void ClockField::mouseReleaseEvent(QMouseEvent *event)
{
    QAbstractSpinBox::mouseReleaseEvent(event);
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
    return QAbstractSpinBox::eventFilter(watched, event);
}

QAbstractSpinBox::StepEnabled ClockField::stepEnabled() const
{
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

// Anything may be typed: it is read, or refused with a message, when the entry is made.
QValidator::State ClockField::validate(QString &, int &) const
{
    return QValidator::Acceptable;
}

void ClockField::stepBy(int steps)
{
    const std::optional<QTime> time = typedTime();
    if (!time)
        return;
    // The hours while the cursor stands before the minutes' two digits.
    const QString typed = text();
    qsizetype minutesAt = typed.indexOf(QRegularExpression(QStringLiteral("[:.]"))) + 1;
    if (minutesAt == 0)
        minutesAt = typed.indexOf(QRegularExpression(QStringLiteral("\\d\\d(?!\\d)")));
    const int cursor = lineEdit()->cursorPosition();
    const bool hours = cursor < minutesAt;
    m_following = false;
    show(time->addSecs(steps * (hours ? 3600 : 60)));
    lineEdit()->setCursorPosition(hours ? 0 : int(lineEdit()->text().size()));
}
