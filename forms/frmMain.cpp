#include "forms/frmMain.h"

#include "appinfo/AppInfo.h"
#include "calc/DosingState.h"
#include "calc/NumberText.h"
#include "forms/Fonts.h"
#include "forms/OperatorMessage.h"
#include "forms/Twips.h"
#include "forms/frmAbout.h"
#include "forms/frmInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSizeGrip>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>
#include <cmath>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

constexpr int StatusBarHeightTwips = 270;
constexpr int PanelMinimumTwips = 1440;

QColor workspaceColour()
{
#ifdef Q_OS_WIN
    const DWORD colour = GetSysColor(COLOR_APPWORKSPACE);
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
#else
    // Other systems name no workspace colour; this grey sets the dialogs off from the frame.
    return QColor(0x80, 0x86, 0x8f);
#endif
}

// Window systems keep screen coordinates in 16 bits, so stored values far outside that range
// are brought to its edge rather than wrapped around.
int pixelsFromTwips(float twips)
{
    const double pixels = std::clamp(double(twips) / Twips::PerPixel, -32000.0, 32000.0);
    return int(std::lround(pixels));
}

QLabel *addPanel(QStatusBar *bar, const char *name, int stretch, bool permanent)
{
    auto *panel = new QLabel(bar);
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

// The clock shows hours and minutes; some locales' short time format adds the seconds.
QString hoursAndMinutesFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?ss?(?:[.,]z+)?"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}

QString applicationTitle()
{
    return QString::fromUtf8(AppInfo::Title);
}

} // namespace

frmMain::frmMain(SettingsStore store, QWidget *parent)
    : QMainWindow(parent), m_store(std::move(store))
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
    // The two dialogs open from the event loop, not inside the trigger: a menu item pressed
    // through the accessibility interface then returns at once instead of waiting, unanswered,
    // until the modal window closes.
    connect(mnuInput, &QAction::triggered, this, &frmMain::mnuInput_Click, Qt::QueuedConnection);

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

void frmMain::createStatusBar()
{
    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setAccessibleName(QStringLiteral("Status bar"));
    for (QSizeGrip *grip : sbStatusBar->findChildren<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));
    sbStatusBar->setFixedHeight(Twips::toPixels(StatusBarHeightTwips));
    // The panels' text is set in the small dialog face so that it fits the bar's height.
    sbStatusBar->setFont(Fonts::msSansSerif(8.25));

    statusPanel = addPanel(sbStatusBar, "statusPanel", 1, false);
    statusPanel->setText(QStringLiteral("Status"));
    datePanel = addPanel(sbStatusBar, "datePanel", 0, true);
    timePanel = addPanel(sbStatusBar, "timePanel", 0, true);

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
    bool storeProblemReported = false;
    for (const StoredSettings::Key &key : StoredSettings::InOrder) {
        const StoredSettings::Reading reading = StoredSettings::read(m_store, key);
        if (m_store.status() != SettingsStatus::Ok && !storeProblemReported) {
            reportStoreProblem();
            storeProblemReported = true;
        }
        if (!reading.ok) {
            OperatorMessage::show(
                this, QStringLiteral("ERROR: The stored setting \"%1\" holds \"%2\", which is %3. "
                                     "It and the settings after it were not loaded; check the "
                                     "dosing parameters before calculating.")
                          .arg(QLatin1String(key.readName), reading.text,
                               reading.outOfRange ? QStringLiteral("out of range")
                                                  : QStringLiteral("not a number")));
            return;
        }
        apply(key.value, reading.value);
    }
}

void frmMain::reportStoreProblem()
{
    const QString where = m_store.location(applicationTitle());
    if (m_store.status() == SettingsStatus::Damaged) {
        OperatorMessage::show(
            this, QStringLiteral("ERROR: The settings file \"%1\" is damaged. Settings that could "
                                 "not be read use their defaults; check the dosing parameters "
                                 "before calculating.")
                      .arg(where));
    } else {
        OperatorMessage::show(
            this, QStringLiteral("ERROR: The settings in \"%1\" cannot be read. The defaults are "
                                 "used; check the dosing parameters before calculating.")
                      .arg(where));
    }
}

