#include "forms/main/frmMain.h"

#include "appinfo/AppInfo.h"
#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionFaultTexts.h"
#include "forms/common/Controls.h"
#include "forms/common/ElidingLabel.h"
#include "forms/common/Fonts.h"
#include "forms/common/OperatorMessage.h"
#include "forms/common/Twips.h"
#include "forms/common/WorkspaceColour.h"
#include "forms/main/ProtocolMenu.h"
#include "forms/main/frmAbout.h"
#include "forms/main/frmHistory.h"
#include "forms/main/frmInfo.h"
#include "forms/session/frmLabDay.h"
#include "forms/session/frmPlan.h"
#include "forms/study/frmStudy.h"
#include "settings/StoredSettings.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

constexpr int StatusBarHeightTwips = 270;
// Exit waits this long for another copy that is saving the settings, then asks: the window never
// freezes for longer. A copy killed while saving leaves a lock that is taken over after a second.
constexpr int ExitLockWaitMs = 1500;
constexpr int PanelMinimumTwips = 1440;

template <typename Label = QLabel>
Label *addPanel(QStatusBar *bar, const char *name, int stretch, bool permanent)
{
    auto *panel = new Label(bar);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMinimumWidth(Twips::toPixels(PanelMinimumTwips));
    panel->setIndent(3);
    if (permanent)
        bar->addPermanentWidget(panel, stretch);
    else
        bar->addWidget(panel, stretch);
    return panel;
}

QString applicationTitle()
{
    return QString::fromUtf8(AppInfo::Title);
}

} // namespace

frmMain::frmMain(DosingState &state, RunValues &run, SettingsStore store, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_run(run), m_store(std::move(store)), m_outer(this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());

    workspace = new QMdiArea(this);
    workspace->setObjectName(QStringLiteral("workspace"));
    workspace->setAccessibleName(QStringLiteral("Workspace"));
    workspace->setBackground(workspaceColour());
    setCentralWidget(workspace);

    createMenu();
    createStatusBar();
    m_store.setLockWait(ExitLockWaitMs);

    // A session that ends closes no windows on some systems; the settings are saved all the same.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (isVisible())
            MDIForm_Unload();
    });
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (isVisible())
            MDIForm_Unload();
    });
#endif
}

void frmMain::createMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->setAccessibleName(QStringLiteral("Menu bar"));

    mnuInput = bar->addAction(QStringLiteral("Input Parameters"));
    mnuInput->setObjectName(QStringLiteral("mnuInput"));
    // The dialogs open from the event loop, not inside the trigger: a menu item pressed through
    // the accessibility interface then returns at once instead of waiting, unanswered, until the
    // modal window closes.
    connect(mnuInput, &QAction::triggered, this, &frmMain::mnuInput_Click, Qt::QueuedConnection);

    // The session's windows and the records under one menu, so that every item of the bar shows
    // at the window's first size and Exit can be reached from the keyboard.
    mnuRecord = Controls::menu(bar, "mnuRecord", QStringLiteral("&Record"));
    mnuPlan = mnuRecord->addAction(QStringLiteral("&Session Plan"));
    mnuPlan->setObjectName(QStringLiteral("mnuPlan"));
    connect(mnuPlan, &QAction::triggered, this, &frmMain::mnuPlan_Click, Qt::QueuedConnection);
    mnuLabDay = mnuRecord->addAction(QStringLiteral("&Lab Day"));
    mnuLabDay->setObjectName(QStringLiteral("mnuLabDay"));
    mnuLabDay->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    // From the session windows too, where the operator works.
    mnuLabDay->setShortcutContext(Qt::ApplicationShortcut);
    connect(mnuLabDay, &QAction::triggered, this, &frmMain::mnuLabDay_Click, Qt::QueuedConnection);
    mnuRecordOpen = mnuRecord->addAction(QStringLiteral("&Open Record..."));
    mnuRecordOpen->setObjectName(QStringLiteral("mnuRecordOpen"));
    connect(mnuRecordOpen, &QAction::triggered, this, &frmMain::mnuRecordOpen_Click,
            Qt::QueuedConnection);
    mnuHistory = mnuRecord->addAction(QStringLiteral("&History..."));
    mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    connect(mnuHistory, &QAction::triggered, this, &frmMain::mnuHistory_Click,
            Qt::QueuedConnection);
    mnuStudy = mnuRecord->addAction(QStringLiteral("S&tudy Summary..."));
    mnuStudy->setObjectName(QStringLiteral("mnuStudy"));
    connect(mnuStudy, &QAction::triggered, this, &frmMain::mnuStudy_Click, Qt::QueuedConnection);

    createUnitsMenu(bar);
    m_protocolMenu = new ProtocolMenu(bar, m_state, m_run, m_planSettings, m_units.level, this);
    connect(m_protocolMenu, &ProtocolMenu::levelChosen, this, [this](const LevelScale &level) {
        setLevelUnit(level.unit);
        setBreathRatio(level.breathRatio);
    });
    connect(m_protocolMenu, &ProtocolMenu::protocolChanged, this,
            [this] { showNotices(m_notices); });

    mnuHelp = Controls::menu(bar, "mnuHelp", QStringLiteral("&Help"));
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&About Pourwise..."));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click,
            Qt::QueuedConnection);

    mnuExit = bar->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
}

