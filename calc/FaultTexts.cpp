#include "calc/FaultTexts.h"

#include "calc/dose/ControlCharacters.h"
#include "calc/dose/ForecastBand.h"
#include "calc/files/FileKind.h"
#include "calc/session/EntryRules.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionRules.h"

#include <QDir>
#include <QLocale>
#include <array>

namespace {

// The words of the typed-value problems. %1 names the value (the roster's column, the option or
// the field's caption), %2 quotes what was given and, in the window, %3 is the user's decimal
// separator.
struct InputProblemWords {
    InputProblem problem;
    const char *brief;
    const char *optionMessage;
    const char *fieldMessage;
};

constexpr std::array<InputProblemWords, 5> InputProblemTable{{
    {InputProblem::Empty, "%1 is empty", "%1 is empty", "%1 is empty. Please enter a number."},
    {InputProblem::NotANumber, "%1 is not a number",
     "%1 \"%2\" is not a number; use \".\" as the decimal separator and no thousands separators",
     "%1 \"%2\" is not a number. Type digits with \"%3\" as the decimal separator and no "
     "thousands separators."},
    {InputProblem::OutOfRange, "%1 is too large for a 32-bit float",
     "%1 \"%2\" is too large for a 32-bit float",
     "%1 \"%2\" is too large: it is beyond the largest number this program can hold."},
    // The window's gender is a choice of buttons, which cannot hold either.
    {InputProblem::NoGender, "no gender", "%1 is empty", nullptr},
    {InputProblem::UnknownGender, "unknown gender", "%1 \"%2\" is not male, female, m, f, 1 or 0",
     nullptr},
}};

// `pattern` with %1, %2 and %3 replaced by `values`, in one pass, so that a value holding "%2"
// stays as it is; a pattern may use fewer of them.
QString filled(const char *pattern, std::initializer_list<QString> values)
{
    QString text;
    for (const char *c = pattern; *c; ++c) {
        const std::size_t index = std::size_t(c[1] - '1');
        if (c[0] == '%' && c[1] >= '1' && index < values.size()) {
            text += values.begin()[index];
            ++c;
        } else {
            text += QLatin1Char(*c);
        }
    }
    return text;
}

const InputProblemWords &wordsOf(InputProblem problem)
{
    for (const InputProblemWords &words : InputProblemTable) {
        if (words.problem == problem)
            return words;
    }
    return InputProblemTable[1]; // never None: a value without a problem has no words
}

// The words of the plans that cannot be made.
struct PlanProblemWords {
    PlanProblem problem;
    const char *brief;
    const char *message;
};

constexpr std::array<PlanProblemWords, 8> PlanProblemTable{{
    {PlanProblem::PortionsOutOfRange, "no plan: invalid plan options",
     "ERROR: The number of portions must be a whole number from %1 to %2."},
    {PlanProblem::ReleaseLevelNotAboveZero, "no plan: invalid plan options",
     "ERROR: The release level must be a number above 0 g/100 ml."},
    {PlanProblem::NegativeDrinkingPeriod, "no plan: negative drinking period",
     "ERROR: No session plan for this dose: its drinking period is negative."},
    {PlanProblem::NoBodyWater, "no plan: body water not above 0",
     "ERROR: No session plan for this dose: its body water is not above 0 litres."},
    {PlanProblem::PeakNotAboveZero, "no plan: expected peak BAL not above 0",
     "ERROR: No session plan for this dose: the expected peak BAL is not above 0 g/100 ml."},
    {PlanProblem::NoAlcoholToServe, "no plan: alcohol volume not above 0 ml",
     "ERROR: No session plan for this dose: its alcohol volume is not above 0 ml."},
    {PlanProblem::NegativeMixer, "no plan: mixer volume below 0 ml",
     "ERROR: No session plan for this dose: its mixer volume is below 0 ml."},
    {PlanProblem::TimesOutOfRange, "no plan: expected times too far in the future",
     "ERROR: No session plan for this dose: the expected times are too far in the future to "
     "show."},
}};

// The stored step of the calculation, as the roster's error column names it.
const char *stepName(DoseStep step)
{
    switch (step) {
    case DoseStep::HeightCm:
        return "height in cm";
    case DoseStep::WeightKg:
        return "weight in kg";
    case DoseStep::Hours:
        return "hours";
    case DoseStep::BodyWater:
        return "body water";
    case DoseStep::AlcoholGrams:
        return "grams of alcohol";
    case DoseStep::PureAlcoholMl:
        return "pure alcohol volume";
    case DoseStep::SpiritMl:
    case DoseStep::RoundAlcohol:
        return "alcohol volume";
    case DoseStep::MixerMl:
    case DoseStep::RoundMixer:
        return "mixer volume";
    case DoseStep::TotalMl:
        return "total volume";
    case DoseStep::None:
        break;
    }
    return "dose";
}

const char *faultName(ArithmeticFault fault)
{
    switch (fault) {
    case ArithmeticFault::InvalidOperation:
        return "invalid operation";
    case ArithmeticFault::DivisionByZero:
        return "division by zero";
    case ArithmeticFault::Overflow:
    case ArithmeticFault::None:
        break;
    }
    return "overflow";
}

const char *faultMessage(ArithmeticFault fault)
{
    switch (fault) {
    case ArithmeticFault::InvalidOperation:
        return "an invalid arithmetic operation occurred.";
    case ArithmeticFault::DivisionByZero:
        return "division by zero.";
    case ArithmeticFault::Overflow:
    case ArithmeticFault::None:
        break;
    }
    return "a number grew too large (arithmetic overflow).";
}

} // namespace

