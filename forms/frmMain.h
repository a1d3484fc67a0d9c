#pragma once

#include "settings/SettingsStore.h"
#include "settings/StoredSettings.h"

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
// the date and time. It remembers its outer geometry and the four dosing parameters in the
// settings store between runs, and opens the input and output window from its menu.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(SettingsStore store = SettingsStore(), QWidget *parent = nullptr);

    // Takes the outer geometry and the dosing parameters from the store, one key at a time, each
    // applied before the next is read. A stored text that is not a number stops the load at its
    // key, with a message to the operator. Run once, before the window is first shown.
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
    void apply(StoredSettings::Value value, float number);
    float currentValue(StoredSettings::Value value, const QRect &outer) const;
    QMargins frameMargins() const;
    void setOuterGeometry(const QRect &outer);
    bool stillAsLoaded(const QMargins &frame) const;
    void reportStoreProblem();

    SettingsStore m_store;
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
    // The outer geometry loaded before the window manager had framed the window. Until the frame
    // is known the client has the outer size; it is brought to the right size once it is known.
    std::optional<QRect> pendingOuter;
};
