#pragma once

#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <cstdio>
#include <string>
#include <string_view>

// Writes comma-separated records (RFC 4180) through a large buffer. A field is quoted only when
// it holds a comma, a quote or a line break; quotes inside are doubled.
class CsvWriter {
public:
    explicit CsvWriter(std::FILE *output, std::size_t bufferBytes = 1 << 18);

    void setLineEnd(std::string_view lineEnd) { m_lineEnd = lineEnd; }
    // Puts "'" before a field a spreadsheet would read as a formula: one starting with "=", "+",
    // "-", "@", a tab or a carriage return, unless it is a negative number.
    void setSpreadsheetSafe(bool safe) { m_spreadsheetSafe = safe; }

    void field(std::string_view value);
    // Fields already in their written form, commas included, such as a plain record as read.
    void writtenFields(std::string_view text);
    void endRecord();

    // Writes out what is buffered; false (with errorText set) once any write has failed.
    bool flush() { return m_output.flush(); }
    const std::string &errorText() const { return m_output.errorText(); }

private:
    OutputBuffer m_output;
    bool m_recordStarted = false;
    std::string m_lineEnd = "\n";
    bool m_spreadsheetSafe = false;
    std::string m_guarded; // the current field with its "'"
};
