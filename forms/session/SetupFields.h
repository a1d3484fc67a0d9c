#pragma once

#include "calc/dose/SessionPlan.h"
#include "calc/session/Session.h"
#include "calc/session/SessionReport.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <functional>

class EntryGate;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;
class QWidget;

// The session's setup in the Session Plan window, in two frames the window lays out with the
// calculated dose between them: Session (the session code, the beverage and its float, the
// record's state line, or for a new session where its record will be saved with Change Folder...,
// and the operator) and Plan (the start of drinking, the number of portions
// and the release level). Until the setup is fixed each field typed calls the session's setter,
// and a refusal is kept beside its field for the window to show; afterwards a start or release
// level typed is a correction of the setup, with a reason, made through the window's EntryGate.
// Its controls are the window's, under their own names.
class SetupFields : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // The fields of `session` in `window`; a change the session takes is remembered in
    // `settings`, the run's plan choices.
    SetupFields(Session &session, SessionPlanSettings &settings, EntryGate &gate, QWidget *window);

    QGroupBox *sessionFrame() const { return m_sessionFrame; }
    QGroupBox *planFrame() const { return m_planFrame; }

    // The clock a start typed is read against: the system's unless a test gives another.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Which fields take a change while `report`'s session is as it is, and the operator line.
    void present(const SessionReport &report);
    // What the state line says of the record's file; a new session's says where it will be
    // saved, beside Change Folder...
    void showRecordState(const QString &text);
    // The fields as the session has them, a correction's values in force.
    void showSetup();
    // The code typed is the session's; else a message, and false.
    bool takeSessionCode();
    // The session code field as typed, and a code given elsewhere shown in it (and so taken).
    QString typedSessionCode() const;
    void showSessionCode(const QString &code);
    // What a setup field holds that the session did not take, the first field's first; empty
    // when the session has what every field shows.
    QString setupProblem() const;

signals:
    // A change of the setup was taken or refused: the window presents the session again.
    void answered();
    // Change Folder... was pressed.
    void changeFolderAsked();

private:
    void createFrames();
    // The setup's fields, as typed, before the setup is fixed.
    void setSessionCode(const QString &code);
    void setBeverage();
    void setStart();
    void setPortions();
    void setReleaseLevel();
    // The start or the release level typed once the setup is fixed: a correction, with a reason.
    void correctSetup();
    // The outcome of a change of the setup typed in `field`: its refusal kept, or none.
    void setupAnswered(QWidget *field, const SessionRefusal &refusal);

    Session &m_session;
    SessionPlanSettings &m_settings;
    EntryGate &m_gate;
    QWidget *m_window;
    Clock m_clock;
    SessionReport m_report;
    QHash<const QWidget *, QString> m_setupProblems; // by field
    bool m_correcting = false;                       // a correction's dialog is open
    QGroupBox *m_sessionFrame = nullptr;
    QGroupBox *m_planFrame = nullptr;
    QLabel *lblSessionCode = nullptr;
    QLineEdit *txtSessionCode = nullptr;
    QLabel *lblSessionProblem = nullptr;
    QRadioButton *optAlcohol = nullptr;
    QRadioButton *optPlacebo = nullptr;
    QLabel *lblFloat = nullptr;
    QSpinBox *spnFloat = nullptr;
    QLabel *lblRecordFile = nullptr;
    QLabel *lblRecordPlace = nullptr; // where a new session's record will be saved
    QPushButton *cmdChangeFolder = nullptr;
    QLabel *lblOperator = nullptr;
    QLabel *lblStart = nullptr;
    QTimeEdit *tmeStart = nullptr;
    QLabel *lblPortions = nullptr;
    QSpinBox *spnPortions = nullptr;
    QLabel *lblReleaseLevel = nullptr;
    QLineEdit *txtRelease = nullptr;
};
