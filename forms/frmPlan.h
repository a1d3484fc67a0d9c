#pragma once

#include "calc/DoseEvaluation.h"
#include "calc/SessionPlan.h"
#include "calc/SessionRecord.h"

#include <QDialog>
#include <QTime>
#include <QTimer>
#include <memory>

class BalChart;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;
class SessionTabs;

// "Session Plan": how to serve the last dose calculated in this run and when the participant is
// expected to fall below the release level, by the dosing model's own assumptions, and the
// record of the session as it happens: the session code, the beverage, the portions served, the
// readings and a booster. The number of portions and the release level are the run's,
// remembered with the other settings; the session code never is. Once the record has been saved,
// every entry rewrites its file at once.
class frmPlan : public QDialog {
    Q_OBJECT

public:
    // `dose` holds the values of the dose as the operator gave them; `protocol`, when there is
    // one, judges it.
    frmPlan(const DoseInput &dose, SessionPlanSettings &settings,
            const std::optional<Protocol> &protocol = std::nullopt, QWidget *owner = nullptr);
    // A record opened from `path`: changes are saved there, or never with `readOnly`.
    frmPlan(const SessionRecord &record, const QString &path, bool readOnly,
            QWidget *owner = nullptr);

    // The window of the record saved at `path`. Its dose is computed again from its values: if
    // that differs from the dose it saved, it opens read-only, with a message that says so. A
    // file that cannot be read gets a message naming the line, and no window.
    static std::unique_ptr<frmPlan> openRecord(const QString &path, QWidget *owner = nullptr);

    // The start of drinking offered first: `now` rounded up to the next 5 minutes.
    static QTime defaultStart(const QTime &now);
    // "<session code>-<yyyy-mm-dd>" of the record's start, the name its files are offered under.
    static QString fileBaseName(const SessionRecord &record);

    const SessionRecord &record() const { return m_record; }

public slots:
    void cmdPrint_Click();
    void cmdClose_Click();
    // Asks for the file and saves the record there.
    void cmdSaveRecord_Click();
    // Saves the record to `path` and keeps saving every change there; false with a message when
    // it cannot.
    bool saveRecordAs(const QString &path);
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void layOut();
    // Recomputes the plan from the current choices and shows it.
    void refresh();
    void showPlan();
    void showRecordState();
    // An entry was made: saved at once when the record has a file.
    void recordChanged();
    // Rewrites the record's file, if it has one; a failure is told and the entries stay unsaved.
    void saveChanges();
    bool hasEntries() const;
    // Save, Discard or Cancel for entries not yet saved; true when the window may close.
    bool mayClose();
    void setSessionCode(const QString &code);
    void setBeverage();

    SessionPlanSettings m_ownSettings; // a reopened record's choices
    SessionPlanSettings &m_settings;
    const std::optional<Protocol> m_protocol;
    SessionRecord m_record;
    QString m_recordPath; // empty until saved
    bool m_readOnly = false;
    bool m_unsaved = false; // entries the file does not hold yet
    bool m_closeAllowed = false;
    DoseReport m_report; // the dose and the plan of the current choices
    SessionPlan m_plan;  // the report's plan, or why there is none
    QTimer m_nowTimer;
    QLabel *lblSessionCode = nullptr;
    QLineEdit *txtSessionCode = nullptr;
    QLabel *lblSessionProblem = nullptr;
    QRadioButton *optAlcohol = nullptr;
    QRadioButton *optPlacebo = nullptr;
    QLabel *lblFloat = nullptr;
    QSpinBox *spnFloat = nullptr;
    QLabel *lblRecordFile = nullptr;
    QLabel *lblDoseInputs = nullptr;
    QLabel *lblDoseVolumes = nullptr;
    QLabel *lblStart = nullptr;
    QTimeEdit *tmeStart = nullptr;
    QLabel *lblPortions = nullptr;
    QSpinBox *spnPortions = nullptr;
    QLabel *lblReleaseLevel = nullptr;
    QLineEdit *txtRelease = nullptr;
    QLabel *lblProblem = nullptr;
    QLabel *lblProtocol = nullptr; // differences from the protocol and limits passed
    QLabel *lblPeak = nullptr;
    QLabel *lblRelease = nullptr;
    QLabel *lblZero = nullptr;
    QLabel *lblPlacebo = nullptr;
    SessionTabs *tabSession = nullptr;
    BalChart *picChart = nullptr;
    QPushButton *cmdSaveRecord = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;
};
