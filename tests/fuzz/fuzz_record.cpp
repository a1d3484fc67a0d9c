// A whole session record file of arbitrary bytes, read as Open Record reads it.
//
// Checked, with abort() on any breach:
// - The reader gives either a record or a message starting "ERROR: " that names a line, never
//   both.
// - Whatever it accepts, written again and read again, is the same record, and writing that
//   gives the very same bytes: every float comes back to the bit.

#include "calc/RecordReader.h"
#include "calc/RecordWriter.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordReader::Result first = RecordReader::read(bytes);
    if (!first.record) {
        FUZZ_REQUIRE(first.errorText.startsWith(QLatin1String("ERROR: ")));
        FUZZ_REQUIRE(first.errorText.contains(QLatin1String(": line ")));
        return 0;
    }
    FUZZ_REQUIRE(first.errorText.isEmpty());
    const QByteArray written = RecordWriter::text(*first.record);
    const RecordReader::Result second = RecordReader::read(written);
    FUZZ_REQUIRE(second.record);
    FUZZ_REQUIRE(*second.record == *first.record);
    FUZZ_REQUIRE(RecordWriter::text(*second.record) == written);
    return 0;
}
