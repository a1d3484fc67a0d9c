#include "forms/session/frmPlan.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/study/StudyFaultTexts.h"
#include "calc/record/RecordFile.h"
#include "calc/record/RecordPlace.h"
#include "calc/session/PlanText.h"
#include "calc/session/ScheduleText.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionText.h"
#include "forms/chart/BalChart.h"
#include "forms/chart/ObserverSheet.h"
#include "forms/chart/PlanRecord.h"
#include "forms/common/Controls.h"
#include "forms/common/FocusedWheel.h"
#include "forms/common/Fonts.h"
#include "forms/common/OffThread.h"
#include "forms/common/OperatorMessage.h"
#include "forms/common/VersionText.h"
#include "forms/session/EntryGate.h"
#include "forms/session/RecordKeeper.h"
#include "forms/session/SessionTabs.h"
#include "forms/session/SetupFields.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSizeGrip>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Controls;

frmPlan::frmPlan(const DoseInput &dose, SessionPlanSettings &settings,
                 const SessionProtocol &protocol, QWidget *owner)
    : QDialog(owner), m_session(std::make_unique<Session>(dose, settings, protocol, versionNumber(),
                                                          QDateTime::currentDateTime())),
      m_keeper(std::make_unique<RecordKeeper>(*m_session)), m_settings(settings),
      m_limitsChecked(protocol.protocol.has_value()), m_clock(&QDateTime::currentDateTime)
{
    createControls();
    refresh();
    m_setup->showSetup();
}

frmPlan::frmPlan(std::unique_ptr<Session> session, std::unique_ptr<RecordLock> lock,
                 const RecordStamp &stamp, bool limitsChecked, QWidget *owner)
    : QDialog(owner), m_session(std::move(session)),
      m_keeper(std::make_unique<RecordKeeper>(*m_session, std::move(lock), stamp)),
      m_ownSettings(m_session->record().setup.plan), m_settings(m_ownSettings),
      m_limitsChecked(limitsChecked), m_clock(&QDateTime::currentDateTime)
{
    m_recordFolder = QFileInfo(m_session->path()).absolutePath();
    createControls();
    refresh();
    m_setup->showSetup();
}

frmPlan::~frmPlan() = default;

std::unique_ptr<frmPlan> frmPlan::openRecord(const QString &path, const SessionProtocol &inUse,
                                             QWidget *owner)
{
    // A record of many thousands of entries takes a while to read: the windows go on meanwhile.
    RecordReading reading = offThread([path] { return RecordFile::open(path); });
    RecordKeeper::Opening opening = RecordKeeper::open(std::move(reading), path, inUse);
    for (const QString &message : opening.messages)
        OperatorMessage::show(owner, message);
    if (!opening.session)
        return nullptr;
    return std::unique_ptr<frmPlan>(new frmPlan(std::move(opening.session), std::move(opening.lock),
                                                opening.stamp, opening.limitsChecked, owner));
}

QString frmPlan::recordFolder() const
{
    return RecordPlace::folderOr(m_recordFolder, m_documents);
}

void frmPlan::setRecordFolder(const QString &folder)
{
    m_recordFolder = folder;
    showRecordState();
}

void frmPlan::setDocumentsLocation(const QString &documents)
{
    m_documents = documents;
    showRecordState();
}

QString frmPlan::newRecordPath() const
{
    return RecordPlace::pathIn(recordFolder(), m_session->record());
}

void frmPlan::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_setup->setClock(m_clock);
    tabSession->setClock(m_clock);
    refresh();
}

