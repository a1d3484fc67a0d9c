// A whole session record file of arbitrary bytes, read as Open Record reads it.
//
// Checked, with abort() on any breach:
// - The reader gives either a record or a message starting "ERROR: " that names the file, never
//   both; a warning comes only with a record that is cut short or changed, and says so.
// - Whatever it accepts, with all its corrections and voids, written again (always in the current
//   version) and read again, is the same setup and the same entries, verified by its end row,
//   and writing that gives the very same bytes: every float comes back to the bit.
// - Its rows of a study's sessions and readings tables have every column, and their CSV text
//   reads back cell for cell.

#include "calc/RecordCsv.h"
#include "calc/RecordReader.h"
#include "calc/RecordWriter.h"
#include "calc/StudyColumns.h"
#include "calc/StudyTables.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString file = QStringLiteral("fuzz.csv");
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordReading first = RecordReader::read(bytes, file);
    if (!first.record) {
        FUZZ_REQUIRE(first.error.startsWith(QLatin1String("ERROR: fuzz.csv")));
        FUZZ_REQUIRE(first.warning.isEmpty());
        return 0;
    }
    FUZZ_REQUIRE(first.error.isEmpty());
    FUZZ_REQUIRE(first.warning.isEmpty() != first.readOnly());
    FUZZ_REQUIRE(first.warning.isEmpty() || first.warning.startsWith(QLatin1String("WARNING: ")));
    FUZZ_REQUIRE((first.check == RecordCheck::Unverified) ==
                 (first.record->version == RecordVersion::First));

    const QByteArray written = RecordWriter::text(*first.record);
    const RecordReading second = RecordReader::read(written, file);
    FUZZ_REQUIRE(second.record);
    FUZZ_REQUIRE(second.check == RecordCheck::Ok);
    FUZZ_REQUIRE(second.record->version == RecordVersion::Current);
    FUZZ_REQUIRE(second.record->setup == first.record->setup);
    FUZZ_REQUIRE(second.record->entries == first.record->entries);
    FUZZ_REQUIRE(RecordWriter::text(*second.record) == written);

    const StudyRecord study = studyRecord(file, first);
    const QList<QByteArray> session = sessionCells(study);
    FUZZ_REQUIRE(session.size() == qsizetype(SessionColumns.size()));
    QList<QList<QByteArray>> rows = readingCells(study);
    for (const QList<QByteArray> &row : rows)
        FUZZ_REQUIRE(row.size() == qsizetype(ReadingColumns.size()));
    rows.prepend(session);
    for (const QList<QByteArray> &row : rows) {
        const CsvRows read = readCsvRows(csvRow(row));
        FUZZ_REQUIRE(read.error.isEmpty() && read.rows.size() == 1);
        FUZZ_REQUIRE(read.rows.constFirst().cells == row);
    }
    return 0;
}