FaultText doseFaultText(const DoseOutcome &outcome)
{
    const QString cannot = QStringLiteral("ERROR: The dose cannot be computed from these values: ");
    switch (outcome.status) {
    case DoseStatus::Done:
        return {};
    case DoseStatus::GenderNotSpecified:
        return {"no gender", QStringLiteral("ERROR: Gender Not Specified!")};
    case DoseStatus::RoundingOverflow:
        return {std::string("dose out of range: ") + stepName(outcome.step) +
                    " beyond -32768 to 32767 ml",
                cannot + (outcome.step == DoseStep::RoundMixer
                              ? QStringLiteral("the mixer volume is outside the range -32768 to "
                                               "32767 ml.")
                              : QStringLiteral("the alcohol volume is beyond the range -32768 to "
                                               "32767 ml."))};
    case DoseStatus::ArithmeticFault:
        break;
    }
    const std::string brief = std::string("arithmetic fault: ") + faultName(outcome.fault) +
                              " computing " + stepName(outcome.step);
    // The spirit volume divides by proof/200: with proof 0 that is x/0, or 0/0 when no alcohol is
    // needed at all; either way the operator's cause is the proof.
    if (outcome.step == DoseStep::SpiritMl && outcome.fault != ArithmeticFault::Overflow) {
        const QString message =
            cannot + QStringLiteral("the alcohol proof is 0 (division by zero).");
        if (outcome.fault == ArithmeticFault::DivisionByZero)
            return {"proof is 0 (division by zero)", message};
        return {brief, message};
    }
    return {brief, cannot + QLatin1String(faultMessage(outcome.fault))};
}

FaultText planFaultText(PlanProblem problem)
{
    for (const PlanProblemWords &words : PlanProblemTable) {
        if (words.problem == problem)
            return {words.brief,
                    filled(words.message, {QString::number(SessionPlanLimits::MinimumPortions),
                                           QString::number(SessionPlanLimits::MaximumPortions)})};
    }
    return {};
}

FaultText bandFaultText()
{
    return {"no band: release band too far in the future",
            QStringLiteral("ERROR: No %1 % band for this plan: its release band is too far in "
                           "the future to show.")
                .arg(BandSpreads::Percent)};
}

InputProblem inputProblemOf(const SingleFromText &number, QStringView text)
{
    if (number.ok())
        return InputProblem::None;
    if (text.trimmed().isEmpty())
        return InputProblem::Empty;
    return number.error == NumberTextError::OutOfRange ? InputProblem::OutOfRange
                                                       : InputProblem::NotANumber;
}