void frmPlan::createControls()
{
    setObjectName(QStringLiteral("frmPlan"));
    setWindowTitle(QStringLiteral("Session Plan"));
    // Its name stays as the title changes to say an item is due, which is said as an alert.
    setAccessibleName(QStringLiteral("Session Plan"));
    setFont(Fonts::msSansSerif(8.25));
    setSizeGripEnabled(true);
    m_session->setLocale(QLocale());
    m_documents = RecordPlace::documentsLocation();
    m_entriesSeen = m_session->record().entries.size();
    m_chooseFolder = [](QWidget *owner, const QString &start) {
        return QFileDialog::getExistingDirectory(owner, QStringLiteral("Change Folder"), start);
    };
    m_gate = std::make_unique<EntryGate>(*m_session, this);
    m_gate->setBeforeEntry([this] { return mayTurnIntoCurrentVersion() && placeIsFree(); });

    m_setup = new SetupFields(*m_session, m_settings, *m_gate, this);
    m_gate->setCodeField({[this] { return m_setup->typedSessionCode(); },
                          [this](const QString &code) { m_setup->showSessionCode(code); }});
    connect(m_setup, &SetupFields::changeFolderAsked, this, &frmPlan::cmdChangeFolder_Click);
    lblDoseInputs = label("lblDoseInputs", QString());
    lblDoseInputs->setWordWrap(true);
    lblDoseVolumes = label("lblDoseVolumes", QString());
    lblDoseVolumes->setWordWrap(true);
    lblProtocolName = label("lblProtocolName", QString());
    lblProtocolName->setWordWrap(true);

    lblProblem = alarmLabel("lblProblem");
    lblProtocol = alarmLabel("lblProtocol");
    QFont bold = font();
    bold.setBold(true);
    lblPeak = label("lblPeak", QString());
    lblRelease = label("lblRelease", QString());
    lblZero = label("lblZero", QString());
    lblPeakBand = label("lblPeakBand", QString());
    lblReleaseBand = label("lblReleaseBand", QString());
    lblPersonal = label("lblPersonal", QString());
    for (QLabel *line : {lblPeakBand, lblReleaseBand, lblPersonal})
        line->setWordWrap(true);
    lblPlacebo = label("lblPlacebo", SessionText::placeboNote());
    for (QLabel *line : {lblPeak, lblRelease, lblZero, lblPlacebo})
        line->setFont(bold);
    tabSession = new SessionTabs(*m_session, *m_gate);
    lblNextDue = label("lblNextDue", QString());
    lblNextDue->setWordWrap(true);
    QFont due = font();
    due.setBold(true);
    lblNextDue->setFont(due);
    picChart = new BalChart;
    lblChartNote = label("lblChartNote", QString());
    lblChartNote->setWordWrap(true);
    lblChartNote->hide();
    lblBandNote = label("lblBandNote", SessionText::bandNote());
    lblBandNote->setWordWrap(true);

    cmdSaveRecord = commandButton("cmdSaveRecord", QStringLiteral("Save Recor&d..."));
    // Ctrl+S as well: a button answers to one shortcut, its access key.
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, cmdSaveRecord,
            &QPushButton::click);
    cmdPrint = commandButton("cmdPrint", QStringLiteral("Pr&int..."));
    cmdPrintObserver =
        commandButton("cmdPrintObserver", QStringLiteral("Print Observer S&heet..."));
    cmdClose = commandButton("cmdClose", QStringLiteral("Cl&ose"));
    // Queued, as every button that may open a window: a press through the accessibility
    // interface returns at once.
    connect(cmdSaveRecord, &QPushButton::clicked, this, &frmPlan::cmdSaveRecord_Click,
            Qt::QueuedConnection);
    connect(cmdPrint, &QPushButton::clicked, this, &frmPlan::cmdPrint_Click, Qt::QueuedConnection);
    connect(cmdPrintObserver, &QPushButton::clicked, this, &frmPlan::cmdPrintObserver_Click,
            Qt::QueuedConnection);
    connect(cmdClose, &QPushButton::clicked, this, &frmPlan::cmdClose_Click, Qt::QueuedConnection);
    layOut();
    FocusedWheel::applyTo(this);

    connect(m_setup, &SetupFields::answered, this, &frmPlan::refresh);
    connect(tabSession, &SessionTabs::boosterPeriodChanged, this, &frmPlan::refresh);
    connect(m_session.get(), &Session::changed, this, &frmPlan::sessionChanged);
    // The offer and the chart's "now" line move with the clock.
    connect(&m_nowTimer, &QTimer::timeout, this, &frmPlan::refresh);
    m_nowTimer.start(60 * 1000);
    // The count to the next item, by the second.
    connect(&m_dueTimer, &QTimer::timeout, this, &frmPlan::showDue);
    m_dueTimer.start(1000);
    connect(this, &frmPlan::itemFellDue, this, [this] {
        QApplication::beep();
        QAccessibleEvent alert(lblNextDue, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    });
}

