#pragma once

#include <QTimeEdit>
#include <functional>

class QTimer;

// A time field for what happens now: it shows the clock's hours and minutes, in the user's time
// format, and follows the clock until the operator changes the time. One click in it, or Tab,
// readies it for another time: the digits typed then replace the time shown, hours first, with or
// without the separator ("2115" is 21:15, "915" is 9:15). follow() makes it follow the clock
// again, as after the entry the time was given for.
class ClockField : public QTimeEdit {
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;

    explicit ClockField(QWidget *parent = nullptr);

    // The clock it follows: the system's, unless a test gives another.
    void setClock(Clock clock);
    // False once a time was typed, stepped or set; follow() makes it true again.
    bool isFollowing() const { return m_following; }

public slots:
    void follow();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void stepBy(int steps) override;

private:
    void showClock();
    void readyForTyping();
    int highestHour() const;

    Clock m_clock = &QTime::currentTime;
    QTimer *m_tick = nullptr;
    bool m_following = true;
    bool m_showingClock = false;   // the time changes by the clock, not by the operator
    bool m_readyOnRelease = false; // a click gave it the focus
    QString m_typedHours;          // the digits of the hours typed since it was readied
};
