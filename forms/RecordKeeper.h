#pragma once

#include "calc/RecordLock.h"
#include "calc/Session.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

// The record's file, kept for the Session Plan window: the record opened from its file, read-only
// when it is not to be added to; the record saved as a new file through RecordFile::save, and
// saved again at once after every entry; the file's lock, held for as long as the window may add
// to it; and the question asked before the first entry into a version-1 file, which its next save
// turns into the current version. It shows nothing itself: the window shows its messages and asks
// its question.
class RecordKeeper {
public:
    // A record read from its file to be continued.
    struct Opening {
        std::unique_ptr<Session> session; // none: the file is no record
        std::unique_ptr<RecordLock> lock; // held unless the session is read-only
        bool limitsChecked = false;       // the protocol open now judges it again
        QStringList messages;             // what the operator is told, in order
    };

    // The record saved at `path`. It is read-only, saying why, when its end row does not vouch
    // for it (cut or changed), when another copy of Pourwise holds its lock, or when its dose
    // computed again differs from the dose it saved. It is judged by its protocol's limits again
    // only when `inUse` is the protocol it names, read from a file with the same SHA-256.
    static Opening open(const QString &path, const SessionProtocol &inUse);

    // The file of `session`, whose `lock` is held when it was opened to be added to.
    explicit RecordKeeper(Session &session, std::unique_ptr<RecordLock> lock = nullptr);

    // What the state line says of the record's file.
    QString stateText() const;
    // Saves the new record at `path` and takes its lock; empty when saved, else why not.
    QString saveAs(const QString &path, const QDateTime &now);
    // The entries a saved record does not have yet, written to its file; empty when saved or
    // when there is nothing to save, else why not.
    QString saveEntries();
    // Asked before the first entry into a version-1 file, until the operator accepts; empty when
    // there is nothing to ask.
    QString versionQuestion() const;
    void acceptVersion() { m_versionAccepted = true; }
    // The window is closed: the record's lock is given up.
    void release() { m_lock.reset(); }

private:
    Session &m_session;
    std::unique_ptr<RecordLock> m_lock; // held while entries are saved to the file
    bool m_versionAccepted = false;
};
