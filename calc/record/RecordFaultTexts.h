#pragma once

#include "calc/record/RecordCheck.h"

#include <QString>

// What is wrong with a session record's file, and why one opens read-only or stops being
// recorded into, each worded in one place.

// A session record's file that cannot be read, naming the file, the line (from 1) and what is
// wrong there: "ERROR: r.csv line 4: level "-0.01" is below 0."
QString recordLineMessage(const QString &file, qsizetype line, const QString &problem);
// A session record's file that cannot be read at all: "ERROR: r.csv: it is a named pipe, not a
// regular file."
QString recordFileMessage(const QString &file, const QString &problem);
// A session record that could not be saved, with the system's reason; the file is as it was,
// and what was not saved stays in the window.
QString recordSaveMessage(const QString &file, const QString &reason);
// A new session saved where a file is already.
QString recordExistsMessage(const QString &file);
// A new session's first entry refused: its record would be saved where a file is already.
QString recordPlaceTakenMessage(const QString &file);
// Why a new session's record could not be saved: its folder could not be made.
QString recordFolderNotMadeReason(const QString &folder);
// A version-2 record whose end row is missing (cut short) or does not match the rows before it
// (changed outside Pourwise, `how`): it opens read-only.
QString recordCutMessage(const QString &file);
QString recordChangedMessage(const QString &file, const QString &how);
// A version-1 record, which has no end row to vouch for its rows: "version 1: it has no end row,
// so whether it is whole cannot be checked", and as a message naming the file.
QString recordVersionOneNote();
QString recordUnverifiedMessage(const QString &file);
// A folder given for a study's tables that holds no session record (*.csv), subfolders searched,
// or that cannot be read, with the system's reason.
QString studyFolderEmptyMessage(const QString &folder);
// A study's table or picture that could not be saved as `file`, with the system's reason; the
// A session record marked read-only: it opens read-only.
QString recordReadOnlyFileMessage(const QString &file);
// A session record with `names` names (hard links), through each of which a window could record
// into it: it opens read-only.
QString recordHardLinkedMessage(const QString &file, int names);
// A window stops recording into `file`, which is no longer as it last read or wrote it (`why`, as
// recordChangedUnderReason and the others say it); the entries not saved stay in the window.
QString recordStoppedMessage(const QString &file, const QString &why);
// A session record whose dose, computed again from its values (`computed`, or why it cannot be),
// differs from the dose it recorded (`recorded`): it opens read-only.
QString recordDoseDiffersMessage(const QString &file, const QString &computed,
                                 const QString &recorded);
// Why a record opened read-only, in brief, as a refused entry and the window's state line say it
// after "read-only: ": its end row (cut or changed), the copy that holds its lock, a lock that
// cannot be made, or a dose that differs.
QString recordCheckReason(RecordCheck check);
QString recordDoseDiffersReason();
QString recordReadOnlyFileReason();
// Why a window stopped recording into its file: the file is not as the window last read or
// wrote it, or is gone; the lock beside it is gone or another's; it has `names` names (hard
// links).
QString recordChangedUnderReason();
QString recordGoneReason();
QString recordLockLostReason(const QString &lockFile);
QString recordHardLinkedReason(int names);
// Asked before the first entry into a version-1 record, which is then saved as version 2.
QString recordVersionQuestion(const QString &file);
