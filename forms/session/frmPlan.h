#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/SessionPlan.h"
#include "calc/files/RecordLock.h"
#include "calc/record/RecordReader.h"
#include "calc/session/Session.h"
#include "calc/session/SessionSchedule.h"
#include "calc/session/SessionText.h"

#include <QDateTime>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class BalChart;
class EntryGate;
class QBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class RecordKeeper;
class SessionTabs;
class SetupFields;

// "Session Plan": one participant's session, which the window presents and adds to through the
// session's own operations (calc/session/Session.h). A new session is made from the last dose
// calculated in this run: its code, beverage, start, number of portions and release level change
// until its first entry or its file; then the start and the release level are corrected, with a
// reason. How to serve the dose and when the participant is expected to fall below the release
// level follow from the session's report, by the dosing model's own assumptions; the entries as
// they happen (portions served, readings, a booster, corrections and voids) are in the tabs. Once
// saved, every entry is written to the record's file at once, and the window holds the file's
// lock for as long as it may add to it. The number of portions and the release level are the
// run's, remembered with the other settings; the session code and the operator's initials never
// are.
//
// The window is not modal: the operator keeps several sessions open side by side, each window
// with its own session, record and lock. Under the tabs it says what is due next (see
// calc/session/SessionSchedule.h) and counts down to it; when an item falls due the window sounds
// once, says so to screen readers, and its title starts with "Due: " until the item is entered.
class frmPlan : public QDialog {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // Asks for a folder, starting in `start`; empty when none is chosen.
    using FolderChooser = std::function<QString(QWidget *owner, const QString &start)>;

    // A new session of `dose` under `protocol` (none: no protocol); `settings` are the run's plan
    // choices, which the window's choices change.
    frmPlan(const DoseInput &dose, SessionPlanSettings &settings,
            const SessionProtocol &protocol = {}, QWidget *owner = nullptr);
    ~frmPlan() override;

    // The window of the record saved at `path`, or none with a message when it cannot be read.
    // The file is read away from the window's thread. It opens read-only, saying why, as
    // RecordKeeper::open says. Its protocol's limits judge it again when `inUse` is the protocol
    // it names, read from a file with the same SHA-256.
    static std::unique_ptr<frmPlan>
    openRecord(const QString &path, const SessionProtocol &inUse = {}, QWidget *owner = nullptr);

    const Session &session() const { return *m_session; }
    // The report shown, and what is due by it under the protocol's schedule.
    const SessionReport &report() const { return m_report; }
    const SessionSchedule &schedule() const { return m_schedule; }
    // The moment "now" is, by the window's clock.
    QDateTime now() const { return m_clock(); }
    // The clock "now" is read from: the system's, unless a test gives another.
    void setClock(Clock clock);
    // The records folder: where a new session's record is saved at its first entry and Save
    // Record... starts; after a save, the folder of the file saved. None given: "Pourwise
    // Records" in the documents folder (see calc/record/RecordPlace.h).
    QString recordFolder() const;
    void setRecordFolder(const QString &folder);
    // The user's documents folder, which holds the default records folder: the system's unless a
    // test gives another.
    void setDocumentsLocation(const QString &documents);
    // Where a new session's record will be saved at its first entry.
    QString newRecordPath() const;
    // How Change Folder... asks for a folder: QFileDialog's unless a test gives another.
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

signals:
    // The next item's time has come: the window sounds and says it.
    void itemFellDue();

public slots:
    void cmdPrint_Click();
    void cmdPrintObserver_Click();
    void cmdClose_Click();
    // Chooses the records folder a new session's record is saved in; entries that could not be
    // saved are saved there at once.
    void cmdChangeFolder_Click();
    // Asks for the file and saves the record there: Save Record... for a new session, Save
    // Record As... once it has a file.
    void cmdSaveRecord_Click();
    // Saves the record to `path`, never over another file; false with a message when it cannot.
    // A new session, and one that stopped recording into its file, keep saving every entry there,
    // holding its lock; one that records writes a copy and goes on as it was; one opened
    // read-only is not saved.
    bool saveRecordAs(const QString &path);
    void reject() override;
    // Closed, the window gives up the record's lock.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    // The viewport's width sets whether the entries stand beside the chart or above it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmPlan(std::unique_ptr<Session> session, std::unique_ptr<RecordLock> lock,
            const RecordStamp &stamp, bool limitsChecked, QWidget *owner);
    void createControls();
    void layOut();
    // Evaluates the session now and shows its report; a large record's away from the window's
    // thread.
    void refresh();
    void showPlan();
    void showRecordState();
    // The next item and the time to it; the title and the sound when it falls due.
    void showDue();
    // An entry was made or the setup changed: the entries are saved at once to the record's file,
    // a new session's first into its file in the records folder.
    void sessionChanged();
    void saveEntries();
    // Before a new session's first entry: its record's file is not there yet; else a message and
    // false.
    bool placeIsFree();
    // Asked before the first entry into a version-1 file; true to go on.
    bool mayTurnIntoCurrentVersion();
    // Save, Discard or Cancel for entries not yet saved; true when the window may close.
    bool mayClose();
    // Whether Save Record As... may save the record: not when it was opened read-only.
    bool mayBeSavedAs() const;
    QStringList protocolText() const;
    // How often readings fall due: by the session's protocol, or by default.
    ProtocolSchedule protocolSchedule() const;

    std::unique_ptr<Session> m_session;
    std::unique_ptr<RecordKeeper> m_keeper; // the record's file and its lock
    std::unique_ptr<EntryGate> m_gate;
    SessionPlanSettings m_ownSettings; // a reopened record's choices
    SessionPlanSettings &m_settings;
    bool m_limitsChecked = false; // the session's protocol judges it
    bool m_closeAllowed = false;
    QString m_recordFolder; // empty: the default under m_documents
    QString m_documents;
    FolderChooser m_chooseFolder;
    qsizetype m_entriesSeen = 0; // a new entry is saved; a change of the setup is not
    Clock m_clock;
    SessionReport m_report;
    SessionText m_text; // the report's words
    bool m_refreshing = false;
    bool m_refreshAgain = false;
    SessionSchedule m_schedule;
    std::optional<DueItem> m_dueSaid; // the item whose falling due was said
    QTimer m_nowTimer;
    QTimer m_dueTimer;
    SetupFields *m_setup = nullptr; // the Session and Plan frames
    QLabel *lblDoseInputs = nullptr;
    QLabel *lblDoseVolumes = nullptr;
    QLabel *lblProtocolName = nullptr;
    QLabel *lblProblem = nullptr;
    QLabel *lblProtocol = nullptr; // differences from the protocol and limits passed
    QLabel *lblPeak = nullptr;
    QLabel *lblRelease = nullptr;
    QLabel *lblZero = nullptr;
    QLabel *lblPeakBand = nullptr; // how far participants like this one spread
    QLabel *lblReleaseBand = nullptr;
    QLabel *lblPersonal = nullptr; // the participant's own fall, from their readings
    QLabel *lblPlacebo = nullptr;
    SessionTabs *tabSession = nullptr;
    QLabel *lblNextDue = nullptr; // what is due next, under the tabs
    QScrollArea *scroll = nullptr;
    QBoxLayout *resultsLayout = nullptr; // the entries beside the chart, or above it
    BalChart *picChart = nullptr;
    QLabel *lblChartNote = nullptr; // what the chart could not draw
    QLabel *lblBandNote = nullptr;  // what the band assumes
    QPushButton *cmdSaveRecord = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdPrintObserver = nullptr;
    QPushButton *cmdClose = nullptr;
};
