#include "forms/frmMain.h"

#include "appinfo/AppInfo.h"
#include "calc/DoseValues.h"
#include "calc/NumberText.h"
#include "forms/ClockText.h"
#include "forms/ElidingLabel.h"
#include "forms/Fonts.h"
#include "forms/OperatorMessage.h"
#include "forms/Twips.h"
#include "forms/WorkspaceColour.h"
#include "forms/frmAbout.h"
#include "forms/frmInfo.h"
#include "forms/frmPlan.h"
#include "settings/StoredSettings.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QSizeGrip>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

constexpr int StatusBarHeightTwips = 270;
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

frmMain::frmMain(DosingState &state, BodyInCm &bodyInCm, std::optional<DoseInput> &lastDose,
                 SettingsStore store, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_bodyInCm(bodyInCm), m_lastDose(lastDose),
      m_store(std::move(store)), m_outer(this)
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

    mnuPlan = bar->addAction(QStringLiteral("Session Plan"));
    mnuPlan->setObjectName(QStringLiteral("mnuPlan"));
    connect(mnuPlan, &QAction::triggered, this, &frmMain::mnuPlan_Click, Qt::QueuedConnection);

    createUnitsMenu(bar);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
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
    mnuUnits = bar->addMenu(QStringLiteral("&Units"));
    mnuUnits->setObjectName(QStringLiteral("mnuUnits"));
    mnuUnits->menuAction()->setObjectName(QStringLiteral("mnuUnits"));
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
}

void frmMain::setUnits(BodyUnits units)
{
    m_units = units;
    (units == BodyUnits::CentimetresKilograms ? mnuUnitsMetric : mnuUnitsUS)->setChecked(true);
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
    const QString problem = loaded.problemMessage();
    if (!problem.isEmpty())
        OperatorMessage::show(this, problem);
}

bool frmMain::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    m_outer.windowEvent(event);
    return handled;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    MDIForm_Unload();
    event->accept();
}

void frmMain::MDIForm_Unload()
{
    if (isMinimized())
        return;
    using namespace StoredSettings;
    Values values;
    const std::array<float, 4> geometry = OuterGeometry::toTwips(m_outer.outer());
    for (std::size_t i = 0; i < GeometryKeys.size(); ++i)
        values.setNumber(GeometryKeys[i].readName, geometry[i]);
    for (const DoseValueInfo &parameter : DosingParameters)
        values.setNumber(parameter.settingsKey, m_state.*parameter.field);
    values.setNumber(Portions, float(m_planSettings.portions));
    values.setNumber(Release, m_planSettings.releaseLevel);
    values.setChoice(Units, int(m_units));
    if (!StoredSettings::save(m_store, values))
        OperatorMessage::show(this, StoredSettings::notSavedMessage(m_store, values));
}

void frmMain::mnuInput_Click()
{
    // A new window each time, so every opening starts from its definition.
    frmInfo info(m_state, m_bodyInCm, m_lastDose, m_units, this);
    connect(&info, &frmInfo::doseCalculated, this, &frmMain::showNotices);
    info.Form_Load();
    info.exec();
}

void frmMain::mnuPlan_Click()
{
    if (!m_lastDose) {
        OperatorMessage::show(this,
                              QStringLiteral("ERROR: Calculate a dose in Input Parameters first."));
        return;
    }
    // Created only when asked for, so the program starts as quickly as before.
    frmPlan plan(*m_lastDose, m_planSettings, this);
    plan.exec();
}

void frmMain::showNotices(const QStringList &notices)
{
    if (notices.isEmpty()) {
        statusPanel->setFullText(QStringLiteral("Status"));
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
