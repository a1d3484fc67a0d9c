// A whole session record file of arbitrary bytes, read as Open Record reads it.
//
// Checked, with abort() on any breach:
// - The reader gives either a record or a message starting "ERROR: " that names the file, never
//   both; a warning comes only with a record that is cut short or changed, and says so.
// - Whatever it accepts, with all its corrections and voids, written again (always in the current
//   version) and read again, is the same setup and the same entries, verified by its end row,
//   and writing that gives the very same bytes: every float comes back to the bit.

#include "calc/RecordReader.h"
#include "calc/RecordWriter.h"
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
    return 0;
}
