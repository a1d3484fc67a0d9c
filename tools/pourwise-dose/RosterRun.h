#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Protocol.h"
#include "calc/dose/SessionPlan.h"
#include "tools/pourwise-dose/CsvReader.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/output/CsvWriter.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The columns a roster run adds, in their order: the volumes, the plan's (PlanOutput::Columns)
// with --plan, the warning with --check, and the error.
namespace RosterColumns {
inline constexpr std::array<std::string_view, 3> VolumeColumns = {"alcohol_ml", "mixer_ml",
                                                                  "total_ml"};
inline constexpr std::string_view WarningColumn = "warning";
inline constexpr std::string_view ErrorColumn = "error";
} // namespace RosterColumns

// What a roster run adds to every row beyond the volumes, and how it writes the cells.
struct RosterOptions {
    bool check = false;                      // a warning column before error
    std::optional<SessionPlanSettings> plan; // the plan's columns after the volumes
    bool band = false;                       // with a plan, its band's columns after them
    // Cells a spreadsheet would take for a formula ("=", "+", "-", "@", a tab or a carriage
    // return first) are written with "'" before them; a negative number is left as it is.
    bool spreadsheetSafe = false;
    // The unit of levels: with `levelUnitGiven` a target column in it may stand for bal, and the
    // plan's columns gain the peak in it.
    LevelScale level;
    bool levelUnitGiven = false;
    // Its parameters stand in for the dosing columns a roster leaves out; its limits judge every
    // row, named in the warning column, which it adds.
    std::optional<Protocol> protocol;

    bool hasWarningColumn() const { return check || protocol; }
};

// Streams a roster through the dose calculation. Every row comes out in its place, with its own
// columns unchanged and alcohol_ml, mixer_ml, total_ml and error appended: either the three
// volumes or, with the volumes left empty, the reason why there are none. With a plan, its
// columns come next, with its band's if asked for. With `check`, a warning column before error
// names the implausible values of every row that has volumes.
//
// The header decides the units of the whole file: height and weight in inches and pounds, or
// height_cm and weight_kg in centimetres and kilograms; a header with both is refused.
class RosterRun {
public:
    // The reader's chunks and the writer's buffer are large for speed; tests make them tiny, so
    // that records and fields cross every boundary.
    RosterRun(std::FILE *input, std::FILE *output, RosterOptions options = {},
              std::size_t readChunkBytes = 1 << 20, std::size_t writeBufferBytes = 1 << 18);

    // Returns the exit status; for a usage or file error, errorText() says what went wrong.
    int run();

    const std::string &errorText() const { return m_errorText; }
    long long rowCount() const { return m_rows; }
    long long failedRowCount() const { return m_failedRows; }
    // Rows with values outside their plausible range, or a dose over a protocol's limit.
    long long rowsToCheck() const { return m_rowsToCheck; }
    long long rowsOverALimit() const { return m_rowsOverALimit; }

private:
    bool readHeader();
    void processRow();
    void appendWarnings(const DoseReport &report);
    bool fail(std::string text);
    // The unit of the plan's peak_level column, if it has one.
    std::optional<LevelScale> planLevel() const;
    std::vector<std::string_view> planColumns() const;

    CsvReader m_reader;
    CsvWriter m_writer;
    std::vector<std::string_view> m_fields; // reused for every row
    std::size_t m_headerWidth = 0;
    std::array<std::size_t, DoseValues.size()> m_column{}; // header position of each input
    ReadingUnits m_units;
    const RosterOptions m_options;
    std::vector<std::string_view> m_resultColumns;
    std::string m_warning; // the current row's warning column
    std::string m_error;   // the current row's error column
    long long m_rows = 0;
    long long m_failedRows = 0;
    long long m_rowsToCheck = 0;
    long long m_rowsOverALimit = 0;
    // The protocol's text for each dosing column the roster leaves out; empty where it has one.
    std::array<std::string, DoseValues.size()> m_fromProtocol;
    bool m_targetFromProtocol = false;
    std::string m_errorText;
};