std::string inputProblemBrief(InputProblem problem, const QString &column)
{
    return filled(wordsOf(problem).brief, {column}).toStdString();
}

QString inputProblemMessage(InputProblem problem, const QString &option, const QString &given)
{
    return QStringLiteral("ERROR: ") + filled(wordsOf(problem).optionMessage, {option, given});
}

QString fieldProblemMessage(InputProblem problem, const QString &fieldName, const QString &typed)
{
    return QStringLiteral("ERROR: ") +
           filled(wordsOf(problem).fieldMessage,
                  {fieldName, typed.trimmed(), QLocale().decimalPoint()});
}

QString sessionCodeMessage(const QString &code)
{
    return QStringLiteral("ERROR: The session code \"%1\" cannot be used: give 1 to %2 letters, "
                          "digits, \"-\" or \"_\".")
        .arg(escapedControlCharacters(code))
        .arg(SessionCode::MaximumLength);
}

QString placeboMessage(PlaceboProblem problem, int smallestMl)
{
    switch (problem) {
    case PlaceboProblem::FloatNotWhole:
        return QStringLiteral("ERROR: The placebo's float must be a whole number of ml.");
    case PlaceboProblem::FloatNegative:
        return QStringLiteral("ERROR: The placebo's float cannot be below 0 ml.");
    case PlaceboProblem::FloatAboveSmallestPortion:
        return QStringLiteral("ERROR: The placebo's float cannot be more than the smallest "
                              "portion, %1 ml.")
            .arg(smallestMl);
    case PlaceboProblem::None:
        break;
    }
    return {};
}

QString recordLineMessage(const QString &file, qsizetype line, const QString &problem)
{
    return QStringLiteral("ERROR: %1 line %2: %3.")
        .arg(QDir::toNativeSeparators(file))
        .arg(line)
        .arg(problem);
}

QString recordFileMessage(const QString &file, const QString &problem)
{
    return QStringLiteral("ERROR: %1: %2.").arg(QDir::toNativeSeparators(file), problem);
}

QString recordSaveMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The session record could not be saved as %1: %2. The file is as "
                          "it was before, and what was not saved stays in this window: make room "
                          "on the disk or choose another folder to save it in.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString recordExistsMessage(const QString &file)
{
    return QStringLiteral("ERROR: The session record was not saved as %1: a file of that name is "
                          "there already, and a new session never replaces one. Choose another "
                          "name.")
        .arg(QDir::toNativeSeparators(file));
}

QString recordPlaceTakenMessage(const QString &file)
{
    return QStringLiteral("ERROR: Nothing was entered: this session's record would be saved as %1, "
                          "and a file of that name is there already, which a new session never "
                          "replaces. Change the session code, or the folder with Change "
                          "Folder..., and enter it again.")
        .arg(QDir::toNativeSeparators(file));
}

QString recordFolderNotMadeReason(const QString &folder)
{
    return QStringLiteral("its folder %1 could not be made").arg(QDir::toNativeSeparators(folder));
}

QString recordCutMessage(const QString &file)
{
    return QStringLiteral("WARNING: %1 has no end row: it was cut short, and entries may be "
                          "missing at its end. It opens read-only.")
        .arg(QDir::toNativeSeparators(file));
}

QString recordChangedMessage(const QString &file, const QString &how)
{
    return QStringLiteral("WARNING: %1 was changed outside Pourwise: %2. It opens read-only.")
        .arg(QDir::toNativeSeparators(file), how);
}

QString recordVersionOneNote()
{
    return QStringLiteral("version 1: it has no end row, so whether it is whole cannot be checked");
}

QString recordUnverifiedMessage(const QString &file)
{
    return QStringLiteral("WARNING: %1: %2.")
        .arg(QDir::toNativeSeparators(file), recordVersionOneNote());
}