void frmPlan::layOut()
{
    auto *doseLayout = new QVBoxLayout;
    doseLayout->addWidget(lblDoseInputs);
    doseLayout->addWidget(lblDoseVolumes);
    doseLayout->addWidget(lblProtocolName);

    auto *timesLayout = new QVBoxLayout;
    for (QLabel *line :
         {lblPeak, lblPeakBand, lblRelease, lblReleaseBand, lblZero, lblPersonal, lblPlacebo})
        timesLayout->addWidget(line);
    auto *chartLayout = new QVBoxLayout;
    chartLayout->addWidget(picChart, 1);
    chartLayout->addWidget(lblBandNote);
    chartLayout->addWidget(lblChartNote);
    auto *entriesLayout = new QVBoxLayout;
    entriesLayout->addWidget(tabSession, 1);
    entriesLayout->addWidget(lblNextDue);
    resultsLayout = new QBoxLayout(QBoxLayout::LeftToRight);
    // The lists' columns want about as much room as the chart.
    resultsLayout->addLayout(entriesLayout, 1);
    resultsLayout->addLayout(chartLayout, 1);

    auto *lblCaveat = label("lblCaveat", PlanText::caveat());
    lblCaveat->setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    lblCaveat->setFont(bold);

    // Everything but the buttons scrolls when the window is smaller than it, so the buttons stay
    // on screen at any scale.
    auto *contents = named(new QWidget, "pnlContents");
    contents->setAccessibleName(QStringLiteral("Session Plan"));
    auto *column = new QVBoxLayout(contents);
    column->addWidget(m_setup->sessionFrame());
    column->addWidget(frame("fraDose", QStringLiteral("Calculated dose"), doseLayout));
    column->addWidget(m_setup->planFrame());
    column->addWidget(lblProblem);
    column->addWidget(lblProtocol);
    column->addLayout(timesLayout);
    column->addLayout(resultsLayout, 1);
    column->addWidget(lblCaveat);
    scroll = named(new QScrollArea, "scrContents");
    scroll->setWidget(contents);
    scroll->setWidgetResizable(true);
    scroll->viewport()->installEventFilter(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAccessibleName(QStringLiteral("Session Plan"));
    scroll->viewport()->setAccessibleName(QStringLiteral("Session Plan"));
    nameScrollBars(scroll);
    // What an access key reaches comes into sight, as what Tab reaches does: the control given the
    // focus, and a tab chosen with its bar and as much of its page as fits. What a click reaches
    // is in sight already, and stays where it is.
    const auto bringIntoSight = [this](QWidget *control) {
        if (QGuiApplication::mouseButtons() == Qt::NoButton)
            scroll->ensureWidgetVisible(control);
    };
    connect(qApp, &QApplication::focusChanged, this,
            [this, bringIntoSight](QWidget *, QWidget *now) {
                if (now && scroll->widget()->isAncestorOf(now))
                    bringIntoSight(now);
            });
    for (QTabWidget *tabs : contents->findChildren<QTabWidget *>()) {
        connect(tabs, &QTabWidget::currentChanged, this, [tabs, bringIntoSight] {
            bringIntoSight(tabs->currentWidget());
            bringIntoSight(tabs->tabBar());
        });
    }
    if (auto *grip = findChild<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));

    auto *window = new QVBoxLayout(this);
    window->addWidget(scroll, 1);
    window->addLayout(buttonRow({cmdSaveRecord, cmdPrint, cmdPrintObserver, cmdClose}));

    // As large as its contents want, within the screen it opens on; never smaller than a third
    // of that, so that the scrolled part stays usable.
    const QSize wanted =
        contents->sizeHint() +
        QSize(scroll->verticalScrollBar()->sizeHint().width(), cmdClose->sizeHint().height() * 2);
    sizeWithinScreen(this, wanted, QSize(fontMetrics().height() * 24, fontMetrics().height() * 16));
    if (parentWidget()) // centred on the main window
        move(parentWidget()->frameGeometry().center() - rect().center());
}

