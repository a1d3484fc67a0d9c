#include "forms/RecordKeeper.h"

#include "calc/FaultTexts.h"
#include "calc/RecordFile.h"
#include "calc/RecordStatus.h"
#include "calc/SessionText.h"

#include <QDir>

RecordKeeper::Opening RecordKeeper::open(const QString &path, const SessionProtocol &inUse)
{
    Opening opening;
    const RecordReading reading = RecordFile::open(path);
    if (!reading.record) {
        opening.messages << reading.error;
        return opening;
    }
    const SessionRecord &record = *reading.record;
    QString readOnly;
    auto lock = std::make_unique<RecordLock>(path);
    if (reading.readOnly()) {
        opening.messages << reading.warning;
        readOnly = recordCheckReason(reading.check);
    } else if (!lock->tryLock()) {
        opening.messages << lock->message();
        readOnly = lock->reason();
    }
    DoseOptions options;
    options.plan = record.setup.plan;
    const DoseReport dose = evaluateDose(record.setup.input, options);
    if (!recordedDoseMatches(record.setup, dose)) {
        opening.messages << recordStatusMessage(RecordStatus::DoseDiffers, path, reading, dose);
        if (readOnly.isEmpty())
            readOnly = recordDoseDiffersReason();
    }
    if (readOnly.isEmpty())
        opening.lock = std::move(lock);
    // Judged by the limits of the protocol it names only when that is the very file open now.
    opening.limitsChecked = inUse.protocol && !record.setup.protocolSha256.isEmpty() &&
                            record.setup.protocolSha256 == inUse.sha256;
    opening.session = std::make_unique<Session>(
        record, path, readOnly, opening.limitsChecked ? inUse.protocol : std::nullopt);
    return opening;
}

RecordKeeper::RecordKeeper(Session &session, std::unique_ptr<RecordLock> lock)
    : m_session(session), m_lock(std::move(lock))
{
}

QString RecordKeeper::stateText() const
{
    const QString path = QDir::toNativeSeparators(m_session.path());
    switch (m_session.state()) {
    case RecordState::NotSaved:
        return QStringLiteral("A new session, not saved yet: Save Record... keeps it and every "
                              "entry from then on. Open Record... continues a saved one.");
    case RecordState::ReadOnly:
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
    auto lock = std::make_unique<RecordLock>(path);
    if (!lock->tryLock())
        return recordSaveMessage(path, lock->reason());
    if (const QString error = RecordFile::saveNew(path, m_session.record()); !error.isEmpty())
        return error;
    m_lock = std::move(lock);
    m_session.setSaved(path);
    return {};
}

QString RecordKeeper::saveEntries()
{
    if (m_session.state() != RecordState::Saved || !m_session.hasUnsavedEntries())
        return {};
    const QString error = RecordFile::save(m_session.path(), m_session.record());
    if (error.isEmpty())
        m_session.setEntriesSaved();
    return error;
}

QString RecordKeeper::versionQuestion() const
{
    if (m_versionAccepted || m_session.record().version != RecordVersion::First ||
        m_session.state() != RecordState::Saved)
        return {};
    return recordVersionQuestion(m_session.path());
}