void frmMain::createUnitsMenu(QMenuBar *bar)
{
    mnuUnits = Controls::menu(bar, "mnuUnits", QStringLiteral("&Units"));
    auto *choice = new QActionGroup(mnuUnits);
    choice->setExclusive(true);
    const auto addChoice = [&](const QString &caption, const char *name, BodyUnits units) {
        QAction *item = mnuUnits->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        choice->addAction(item);
        connect(item, &QAction::triggered, this, [this, units] { setUnits(units); });
        return item;
    };
    mnuUnitsUS =
        addChoice(QStringLiteral("&Inches and Pounds"), "mnuUnitsUS", BodyUnits::InchesPounds);
    mnuUnitsMetric = addChoice(QStringLiteral("&Centimetres and Kilograms"), "mnuUnitsMetric",
                               BodyUnits::CentimetresKilograms);
    setUnits(BodyUnits::InchesPounds);
    addLevelChoices();
}

// The unit of levels by kind, then the blood/breath ratio breath units are read at.
void frmMain::addLevelChoices()
{
    mnuUnits->addSection(QStringLiteral("Alcohol level"));
    auto *units = new QActionGroup(mnuUnits);
    for (const LevelUnitInfo &info : LevelUnits) {
        QAction *item = mnuUnits->addAction(QString::fromUtf8(info.menuText));
        QString name = QString::fromLatin1(info.option);
        name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
        item->setObjectName(QStringLiteral("mnuLevel") + name);
        item->setCheckable(true);
        units->addAction(item);
        connect(item, &QAction::triggered, this, [this, unit = info.unit] { setLevelUnit(unit); });
        mnuLevel << item;
    }
    mnuUnits->addSection(QStringLiteral("Blood/breath ratio"));
    auto *ratios = new QActionGroup(mnuUnits);
    for (float ratio : BreathRatio::Usual) {
        QAction *item = mnuUnits->addAction(QStringLiteral("%1:1").arg(SingleToText(ratio)));
        item->setObjectName(QStringLiteral("mnuRatio%1").arg(SingleToText(ratio, QLocale::c())));
        item->setCheckable(true);
        ratios->addAction(item);
        connect(item, &QAction::triggered, this, [this, ratio] { setBreathRatio(ratio); });
        mnuRatio << item;
    }
    QAction *other = mnuUnits->addAction(QStringLiteral("Other..."));
    other->setObjectName(QStringLiteral("mnuRatioOther"));
    other->setCheckable(true);
    ratios->addAction(other);
    // Queued, as every item that opens a window: see createMenu.
    connect(other, &QAction::triggered, this, &frmMain::mnuRatioOther_Click, Qt::QueuedConnection);
    mnuRatio << other;
    setLevelUnit(LevelUnit::GramsPer100Ml);
    setBreathRatio(BreathRatio::Default);
}

void frmMain::setUnits(BodyUnits units)
{
    m_units.body = units;
    (units == BodyUnits::CentimetresKilograms ? mnuUnitsMetric : mnuUnitsUS)->setChecked(true);
}

