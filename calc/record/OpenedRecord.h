#pragma once

#include "calc/record/RecordReader.h"
#include "calc/record/RecordStatus.h"
#include "calc/session/Session.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// A session record's file judged once, as it is opened: the Session Plan window, pourwise-dose
// --check-record and a study's tables all take this judgement and only present it, so that they
// never disagree about one file. Whether another window records into the file (its lock) is no
// judgement of the file and is left to the window that takes it (RecordKeeper).
struct OpenedRecord {
    RecordStatus status = RecordStatus::Unreadable;
    // Why the status is not ok (recordStatusMessage); empty for ok.
    QString statusMessage;
    // What the operator is told when the window opens the record, in order: why it cannot be read,
    // or why it opens read-only (cut or changed, the file marked read-only or with another name),
    // that it is version 1, and that its dose differs from the recorded one.
    QStringList messages;
    // Why the record is only to be shown, never added to; empty when it may be added to once its
    // lock is taken. Its end row not vouching for it, the file marked read-only and another name
    // come first, in that order, and leave the lock untried; a dose that differs comes last.
    QString readOnlyReason;
    // Whether the window tries to take the file's lock: nothing in the file itself forbids adding
    // to it (readOnlyReason is empty, or says only that its dose differs). A lock held elsewhere
    // is then told first, and is why it opens read-only, before a dose that differs.
    bool lockToBeTried = false;
    // Whether the record is judged again by the limits of the protocol in use: only when that is
    // the protocol it names, read from a file with the SHA-256 it recorded.
    bool limitsApply = false;
    std::optional<Protocol> protocol;    // the protocol in use, when its limits apply
    std::optional<SessionRecord> record; // none: the file is no record (statusMessage says why)
    RecordStamp stamp;                   // the file as it was read
    int entries = 0;                     // the record's rows of entries, the plan counted
    int corrections = 0;
    int voids = 0;

    // What is told of the record as soon as it is checked or its study's tables are made: the
    // status message of a record that cannot be read, or is cut or changed; empty for the others.
    QString notice() const;
};

// Opens the record at `path` (RecordFile::open) and judges it. `inUse` is the protocol the
// program doses under now (none for the command line and a study); the messages write volumes in
// `locale`.
OpenedRecord openRecord(const QString &path, const SessionProtocol &inUse = {},
                        const QLocale &locale = QLocale());
// The same for a file already read as `reading` (away from the window's thread, say).
OpenedRecord openRecord(RecordReading reading, const QString &path,
                        const SessionProtocol &inUse = {}, const QLocale &locale = QLocale());
