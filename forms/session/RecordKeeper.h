#pragma once

#include "calc/files/RecordLock.h"
#include "calc/record/RecordReader.h"
#include "calc/session/Session.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

// The record's file, kept for the Session Plan window: the record opened from its file, read-only
// when it is not to be added to; the record saved as a new file through RecordFile::save, and
// saved again at once after every entry; the file's lock, held for as long as the window may add
// to it; and the question asked before the first entry into a version-1 file, which its next save
// turns into the current version. Before every save it checks that the file is still as it last
// read or wrote it and the lock still its own; if not, the window stops recording, keeping every
// entry, until Save Record As... gives the record a new file. It shows nothing itself: the window
// shows its messages and asks its question.
class RecordKeeper {
public:
    // A record read from its file to be continued.
    struct Opening {
        std::unique_ptr<Session> session; // none: the file is no record
        std::unique_ptr<RecordLock> lock; // held unless the session is read-only
        RecordStamp stamp;                // the file as it was read
        bool limitsChecked = false;       // the protocol open now judges it again
        QStringList messages;             // what the operator is told, in order
    };

    // The record saved at `path`, as `reading` read it (RecordFile::open, which may run away from
    // the window's thread), judged as openRecord judges it: read-only, saying why, when its end
    // row does not vouch for it (cut or changed), when the file is marked read-only or has another
    // name (a hard link), or when its dose computed again differs from the dose it saved; a
    // version-1 record is noted as such; judged by its protocol's limits again only when `inUse`
    // is the protocol it names, read from a file with the same SHA-256. To that the keeper adds
    // the file's lock: when another copy of Pourwise holds it, the record opens read-only for that.
    static Opening open(RecordReading reading, const QString &path, const SessionProtocol &inUse);
    static Opening open(const QString &path, const SessionProtocol &inUse);

    // The file of `session`, whose `lock` is held when it was opened to be added to, and which was
    // `stamp` when it was read.
    explicit RecordKeeper(Session &session, std::unique_ptr<RecordLock> lock = nullptr,
                          const RecordStamp &stamp = {});

    // What the state line says of the record's file; a new session's is to be saved at `newPath`
    // at its first entry.
    QString stateText(const QString &newPath) const;
    // Saves the new record at `path` and takes its lock; empty when saved, else why not.
    QString saveAs(const QString &path, const QDateTime &now);
    // Why a new session's first entry may not be made with its record to be saved at `path`: a
    // file is there already. Empty when it may.
    static QString firstEntryRefusal(const QString &path);
    // A new session's first entry made: its record saved at `path` as saveAs saves it, the folder
    // made first when it is not there. Empty when saved, else why not: the entries then stay in
    // the window, unsaved, until a later entry, Change Folder... or Save Record As... saves them.
    QString saveFirstEntry(const QString &path, const QDateTime &now);
    // Save Record As...: the whole record, every entry, in a new file at `path` (never over
    // another), through the verified save. A new session is saved as saveAs saves it; a session
    // that stopped recording goes on in the new file, under its lock; any other writes a copy
    // and goes on as it was. Empty when saved, else why not.
    QString saveRecordAs(const QString &path, const QDateTime &now);
    // The entries a saved record does not have yet, written to its file once the file is found
    // as it was last read or written; empty when saved or when there is nothing to save, else
    // why not (the window has then stopped recording, or the save failed).
    QString saveEntries();
    // Asked before the first entry into a version-1 file, until the operator accepts; empty when
    // there is nothing to ask.
    QString versionQuestion() const;
    // The operator agreed at `now`: the record goes on in the current version, and says so.
    void acceptVersion(const QDateTime &now);
    // The window is closed: the record's lock is given up.
    void release();

private:
    // Saves the whole record as a new file at `path`, under a lock of its own, and makes that
    // file the session's record from then on.
    QString becomeTheRecordAt(const QString &path);
    // Why the file is no longer the window's to write; empty when it is.
    QString changedUnder() const;
    void stopRecording(const QString &why);

    Session &m_session;
    std::unique_ptr<RecordLock> m_lock; // held while entries are saved to the file
    RecordStamp m_stamp;                // the file as last read or written
    bool m_versionAccepted = false;
};
