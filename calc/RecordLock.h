#pragma once

#include <QLockFile>
#include <QString>

// One writer per session record: a window that records into a file holds the lock beside it,
// <record>.lock, for as long as it may add entries. Another window, in this copy of Pourwise or
// in another on any computer that shares the folder, finds it held and opens the record
// read-only, naming the computer and the process that hold it. A lock whose owner has ended on
// this computer (a copy of Pourwise that crashed) is taken over; a lock is never taken from a
// live owner, however long it has held it.
class RecordLock {
public:
    explicit RecordLock(const QString &recordPath);
    RecordLock(const RecordLock &) = delete;
    RecordLock &operator=(const RecordLock &) = delete;

    static QString lockPath(const QString &recordPath);

    // Takes the lock, or says why not: false when another copy holds it (holderHost, holderPid)
    // or the lock file cannot be made. Then message() tells the operator.
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }
    void unlock() { m_lock.unlock(); }

    // After a failed tryLock: the computer and the process of the copy that holds the lock; an
    // empty host when the lock file does not say, or when none holds it and the lock file
    // could not be made.
    const QString &holderHost() const { return m_holderHost; }
    qint64 holderPid() const { return m_holderPid; }
    // After a failed tryLock: "WARNING: r.csv is being recorded by Pourwise on the computer
    // lab-2 (process 4242). It opens read-only. ..."
    QString message() const;
    // After a failed tryLock: why the record opens read-only, in brief (recordLockedReason).
    QString reason() const;

private:
    QString m_record;
    QLockFile m_lock;
    QString m_holderHost;
    qint64 m_holderPid = 0;
};