bool frmPlan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == scroll->viewport() && event->type() == QEvent::Resize) {
        // The entries beside the chart where both have room, else above it, so that the window
        // never scrolls sideways (at twice the scale on a small screen, say).
        const int beside = tabSession->minimumSizeHint().width() +
                           picChart->minimumSizeHint().width() + resultsLayout->spacing() +
                           scroll->widget()->layout()->contentsMargins().left() * 2;
        resultsLayout->setDirection(scroll->viewport()->width() >= beside
                                        ? QBoxLayout::LeftToRight
                                        : QBoxLayout::TopToBottom);
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

// A record of this many entries is evaluated and worded away from the window's thread, from a copy
// of it, so that the window is never frozen for long; a smaller one takes a moment.
constexpr qsizetype EntriesWorkedApart = 10000;

} // namespace

void frmPlan::refresh()
{
    // A clock tick or an entry while a large record's report is worked out: once more after it.
    if (m_refreshing) {
        m_refreshAgain = true;
        return;
    }
    m_refreshing = true;
    do {
        m_refreshAgain = false;
        const SessionReportOptions options = sessionReportOptions(
            *m_session, tabSession->boosterMinutes().value_or(Booster::DefaultDrinkingMinutes));
        const QDateTime now = m_clock();
        const auto work = [options, now](const SessionRecord &record) {
            SessionReport report = evaluateSession(record, now, options);
            SessionText text = describeSession(report);
            return std::pair(std::move(report), std::move(text));
        };
        auto [report, text] =
            m_session->record().entries.size() < EntriesWorkedApart
                ? work(m_session->record())
                : offThread([work, record = m_session->record()] { return work(record); });
        m_report = std::move(report);
        m_text = std::move(text);
    } while (m_refreshAgain);
    m_refreshing = false;
    // Nothing is due in a record no entry can be added to.
    m_schedule = m_session->state() == RecordState::ReadOnly
                     ? SessionSchedule{}
                     : scheduleOf(m_report, protocolSchedule());
    showPlan();
    showDue();
}

void frmPlan::showDue()
{
    const ScheduleText due = describeSchedule(m_report, m_schedule, m_clock());
    lblNextDue->setText(due.nextLine);
    lblNextDue->setVisible(m_report.hasPlan() && m_setup->setupProblem().isEmpty());
    setWindowTitle(due.due ? QStringLiteral("Due: Session Plan") : QStringLiteral("Session Plan"));
    setAccessibleDescription(due.nextLine);
    const std::optional<DueItem> next = m_schedule.next();
    if (!due.due)
        m_dueSaid.reset(); // another falling due is said again
    else if (next != m_dueSaid) {
        m_dueSaid = next;
        emit itemFellDue();
    }
}

void frmPlan::showPlan()
{
    m_setup->present(m_report);

    const PlanText text = describePlan(m_report);
    const SessionText &session = m_text;
    lblDoseInputs->setText(text.doseInputs);
    // A placebo's window shows what is poured, never the alcohol dose.
    lblDoseVolumes->setText(m_report.placebo ? session.beverage + QLatin1Char('.')
                                             : text.doseVolumes);
    lblProtocolName->setText(protocolLine(m_report.setup, m_limitsChecked));
    lblPeak->setText(text.peakLine);
    lblRelease->setText(text.releaseLine);
    lblZero->setText(text.zeroLine);
    lblPeakBand->setText(session.peakBand);
    lblReleaseBand->setText(session.releaseBand);
    lblPersonal->setText(session.personal);
    const QStringList protocol = protocolLines(m_report.dose, m_session->protocol());
    lblProtocol->setText(protocol.join(QLatin1Char('\n')));
    lblProtocol->setVisible(!protocol.isEmpty());
    QString problem = m_setup->setupProblem();
    const bool planShown = m_report.hasPlan() && problem.isEmpty();
    if (problem.isEmpty() && !m_report.hasPlan())
        problem = m_report.dose.plan ? planFaultText(m_report.dose.plan->problem).message
                                     : doseFaultText(m_report.dose.outcome).message;
    lblProblem->setText(problem);
    lblProblem->setVisible(!problem.isEmpty());
    for (QLabel *line : {lblPeak, lblRelease, lblZero})
        line->setVisible(planShown && !m_report.placebo);
    for (QLabel *line : {lblPeakBand, lblReleaseBand, lblPersonal})
        line->setVisible(planShown && !line->text().isEmpty());
    lblBandNote->setVisible(planShown && m_report.band.has_value());
    lblPlacebo->setVisible(planShown && m_report.placebo);

    tabSession->present(m_report, session);
    tabSession->setEnabled(planShown);
    picChart->setReport(m_report);
    QStringList described{text.peakLine,       session.peakBand, text.releaseLine,
                          session.releaseBand, text.zeroLine,    session.personal};
    if (m_report.band)
        described << SessionText::bandNote();
    described.removeAll(QString());
    picChart->setAccessibleDescription(!planShown         ? QStringLiteral("No plan")
                                       : m_report.placebo ? SessionText::placeboNote()
                                                          : described.join(QStringLiteral(" ")));
    // What the chart could not draw is said below it.
    lblChartNote->setText(picChart->clampNote());
    lblChartNote->setVisible(!lblChartNote->text().isEmpty());
    cmdPrint->setEnabled(planShown);
    cmdPrintObserver->setEnabled(planShown);
    showRecordState();
}

