#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <memory>

// One writer per session record: a window that records into a file holds the lock beside it for
// as long as it may add entries. The lock is the file's, by whatever name the file is reached (a
// link, another spelling of its folder): <the file's resolved path>.lock. Another window, in this
// copy of Pourwise or in another on any computer that shares the folder, finds it held and opens
// the record read-only, naming the computer and the process that hold it. A lock whose owner has
// ended on this computer (a copy of Pourwise that crashed) is taken over, and so is one that
// names no owner a minute after it was made (a copy killed while it made it); a lock is never
// taken from a live owner, however long it has held it.
class RecordLock {
public:
    explicit RecordLock(const QString &recordPath);
    ~RecordLock();
    RecordLock(const RecordLock &) = delete;
    RecordLock &operator=(const RecordLock &) = delete;

    // The lock file of the record at `recordPath`, beside the file it resolves to; for a file not
    // made yet, beside it in its folder's resolved path.
    static QString lockPath(const QString &recordPath);

    // Takes the lock, or says why not: false when another copy holds it (holderHost, holderPid),
    // something other than a file is in its place, or the lock file cannot be made. Then
    // message() tells the operator.
    bool tryLock();
    bool isLocked() const { return m_lock && m_lock->isLocked(); }
    void unlock();

    // While locked: whether the lock file is still this lock's. It may have been deleted, and
    // taken since by another window; then it is left to that window (see abandon).
    bool stillHeld() const;
    // Gives the lock up without removing its file, which another window may hold now.
    void abandon();

    // After a failed tryLock: the computer and the process of the copy that holds the lock; an
    // empty host when the lock file does not say, or when none holds it.
    const QString &holderHost() const { return m_holderHost; }
    qint64 holderPid() const { return m_holderPid; }
    // After a failed tryLock: "WARNING: r.csv is being recorded by Pourwise on the computer
    // lab-2 (process 4242). It opens read-only. ..."
    QString message() const;
    // After a failed tryLock: why the record opens read-only, in brief (recordLockedReason).
    QString reason() const;

private:
    enum class Failure { None, Held, NotAFile, NotMade };

    QString m_record;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QDateTime m_madeAt; // the lock file's time of change when it was taken
    Failure m_failure = Failure::None;
    QString m_why; // NotAFile: what is in its place; NotMade: the system's reason
    QString m_holderHost;
    qint64 m_holderPid = 0;
};
