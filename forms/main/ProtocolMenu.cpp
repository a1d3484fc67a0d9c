#include "forms/main/ProtocolMenu.h"

#include "calc/dose/DoseFaultTexts.h"
#include "forms/common/Controls.h"
#include "forms/common/ModalDialog.h"
#include "forms/common/OperatorMessage.h"
#include "forms/main/frmLimits.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString FileFilter = QStringLiteral("Protocols (*.json);;All files (*)");

} // namespace

ProtocolMenu::ProtocolMenu(QMenuBar *bar, DosingState &state, RunValues &run,
                           SessionPlanSettings &plan, const LevelScale &level, QWidget *owner)
    : QObject(owner), m_state(state), m_run(run), m_plan(plan), m_level(level), m_owner(owner)
{
    setObjectName(QStringLiteral("protocolMenu"));
    mnuProtocol = Controls::menu(bar, "mnuProtocol", QStringLiteral("&Protocol"));
    const auto addItem = [this](const QString &caption, const char *name, auto slot) {
        QAction *item = mnuProtocol->addAction(caption);
        item->setObjectName(QLatin1String(name));
        // Queued, as every item that opens a window: a press through the accessibility interface
        // returns at once.
        connect(item, &QAction::triggered, this, slot, Qt::QueuedConnection);
        return item;
    };
    mnuProtocolOpen = addItem(QStringLiteral("&Open Protocol..."), "mnuProtocolOpen",
                              &ProtocolMenu::mnuProtocolOpen_Click);
    mnuProtocolSave = addItem(QStringLiteral("&Save Protocol As..."), "mnuProtocolSave",
                              &ProtocolMenu::mnuProtocolSave_Click);
    mnuProtocolLimits = addItem(QStringLiteral("&Limits..."), "mnuProtocolLimits",
                                &ProtocolMenu::mnuProtocolLimits_Click);
    mnuProtocol->addSeparator();
    mnuProtocolNone = addItem(QStringLiteral("&No Protocol"), "mnuProtocolNone",
                              &ProtocolMenu::mnuProtocolNone_Click);
    connect(this, &ProtocolMenu::protocolChanged, this,
            [this] { mnuProtocolNone->setEnabled(m_run.protocol.has_value()); });
    mnuProtocolNone->setEnabled(false);
}

void ProtocolMenu::restore(const QString &path)
{
    if (path.isEmpty())
        return;
    const ProtocolReading reading = readProtocolFile(path);
    if (!reading.protocol) {
        m_run.protocol.reset();
        m_run.protocolPath.clear();
        m_run.protocolSha256.clear();
        emit protocolChanged();
        // Said once: the protocol is forgotten, so the next start does not say it again.
        OperatorMessage::show(m_owner, protocolNotReopenedMessage(path, reading.error));
        return;
    }
    use(*reading.protocol, path, reading.sha256);
}

void ProtocolMenu::mnuProtocolOpen_Click()
{
    const QString path = QFileDialog::getOpenFileName(
        m_owner, QStringLiteral("Open Protocol"), QFileInfo(m_run.protocolPath).path(), FileFilter);
    if (!path.isEmpty())
        openProtocol(path);
}

bool ProtocolMenu::openProtocol(const QString &path)
{
    const ProtocolReading reading = readProtocolFile(path);
    if (!reading.protocol) {
        OperatorMessage::show(m_owner, protocolUnusableMessage(path, reading.error));
        return false;
    }
    use(*reading.protocol, path, reading.sha256);
    return true;
}

void ProtocolMenu::use(const Protocol &protocol, const QString &path, const QByteArray &sha256)
{
    m_run.protocol = protocol;
    m_run.protocolPath = path;
    m_run.protocolSha256 = sha256;
    const LevelScale &level = protocol.level;
    m_state.BAL = level.toBal(protocol.target);
    m_run.typedTarget = TypedLevel{protocol.target, level};
    m_state.DD = protocol.drinkingPeriod;
    m_state.Proof = protocol.proof;
    m_state.Ratio = protocol.mixerRatio;
    m_plan.portions = protocol.portions;
    m_plan.releaseLevel = level.toBal(protocol.releaseLevel);
    emit levelChosen(level);
    emit protocolChanged();
}