void frmPlan::showRecordState()
{
    // The first entry gives a new session its file, or Save Record... before it; once it has
    // entries the button saves the whole record in another, Save Record As... (which a new
    // session's entries, if their file could not be made, are saved by). A record opened
    // read-only is never saved again: a new end row would vouch for a file its own end row did
    // not.
    if (!m_setup || !cmdSaveRecord)
        return; // not made yet
    const bool isNew = m_session->state() == RecordState::NotSaved;
    const bool beforeEntries = isNew && !m_session->hasUnsavedEntries();
    cmdSaveRecord->setText(beforeEntries ? QStringLiteral("Save Recor&d...")
                                         : QStringLiteral("Save Recor&d As..."));
    cmdSaveRecord->setEnabled(isNew ? m_report.hasPlan() && m_setup->setupProblem().isEmpty()
                                    : mayBeSavedAs());
    // Until it has a code, the place names where the code goes.
    const SessionSetup &setup = m_session->record().setup;
    m_setup->showRecordState(m_keeper->stateText(
        acceptsSessionCode(setup.sessionCode)
            ? newRecordPath()
            : RecordPlace::pathIn(recordFolder(), QStringLiteral("<session code>"), setup.start)));
}

void frmPlan::sessionChanged()
{
    // A new session's record is saved when an entry is made, never as its code is typed.
    const qsizetype entries = m_session->record().entries.size();
    const bool entered = entries != m_entriesSeen;
    m_entriesSeen = entries;
    if (m_session->state() != RecordState::NotSaved || entered)
        saveEntries();
    refresh();
    if (m_session->setupFixed())
        m_setup->showSetup(); // the corrected start and release level
}

void frmPlan::saveEntries()
{
    QString error;
    if (m_session->state() != RecordState::NotSaved) {
        error = m_keeper->saveEntries();
    } else if (m_session->hasUnsavedEntries()) {
        const QString path = newRecordPath();
        error = m_keeper->saveFirstEntry(path, m_clock());
        if (error.isEmpty())
            m_recordFolder = QFileInfo(path).absolutePath(); // the folder last used
    }
    if (!error.isEmpty())
        OperatorMessage::show(this, error);
}

bool frmPlan::placeIsFree()
{
    // Once entries are kept unsaved their save says what stands in its way.
    if (m_session->state() != RecordState::NotSaved || m_session->hasUnsavedEntries())
        return true;
    const QString refusal = RecordKeeper::firstEntryRefusal(newRecordPath());
    if (!refusal.isEmpty())
        OperatorMessage::show(this, refusal);
    return refusal.isEmpty();
}

void frmPlan::cmdChangeFolder_Click()
{
    // A folder not made yet starts the chooser in the nearest one that is there.
    QDir start(recordFolder());
    while (!start.exists() && start.cdUp()) {
    }
    const QString chosen = m_chooseFolder(this, start.path());
    if (chosen.isEmpty())
        return;
    m_recordFolder = chosen;
    if (m_session->state() == RecordState::NotSaved)
        saveEntries();
    refresh();
}