void frmMain::setLevelUnit(LevelUnit unit)
{
    m_units.level.unit = unit;
    mnuLevel[qsizetype(unit)]->setChecked(true);
}

void frmMain::setBreathRatio(float ratio)
{
    if (!acceptsBreathRatio(ratio)) {
        OperatorMessage::show(this, breathRatioMessage());
    } else {
        m_units.level.breathRatio = ratio;
    }
    const float current = m_units.level.breathRatio;
    const auto usual = std::ranges::find(BreathRatio::Usual, current);
    mnuRatio[qsizetype(usual - BreathRatio::Usual.begin())]->setChecked(true);
    mnuRatio.last()->setText(usual == BreathRatio::Usual.end()
                                 ? QStringLiteral("Other (%1:1)...").arg(SingleToText(current))
                                 : QStringLiteral("Other..."));
}

void frmMain::mnuRatioOther_Click()
{
    bool given = false;
    const QString text = QInputDialog::getText(
        this, applicationTitle(),
        QStringLiteral("Blood/breath ratio, from %1 to %2:")
            .arg(SingleToText(BreathRatio::Lowest), SingleToText(BreathRatio::Highest)),
        QLineEdit::Normal, SingleToText(m_units.level.breathRatio), &given);
    if (given)
        setBreathRatioText(text);
    else
        setBreathRatio(m_units.level.breathRatio); // the check mark goes back where it was
}

void frmMain::setBreathRatioText(const QString &text)
{
    const SingleFromText ratio = TextToSingle(text);
    if (!ratio.ok()) {
        OperatorMessage::show(this,
                              fieldProblemMessage(inputProblemOf(ratio, text),
                                                  QStringLiteral("Blood/breath ratio"), text));
        setBreathRatio(m_units.level.breathRatio);
        return;
    }
    setBreathRatio(ratio.value);
}

void frmMain::createStatusBar()
{
    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setAccessibleName(QStringLiteral("Status bar"));
    for (QSizeGrip *grip : sbStatusBar->findChildren<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));
    sbStatusBar->setFont(Fonts::msSansSerif(8.25));

    statusPanel = addPanel<ElidingLabel>(sbStatusBar, "statusPanel", 1, false);
    showNotices({});
    datePanel = addPanel(sbStatusBar, "datePanel", 0, true);
    timePanel = addPanel(sbStatusBar, "timePanel", 0, true);
    // 270 twips, or more where the panels' text needs it: Qt keeps a few pixels of the bar's
    // height above and below its panels.
    sbStatusBar->setFixedHeight(
        std::max(Twips::toPixels(StatusBarHeightTwips), sbStatusBar->sizeHint().height()));

    clockTimer.setSingleShot(true);
    clockTimer.setTimerType(Qt::PreciseTimer);
    connect(&clockTimer, &QTimer::timeout, this, &frmMain::updateClock);
    updateClock();
}

int frmMain::msecsToNextMinute(const QTime &now)
{
    constexpr int MsecsPerMinute = 60 * 1000;
    return MsecsPerMinute - now.msecsSinceStartOfDay() % MsecsPerMinute;
}

void frmMain::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    datePanel->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    timePanel->setText(QLocale().toString(now.time(), hoursAndMinutesFormat(QLocale())));
    // Woken at the next minute boundary, which is also when the date changes.
    clockTimer.start(msecsToNextMinute(now.time()));
}

void frmMain::MDIForm_Load()
{
    using namespace StoredSettings;
    const Loaded loaded = StoredSettings::load(m_store);
    const Values &values = loaded.values;
    std::array<float, 4> geometry;
    for (std::size_t i = 0; i < GeometryKeys.size(); ++i)
        geometry[i] = values.number(GeometryKeys[i].readName);
    m_outer.place(OuterGeometry::fromTwips(geometry));
    for (const DoseValueInfo &parameter : DosingParameters)
        m_state.*parameter.field = values.number(parameter.settingsKey);
    // Both are checked by the load: a whole number of portions in range, a level above zero.
    m_planSettings.portions = int(values.number(Portions));
    m_planSettings.releaseLevel = values.number(Release);
    setUnits(BodyUnits(values.choice(Units)));
    setLevelUnit(::LevelUnit(values.choice(StoredSettings::LevelUnit)));
    setBreathRatio(values.number(StoredSettings::BreathRatio)); // checked by the load
    const QString problem = loaded.problemMessage();
    if (!problem.isEmpty())
        OperatorMessage::show(this, problem);
    m_recordFolder = values.text(StoredSettings::RecordFolder);
    // Last, so that the protocol's values are the ones the session starts from.
    m_protocolMenu->restore(values.text(StoredSettings::Protocol));
}

