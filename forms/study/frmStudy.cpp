#include "forms/study/frmStudy.h"

#include "calc/record/RecordFaultTexts.h"
#include "calc/study/StudyFaultTexts.h"
#include "calc/files/SafeWrite.h"
#include "calc/study/StudyFiles.h"
#include "calc/study/StudyLeftOut.h"
#include "forms/common/Controls.h"
#include "forms/common/OperatorMessage.h"
#include "forms/study/StudyPicture.h"
#include "forms/study/StudySortModel.h"
#include "forms/study/StudyTableModel.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QScrollArea>
#include <QSizeGrip>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Records read in one turn of the event loop: a few milliseconds' work, so that the window
// answers between turns.
constexpr qsizetype RecordsPerTurn = 20;

qsizetype indexOf(StudyTableKind kind)
{
    return qsizetype(kind);
}

QLabel *note(const char *name, const QString &text)
{
    QLabel *line = Controls::label(name, text);
    line->setWordWrap(true);
    return line;
}

QTableView *tableView(const char *name, const QString &accessibleName)
{
    auto *view = Controls::named(new QTableView, name);
    view->setAccessibleName(accessibleName);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    // Rows as the CSV text has them, without numbers, each as high as its line of text so that
    // many show at once.
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setAccessibleName(accessibleName + QStringLiteral(" columns"));
    Controls::nameScrollBars(view);
    return view;
}

} // namespace

