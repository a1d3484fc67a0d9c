#pragma once

#include "calc/RecordReader.h"
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

// The placebo's and the breath unit's setups beside the worked example's.
inline SessionSetup placeboSetup(const EntryStamp &stamp)
{
    SessionSetup setup = workedSetup(stamp);
    setup.sessionCode = QStringLiteral("P-018");
    setup.placebo = true;
    setup.floatMl = 5;
    return setup;
}

inline SessionSetup breathSetup(const EntryStamp &stamp)
{
    SessionSetup setup = workedSetup(stamp);
    setup.sessionCode = QStringLiteral("P-019");
    setup.input.level = {LevelUnit::MilligramsPerLitre, 2000};
    setup.input.typedTarget = 0.4f;
    return setup;
}

inline QList<ReferenceRecord> all()
{
    const EntryStamp none;
    QList<ReferenceRecord> records;

    // Version 1: the portions marked served in their own rows, no entry numbers, times of entry,
    // operators or end row.
    SessionRecord first;
    first.version = RecordVersion::First;
    first.setup = workedSetup(none);
    first.setup.programVersion = QStringLiteral("2.0.0");
    first.entries = {portionEntry(2, 1, 0, 23, 136, none, 0),
                     portionEntry(3, 2, 13, 23, 136, none, 13),
                     portionEntry(4, 3, 27, 22, 136, none, 27),
                     readingEntry(5, -5, 0),
                     readingEntry(6, 70, 0.06f),
                     readingEntry(7, 85, 0.057f),
                     readingEntry(8, 100, 0.054f),
                     boosterEntry(9, 112, 0.025999997f, 10, 25, 150)};
    records.append({"v1-alcohol.csv", first, RecordCheck::Unverified});

    SessionRecord firstPlacebo = first;
    firstPlacebo.setup = placeboSetup(none);
    firstPlacebo.setup.programVersion = QStringLiteral("2.0.0");
    firstPlacebo.entries = {portionEntry(2, 1, 0, 5, 154, none, 0),
                            portionEntry(3, 2, 13, 5, 154, none, 13),
                            portionEntry(4, 3, 27, 5, 153, none, 27), readingEntry(5, -5, 0),
                            readingEntry(6, 70, 0.004f)};
    records.append({"v1-placebo.csv", firstPlacebo, RecordCheck::Unverified});

    SessionRecord firstBreath = first;
    firstBreath.setup = breathSetup(none);
    firstBreath.setup.programVersion = QStringLiteral("2.0.0");
    firstBreath.entries = {portionEntry(2, 1, 0, 23, 136, none, 0),
                           portionEntry(3, 2, 13, 23, 136, none, 13),
                           portionEntry(4, 3, 27, 22, 136, none, 27),
                           readingEntry(5, -5, 0),
                           readingEntry(6, 70, 0.3f),
                           readingEntry(7, 85, 0.285f),
                           readingEntry(8, 100, 0.27f)};
    records.append({"v1-breath.csv", firstBreath, RecordCheck::Unverified});

    // Version 2: every entry in the order it was made, each with its time and operator.
    const EntryStamp planned = stampAt("13:58:12");
    SessionRecord alcohol;
    alcohol.setup = workedSetup(planned);
    alcohol.setup.protocolName = QStringLiteral("Arm A");
    alcohol.setup.protocolSha256 =
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EntryValues servedAt13;
    servedAt13.servedAtMinute = 13;
    EntryValues readingAt130;
    readingAt130.atMinute = 130;
    readingAt130.level = 0.06f;
    EntryValues release;
    release.start = QDateTime(QDate(2026, 12, 8), QTime(14, 5));
    release.releaseBal = 0.025f;
    alcohol.entries = {
        portionEntry(2, 1, 0, 23, 136, planned),
        portionEntry(3, 2, 13, 23, 136, planned),
        portionEntry(4, 3, 27, 22, 136, planned),
        readingEntry(5, -5, 0, stampAt("14:00:40")),
        servedEntry(6, 1, 0, stampAt("14:05:30")),
        servedEntry(7, 2, 14, stampAt("14:18:02")),
        servedEntry(8, 3, 27, stampAt("14:32:15", "AK")),
        correctionEntry(9, 7, servedAt13, QStringLiteral("wrong time"), stampAt("14:33:00", "AK")),
        readingEntry(10, 70, 0.06f, stampAt("15:15:10")),
        readingEntry(11, 85, 0.057f, stampAt("15:30:05")),
        readingEntry(12, 100, 0.054f, stampAt("15:45:20")),
        boosterEntry(13, 112, 0.025999997f, 10, 25, 150, stampAt("15:57:00")),
        readingEntry(14, 130, 0.6f, stampAt("16:15:00")),
        correctionEntry(15, 14, readingAt130, QStringLiteral("mistyped value"),
                        stampAt("16:16:30")),
        readingEntry(16, 131, 0.061f, stampAt("16:16:50")),
        voidEntry(17, 16, QStringLiteral("entered for the wrong session"), stampAt("16:18:00")),
        correctionEntry(18, 1, release, QStringLiteral("the release level, as the protocol has it"),
                        stampAt("16:20:00")),
    };
    records.append({"v2-alcohol.csv", alcohol, RecordCheck::Ok});

    SessionRecord placebo;
    placebo.setup = placeboSetup(planned);
    placebo.entries = {portionEntry(2, 1, 0, 5, 154, planned),
                       portionEntry(3, 2, 13, 5, 154, planned),
                       portionEntry(4, 3, 27, 5, 153, planned),
                       readingEntry(5, -5, 0, stampAt("14:00:40")),
                       servedEntry(6, 1, 0, stampAt("14:05:30")),
                       servedEntry(7, 2, 13, stampAt("14:18:02")),
                       servedEntry(8, 3, 27, stampAt("14:32:15")),
                       readingEntry(9, 70, 0.004f, stampAt("15:15:10"))};
    records.append({"v2-placebo.csv", placebo, RecordCheck::Ok});

    SessionRecord breath;
    breath.setup = breathSetup(planned);
    breath.entries = {portionEntry(2, 1, 0, 23, 136, planned),
                      portionEntry(3, 2, 13, 23, 136, planned),
                      portionEntry(4, 3, 27, 22, 136, planned),
                      readingEntry(5, -5, 0, stampAt("14:00:40")),
                      servedEntry(6, 1, 0, stampAt("14:05:30")),
                      servedEntry(7, 2, 13, stampAt("14:18:02")),
                      servedEntry(8, 3, 27, stampAt("14:32:15")),
                      readingEntry(9, 70, 0.3f, stampAt("15:15:10")),
                      readingEntry(10, 85, 0.285f, stampAt("15:30:05")),
                      readingEntry(11, 100, 0.27f, stampAt("15:45:20"))};
    records.append({"v2-breath.csv", breath, RecordCheck::Ok});
    return records;
}

} // namespace ReferenceRecords
