#pragma once

#include "calc/Booster.h"
#include "calc/Protocol.h"
#include "calc/SessionRecord.h"

#include <QTabWidget>
#include <optional>

class ClockField;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The session as it happens, in three tabs of the Session Plan window: the portions with their
// served times, the readings against the expected curve, and the booster. Every entry goes into
// the record at once and is announced with changed(), so the window can save it.
class SessionTabs : public QTabWidget {
    Q_OBJECT

public:
    SessionTabs(SessionRecord &record, QWidget *parent = nullptr);

    // What the entries are shown against: the dose of the current choices, its plan (not ok:
    // no session to record), the portion rows in the plan's words, and the protocol judging.
    void setPlan(const DoseReport &report, const SessionPlan &plan,
                 const QList<QStringList> &portionRows, const std::optional<Protocol> &protocol);
    // A record that opened with a different dose is shown, never changed.
    void setReadOnly(bool readOnly);

public slots:
    // Marks the selected portion, or the first not yet served, as served at the time given.
    void cmdServed_Click();
    // Adds the reading typed at the time given; a reading that cannot be read is refused with a
    // message and stays in its field.
    void cmdAddReading_Click();
    // Records the booster estimated as served at the time given, after asking when it takes the
    // session over a limit.
    void cmdBoosterServed_Click();

signals:
    void changed();

private:
    QWidget *createPortionsTab();
    QWidget *createReadingsTab();
    QWidget *createBoosterTab();
    void showEntries();
    void showBooster();
    void enableEntries();

    SessionRecord &m_record;
    DoseReport m_report;
    SessionPlan m_plan;
    QList<QStringList> m_portionRows;
    std::optional<Protocol> m_protocol;
    BoosterEstimate m_booster;
    QStringList m_boosterWarnings;
    bool m_readOnly = false;
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
    ClockField *tmeBooster = nullptr;
    QPushButton *cmdBoosterServed = nullptr;
};