bool frmMain::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    m_outer.windowEvent(event);
    return handled;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!closeSessions()) {
        event->ignore();
        return;
    }
    while (!MDIForm_Unload(false)) {
        const QMessageBox::StandardButton answer =
            OperatorMessage::ask(this, StoredSettings::lockedQuestion(m_store),
                                 QMessageBox::Retry | QMessageBox::Discard, QMessageBox::Retry,
                                 {{QMessageBox::Discard, QStringLiteral("Discard changes")}});
        if (answer == QMessageBox::Discard)
            break;
        if (answer != QMessageBox::Retry) { // the question closed: Pourwise goes on
            event->ignore();
            return;
        }
    }
    event->accept();
}

QList<frmPlan *> frmMain::openSessions() const
{
    QList<frmPlan *> open;
    for (const QPointer<frmPlan> &plan : m_sessions) {
        if (plan && plan->isVisible())
            open << plan;
    }
    return open;
}

bool frmMain::closeSessions()
{
    const QList<frmPlan *> open = openSessions();
    if (open.isEmpty())
        return true;
    QStringList names;
    for (const frmPlan *plan : open) {
        const QString code = plan->session().record().setup.sessionCode;
        names << (code.isEmpty() ? QStringLiteral("a session without a code") : code);
    }
    const QString question =
        (open.size() == 1 ? QStringLiteral("The session %1 is open. Close it and exit?")
                          : QStringLiteral("%2 sessions are open: %1. Close them and exit?"))
            .arg(names.join(QStringLiteral(", ")))
            .arg(open.size());
    if (OperatorMessage::ask(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return false;
    // Each as its own Close: entries not saved are asked about, and Cancel keeps it open.
    for (frmPlan *plan : open) {
        if (!plan->close())
            return false;
    }
    return true;
}

bool frmMain::roomForASession()
{
    if (openSessions().size() < MostSessions)
        return true;
    OperatorMessage::show(this, tooManySessionsMessage(MostSessions));
    return false;
}

void frmMain::showSession(frmPlan *plan)
{
    plan->setAttribute(Qt::WA_DeleteOnClose);
    // Each window two lines below and right of the last, so that none hides another's title;
    // the first where it opens, within the screen.
    const QRect area = plan->screen()->availableGeometry();
    const QPoint first(
        std::clamp(plan->x(), area.left(), std::max(area.left(), area.right() - plan->width())),
        std::clamp(plan->y(), area.top(), std::max(area.top(), area.bottom() - plan->height())));
    plan->move(first + QPoint(1, 1) * fontMetrics().height() * 2 * int(openSessions().size()));
    m_sessions.removeAll(nullptr);
    m_sessions << plan;
    connect(plan, &QDialog::finished, this,
            [this, plan] { m_recordFolder = plan->recordFolder(); });
    plan->show();
    plan->raise();
    plan->activateWindow();
}

bool frmMain::MDIForm_Unload(bool tellLocked)
{
    if (isMinimized())
        return true;
    using namespace StoredSettings;
    Values values;
    const std::array<float, 4> geometry = OuterGeometry::toTwips(m_outer.outer());
    for (std::size_t i = 0; i < GeometryKeys.size(); ++i)
        values.setNumber(GeometryKeys[i].readName, geometry[i]);
    for (const DoseValueInfo &parameter : DosingParameters)
        values.setNumber(parameter.settingsKey, m_state.*parameter.field);
    values.setNumber(Portions, float(m_planSettings.portions));
    values.setNumber(Release, m_planSettings.releaseLevel);
    values.setChoice(Units, int(m_units.body));
    values.setChoice(StoredSettings::LevelUnit, int(m_units.level.unit));
    values.setNumber(StoredSettings::BreathRatio, m_units.level.breathRatio);
    values.setText(StoredSettings::Protocol, m_run.protocol ? m_run.protocolPath : QString());
    values.setText(StoredSettings::RecordFolder, m_recordFolder);
    if (StoredSettings::save(m_store, values))
        return true;
    if (m_store.status() == SettingsStatus::Locked && !tellLocked)
        return false;
    OperatorMessage::show(this, StoredSettings::notSavedMessage(m_store, values));
    return true;
}

void frmMain::mnuInput_Click()
{
    // A new window each time, so every opening starts from its definition.
    frmInfo info(m_state, m_run, m_units, this);
    connect(&info, &frmInfo::doseCalculated, this, &frmMain::showNotices);
    info.Form_Load();
    info.exec();
}

void frmMain::mnuPlan_Click()
{
    if (!m_run.lastDose) {
        OperatorMessage::show(this, noDoseForPlanMessage());
        return;
    }
    if (!roomForASession())
        return;
    // Created only when asked for, so the program starts as quickly as before.
    auto *plan = new frmPlan(inLevelScale(*m_run.lastDose, m_units.level), m_planSettings,
                             sessionProtocol(), this);
    plan->setRecordFolder(m_recordFolder);
    showSession(plan);
}

void frmMain::mnuLabDay_Click()
{
    if (!m_labDay) {
        m_labDay = new frmLabDay([this] { return openSessions(); }, this);
        m_labDay->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_labDay->show();
    m_labDay->raise();
    m_labDay->activateWindow();
}

SessionProtocol frmMain::sessionProtocol() const
{
    return {m_run.protocol, m_run.protocol ? m_run.protocol->name : QString(),
            m_run.protocolSha256};
}

QString frmMain::askForRecord(const QString &caption)
{
    return QFileDialog::getOpenFileName(
        this, caption, m_recordFolder.isEmpty() ? QDir::homePath() : m_recordFolder,
        QStringLiteral("Session records (*.csv);;All files (*)"));
}

void frmMain::mnuRecordOpen_Click()
{
    const QString path = askForRecord(QStringLiteral("Open Record"));
    if (!path.isEmpty())
        openRecord(path);
}

void frmMain::openRecord(const QString &path)
{
    // The folder is remembered even when the file cannot be read: the operator looks there next.
    m_recordFolder = QFileInfo(path).absolutePath();
    if (!roomForASession())
        return;
    std::unique_ptr<frmPlan> record = frmPlan::openRecord(path, sessionProtocol(), this);
    if (record)
        showSession(record.release());
}

void frmMain::mnuHistory_Click()
{
    const QString path = askForRecord(QStringLiteral("Session History"));
    if (!path.isEmpty())
        showHistory(path);
}

void frmMain::showHistory(const QString &path)
{
    m_recordFolder = QFileInfo(path).absolutePath();
    // Beside the sessions, which go on while it is open.
    if (std::unique_ptr<frmHistory> history = frmHistory::openRecord(path, this)) {
        history->setAttribute(Qt::WA_DeleteOnClose);
        history.release()->show();
    }
}

void frmMain::mnuStudy_Click()
{
    frmStudy study(m_recordFolder, this);
    study.exec();
}

void frmMain::showNotices(const QStringList &notices)
{
    m_notices = notices;
    if (notices.isEmpty()) {
        const bool named = m_run.protocol && !m_run.protocol->name.isEmpty();
        statusPanel->setFullText(named ? QStringLiteral("Protocol: ") + m_run.protocol->name
                                       : QStringLiteral("Status"));
        return;
    }
    // The count comes first, so that it shows however narrow the window; the panel cuts what
    // does not fit, and its tool tip lists every notice on a line of its own.
    const QString check = notices.size() == 1
                              ? QStringLiteral("Check: ")
                              : QStringLiteral("Check %1 values: ").arg(notices.size());
    statusPanel->setFullText(check + notices.join(QStringLiteral("; ")),
                             QStringLiteral("Check:\n") + notices.join(QLatin1Char('\n')));
    // Heard through the new accessible name on Linux; Windows plays the alert sound.
    QAccessibleEvent alert(statusPanel, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.Form_Load();
    about.exec();
}

void frmMain::mnuExit_Click()
{
    close();
}
