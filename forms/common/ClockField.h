#pragma once

#include <QAbstractSpinBox>
#include <QTime>
#include <functional>
#include <optional>

class QTimer;

// A time field for what happens now: it shows the clock's hours and minutes, in the user's time
// format, and follows the clock until the operator changes the time. One click in it, Tab or its
// caption's access key readies it for another time: what is typed then replaces the time shown,
// and is read as people type times ("2115", "9:15", "120pm", "1030a"; see calc/session/TypedTime.h)
// when the entry is made, exactly as typed, or refused with a message naming the forms. Once the
// focus leaves it, a time it can read is shown in the user's format, so that the operator sees how
// it was read. The arrow keys and the wheel step the hours or the minutes, as the cursor stands.
// follow() makes it follow the clock again, as after the entry the time was given for.
class ClockField : public QAbstractSpinBox {
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;

    explicit ClockField(QWidget *parent = nullptr);

    // The clock it follows, and reads a time typed without AM or PM by: the system's, unless a
    // test or the window gives another.
    void setClock(Clock clock);
    // False once a time was typed, stepped or set; follow() makes it true again.
    bool isFollowing() const { return m_following; }

    // The time the field holds, read as calc/TypedTime reads it at the clock's time; none when the
    // text is not a time.
    std::optional<QTime> typedTime() const;
    // The same, or an invalid time.
    QTime time() const { return typedTime().value_or(QTime()); }
    // Shows `time` in the user's format, and holds it: the field no longer follows the clock.
    void setTime(const QTime &time);
    // The message for a text that is not a time, naming the field by its caption; empty when the
    // field holds a time.
    QString problem() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void stepBy(int steps) override;

public slots:
    void follow();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &pos) const override;

private:
    void showClock();
    void show(const QTime &time);
    void readyForTyping();

    Clock m_clock = &QTime::currentTime;
    QTimer *m_tick = nullptr;
    bool m_following = true;
    bool m_showingClock = false;   // the text changes by the clock or the field, not the operator
    bool m_readyOnRelease = false; // a click gave it the focus
};
