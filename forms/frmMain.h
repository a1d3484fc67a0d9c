#pragma once

#include "calc/DosingState.h"
#include "calc/SessionPlan.h"
#include "forms/OuterGeometry.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QTimer>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;
class QTime;

// The program's main window: an empty workspace under a menu bar, with a status bar showing
// the date and time. It remembers its outer geometry, the four dosing parameters and the session
// plan's choices in the settings store between runs, and opens the input and output window and
// the session plan from its menu.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // `lastDose` is the run's last successful calculation, which the session plan is made from.
    frmMain(DosingState &state, std::optional<CalculatedDose> &lastDose,
            SettingsStore store = SettingsStore(), QWidget *parent = nullptr);

    // Takes the outer geometry, the dosing parameters and the session plan's choices from the
    // store. A key whose stored text is not a usable number takes its default and every other
    // key its stored value; one message tells the operator what was not read. Run once, before
    // the window is first shown.
    void MDIForm_Load();

    // Milliseconds from `now` to the next minute boundary, when the clock panels change.
    static int msecsToNextMinute(const QTime &now);

public slots:
    void mnuInput_Click();
    void mnuPlan_Click();
    void mnuHelpAbout_Click();
    void mnuExit_Click();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenu();
    void createStatusBar();
    void updateClock();
    // Writes the geometry, the dosing parameters and the session plan's choices to the store
    // unless the window is minimised.
    void MDIForm_Unload();

    DosingState &m_state;
    std::optional<CalculatedDose> &m_lastDose;
    SessionPlanSettings m_planSettings;
    SettingsStore m_store;
    OuterGeometry m_outer;
    QMdiArea *workspace = nullptr;
    QAction *mnuInput = nullptr;
    QAction *mnuPlan = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpAbout = nullptr;
    QAction *mnuExit = nullptr;
    QStatusBar *sbStatusBar = nullptr;
    QLabel *statusPanel = nullptr;
    QLabel *datePanel = nullptr;
    QLabel *timePanel = nullptr;
    QTimer clockTimer;
};
