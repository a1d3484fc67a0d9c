#pragma once

#include "calc/dose/DosingState.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/Protocol.h"
#include "calc/dose/SessionPlan.h"
#include "forms/main/RunValues.h"

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The main window's Protocol menu: a study's parameters and limits opened from a file, saved
// from the current values, the limits edited, or no protocol. Opening a protocol sets the dosing
// parameters, the unit of levels and the session plan's choices to its values; the operator may
// still change them, and a calculation that differs from it says so.
class ProtocolMenu : public QObject {
    Q_OBJECT

public:
    // The values a protocol sets and is saved from; `level` is the lab's unit of levels.
    ProtocolMenu(QMenuBar *bar, DosingState &state, RunValues &run, SessionPlanSettings &plan,
                 const LevelScale &level, QWidget *owner);

    // The protocol remembered from the last run, opened again at start; a file that can no
    // longer be read is named once and forgotten, and the last values stay.
    void restore(const QString &path);

public slots:
    void mnuProtocolOpen_Click();
    void mnuProtocolSave_Click();
    // The limits in a dialog; for a protocol opened from a file, asked first, since every site
    // that uses the file gets them.
    void mnuProtocolLimits_Click();
    void mnuProtocolNone_Click();
    // Uses the protocol of the file and sets the values from it; a file that cannot be used gets
    // a message naming what is wrong, and nothing changes.
    bool openProtocol(const QString &path);
    // Saves the current values and limits under `name` and uses them as the protocol; values a
    // protocol cannot hold are named and nothing is written.
    bool saveProtocolAs(const QString &path, const QString &name);
    // The limits of the protocol in use, written to its file at once; without a protocol they
    // judge the doses of this run only.
    bool setLimits(const ProtocolLimits &limits);

signals:
    // The protocol was opened, saved, changed or given up.
    void protocolChanged();
    // Opening a protocol set the unit of levels to its own.
    void levelChosen(const LevelScale &level);

private:
    // The protocol the current values make, under `name`, with the limits and the device in use.
    Protocol fromCurrentValues(const QString &name) const;
    // `sha256` is that of the file's bytes as read or written.
    void use(const Protocol &protocol, const QString &path, const QByteArray &sha256);

    DosingState &m_state;
    RunValues &m_run;
    SessionPlanSettings &m_plan;
    const LevelScale &m_level;
    QWidget *m_owner;
    QMenu *mnuProtocol = nullptr;
    QAction *mnuProtocolOpen = nullptr;
    QAction *mnuProtocolSave = nullptr;
    QAction *mnuProtocolLimits = nullptr;
    QAction *mnuProtocolNone = nullptr;
};
