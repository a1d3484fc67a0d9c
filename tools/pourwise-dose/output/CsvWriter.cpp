#include "tools/pourwise-dose/output/CsvWriter.h"

#include "calc/record/RecordCsv.h"

#include <algorithm>

CsvWriter::CsvWriter(std::FILE *output, std::size_t bufferBytes) : m_output(output, bufferBytes) {}

void CsvWriter::field(std::string_view value)
{
    if (m_recordStarted)
        m_output.put(",");
    m_recordStarted = true;
    if (m_spreadsheetSafe && readAsFormula(value)) {
        m_guarded.clear();
        m_guarded += '\'';
        m_guarded += value;
        value = m_guarded;
    }
    // A plain loop: most fields are a few bytes, too short for a library search to pay off.
    const bool needsQuotes = std::ranges::any_of(
        value, [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (!needsQuotes) {
        m_output.put(value);
        return;
    }
    m_output.put("\"");
    for (std::size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
        m_output.put(value.substr(0, quote + 1));
        m_output.put("\"");
        value.remove_prefix(quote + 1);
    }
    m_output.put(value);
    m_output.put("\"");
}

void CsvWriter::writtenFields(std::string_view text)
{
    if (m_recordStarted)
        m_output.put(",");
    m_recordStarted = true;
    m_output.put(text);
}

void CsvWriter::endRecord()
{
    m_output.put(m_lineEnd);
    m_recordStarted = false;
}
