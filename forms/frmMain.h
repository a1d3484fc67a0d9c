#pragma once

#include "calc/DosingState.h"
#include "forms/OuterGeometry.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QTimer>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;
class QTime;

// The program's main window: an empty workspace under a menu bar, with a status bar showing
// the date and time. It remembers its outer geometry and the four dosing parameters in the
// settings store between runs, and opens the input and output window from its menu.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(DosingState &state, SettingsStore store = SettingsStore(),
                     QWidget *parent = nullptr);

    // Takes the outer geometry and the dosing parameters from the store. A key whose stored text
    // is not a number takes its default and every other key its stored value; one message tells
    // the operator what was not read. Run once, before the window is first shown.
    void MDIForm_Load();

    // Milliseconds from `now` to the next minute boundary, when the clock panels change.
    static int msecsToNextMinute(const QTime &now);

public slots:
    void mnuInput_Click();
    void mnuHelpAbout_Click();
    void mnuExit_Click();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenu();
    void createStatusBar();
    void updateClock();
    // Writes the geometry and the dosing parameters to the store unless the window is minimised.
    void MDIForm_Unload();

    DosingState &m_state;
    SettingsStore m_store;
    OuterGeometry m_outer;
    QMdiArea *workspace = nullptr;
    QAction *mnuInput = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpAbout = nullptr;
    QAction *mnuExit = nullptr;
    QStatusBar *sbStatusBar = nullptr;
    QLabel *statusPanel = nullptr;
    QLabel *datePanel = nullptr;
    QLabel *timePanel = nullptr;
    QTimer clockTimer;
};
