#include "calc/RecordLock.h"

#include "calc/FaultTexts.h"

RecordLock::RecordLock(const QString &recordPath)
    : m_record(recordPath), m_lock(lockPath(recordPath))
{
    // Never stale by age: a window may record into a file for hours. Only a lock whose owner has
    // ended on this computer is taken over.
    m_lock.setStaleLockTime(0);
}

QString RecordLock::lockPath(const QString &recordPath)
{
    return recordPath + QStringLiteral(".lock");
}

bool RecordLock::tryLock()
{
    m_holderHost.clear();
    m_holderPid = 0;
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return true;
    QString application;
    if (m_lock.error() == QLockFile::LockFailedError &&
        !m_lock.getLockInfo(&m_holderPid, &m_holderHost, &application))
        m_holderPid = 0;
    return false;
}

QString RecordLock::message() const
{
    if (m_lock.error() == QLockFile::LockFailedError)
        return recordLockedMessage(m_record, lockPath(m_record), m_holderHost, m_holderPid);
    return recordLockNotMadeMessage(m_record, lockPath(m_record));
}

QString RecordLock::reason() const
{
    if (m_lock.error() == QLockFile::LockFailedError)
        return recordLockedReason(m_holderHost, m_holderPid);
    return recordLockNotMadeReason();
}