void frmMain::apply(StoredSettings::Value value, float number)
{
    using StoredSettings::Value;
    DosingState &state = Module1::dosingState;
    QRect outer = frameGeometry();
    switch (value) {
    case Value::MainLeft:
        outer.moveLeft(pixelsFromTwips(number));
        break;
    case Value::MainTop:
        outer.moveTop(pixelsFromTwips(number));
        break;
    case Value::MainWidth:
        outer.setWidth(std::max(pixelsFromTwips(number), 0));
        break;
    case Value::MainHeight:
        outer.setHeight(std::max(pixelsFromTwips(number), 0));
        break;
    case Value::BAL:
        state.BAL = number;
        return;
    case Value::DD:
        state.DD = number;
        return;
    case Value::Proof:
        state.Proof = number;
        return;
    case Value::Ratio:
        state.Ratio = number;
        return;
    }
    setOuterGeometry(outer);
}

float frmMain::currentValue(StoredSettings::Value value, const QRect &outer) const
{
    using StoredSettings::Value;
    const DosingState &state = Module1::dosingState;
    switch (value) {
    case Value::MainLeft:
        return float(Twips::fromPixels(outer.left()));
    case Value::MainTop:
        return float(Twips::fromPixels(outer.top()));
    case Value::MainWidth:
        return float(Twips::fromPixels(outer.width()));
    case Value::MainHeight:
        return float(Twips::fromPixels(outer.height()));
    case Value::BAL:
        return state.BAL;
    case Value::DD:
        return state.DD;
    case Value::Proof:
        return state.Proof;
    case Value::Ratio:
        return state.Ratio;
    }
    return 0;
}

QMargins frmMain::frameMargins() const
{
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void frmMain::setOuterGeometry(const QRect &outer)
{
    const QMargins frame = frameMargins();
    move(outer.topLeft()); // a window's position is that of its frame
    resize(outer.size().shrunkBy(frame));
    pendingOuter.reset();
    if (frame.isNull())
        pendingOuter = outer;
}

bool frmMain::stillAsLoaded(const QMargins &frame) const
{
    if (size() != pendingOuter->size())
        return false;
    if (frame.isNull()) // the window manager may have moved it already; nobody else did
        return true;
    const QPoint client = geometry().topLeft();
    return client == pendingOuter->topLeft() ||
           client == pendingOuter->topLeft() + QPoint(frame.left(), frame.top());
}

bool frmMain::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    const QEvent::Type type = event->type();
    if (pendingOuter && (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize ||
                         type == QEvent::WindowStateChange)) {
        const QMargins frame = frameMargins();
        if (windowState() != Qt::WindowNoState || !stillAsLoaded(frame)) {
            pendingOuter.reset(); // the operator or the program has placed it since
        } else if (isVisible() && !frame.isNull()) {
            const QRect client = pendingOuter->marginsRemoved(frame);
            pendingOuter.reset();
            setGeometry(client);
        }
    }
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
    const QRect outer = frameGeometry();
    bool saved = true;
    for (const StoredSettings::Key &key : StoredSettings::InOrder)
        saved = StoredSettings::save(m_store, key, currentValue(key.value, outer)) && saved;
    if (saved)
        return;
    const DosingState &state = Module1::dosingState;
    OperatorMessage::show(
        this,
        QStringLiteral("ERROR: The settings could not be saved in \"%1\". Note the dosing "
                       "parameters to enter them next time: target BAL %2, drinking period "
                       "%3 minutes, proof %4, %5 parts mixer for every 1 part alcohol.")
            .arg(m_store.location(applicationTitle()), SingleToText(state.BAL),
                 SingleToText(state.DD), SingleToText(state.Proof), SingleToText(state.Ratio)));
}

void frmMain::mnuInput_Click()
{
    // A new window each time, so every opening starts from its definition.
    frmInfo info(this);
    info.Form_Load();
    info.exec();
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
