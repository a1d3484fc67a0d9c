// The roster reader and a whole roster run on arbitrary bytes. Checked, with abort() on any
// breach:
// - Records do not depend on where the reader's chunks of input end: read a few bytes at a time
//   and all at once, the bytes give the same records, line numbers, line ends and errors. The
//   run reads and writes a few bytes at a time too.
// - A run ends with status 2 exactly when it says why. Otherwise its output reads back as one
//   record per input record, in order: the record's own fields (cut or padded to the header's
//   width), then either the volumes and an empty error column, or no volumes and the reason;
//   status 1 exactly when some row has a reason. Checked runs (--check) put a warning column
//   before the error column, empty in a row without volumes. Alcohol and mixer are whole
//   millilitres in -32768..32767 and the total is exactly their sum (so it may reach 65534).

#include "calc/dose/NumberText.h"
#include "tests/fuzz/FuzzRequire.h"
#include "tools/pourwise-dose/CsvReader.h"
#include "tools/pourwise-dose/RosterRun.h"
#include "tools/pourwise-dose/output/PlanOutput.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Record = std::vector<std::string>;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

struct Reading {
    std::vector<Record> records;
    std::vector<long long> lines;
    std::vector<bool> crlf;
    std::vector<std::string> texts; // a plain record's text as it stood, else empty
    bool failed = false;
    std::string errorText;
    long long errorLine = 0;
    bool operator==(const Reading &) const = default;
};

Reading readAll(const std::uint8_t *data, std::size_t size, std::size_t chunkBytes)
{
    std::FILE *input = fmemopen(const_cast<std::uint8_t *>(data), size, "rb");
    FUZZ_REQUIRE(input != nullptr);
    Reading reading;
    {
        CsvReader reader(input, chunkBytes);
        std::vector<std::string_view> fields;
        CsvReader::Result result;
        while ((result = reader.next(fields)) == CsvReader::Result::Record) {
            reading.records.emplace_back(fields.begin(), fields.end());
            reading.lines.push_back(reader.recordLine());
            reading.crlf.push_back(reader.recordEndedWithCrLf());
            reading.texts.emplace_back(reader.recordIsPlain() ? reader.recordText() : "");
        }
        reading.failed = result == CsvReader::Result::Error;
        reading.errorText = reader.errorText();
        reading.errorLine = reader.recordLine();
    }
    std::fclose(input);
    return reading;
}

Reading readAll(const std::string &text)
{
    return readAll(reinterpret_cast<const std::uint8_t *>(text.data()), text.size(), text.size());
}

float volume(const std::string &text)
{
    const SingleFromText read = TextToSingle(std::string_view(text));
    FUZZ_REQUIRE(read.ok());
    return read.value;
}

bool isWholeMl(float value)
{
    return std::nearbyint(value) == value && value >= -32768 && value <= 32767;
}

void checkRosterRun(const std::uint8_t *data, std::size_t size, bool check, bool plan,
                    std::size_t bufferBytes)
{
    std::FILE *input = fmemopen(const_cast<std::uint8_t *>(data), size, "rb");
    char *outputBytes = nullptr;
    std::size_t outputSize = 0;
    std::FILE *output = open_memstream(&outputBytes, &outputSize);
    FUZZ_REQUIRE(input != nullptr && output != nullptr);
    int status;
    long long rows;
    long long failedRows;
    {
        RosterOptions options;
        options.check = check;
        if (plan)
            options.plan = SessionPlanSettings{};
        RosterRun roster(input, output, options, bufferBytes, bufferBytes);
        status = roster.run();
        FUZZ_REQUIRE(status >= 0 && status <= 2);
        FUZZ_REQUIRE((status == 2) == !roster.errorText().empty());
        rows = roster.rowCount();
        failedRows = roster.failedRowCount();
    }
    std::fclose(input);
    std::fclose(output);
    const std::string written(outputBytes, outputSize);
    std::free(outputBytes);
    if (status == 2)
        return;

    const Reading in = readAll(data, size, size);
    // The output starts with the header's first field, which may itself begin with the bytes of
    // a byte-order mark (after an empty line, the input's are data): a mark put in front keeps
    // them as data when the output is read back.
    const Reading out = readAll(std::string(ByteOrderMark) + written);
    FUZZ_REQUIRE(!in.failed && !out.failed);
    FUZZ_REQUIRE(out.records.size() == in.records.size());
    FUZZ_REQUIRE(rows == static_cast<long long>(in.records.size()) - 1);
    const std::size_t width = in.records[0].size();
    Record header = in.records[0];
    header.insert(header.end(), {"alcohol_ml", "mixer_ml", "total_ml"});
    if (plan)
        header.insert(header.end(), PlanOutput::Columns.begin(), PlanOutput::Columns.end());
    if (check)
        header.push_back("warning");
    header.push_back("error");
    const std::size_t error = header.size() - 1;
    FUZZ_REQUIRE(out.records[0] == header);
    long long withReason = 0;
    for (std::size_t row = 1; row < in.records.size(); ++row) {
        Record expected = in.records[row];
        expected.resize(width);
        const Record &got = out.records[row];
        FUZZ_REQUIRE(got.size() == header.size());
        FUZZ_REQUIRE(Record(got.begin(), got.begin() + long(width)) == expected);
        const std::size_t planEnd = width + 3 + (plan ? PlanOutput::Columns.size() : 0);
        if (!got[error].empty()) {
            ++withReason;
            // A dose without a plan keeps its volumes and its warning; otherwise nothing but the
            // reason is written.
            const bool doseWithoutPlan = plan && got[error].starts_with("no plan");
            for (std::size_t column = doseWithoutPlan ? width + 3 : width; column < error;
                 ++column) {
                if (column < planEnd)
                    FUZZ_REQUIRE(got[column].empty());
            }
            if (!doseWithoutPlan)
                continue;
        } else {
            for (std::size_t column = width + 3; column < planEnd; ++column)
                FUZZ_REQUIRE(!got[column].empty());
        }
        const float alcohol = volume(got[width]);
        const float mixer = volume(got[width + 1]);
        FUZZ_REQUIRE(isWholeMl(alcohol) && isWholeMl(mixer));
        FUZZ_REQUIRE(volume(got[width + 2]) == alcohol + mixer);
    }
    FUZZ_REQUIRE(withReason == failedRows);
    FUZZ_REQUIRE(status == (failedRows > 0 ? 1 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0; // fmemopen refuses an empty buffer; the empty roster has its own test
    // The last byte, part of the roster too, also picks the chunk size and the checked run.
    const std::size_t smallChunk = 1 + data[size - 1] % 8;
    const bool check = (data[size - 1] & 8) != 0;
    const bool plan = (data[size - 1] & 16) != 0;
    FUZZ_REQUIRE(readAll(data, size, smallChunk) == readAll(data, size, size));
    checkRosterRun(data, size, check, plan, smallChunk);
    return 0;
}
