#pragma once

#include "calc/record/RecordStatus.h"
#include "calc/study/StudyFiles.h"
#include "calc/study/StudyTables.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <array>
#include <map>
#include <utility>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class StudyPicture;
class StudySortModel;
class StudyTableModel;

// "Study Summary": a study's session records, chosen as files or as a folder searched with its
// subfolders, summarised in one window: the achievement table, the sessions table (sorted by any
// column), and a picture of each session's own peak against its target by group. Each table
// is saved as CSV with the very bytes pourwise-dose writes (docs/study.md), through the verified
// save; the picture is printed or saved as PNG or PDF. A record that cannot be read is a row of
// the sessions table with its status and why, and the summary goes on; a count line says how
// many records the achievement counts, and what it leaves out is told above the tables as
// pourwise-dose --achievement tells it. The records are read in
// the event loop, a few at a time, with the progress shown, so that the window answers however
// many there are.
class frmStudy : public QDialog {
    Q_OBJECT

public:
    // `recordFolder`: where the file dialogs start; empty for the home folder.
    explicit frmStudy(const QString &recordFolder = QString(), QWidget *owner = nullptr);
    ~frmStudy() override;

    // Summarises the records `paths` name (files as given, folders searched with their
    // subfolders, as StudyFiles finds them) in place of the summary shown. It returns at once:
    // the records are read from the event loop, and summaryReady() tells when all of them are.
    void summarise(const QStringList &paths);
    bool isReading() const { return m_reading.isActive(); }
    // A table's CSV text as Save as CSV... writes it: the records read so far; the achievement's
    // rows once all are.
    QByteArray tableText(StudyTableKind kind) const;
    // Saves a table, or the picture (as PNG or PDF by the name's ending), as `path`; false with
    // a message when it cannot, the file as it was.
    bool saveTable(StudyTableKind kind, const QString &path);
    bool savePicture(const QString &path);
    // Where the dialogs that open records start: the folder of the last record or folder chosen.
    QString recordFolder() const { return m_folder; }
    // Where Save as CSV... and Save Picture... start: the folder the last one was saved in, else
    // the one above the records, so that a table is not saved among the records by default,
    // where the next summary would take it for a record it cannot read.
    QString tablesFolder() const;

signals:
    void summaryReady();

public slots:
    void cmdOpenRecords_Click();
    void cmdOpenFolder_Click();
    void cmdSaveAchievement_Click();
    void cmdSaveSessions_Click();
    void cmdSaveReadings_Click();
    void cmdPrintPicture_Click();
    void cmdSavePicture_Click();
    void cmdClose_Click();

private:
    void layOut();
    QWidget *tablePage(const char *name, const QString &caption, QTableView *view,
                       const QList<QPushButton *> &buttons, QLabel *note = nullptr);
    void readSome();
    void finishReading();
    void showCounts();
    void showSelected(qsizetype point);
    void askToSaveTable(StudyTableKind kind, const QString &caption, const QString &name);

    QString m_folder;
    QString m_tablesFolder;
    QStringList m_files; // the records being summarised, in order
    qsizetype m_read = 0;
    QStringList m_emptyFolders;
    // The paths the study's files skipped, and why, for every table to tell.
    QList<std::pair<StudyFiles::Skip, QString>> m_skipped;
    StudyCounting m_counting; // the records the achievement counts
    std::array<StudyTable, 3> m_tables{StudyTable(StudyTableKind::Sessions),
                                       StudyTable(StudyTableKind::Readings),
                                       StudyTable(StudyTableKind::Achievement)};
    std::array<QByteArray, 3> m_text; // each table's CSV text, in the order of StudyTableKind
    std::map<RecordStatus, qint64> m_statuses; // how many records of each status
    // The records the operator is told of, as the command line tells them (StudyRecord::notice):
    // those that cannot be read, or are cut or changed.
    qint64 m_toCheck = 0;
    QTimer m_reading;

    StudyTableModel *m_achievement = nullptr;
    StudyTableModel *m_sessions = nullptr;
    StudySortModel *m_sortedSessions = nullptr;

    QPushButton *cmdOpenRecords = nullptr;
    QPushButton *cmdOpenFolder = nullptr;
    QLabel *lblCounts = nullptr;
    QLabel *lblCheck = nullptr;
    QScrollArea *scrLeftOut = nullptr;
    QLabel *lblLeftOut = nullptr;
    QProgressBar *prgReading = nullptr;
    QTabWidget *tabStudy = nullptr;
    QTableView *tblAchievement = nullptr;
    QTableView *tblSessions = nullptr;
    StudyPicture *picStudy = nullptr;
    QLabel *lblSelected = nullptr;
    QPushButton *cmdSaveAchievement = nullptr;
    QPushButton *cmdSaveSessions = nullptr;
    QPushButton *cmdSaveReadings = nullptr;
    QPushButton *cmdPrintPicture = nullptr;
    QPushButton *cmdSavePicture = nullptr;
    QPushButton *cmdClose = nullptr;
};