frmStudy::frmStudy(const QString &recordFolder, QWidget *owner)
    : QDialog(owner), m_folder(recordFolder)
{
    using namespace Controls;
    setObjectName(QStringLiteral("frmStudy"));
    setWindowTitle(QStringLiteral("Study Summary"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    cmdOpenRecords = commandButton("cmdOpenRecords", QStringLiteral("Open Recor&ds..."));
    cmdOpenFolder = commandButton("cmdOpenFolder", QStringLiteral("Open &Folder..."));
    lblCounts = label("lblCounts", QStringLiteral("Open the session records of a study, or the "
                                                  "folder that holds them."));
    lblCounts->setWordWrap(true);
    lblCheck = alarmLabel("lblCheck");
    lblCheck->hide();
    // What the achievement leaves out, as pourwise-dose --achievement says it: a few lines high,
    // however many records it names, so that the tables keep their room.
    lblLeftOut = alarmLabel("lblLeftOut");
    lblLeftOut->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblLeftOut->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrLeftOut = named(new QScrollArea, "scrLeftOut");
    scrLeftOut->setAccessibleName(QStringLiteral("What the achievement leaves out"));
    scrLeftOut->viewport()->setAccessibleName(scrLeftOut->accessibleName());
    scrLeftOut->setFrameShape(QFrame::NoFrame);
    scrLeftOut->setWidgetResizable(true);
    scrLeftOut->setWidget(lblLeftOut);
    scrLeftOut->setMaximumHeight(fontMetrics().lineSpacing() * 5);
    nameScrollBars(scrLeftOut);
    scrLeftOut->hide();
    prgReading = named(new QProgressBar, "prgReading");
    prgReading->setAccessibleName(QStringLiteral("Records read"));
    prgReading->setFormat(QStringLiteral("Reading record %v of %m"));
    prgReading->hide();

    m_achievement = new StudyTableModel(this);
    m_sessions = new StudyTableModel(this);
    m_sortedSessions = new StudySortModel(this);
    m_sortedSessions->setSourceModel(m_sessions);
    tblAchievement = tableView("tblAchievement", QStringLiteral("Achievement"));
    tblAchievement->setModel(m_achievement);
    tblSessions = tableView("tblSessions", QStringLiteral("Sessions"));
    tblSessions->setModel(m_sortedSessions);
    // In the order read until a column's heading is clicked; a third click gives it back.
    tblSessions->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tblSessions->horizontalHeader()->setSortIndicatorClearable(true);
    tblSessions->setSortingEnabled(true);
    picStudy = new StudyPicture;
    lblSelected = label("lblSelected", QString());
    lblSelected->setWordWrap(true);
    lblSelected->setTextInteractionFlags(Qt::TextSelectableByMouse);
    showSelected(-1);

    cmdSaveAchievement =
        commandButton("cmdSaveAchievement", QStringLiteral("Save Achievement as &CSV..."));
    cmdSaveSessions = commandButton("cmdSaveSessions", QStringLiteral("Save Sessions as CS&V..."));
    cmdSaveReadings = commandButton("cmdSaveReadings", QStringLiteral("Save &Readings as CSV..."));
    cmdPrintPicture = commandButton("cmdPrintPicture", QStringLiteral("Pri&nt Picture..."));
    cmdSavePicture =
        commandButton("cmdSavePicture", QStringLiteral("Save Picture as PN&G or PDF..."));
    cmdClose = commandButton("cmdClose", QStringLiteral("Cl&ose"));
    for (QPushButton *save :
         {cmdSaveAchievement, cmdSaveSessions, cmdSaveReadings, cmdPrintPicture, cmdSavePicture})
        save->setEnabled(false);

    connect(cmdOpenRecords, &QPushButton::clicked, this, &frmStudy::cmdOpenRecords_Click);
    connect(cmdOpenFolder, &QPushButton::clicked, this, &frmStudy::cmdOpenFolder_Click);
    connect(cmdSaveAchievement, &QPushButton::clicked, this, &frmStudy::cmdSaveAchievement_Click);
    connect(cmdSaveSessions, &QPushButton::clicked, this, &frmStudy::cmdSaveSessions_Click);
    connect(cmdSaveReadings, &QPushButton::clicked, this, &frmStudy::cmdSaveReadings_Click);
    connect(cmdPrintPicture, &QPushButton::clicked, this, &frmStudy::cmdPrintPicture_Click);
    connect(cmdSavePicture, &QPushButton::clicked, this, &frmStudy::cmdSavePicture_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmStudy::cmdClose_Click);
    connect(picStudy, &StudyPicture::selectionChanged, this, &frmStudy::showSelected);
    connect(&m_reading, &QTimer::timeout, this, &frmStudy::readSome);
    layOut();
}

frmStudy::~frmStudy() = default;

QWidget *frmStudy::tablePage(const char *name, const QString &caption, QTableView *view,
                             const QList<QPushButton *> &buttons, QLabel *note)
{
    auto *page = Controls::named(new QWidget, name);
    page->setAccessibleName(caption);
    auto *column = new QVBoxLayout(page);
    column->addWidget(view, 1);
    auto *row = new QHBoxLayout;
    if (note)
        row->addWidget(note, 1);
    else
        row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    column->addLayout(row);
    return page;
}

void frmStudy::layOut()
{
    using namespace Controls;
    tabStudy = named(new QTabWidget, "tabStudy");
    tabStudy->setAccessibleName(QStringLiteral("Study summary"));
    tabStudy->addTab(tablePage("pgAchievement", QStringLiteral("Achievement"), tblAchievement,
                               {cmdSaveAchievement},
                               note("lblAchievementNote",
                                    QStringLiteral("The records whose status is ok, by "
                                                   "protocol, beverage and gender; levels in "
                                                   "g/100 ml."))),
                     QStringLiteral("&Achievement"));
    tabStudy->addTab(
        tablePage("pgSessions", QStringLiteral("Sessions"), tblSessions,
                  {cmdSaveSessions, cmdSaveReadings},
                  note("lblSessionsNote", QStringLiteral("One row per record. Click a column's "
                                                         "heading to sort by it."))),
        QStringLiteral("S&essions"));

    auto *picturePage = named(new QWidget, "pgPicture");
    picturePage->setAccessibleName(QStringLiteral("Picture"));
    auto *pictureColumn = new QVBoxLayout(picturePage);
    pictureColumn->addWidget(picStudy, 1);
    auto *pictureRow = new QHBoxLayout;
    pictureRow->addWidget(lblSelected, 1);
    pictureRow->addWidget(cmdPrintPicture);
    pictureRow->addWidget(cmdSavePicture);
    pictureColumn->addLayout(pictureRow);
    tabStudy->addTab(picturePage, QStringLiteral("&Picture"));
    if (auto *pages = tabStudy->findChild<QStackedWidget *>())
        pages->setAccessibleName(tabStudy->accessibleName());

    auto *openRow = new QHBoxLayout;
    openRow->addWidget(cmdOpenRecords);
    openRow->addWidget(cmdOpenFolder);
    openRow->addWidget(lblCounts, 1);
    auto *closeRow = new QHBoxLayout;
    closeRow->addWidget(prgReading, 1);
    closeRow->addStretch();
    closeRow->addWidget(cmdClose);
    auto *window = new QVBoxLayout(this);
    window->addLayout(openRow);
    window->addWidget(lblCheck);
    window->addWidget(scrLeftOut);
    window->addWidget(tabStudy, 1);
    window->addLayout(closeRow);
    if (auto *grip = findChild<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));

    const int u = fontMetrics().height();
    sizeWithinScreen(this, QSize(u * 64, u * 38), QSize(u * 30, u * 20));
}

void frmStudy::summarise(const QStringList &paths)
{
    m_reading.stop();
    m_files.clear();
    m_emptyFolders.clear();
    m_skipped.clear();
    StudyFiles::forEach(paths,
                        {.record = [this](const QString &file) { m_files << file; },
                         .emptyFolder = [this](const QString &folder) { m_emptyFolders << folder; },
                         .skipped =
                             [this](StudyFiles::Skip why, const QString &path) {
                                 m_skipped.append({why, path});
                             }});
    m_read = 0;
    m_statuses.clear();
    m_toCheck = 0;
    for (StudyTableKind kind :
         {StudyTableKind::Sessions, StudyTableKind::Readings, StudyTableKind::Achievement}) {
        StudyTable &table = m_tables[indexOf(kind)];
        table = StudyTable(kind, m_counting);
        for (const auto &[why, path] : m_skipped)
            table.skip(why, path);
        m_text[indexOf(kind)] = table.header();
    }
    lblLeftOut->clear();
    scrLeftOut->hide();
    m_sessions->reset(m_text[indexOf(StudyTableKind::Sessions)]);
    m_achievement->reset(m_text[indexOf(StudyTableKind::Achievement)]);
    picStudy->clear();
    for (QPushButton *save :
         {cmdSaveAchievement, cmdSaveSessions, cmdSaveReadings, cmdPrintPicture, cmdSavePicture})
        save->setEnabled(false);
    prgReading->setRange(0, int(m_files.size()));
    prgReading->setValue(0);
    prgReading->show();
    showCounts();
    m_reading.start(0);
}

void frmStudy::readSome()
{
    QByteArray sessionRows;
    const qsizetype end = std::min(m_files.size(), m_read + RecordsPerTurn);
    for (; m_read < end; ++m_read) {
        const StudyRecord record = readStudyRecord(m_files[m_read]);
        const QByteArray rows = m_tables[indexOf(StudyTableKind::Sessions)].add(record);
        sessionRows += rows;
        m_text[indexOf(StudyTableKind::Sessions)] += rows;
        m_text[indexOf(StudyTableKind::Readings)] +=
            m_tables[indexOf(StudyTableKind::Readings)].add(record);
        m_tables[indexOf(StudyTableKind::Achievement)].add(record);
        picStudy->add(record);
        ++m_statuses[record.status];
        m_toCheck += record.notice().isEmpty() ? 0 : 1;
    }
    m_sessions->append(sessionRows);
    prgReading->setValue(int(m_read));
    showCounts();
    if (m_read == m_files.size())
        finishReading();
}

void frmStudy::finishReading()
{
    m_reading.stop();
    const qsizetype achievement = indexOf(StudyTableKind::Achievement);
    const QByteArray rows = m_tables[achievement].finish();
    m_text[achievement] += rows;
    m_achievement->append(rows);
    tblAchievement->resizeColumnsToContents();
    tblSessions->resizeColumnsToContents();
    prgReading->hide();
    const QStringList leftOut = m_tables[achievement].leftOut().warnings();
    lblLeftOut->setText(leftOut.join(QLatin1Char('\n')));
    scrLeftOut->setVisible(!leftOut.isEmpty());
    for (QPushButton *save :
         {cmdSaveAchievement, cmdSaveSessions, cmdSaveReadings, cmdPrintPicture, cmdSavePicture})
        save->setEnabled(true);
    if (!m_emptyFolders.isEmpty()) {
        QStringList messages;
        for (const QString &folder : m_emptyFolders)
            messages << studyFolderEmptyMessage(folder);
        OperatorMessage::show(this, messages.join(QLatin1Char('\n')));
    }
    emit summaryReady();
}

void frmStudy::showCounts()
{
    lblCounts->setText(studyCountLine(m_statuses, m_counting));
    lblCheck->setText(QStringLiteral("Check %1 of the records: their status and problem are in "
                                     "Sessions.")
                          .arg(m_toCheck));
    lblCheck->setVisible(m_toCheck > 0);
}

void frmStudy::showSelected(qsizetype point)
{
    lblSelected->setText(point < 0 ? QStringLiteral("Point at a session, or select it by a click "
                                                    "or the arrow keys, to see its code.")
                                   : QStringLiteral("Selected: ") + picStudy->describe(point));
    QAccessibleEvent named(lblSelected, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

QByteArray frmStudy::tableText(StudyTableKind kind) const
{
    return m_text[indexOf(kind)];
}

bool frmStudy::saveTable(StudyTableKind kind, const QString &path)
{
    if (const QString problem = SafeWrite::write(path, tableText(kind)); !problem.isEmpty()) {
        OperatorMessage::show(this, studyFileSaveMessage(path, problem));
        return false;
    }
    m_tablesFolder = QFileInfo(path).absolutePath();
    return true;
}

bool frmStudy::savePicture(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    if (suffix == QLatin1String("png")) {
        drawn = picStudy->image().save(&buffer, "PNG");
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter page(&buffer);
        page.setTitle(picStudy->accessibleName());
        page.setCreator(QApplication::applicationName());
        page.setPageSize(QPageSize(QPageSize::A4));
        page.setPageOrientation(QPageLayout::Landscape);
        page.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        page.setResolution(300);
        drawn = picStudy->printOn(page);
    } else {
        OperatorMessage::show(this, studyPictureNameMessage(path));
        return false;
    }
    buffer.close();
    if (!drawn) { // nothing half drawn is written
        OperatorMessage::show(this, studyPictureNotDrawnMessage(path));
        return false;
    }
    if (const QString problem = SafeWrite::write(path, bytes); !problem.isEmpty()) {
        OperatorMessage::show(this, studyFileSaveMessage(path, problem));
        return false;
    }
    m_tablesFolder = QFileInfo(path).absolutePath();
    return true;
}

QString frmStudy::tablesFolder() const
{
    if (!m_tablesFolder.isEmpty())
        return m_tablesFolder;
    if (m_folder.isEmpty())
        return QDir::homePath();
    QDir above(m_folder);
    return above.cdUp() ? above.path() : m_folder;
}

void frmStudy::cmdOpenRecords_Click()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Open Records"), m_folder.isEmpty() ? QDir::homePath() : m_folder,
        QStringLiteral("Session records (*.csv);;All files (*)"));
    if (files.isEmpty())
        return;
    m_folder = QFileInfo(files.first()).absolutePath();
    summarise(files);
}

void frmStudy::cmdOpenFolder_Click()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Open Folder of Records"),
                                          m_folder.isEmpty() ? QDir::homePath() : m_folder);
    if (folder.isEmpty())
        return;
    m_folder = folder;
    summarise({folder});
}

