#pragma once

#include "calc/dose/Booster.h"
#include "calc/dose/CalcDose.h"
#include "calc/dose/NumberText.h"
#include "calc/dose/Placebo.h"
#include "calc/dose/SessionPlan.h"
#include "calc/record/RecordReader.h"
#include "calc/session/SessionFault.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <string>

// Every fault the operator may meet, each kind worded in one place and in two forms: a few words
// without commas for a roster's error column, which reads well in a spreadsheet cell, and the
// full message, starting "ERROR: ".
struct FaultText {
    std::string brief;
    QString message;
};

// Why a dose could not be computed; empty for a dose that was.
FaultText doseFaultText(const DoseOutcome &outcome);
// Why there is no session plan; empty for a plan.
FaultText planFaultText(PlanProblem problem);
// Why a plan has no band around it: its release band's times are beyond what a clock can show.
FaultText bandFaultText();

// What is wrong with a typed value.
enum class InputProblem {
    None,
    Empty,
    NotANumber,
    OutOfRange,    // beyond the largest 32-bit float
    NoGender,      // the gender is empty
    UnknownGender, // the gender is not one of the accepted words
};

// The problem of a number's text as TextToSingle read it: blank text is empty.
InputProblem inputProblemOf(const SingleFromText &number, QStringView text);

// The roster's words: "height is not a number", "no gender".
std::string inputProblemBrief(InputProblem problem, const QString &column);
// The command line's message, naming the option and quoting what was given:
// "ERROR: --proof "x" is not a number; use "." as the decimal separator and no thousands
// separators".
QString inputProblemMessage(InputProblem problem, const QString &option, const QString &given);
// The window's message, naming the field by its caption and quoting what was typed; numbers are
// typed with the user's decimal separator.
QString fieldProblemMessage(InputProblem problem, const QString &fieldName, const QString &typed);

// The session code typed is not one acceptsSessionCode takes.
QString sessionCodeMessage(const QString &code);
// Why a placebo's float cannot be used; `smallestMl` is the smallest portion's total.
QString placeboMessage(PlaceboProblem problem, int smallestMl);
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
// file is as it was before.
QString studyFileSaveMessage(const QString &file, const QString &reason);
// A study's picture is saved as PNG or PDF, by the name's ending.
QString studyPictureNameMessage(const QString &file);
// The study's picture that could not be drawn into `file`, which is left as it was.
QString studyPictureNotDrawnMessage(const QString &file);
// What a study's table leaves out, one reason each, the paths in the order met: records it does
// not count ("WARNING: 2 records not counted: unverified (version 1): a.csv, b.csv"), paths it
// cannot read, and the names of files it has tabled under another name.
QString studyRecordsNotCountedMessage(const QString &why, const QStringList &files);
QString studyPathsNotReadMessage(const QString &why, const QStringList &paths);
QString studySameFilesMessage(const QStringList &paths);
// A session record another copy of Pourwise records into, on computer `host` as process `pid`
// (an empty host: its lock file `lockFile` does not say): it opens read-only.
QString recordLockedMessage(const QString &file, const QString &lockFile, const QString &host,
                            qint64 pid);
// A session record beside which no lock file can be made (a folder that cannot be written, a full
// disk: `why`, in the system's words): it opens read-only, as another copy could not be kept from
// recording into it.
QString recordLockNotMadeMessage(const QString &file, const QString &lockFile, const QString &why);
// A session record whose lock file's place holds `what` ("a folder"), not a file: no lock can be
// taken, so it opens read-only.
QString recordLockNotAFileMessage(const QString &file, const QString &lockFile,
                                  const QString &what);
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
QString recordLockedReason(const QString &host, qint64 pid);
QString recordLockNotMadeReason(const QString &lockFile, const QString &why);
QString recordLockNotAFileReason(const QString &lockFile, const QString &what);
QString recordDoseDiffersReason();
QString recordReadOnlyFileReason();
// Why a window stopped recording into its file: the file is not as the window last read or
// wrote it, or is gone; the lock beside it is gone or another's; it has `names` names (hard
// links).
QString recordChangedUnderReason();
QString recordGoneReason();
QString recordLockLostReason(const QString &lockFile);
QString recordHardLinkedReason(int names);

// A session's refusal with its words. `details` fill the message in this order: ReadOnly the
// reason; InitialsInvalid the initials; TimeAhead the clock time and the time now;
// ServedBeforeStart the clock time and the start; PortionUnknown the number;
// PortionServedAlready the number and the clock time served; ReadingNegative the level;
// BoosterServedAlready the clock time served; BoosterPeriod the period; SessionCode the code;
// EntryUnknown, EntryIsChange, EntryVoided, PlannedPortion and CorrectionNoChange the entry;
// CorrectionValues the entry; ReasonTooLong the reason's length; ReasonControlCharacter the
// reason, its control characters escaped. PlaceboFloat, PlanChoice and
// BoosterDose take their words from placeboMessage, planFaultText and doseFaultText.
SessionRefusal sessionRefusal(SessionFault fault, const QStringList &details = {});

// The windows' own messages.
// No gender chosen before Calculate NOW.
QString genderMissingMessage();
// The values of a dose computed all the same that the operator must check before serving.
QString checkBeforeServingMessage(const QStringList &toCheck);
// The Session Plan asked for before any dose was calculated.
QString noDoseForPlanMessage();
// A blood/breath ratio typed outside the ratios accepted.
QString breathRatioMessage(const QLocale &locale = QLocale());
// A protocol's limit that is neither empty nor a number above 0; `caption` names its field.
QString limitNotAboveZeroMessage(const QString &caption);
// A protocol file that cannot be used, with the reason: opened now, or remembered from the last
// run (then it is forgotten); saved from the current values; its limits changed.
QString protocolUnusableMessage(const QString &file, const QString &reason);
QString protocolNotReopenedMessage(const QString &file, const QString &reason);
QString protocolNotSavedMessage(const QString &file, const QString &reason);
QString limitsNotSavedMessage(const QString &file, const QString &reason);
// A time typed that is none of the forms calc/session/TypedTime.h reads; `fieldName` as the field's
// caption says it, without its colon.
QString typedTimeMessage(const QString &fieldName, const QString &typed);
// Another session window asked for while `most` are open.
QString tooManySessionsMessage(int most);
// What the printer did not take.
enum class Printout { SessionPlan, ObserverSheet, StudyPicture };
QString notPrintedMessage(Printout printout);