void ProtocolMenu::mnuProtocolSave_Click()
{
    bool given = false;
    const QString name = QInputDialog::getText(
        m_owner, QStringLiteral("Save Protocol As"), QStringLiteral("Name of the protocol:"),
        QLineEdit::Normal, m_run.protocol ? m_run.protocol->name : QString(), &given);
    if (!given)
        return;
    const QString suggested =
        QFileInfo(m_run.protocolPath)
            .dir()
            .filePath((name.trimmed().isEmpty() ? QStringLiteral("Protocol") : name.trimmed()) +
                      QStringLiteral(".json"));
    const QString path = QFileDialog::getSaveFileName(m_owner, QStringLiteral("Save Protocol As"),
                                                      suggested, FileFilter);
    if (!path.isEmpty())
        saveProtocolAs(path, name);
}

Protocol ProtocolMenu::fromCurrentValues(const QString &name) const
{
    Protocol protocol;
    protocol.name = name.trimmed();
    protocol.level = m_level;
    protocol.target = typedLevelFor(m_run.typedTarget, m_state.BAL, m_level)
                          .value_or(m_level.shownLevel(m_state.BAL));
    protocol.drinkingPeriod = m_state.DD;
    protocol.proof = m_state.Proof;
    protocol.mixerRatio = m_state.Ratio;
    protocol.portions = m_plan.portions;
    protocol.releaseLevel = m_level.shownLevel(m_plan.releaseLevel);
    if (m_run.protocol) {
        protocol.limits = m_run.protocol->limits;
        protocol.schedule = m_run.protocol->schedule;
        protocol.release = m_run.protocol->release;
        // The device is the lab's, whatever the values: kept, in the unit saved.
        if (const std::optional<float> sd = m_run.protocol->readingSd)
            protocol.readingSd = m_level.shownLevel(m_run.protocol->level.toBal(*sd));
    }
    return protocol;
}

bool ProtocolMenu::saveProtocolAs(const QString &path, const QString &name)
{
    const Protocol protocol = fromCurrentValues(name);
    // What cannot be read back must not be written: a protocol is judged by its reader alone.
    const ProtocolReading check = readProtocol(writeProtocol(protocol));
    QString error = check.error;
    if (error.isEmpty())
        error = writeProtocolFile(path, protocol);
    if (!error.isEmpty()) {
        OperatorMessage::show(m_owner, protocolNotSavedMessage(path, error));
        return false;
    }
    use(protocol, path, protocolSha256(writeProtocol(protocol)));
    return true;
}

void ProtocolMenu::mnuProtocolLimits_Click()
{
    const bool fromFile = m_run.protocol && !m_run.protocolPath.isEmpty();
    // A protocol's file is shared between sites: its limits are changed knowingly.
    if (fromFile && OperatorMessage::ask(
                        m_owner,
                        QStringLiteral("Change the limits in %1? Every site that uses this "
                                       "file will get them.")
                            .arg(QDir::toNativeSeparators(m_run.protocolPath)),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString note =
        fromFile ? QStringLiteral("The limits are saved in the protocol's file at once.")
                 : QStringLiteral("Without a protocol they hold until Pourwise closes; Save "
                                  "Protocol As... keeps them.");
    const LevelScale level = m_run.protocol ? m_run.protocol->level : m_level;
    frmLimits limits(m_run.protocol ? m_run.protocol->limits : ProtocolLimits{}, level, note,
                     m_owner);
    if (ModalDialog::exec(limits) == QDialog::Accepted)
        setLimits(limits.limits());
}

bool ProtocolMenu::setLimits(const ProtocolLimits &limits)
{
    if (m_run.protocol && !m_run.protocolPath.isEmpty()) {
        Protocol changed = *m_run.protocol;
        changed.limits = limits;
        const QString error = writeProtocolFile(m_run.protocolPath, changed);
        if (!error.isEmpty()) {
            OperatorMessage::show(m_owner, limitsNotSavedMessage(m_run.protocolPath, error));
            return false;
        }
        m_run.protocol = changed;
        m_run.protocolSha256 = protocolSha256(writeProtocol(changed));
    } else if (limits.any()) {
        // No protocol: the current values with these limits, without a name; only the limits
        // judge the doses.
        Protocol unnamed = fromCurrentValues(QString());
        unnamed.limits = limits;
        m_run.protocol = unnamed;
        m_run.protocolSha256.clear();
    } else {
        m_run.protocol.reset();
        m_run.protocolSha256.clear();
    }
    emit protocolChanged();
    return true;
}

void ProtocolMenu::mnuProtocolNone_Click()
{
    m_run.protocol.reset();
    m_run.protocolPath.clear();
    m_run.protocolSha256.clear();
    emit protocolChanged();
}