QString studyFolderEmptyMessage(const QString &folder)
{
    if (const QString why = folderUnreadable(folder); !why.isEmpty())
        return QStringLiteral("ERROR: %1 cannot be read (%2), so no session record in it can be "
                              "found. Give your user the right to read it, or copy its records to "
                              "a folder you can read.")
            .arg(QDir::toNativeSeparators(folder), why);
    return QStringLiteral("ERROR: %1 holds no session record: no file named *.csv in it or in its "
                          "subfolders.")
        .arg(QDir::toNativeSeparators(folder));
}

namespace {

// "2 records" or "1 record", then how they were left out and why, then the paths.
QString leftOutMessage(qsizetype count, const QString &one, const QString &many, const QString &how,
                       const QString &why, const QStringList &paths)
{
    QStringList native;
    for (const QString &path : paths)
        native << QDir::toNativeSeparators(path);
    return QStringLiteral("WARNING: %1 %2 %3: %4: %5")
        .arg(QString::number(count), count == 1 ? one : many, how, why,
             native.join(QStringLiteral(", ")));
}

} // namespace

QString studyRecordsNotCountedMessage(const QString &why, const QStringList &files)
{
    return leftOutMessage(files.size(), QStringLiteral("record"), QStringLiteral("records"),
                          QStringLiteral("not counted"), why, files);
}

QString studyPathsNotReadMessage(const QString &why, const QStringList &paths)
{
    return leftOutMessage(paths.size(), QStringLiteral("path"), QStringLiteral("paths"),
                          QStringLiteral("not read"), why, paths);
}

QString studySameFilesMessage(const QStringList &paths)
{
    return leftOutMessage(paths.size(), QStringLiteral("path"), QStringLiteral("paths"),
                          QStringLiteral("not tabled again"),
                          QStringLiteral("the same file as a record tabled before"), paths);
}

QString studyFileSaveMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: %1 could not be saved: %2. The file is as it was before.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString studyPictureNotDrawnMessage(const QString &file)
{
    return studyFileSaveMessage(file, QStringLiteral("the picture could not be drawn"));
}

QString studyPictureNameMessage(const QString &file)
{
    return QStringLiteral("ERROR: %1 is not a name the picture can be saved under: end it in "
                          ".png for an image or .pdf for a page.")
        .arg(QDir::toNativeSeparators(file));
}

QString recordLockedMessage(const QString &file, const QString &lockFile, const QString &host,
                            qint64 pid)
{
    const QString path = QDir::toNativeSeparators(file);
    if (host.isEmpty())
        return QStringLiteral("WARNING: %1 is being recorded by another copy of Pourwise (its lock "
                              "file %2 does not say which). It opens read-only. If no copy of "
                              "Pourwise is recording into it, the lock is taken over when the "
                              "record is opened again a minute after the lock was made.")
            .arg(path, QDir::toNativeSeparators(lockFile));
    return QStringLiteral("WARNING: %1 is being recorded by Pourwise on the computer %2 (process "
                          "%3). It opens read-only. If no copy of Pourwise is running on %2, the "
                          "lock is taken over when the record is opened again.")
        .arg(path, host)
        .arg(pid);
}

QString recordLockNotMadeMessage(const QString &file, const QString &lockFile, const QString &why)
{
    return QStringLiteral("WARNING: %1 opens read-only: its lock file %2 cannot be made (%3), so "
                          "no other copy of Pourwise could be kept from recording into it. Make "
                          "room on its disk or let your user write in its folder, or copy the "
                          "record to a folder you can write in, and open it again.")
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(lockFile), why);
}

QString recordLockNotAFileMessage(const QString &file, const QString &lockFile, const QString &what)
{
    return QStringLiteral("WARNING: %1 opens read-only: its lock file %2 is %3, not a file, so no "
                          "lock can be taken on the record. Move or rename %2, then open the "
                          "record again.")
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(lockFile), what);
}

QString recordReadOnlyFileMessage(const QString &file)
{
    return QStringLiteral("WARNING: %1 opens read-only: %2. To record into it, let it be written "
                          "(clear its read-only mark) and open it again.")
        .arg(QDir::toNativeSeparators(file), recordReadOnlyFileReason());
}