void frmStudy::askToSaveTable(StudyTableKind kind, const QString &caption, const QString &name)
{
    const QString path = QFileDialog::getSaveFileName(
        this, caption, QDir(tablesFolder()).filePath(name), QStringLiteral("CSV tables (*.csv)"));
    if (!path.isEmpty())
        saveTable(kind, path);
}

void frmStudy::cmdSaveAchievement_Click()
{
    askToSaveTable(StudyTableKind::Achievement, QStringLiteral("Save Achievement as CSV"),
                   QStringLiteral("achievement.csv"));
}

void frmStudy::cmdSaveSessions_Click()
{
    askToSaveTable(StudyTableKind::Sessions, QStringLiteral("Save Sessions as CSV"),
                   QStringLiteral("sessions.csv"));
}

void frmStudy::cmdSaveReadings_Click()
{
    askToSaveTable(StudyTableKind::Readings, QStringLiteral("Save Readings as CSV"),
                   QStringLiteral("readings.csv"));
}

void frmStudy::cmdPrintPicture_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Study summary"));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!picStudy->printOn(printer))
        OperatorMessage::show(this, notPrintedMessage(Printout::StudyPicture));
}

void frmStudy::cmdSavePicture_Click()
{
    const QString png = QStringLiteral("PNG image (*.png)");
    const QString pdf = QStringLiteral("PDF document (*.pdf)");
    QString chosen = png;
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Picture"),
                                     QDir(tablesFolder()).filePath(QStringLiteral("study.png")),
                                     png + QStringLiteral(";;") + pdf, &chosen);
    if (path.isEmpty())
        return;
    // A name typed without its ending takes the kind chosen.
    if (QFileInfo(path).suffix().isEmpty())
        path += chosen == pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
    savePicture(path);
}

void frmStudy::cmdClose_Click()
{
    close();
}
