#include "calc/record/RecordFaultTexts.h"

#include <QDir>
#include <QLocale>

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

QString recordVersionQuestion(const QString &file)
{
    return QStringLiteral("%1 was written by an earlier version of Pourwise: %2. To add this "
                          "entry it is saved in the current version of the record, which that "
                          "version cannot open, and its history notes that it was continued from "
                          "version 1. Go on?")
        .arg(QDir::toNativeSeparators(file), recordVersionOneNote());
}