bool frmPlan::mayTurnIntoCurrentVersion()
{
    const QString question = m_keeper->versionQuestion();
    if (question.isEmpty())
        return true;
    if (OperatorMessage::ask(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return false;
    m_keeper->acceptVersion(m_clock());
    return true;
}

ProtocolSchedule frmPlan::protocolSchedule() const
{
    return m_session->protocol() ? m_session->protocol()->schedule : ProtocolSchedule{};
}

QStringList frmPlan::protocolText() const
{
    return QStringList{protocolLine(m_report.setup, m_limitsChecked)} +
           protocolLines(m_report.dose, m_session->protocol());
}

void frmPlan::cmdSaveRecord_Click()
{
    const bool isNew = m_session->state() == RecordState::NotSaved;
    if (isNew && (!m_setup->takeSessionCode() || !m_gate->initialsGiven()))
        return;
    const bool beforeEntries = isNew && !m_session->hasUnsavedEntries();
    const QString path = QFileDialog::getSaveFileName(
        this, beforeEntries ? QStringLiteral("Save Record") : QStringLiteral("Save Record As"),
        RecordPlace::pathIn(recordFolder(), m_session->record()),
        QStringLiteral("Session records (*.csv)"), nullptr,
        QFileDialog::DontConfirmOverwrite); // an existing file is refused, never replaced
    if (!path.isEmpty())
        saveRecordAs(path);
}

bool frmPlan::mayBeSavedAs() const
{
    return m_session->state() != RecordState::ReadOnly || m_session->recordingStopped();
}

bool frmPlan::saveRecordAs(const QString &path)
{
    if (!mayBeSavedAs())
        return false;
    if (m_session->state() == RecordState::NotSaved &&
        (!m_setup->setupProblem().isEmpty() || !m_setup->takeSessionCode() ||
         !m_gate->initialsGiven()))
        return false;
    if (const QString error = m_keeper->saveRecordAs(path, m_clock()); !error.isEmpty()) {
        OperatorMessage::show(this, error);
        return false;
    }
    m_recordFolder = QFileInfo(path).absolutePath();
    refresh();
    return true;
}

bool frmPlan::mayClose()
{
    const bool readOnly =
        m_session->state() == RecordState::ReadOnly && !m_session->recordingStopped();
    if (m_closeAllowed || readOnly || !m_session->hasUnsavedEntries())
        return true;
    const QMessageBox::StandardButton answer = OperatorMessage::ask(
        this,
        QStringLiteral("The session record has entries that are not saved. Save them before "
                       "closing?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer == QMessageBox::Save) {
        if (m_session->state() != RecordState::Saved)
            cmdSaveRecord_Click();
        else
            saveEntries();
        refresh();
        return !m_session->hasUnsavedEntries();
    }
    return false;
}

void frmPlan::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    m_closeAllowed = true;
    QDialog::closeEvent(event);
}

void frmPlan::reject()
{
    if (!mayClose())
        return;
    m_closeAllowed = true;
    QDialog::reject();
}

void frmPlan::done(int result)
{
    m_keeper->release();
    QDialog::done(result);
}

void frmPlan::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    const SessionRecord &record = m_session->record();
    // Qt's print dialog offers the document's name for a PDF file.
    printer.setDocName(acceptsSessionCode(record.setup.sessionCode)
                           ? RecordPlace::baseName(record)
                           : QStringLiteral("Session Plan"));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PlanRecord::paint(printer, m_report, m_clock(), protocolText()))
        OperatorMessage::show(this, notPrintedMessage(Printout::SessionPlan));
}

void frmPlan::cmdPrintObserver_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    const SessionRecord &record = m_session->record();
    printer.setDocName((acceptsSessionCode(record.setup.sessionCode) ? RecordPlace::baseName(record)
                                                                     : QStringLiteral("Session")) +
                       QStringLiteral(" observer"));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ObserverSheet::paint(printer, m_report, protocolSchedule(), m_clock()))
        OperatorMessage::show(this, notPrintedMessage(Printout::ObserverSheet));
}

void frmPlan::cmdClose_Click()
{
    close();
}
