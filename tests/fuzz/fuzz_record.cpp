// A whole session record file of arbitrary bytes, read as Open Record reads it.
//
// Checked, with abort() on any breach:
// - The reader gives either a record or a message starting "ERROR: " that names the file, never
//   both; a warning comes only with a record that is cut short or changed, and says so.
// - Whatever it accepts, with all its corrections and voids, written again (always in the current
//   version) and read again, is the same setup and the same entries, verified by its end row,
//   and writing that gives the very same bytes: every float comes back to the bit.
// - Read in parts, at every size from its first byte's, the file reads as it reads whole: the
//   same record, check, messages and stamp.
// - No message holds a control character: what it quotes from the file is escaped.
// - Its rows of a study's sessions and readings tables have every column, and their CSV text
//   reads back cell for cell; made spreadsheet-safe, no cell reads as a formula.

#include "calc/dose/ControlCharacters.h"
#include "calc/record/RecordCsv.h"
#include "calc/record/RecordReader.h"
#include "calc/record/RecordWriter.h"
#include "calc/study/StudyColumns.h"
#include "calc/study/StudyTables.h"
#include "tests/fuzz/FuzzRequire.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString file = QStringLiteral("fuzz.csv");
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordReading first = RecordReader::read(bytes, file);
    FUZZ_REQUIRE(!holdsControlCharacter(first.error) && !holdsControlCharacter(first.warning));
    RecordReader inParts(file);
    const qsizetype part = size > 0 ? 1 + data[0] % 64 : 1;
    for (qsizetype at = 0; at < bytes.size(); at += part)
        inParts.add(bytes.sliced(at, std::min(part, bytes.size() - at)));
    const RecordReading parts = inParts.finish();
    FUZZ_REQUIRE(parts.error == first.error && parts.warning == first.warning);
    FUZZ_REQUIRE(parts.check == first.check && parts.stamp == first.stamp);
    FUZZ_REQUIRE(parts.record.has_value() == first.record.has_value());
    FUZZ_REQUIRE(!parts.record || *parts.record == *first.record);
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
        for (const QByteArray &cell : spreadsheetSafe(row))
            FUZZ_REQUIRE(!readAsFormula(std::string_view(cell.constData(), size_t(cell.size()))));
    }
    return 0;
}