QString recordHardLinkedMessage(const QString &file, int names)
{
    return QStringLiteral("WARNING: %1 opens read-only: %2. To record into it, keep one name and "
                          "remove the others, then open it again.")
        .arg(QDir::toNativeSeparators(file), recordHardLinkedReason(names));
}

QString recordStoppedMessage(const QString &file, const QString &why)
{
    return QStringLiteral("WARNING: Recording into %1 stopped: %2. Nothing more is written there. "
                          "Every entry is kept in this window: Save Record As... saves the whole "
                          "record in a new file, and recording goes on there.")
        .arg(QDir::toNativeSeparators(file), why);
}

QString recordDoseDiffersMessage(const QString &file, const QString &computed,
                                 const QString &recorded)
{
    return QStringLiteral("WARNING: The dose computed again from the values in %1 (%2) differs "
                          "from the dose the record saved (%3). The record opens read-only; "
                          "neither dose is taken for the other.")
        .arg(QDir::toNativeSeparators(file), computed, recorded);
}

QString recordCheckReason(RecordCheck check)
{
    switch (check) {
    case RecordCheck::Cut:
        return QStringLiteral("its end row is missing: it was cut short");
    case RecordCheck::Changed:
        return QStringLiteral("it was changed outside Pourwise");
    case RecordCheck::Ok:
    case RecordCheck::Unverified:
        break;
    }
    return {};
}

QString recordLockedReason(const QString &host, qint64 pid)
{
    if (host.isEmpty())
        return QStringLiteral("another copy of Pourwise is recording into it");
    return QStringLiteral("Pourwise on the computer %1 (process %2) is recording into it")
        .arg(host)
        .arg(pid);
}

QString recordLockNotMadeReason(const QString &lockFile, const QString &why)
{
    return QStringLiteral("its lock file %1 cannot be made (%2)")
        .arg(QDir::toNativeSeparators(lockFile), why);
}

QString recordLockNotAFileReason(const QString &lockFile, const QString &what)
{
    return QStringLiteral("its lock file %1 is %2, not a file")
        .arg(QDir::toNativeSeparators(lockFile), what);
}

QString recordReadOnlyFileReason()
{
    return QStringLiteral("the file is read-only");
}

QString recordChangedUnderReason()
{
    return QStringLiteral("the file is no longer as this window last read or wrote it: another "
                          "program or another window changed it");
}

QString recordGoneReason()
{
    return QStringLiteral("the file is no longer there: it was moved or deleted");
}

QString recordLockLostReason(const QString &lockFile)
{
    return QStringLiteral("its lock file %1 was deleted, so another window may be recording into "
                          "it")
        .arg(QDir::toNativeSeparators(lockFile));
}

QString recordHardLinkedReason(int names)
{
    return QStringLiteral("the file has %1 names (hard links), and another window could record "
                          "into it under another name")
        .arg(names);
}

QString recordDoseDiffersReason()
{
    return QStringLiteral("the dose computed again from its values differs from the dose it "
                          "saved");
}

