#include "forms/session/RecordKeeper.h"

#include "calc/record/OpenedRecord.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/record/RecordFile.h"
#include "calc/session/SessionText.h"

#include <QDir>
#include <QFileInfo>

RecordKeeper::Opening RecordKeeper::open(const QString &path, const SessionProtocol &inUse)
{
    return open(RecordFile::open(path), path, inUse);
}

RecordKeeper::Opening RecordKeeper::open(RecordReading reading, const QString &path,
                                         const SessionProtocol &inUse)
{
    OpenedRecord opened = openRecord(std::move(reading), path, inUse);
    Opening opening;
    opening.messages = opened.messages;
    if (!opened.record)
        return opening;
    QString readOnly = opened.readOnlyReason;
    if (opened.lockToBeTried) {
        auto lock = std::make_unique<RecordLock>(path);
        if (!lock->tryLock()) {
            // Another copy recording into the file is told first and is why it opens read-only,
            // even when its dose differs too.
            opening.messages.prepend(lock->message());
            readOnly = lock->reason();
        } else if (readOnly.isEmpty()) {
            opening.lock = std::move(lock);
        }
    }
    opening.limitsChecked = opened.limitsApply;
    opening.stamp = opened.stamp;
    opening.session =
        std::make_unique<Session>(std::move(*opened.record), path, readOnly, opened.protocol);
    return opening;
}

RecordKeeper::RecordKeeper(Session &session, std::unique_ptr<RecordLock> lock,
                           const RecordStamp &stamp)
    : m_session(session), m_lock(std::move(lock)), m_stamp(stamp)
{
}

QString RecordKeeper::stateText(const QString &newPath) const
{
    const QString path = QDir::toNativeSeparators(m_session.path());
    switch (m_session.state()) {
    case RecordState::NotSaved:
        if (m_session.hasUnsavedEntries())
            return QStringLiteral("The entries could not be saved as %1: Change Folder... or Save "
                                  "Record As... saves them elsewhere.")
                .arg(QDir::toNativeSeparators(newPath));
        return QStringLiteral("The record will be saved as %1 at the first entry.")
            .arg(QDir::toNativeSeparators(newPath));
    case RecordState::ReadOnly:
        if (m_session.recordingStopped())
            return QStringLiteral("Recording stopped: %1: %2. Every entry is kept here: Save "
                                  "Record As... saves them in a new file, and recording goes on "
                                  "there.")
                .arg(path, m_session.readOnlyReason());
        return QStringLiteral("Read-only: %1: %2.").arg(path, m_session.readOnlyReason());
    case RecordState::Saved:
        break;
    }
    if (m_session.hasUnsavedEntries())
        return QStringLiteral("The last entries could not be saved to %1.").arg(path);
    return QStringLiteral("Every entry is saved to %1.").arg(path);
}

QString RecordKeeper::saveAs(const QString &path, const QDateTime &now)
{
    if (const SessionRefusal refusal = m_session.prepareToSave(now); refusal.refused())
        return refusal.message;
    return becomeTheRecordAt(path);
}

QString RecordKeeper::becomeTheRecordAt(const QString &path)
{
    auto lock = std::make_unique<RecordLock>(path);
    if (!lock->tryLock())
        return recordSaveMessage(path, lock->reason());
    RecordStamp stamp;
    if (const QString error = RecordFile::saveNew(path, m_session.record(), &stamp);
        !error.isEmpty())
        return error;
    m_lock = std::move(lock);
    m_stamp = stamp;
    m_session.setSaved(path);
    return {};
}

QString RecordKeeper::firstEntryRefusal(const QString &path)
{
    // A link to nothing is a name taken all the same.
    const QFileInfo file(path);
    if (file.exists() || file.isSymLink())
        return recordPlaceTakenMessage(path);
    return {};
}

QString RecordKeeper::saveFirstEntry(const QString &path, const QDateTime &now)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return recordSaveMessage(path, recordFolderNotMadeReason(folder));
    return saveAs(path, now);
}

QString RecordKeeper::saveRecordAs(const QString &path, const QDateTime &now)
{
    if (m_session.state() == RecordState::NotSaved)
        return saveAs(path, now);
    if (!m_session.recordingStopped())
        return RecordFile::saveNew(path, m_session.record());
    return becomeTheRecordAt(path);
}

QString RecordKeeper::changedUnder() const
{
    if (!m_lock || !m_lock->stillHeld())
        return recordLockLostReason(RecordLock::lockPath(m_session.path()));
    return RecordFile::notAsStamped(m_session.path(), m_stamp);
}

void RecordKeeper::stopRecording(const QString &why)
{
    m_session.stopRecording(why);
    if (m_lock && m_lock->stillHeld())
        m_lock->unlock();
    else if (m_lock)
        m_lock->abandon();
    m_lock.reset();
}

QString RecordKeeper::saveEntries()
{
    if (m_session.state() != RecordState::Saved || !m_session.hasUnsavedEntries())
        return {};
    if (const QString why = changedUnder(); !why.isEmpty()) {
        stopRecording(why);
        return recordStoppedMessage(m_session.path(), why);
    }
    RecordStamp stamp;
    const QString error = RecordFile::save(m_session.path(), m_session.record(), &stamp);
    if (error.isEmpty()) {
        m_session.setEntriesSaved();
        m_stamp = stamp;
    }
    return error;
}

QString RecordKeeper::versionQuestion() const
{
    if (m_versionAccepted || m_session.record().version != RecordVersion::First ||
        m_session.state() != RecordState::Saved)
        return {};
    return recordVersionQuestion(m_session.path());
}

void RecordKeeper::acceptVersion(const QDateTime &now)
{
    m_versionAccepted = true;
    m_session.continueFromVersionOne(now);
}

void RecordKeeper::release()
{
    if (m_lock && !m_lock->stillHeld())
        m_lock->abandon();
    m_lock.reset();
}
