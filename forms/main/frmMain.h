#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/SessionPlan.h"
#include "calc/session/Session.h"
#include "forms/common/OuterGeometry.h"
#include "forms/main/RunValues.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <optional>

class ElidingLabel;
class frmLabDay;
class frmPlan;
class ProtocolMenu;
class QAction;
class QLabel;
class QMdiArea;
class QMenuBar;
class QMenu;
class QStatusBar;
class QTime;

// The program's main window: an empty workspace under a menu bar, with a status bar showing
// the date and time. It remembers its outer geometry, the four dosing parameters, the session
// plan's choices and the units of height and weight in the settings store between runs, and
// opens the input and output window and the session plan from its menu. After a calculation
// whose values lie outside their plausible range, the first status panel names them until the
// next calculation. Several sessions run at once, each in a window of its own (up to
// MostSessions), beside History and the Lab Day; closing the main window with sessions open asks
// first, naming them, and then closes each as its own Close would.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // `run` is what the run keeps beside `state`: the metric height and weight, the typed target
    // and the last dose calculated, which the session plan is made from.
    frmMain(DosingState &state, RunValues &run, SettingsStore store = SettingsStore(),
            QWidget *parent = nullptr);

    // Takes the outer geometry, the dosing parameters, the session plan's choices and the units
    // from the store. A key whose stored text is not a usable number takes its default and every
    // other key its stored value; one message tells the operator what was not read. Run once,
    // before the window is first shown.
    void MDIForm_Load();

    // Milliseconds from `now` to the next minute boundary, when the clock panels change.
    static int msecsToNextMinute(const QTime &now);

    // As many session windows as are open at once, at most.
    static constexpr int MostSessions = 8;
    // The session windows open, in the order they were opened.
    QList<frmPlan *> openSessions() const;

public slots:
    void mnuInput_Click();
    void mnuPlan_Click();
    // Lab Day: every open session's next item, in a window of its own beside them.
    void mnuLabDay_Click();
    // Open Record...: asks for a session record's file, starting in the folder of the record last
    // opened or saved, and opens it.
    void mnuRecordOpen_Click();
    // Opens the session record at `path` in the Session Plan window.
    void openRecord(const QString &path);
    // History...: asks for a session record's file, as Open Record... does, and shows its history.
    void mnuHistory_Click();
    void showHistory(const QString &path);
    // Study Summary...: a study's records summarised, starting in the folder of the record last
    // opened or saved.
    void mnuStudy_Click();
    void mnuHelpAbout_Click();
    void mnuExit_Click();
    void setUnits(BodyUnits units);
    void setLevelUnit(LevelUnit unit);
    // A ratio from 1000 to 4000; anything else is refused with a message and the ratio stays.
    void setBreathRatio(float ratio);
    // Other...: asks for the ratio as text and sets it if it is a number in range.
    void mnuRatioOther_Click();
    void setBreathRatioText(const QString &text);
    // "Status" (or "Protocol: " and the protocol's name) when `notices` is empty, else "Check: "
    // and the notices, with their count when there are several; announced to screen readers.
    void showNotices(const QStringList &notices);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenu();
    void createStatusBar();
    void createUnitsMenu(QMenuBar *bar);
    void addLevelChoices();
    void updateClock();
    // The record file chosen under `caption`, from the folder of the last one; empty for none.
    QString askForRecord(const QString &caption);
    // The protocol a session is dosed under: the one in use, with its name and its file's digest.
    SessionProtocol sessionProtocol() const;
    // Writes the geometry, the dosing parameters and the session plan's choices to the store
    // unless the window is minimised. A failure is told, except, unless `tellLocked`, that another
    // copy of Pourwise holds the settings: then false, for the caller to ask Retry or Discard
    // changes.
    bool MDIForm_Unload(bool tellLocked = true);
    // Whether another session window may open; else a message.
    bool roomForASession();
    // Shows `plan` beside the windows open, a little below and right of the last, and keeps it
    // until it closes.
    void showSession(frmPlan *plan);
    // With sessions open, asks first, naming them, and closes each; false when one stays open.
    bool closeSessions();

    DosingState &m_state;
    RunValues &m_run;
    SessionPlanSettings m_planSettings;
    QString m_recordFolder; // of the record last opened or saved
    QList<QPointer<frmPlan>> m_sessions;
    QPointer<frmLabDay> m_labDay;
    ValueUnits m_units;
    SettingsStore m_store;
    OuterGeometry m_outer;
    QMdiArea *workspace = nullptr;
    QAction *mnuInput = nullptr;
    QMenu *mnuRecord = nullptr;
    QAction *mnuPlan = nullptr;
    QAction *mnuLabDay = nullptr;
    QAction *mnuRecordOpen = nullptr;
    QAction *mnuHistory = nullptr;
    QAction *mnuStudy = nullptr;
    QMenu *mnuUnits = nullptr;
    QAction *mnuUnitsUS = nullptr;
    QAction *mnuUnitsMetric = nullptr;
    QList<QAction *> mnuLevel; // one per unit of levels, in the order of LevelUnits
    QList<QAction *> mnuRatio; // one per usual ratio, then Other...
    ProtocolMenu *m_protocolMenu = nullptr;
    QStringList m_notices; // shown in the first status panel
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpAbout = nullptr;
    QAction *mnuExit = nullptr;
    QStatusBar *sbStatusBar = nullptr;
    ElidingLabel *statusPanel = nullptr;
    QLabel *datePanel = nullptr;
    QLabel *timePanel = nullptr;
    QTimer clockTimer;
};
