#pragma once

#include "calc/record/RecordReader.h"
#include "tests/support/SessionEntries.h"

#include <QList>

// The reference files of tests/data, each with the record it holds, entry for entry, written out
// here by hand: the worked example's session with alcohol (a baseline, every portion served,
// readings and a booster; in version 2 also corrections and a void), with the placebo beverage,
// and in a breath unit (mg/L at 2000:1, the target typed as 0.4 mg/L).
struct ReferenceRecord {
    const char *file; // in tests/data
    SessionRecord record;
    RecordCheck check;
};

namespace ReferenceRecords {

enum class Beverage { Alcohol, Placebo, Breath };

// The worked example's setup as each file sets it up.
inline SessionSetup setupOf(Beverage beverage, const EntryStamp &stamp)
{
    SessionSetup setup = workedSetup(stamp);
    if (beverage == Beverage::Placebo) {
        setup.sessionCode = QStringLiteral("P-018");
        setup.placebo = true;
        setup.floatMl = 5;
    } else if (beverage == Beverage::Breath) {
        setup.sessionCode = QStringLiteral("P-019");
        setup.input.level = {LevelUnit::MilligramsPerLitre, 2000};
        setup.input.typedTarget = 0.4f;
    }
    if (!stamp.enteredAt.isValid())
        setup.programVersion = QStringLiteral("2.0.0");
    return setup;
}

// Version 1: the portions marked served in their own rows; no entry numbers, times of entry,
// operators or end row.
inline SessionRecord firstVersion(Beverage beverage, const QList<SessionEntry> &readings)
{
    SessionRecord record{RecordVersion::First, setupOf(beverage, {}),
                         workedPortions({}, beverage == Beverage::Placebo, true)};
    record.entries += readings;
    return record;
}

// Version 2: every entry in the order it was made, each with its time and operator; the portions
// served at 0, 13 and 27 minutes (entries 6 to 8) after a baseline of 0 (entry 5).
inline SessionRecord currentVersion(Beverage beverage, const QList<SessionEntry> &later)
{
    const EntryStamp planned = stampAt("13:58:12");
    return {RecordVersion::Current, setupOf(beverage, planned),
            workedPortions(planned, beverage == Beverage::Placebo) +
                QList<SessionEntry>{readingEntry(5, -5, 0, stampAt("14:00:40")),
                                    servedEntry(6, 1, 0, stampAt("14:05:30")),
                                    servedEntry(7, 2, 13, stampAt("14:18:02")),
                                    servedEntry(8, 3, 27, stampAt("14:32:15"))} +
                later};
}

inline QList<ReferenceRecord> all()
{
    const float boosterTarget = 0.025999997f; // float32(0.08 - 0.054)
    QList<ReferenceRecord> records{
        {"v1-alcohol.csv",
         firstVersion(Beverage::Alcohol, {readingEntry(5, -5, 0), readingEntry(6, 70, 0.06f),
                                          readingEntry(7, 85, 0.057f), readingEntry(8, 100, 0.054f),
                                          boosterEntry(9, 112, boosterTarget, 10, 25, 150)}),
         RecordCheck::Unverified},
        {"v1-placebo.csv",
         firstVersion(Beverage::Placebo, {readingEntry(5, -5, 0), readingEntry(6, 70, 0.004f)}),
         RecordCheck::Unverified},
        {"v1-breath.csv",
         firstVersion(Beverage::Breath, {readingEntry(5, -5, 0), readingEntry(6, 70, 0.3f),
                                         readingEntry(7, 85, 0.285f), readingEntry(8, 100, 0.27f)}),
         RecordCheck::Unverified}};

    // Portion 2's serving corrected from 14 to 13 minutes, a reading mistyped and corrected,
    // another voided, and the release level corrected.
    SessionRecord alcohol = currentVersion(
        Beverage::Alcohol,
        {correctionEntry(9, 7, servedValues(13), QStringLiteral("wrong time"),
                         stampAt("14:33:00", "AK")),
         readingEntry(10, 70, 0.06f, stampAt("15:15:10")),
         readingEntry(11, 85, 0.057f, stampAt("15:30:05")),
         readingEntry(12, 100, 0.054f, stampAt("15:45:20")),
         boosterEntry(13, 112, boosterTarget, 10, 25, 150, stampAt("15:57:00")),
         readingEntry(14, 130, 0.6f, stampAt("16:15:00")),
         correctionEntry(15, 14, readingValues(130, 0.06f), QStringLiteral("mistyped value"),
                         stampAt("16:16:30")),
         readingEntry(16, 131, 0.061f, stampAt("16:16:50")),
         voidEntry(17, 16, QStringLiteral("entered for the wrong session"), stampAt("16:18:00")),
         correctionEntry(18, 1, setupValues(QDateTime(QDate(2026, 12, 8), QTime(14, 5)), 0.025f),
                         QStringLiteral("the release level, as the protocol has it"),
                         stampAt("16:20:00"))});
    alcohol.entries[5].values.servedAtMinute = 14;              // entry 7, as first entered
    alcohol.entries[6].operatorInitials = QStringLiteral("AK"); // entry 8
    alcohol.setup.protocolName = QStringLiteral("Arm A");
    alcohol.setup.protocolSha256 =
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    records.append({"v2-alcohol.csv", alcohol, RecordCheck::Ok});
    records.append(
        {"v2-placebo.csv",
         currentVersion(Beverage::Placebo, {readingEntry(9, 70, 0.004f, stampAt("15:15:10"))}),
         RecordCheck::Ok});
    records.append(
        {"v2-breath.csv",
         currentVersion(Beverage::Breath, {readingEntry(9, 70, 0.3f, stampAt("15:15:10")),
                                           readingEntry(10, 85, 0.285f, stampAt("15:30:05")),
                                           readingEntry(11, 100, 0.27f, stampAt("15:45:20"))}),
         RecordCheck::Ok});
    return records;
}

} // namespace ReferenceRecords
