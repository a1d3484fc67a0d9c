#include "calc/files/RecordLock.h"

#include "calc/files/FileFaultTexts.h"
#include "calc/files/FileKind.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

// A copy writes who holds a lock as it makes its file; one that names no one this long after it
// was made was left by a copy killed while making it.
constexpr qint64 SilentLockSeconds = 60;

} // namespace

RecordLock::RecordLock(const QString &recordPath)
    : m_record(recordPath), m_lockPath(lockPath(recordPath))
{
}

RecordLock::~RecordLock() = default;

QString RecordLock::lockPath(const QString &recordPath)
{
    const QFileInfo record(recordPath);
    QString resolved = record.canonicalFilePath();
    if (resolved.isEmpty()) {
        const QString folder = QFileInfo(record.absolutePath()).canonicalFilePath();
        resolved = folder.isEmpty() ? record.absoluteFilePath()
                                    : folder + QLatin1Char('/') + record.fileName();
    }
    return resolved + QStringLiteral(".lock");
}

bool RecordLock::tryLock()
{
    m_failure = Failure::None;
    m_why.clear();
    m_holderHost.clear();
    m_holderPid = 0;
    if (isLocked())
        return true;
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(m_lockPath);
        // Never stale by age: a window may record into a file for hours. Only a lock whose owner
        // has ended on this computer is taken over.
        m_lock->setStaleLockTime(0);
    }
    // Something other than a file in the lock's place is no lock anyone holds.
    m_why = otherThanAFile(m_lockPath);
    if (!m_why.isEmpty()) {
        m_failure = Failure::NotAFile;
        return false;
    }
    bool locked = m_lock->tryLock(0);
    QString application;
    if (!locked && m_lock->error() == QLockFile::LockFailedError &&
        !m_lock->getLockInfo(&m_holderPid, &m_holderHost, &application)) {
        m_holderPid = 0;
        m_holderHost.clear();
        const QDateTime made = QFileInfo(m_lockPath).lastModified();
        if (made.isValid() && made.secsTo(QDateTime::currentDateTime()) > SilentLockSeconds &&
            m_lock->removeStaleLockFile())
            locked = m_lock->tryLock(0);
    }
    if (locked) {
        m_madeAt = QFileInfo(m_lockPath).lastModified();
        return true;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_failure = Failure::Held;
    } else {
        m_failure = Failure::NotMade;
        m_why = whyNoFileCanBeMade(m_lockPath);
    }
    return false;
}

void RecordLock::unlock()
{
    if (m_lock)
        m_lock->unlock();
}

bool RecordLock::stillHeld() const
{
    if (!isLocked())
        return false;
    const QFileInfo file(m_lockPath);
    qint64 pid = 0;
    QString host;
    QString application;
    return file.isFile() && file.lastModified() == m_madeAt &&
           m_lock->getLockInfo(&pid, &host, &application) &&
           pid == QCoreApplication::applicationPid() && host == QSysInfo::machineHostName();
}

void RecordLock::abandon()
{
    // QLockFile removes its file by name when it lets go, and the file by that name may be
    // another window's lock now: this one is kept as it is, never let go, for as long as the
    // program runs (and never destroyed at its end, which would let go too).
    static auto *const abandoned = new std::vector<std::unique_ptr<QLockFile>>;
    if (m_lock)
        abandoned->push_back(std::move(m_lock));
}

QString RecordLock::message() const
{
    switch (m_failure) {
    case Failure::Held:
        return recordLockedMessage(m_record, m_lockPath, m_holderHost, m_holderPid);
    case Failure::NotAFile:
        return recordLockNotAFileMessage(m_record, m_lockPath, m_why);
    case Failure::NotMade:
    case Failure::None:
        break;
    }
    return recordLockNotMadeMessage(m_record, m_lockPath, m_why);
}

QString RecordLock::reason() const
{
    switch (m_failure) {
    case Failure::Held:
        return recordLockedReason(m_holderHost, m_holderPid);
    case Failure::NotAFile:
        return recordLockNotAFileReason(m_lockPath, m_why);
    case Failure::NotMade:
    case Failure::None:
        break;
    }
    return recordLockNotMadeReason(m_lockPath, m_why);
}