namespace {

QString number(int value)
{
    return QString::number(value);
}

// The words of a session's refusal; %1 and %2 are its details, in the order sessionRefusal names.
QString sessionFaultPattern(SessionFault fault)
{
    switch (fault) {
    case SessionFault::ReadOnly:
        return QStringLiteral("The session record is read-only: %1.");
    case SessionFault::NoPlan:
        return QStringLiteral("Nothing can be entered in a session without a plan.");
    case SessionFault::SetupFixed:
        return QStringLiteral(
            "The session's setup is fixed once it has an entry or a file. Correct "
            "the start of drinking or the release level, with a reason; the "
            "rest stays as it was served.");
    case SessionFault::StartInvalid:
        return QStringLiteral("The start of drinking must be a date and a clock time.");
    case SessionFault::NoInitials:
        return QStringLiteral("Give your initials (1 to ") +
               number(OperatorInitials::MaximumLength) +
               QStringLiteral(" letters) before the first entry.");
    case SessionFault::InitialsInvalid:
        return QStringLiteral("The initials \"%1\" cannot be used: give 1 to ") +
               number(OperatorInitials::MaximumLength) + QStringLiteral(" letters.");
    case SessionFault::ClockInvalid:
        return QStringLiteral("Enter the time as hours and minutes.");
    case SessionFault::TimeAhead:
        return QStringLiteral("%1 is more than ") + number(SessionClock::AheadMinutes) +
               QStringLiteral(" minutes after the time now (%2). Enter the time it happened.");
    case SessionFault::ServedBeforeStart:
        return QStringLiteral("%1 is before the start of drinking at %2: nothing is served before "
                              "the start.");
    case SessionFault::PortionUnknown:
        return QStringLiteral("The plan has no portion %1.");
    case SessionFault::PortionServedAlready:
        return QStringLiteral("Portion %1 is already marked served at %2. A portion marked served "
                              "by mistake is voided, with a reason, not unmarked.");
    case SessionFault::ReadingNotFinite:
        return QStringLiteral("The reading is not a finite number. Type the level the instrument "
                              "shows.");
    case SessionFault::ReadingNegative:
        return QStringLiteral("Reading \"%1\" is below 0. Type the level the instrument shows.");
    case SessionFault::BoosterServedAlready:
        return QStringLiteral("A booster is already recorded as served at %1. One recorded by "
                              "mistake is voided, with a reason, before another is recorded.");
    case SessionFault::BoosterPeriod:
        return QStringLiteral("The booster's drinking period \"%1\" is not a whole number of "
                              "minutes from ") +
               number(BoosterPeriod::Minimum) + QStringLiteral(" to ") +
               number(BoosterPeriod::Maximum) + QLatin1Char('.');
    case SessionFault::BoosterMouthAlcohol:
        return QStringLiteral("Wait: the latest reading may hold mouth alcohol (less than ") +
               number(SessionRules::MouthAlcoholMinutes) +
               QStringLiteral(" minutes after drinking).");
    case SessionFault::EntryUnknown:
        return QStringLiteral("The record has no entry %1.");
    case SessionFault::EntryIsChange:
        return QStringLiteral("Entry %1 is a correction or a void: correct or void the entry it "
                              "names.");
    case SessionFault::EntryVoided:
        return QStringLiteral("Entry %1 is voided: a voided entry cannot be corrected or voided "
                              "again.");
    case SessionFault::PlannedPortion:
        return QStringLiteral("Entry %1 is a portion of the plan, which is neither corrected nor "
                              "voided; correct or void the entry that marked it served.");
    case SessionFault::SetupNotVoidable:
        return QStringLiteral("The session's setup (entry 1) cannot be voided; its start of "
                              "drinking and release level can be corrected.");
    case SessionFault::CorrectionValues:
        return QStringLiteral("A correction of entry %1 gives the values that entry records, and "
                              "only those.");
    case SessionFault::CorrectionNoChange:
        return QStringLiteral("The correction leaves entry %1 as it is.");
    case SessionFault::ReasonMissing:
        return QStringLiteral("Give the reason for the change, 1 to ") +
               number(ChangeReason::MaximumLength) + QStringLiteral(" characters.");
    case SessionFault::ReasonTooLong:
        return QStringLiteral("The reason has %1 characters; give at most ") +
               number(ChangeReason::MaximumLength) + QLatin1Char('.');
    case SessionFault::ReasonControlCharacter:
        return QStringLiteral("The reason \"%1\" holds a control character (a tab, a line break "
                              "or the like), which a record's reader may take for the end of a "
                              "cell or a line. Type it on one line, without them.");
    case SessionFault::BoosterPlacebo:
        return QStringLiteral("No booster for the placebo beverage: no curve is expected.");
    case SessionFault::BoosterLimb:
        return QStringLiteral("Wait for the descending limb: two falling readings in a row.");
    case SessionFault::BoosterAtTarget:
        return QStringLiteral("The latest reading is at or above the target.");
    case SessionFault::BoosterImplausibleFall:
        return QStringLiteral("The latest reading fell faster than a body eliminates; take another "
                              "reading before a booster is worked out.");
    case SessionFault::BoosterReleased:
        return QStringLiteral("The participant has reached the release level; a booster would "
                              "start the session again.");
    case SessionFault::BoosterStaleReading:
        return QStringLiteral("Take a reading first: the latest counting reading is %1 old; a "
                              "booster is worked out from a reading at most ") +
               number(SessionRules::FreshReadingMinutes) + QStringLiteral(" minutes old.");
    case SessionFault::None:
    case SessionFault::SessionCode:
    case SessionFault::PlaceboFloat:
    case SessionFault::PlanChoice:
    case SessionFault::BoosterDose:
        break;
    }
    return {};
}

} // namespace

