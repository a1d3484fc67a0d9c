#pragma once

#include "calc/session/Session.h"
#include "calc/session/SessionReport.h"
#include "calc/session/SessionText.h"

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <optional>

class ClockField;
class EntryGate;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// The session as it happens, in the Session Plan window: the Portions, Readings and Booster tabs,
// each with the time field its entries take, and below them Correct... and Void..., which act on
// the entry selected in the tab shown. It presents the session's report and makes every entry
// through the session's operations (by way of the window's EntryGate); the session announces each
// entry with its changed() signal.
class SessionTabs : public QWidget {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    SessionTabs(Session &session, EntryGate &gate, QWidget *parent = nullptr);

    // The clock "now" is read from, and the time fields follow: the system's unless a test gives
    // another.
    void setClock(Clock clock);
    // Shows `report`, made with boosterMinutes().
    void present(const SessionReport &report);
    // The same with the report's words already made (describeSession, in the regional format).
    void present(const SessionReport &report, const SessionText &text);
    // The booster's drinking period typed; none while it cannot be read.
    std::optional<float> boosterMinutes() const;

    QSize sizeHint() const override;

public slots:
    // Marks the next portion not yet served as served at the time of "Served at:".
    void cmdServed_Click();
    // Adds the reading typed at the time of "Time:"; one that cannot be read stays in its field.
    void cmdAddReading_Click();
    // Records the booster offered as served at the time of the Booster tab's "Served at:".
    void cmdBoosterServed_Click();
    // Correct or void the entry selected in the tab shown.
    void cmdCorrect_Click();
    void cmdVoid_Click();

signals:
    // The booster's drinking period was typed: the offer is worked out again.
    void boosterPeriodChanged();

private:
    QWidget *createPortionsTab();
    QWidget *createReadingsTab();
    QWidget *createBoosterTab();
    // The time typed in `field`; none, with a message naming the forms, when it is not a time.
    std::optional<QTime> timeOf(ClockField *field);
    // The entry selected in the tab shown that may be corrected or voided; 0 for none.
    int selectedEntry() const;
    void enableEntries();

    Session &m_session;
    EntryGate &m_gate;
    Clock m_clock;
    SessionReport m_report;
    QTabWidget *tabSession = nullptr;
    QTreeWidget *grdPortions = nullptr;
    ClockField *tmeServed = nullptr;
    QPushButton *cmdServed = nullptr;
    QTreeWidget *grdReadings = nullptr;
    ClockField *tmeReading = nullptr;
    QLineEdit *txtReading = nullptr;
    QPushButton *cmdAddReading = nullptr;
    QLabel *lblObservedPeak = nullptr;
    QLabel *lblDescending = nullptr;
    QLabel *lblReleaseReading = nullptr;
    QLineEdit *txtBoosterDD = nullptr;
    QLabel *lblBooster = nullptr;
    QLabel *lblBoosterWarning = nullptr;
    QLabel *lblBoosterCourse = nullptr;
    QLabel *lblBoosterCaveat = nullptr; // with the band of the estimate's peak
    QTreeWidget *grdBoosters = nullptr;
    ClockField *tmeBooster = nullptr;
    QPushButton *cmdBoosterServed = nullptr;
    QPushButton *cmdCorrect = nullptr;
    QPushButton *cmdVoid = nullptr;
};