SessionRefusal sessionRefusal(SessionFault fault, const QStringList &details)
{
    switch (fault) {
    case SessionFault::None:
        return {};
    case SessionFault::SessionCode:
        return {fault, sessionCodeMessage(details.value(0))};
    default:
        break;
    }
    const QString pattern = sessionFaultPattern(fault);
    QString text = QStringLiteral("ERROR: ");
    // Filled in one pass, so that a detail holding "%2" stays as it is.
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const qsizetype index = i + 1 < pattern.size() ? pattern[i + 1].unicode() - u'1' : -1;
        if (pattern[i] == u'%' && index >= 0 && index < details.size() && index < 9) {
            text += details[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return {fault, text};
}

QString genderMissingMessage()
{
    return QStringLiteral("ERROR: Must Specify Participant Gender");
}

QString checkBeforeServingMessage(const QStringList &toCheck)
{
    return QStringLiteral("WARNING: Check these values before serving: ") +
           toCheck.join(QStringLiteral("; ")) + QLatin1Char('.');
}

QString noDoseForPlanMessage()
{
    return QStringLiteral("ERROR: Calculate a dose in Input Parameters first.");
}

QString breathRatioMessage(const QLocale &locale)
{
    return QStringLiteral("ERROR: The blood/breath ratio must be a number from %1 to %2.")
        .arg(SingleToText(BreathRatio::Lowest, locale), SingleToText(BreathRatio::Highest, locale));
}

QString limitNotAboveZeroMessage(const QString &caption)
{
    return QStringLiteral("ERROR: %1 must be a number above 0 or empty.").arg(caption);
}

QString protocolUnusableMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The protocol \"%1\" cannot be used: %2. Nothing was changed.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString protocolNotReopenedMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The protocol \"%1\" used last time cannot be opened again: %2. "
                          "Pourwise goes on with the last values and no protocol.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString protocolNotSavedMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The protocol could not be saved as \"%1\": %2.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString limitsNotSavedMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The limits could not be saved in the protocol \"%1\": %2. The "
                          "limits are as they were.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString typedTimeMessage(const QString &fieldName, const QString &typed)
{
    return QStringLiteral("ERROR: %1 \"%2\" is not a time. Type the hours and minutes as h:mm, "
                          "hmm, hh:mm or hhmm, with a, am, p or pm after them for a time before "
                          "or after noon: 1:20 pm, 120pm, 1030a or 13:20.")
        .arg(fieldName, typed.trimmed());
}

QString tooManySessionsMessage(int most)
{
    return QStringLiteral("ERROR: %1 sessions are open, as many as Pourwise keeps at once. Close "
                          "one before opening another.")
        .arg(most);
}

QString notPrintedMessage(Printout printout)
{
    switch (printout) {
    case Printout::SessionPlan:
        return QStringLiteral("ERROR: The session plan could not be printed. Check the printer, or "
                              "print to a PDF file.");
    case Printout::ObserverSheet:
        return QStringLiteral("ERROR: The observer sheet could not be printed. Check the printer, "
                              "or print to a PDF file.");
    case Printout::StudyPicture:
        break;
    }
    return QStringLiteral("ERROR: The picture could not be printed. Check the printer, or save the "
                          "picture as PDF.");
}
