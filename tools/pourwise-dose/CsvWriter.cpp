#include "tools/pourwise-dose/CsvWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

CsvWriter::CsvWriter(std::FILE *output, std::size_t bufferBytes)
    : m_output(output), m_buffer(std::max<std::size_t>(bufferBytes, 1))
{
}

CsvWriter::~CsvWriter()
{
    flush();
}

void CsvWriter::put(std::string_view bytes)
{
    if (m_used + bytes.size() > m_buffer.size()) {
        flush();
        if (bytes.size() > m_buffer.size()) {
            if (!m_failed && std::fwrite(bytes.data(), 1, bytes.size(), m_output) != bytes.size()) {
                m_failed = true;
                m_errorText = std::strerror(errno);
            }
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
}

void CsvWriter::field(std::string_view value)
{
    if (m_recordStarted)
        put(",");
    m_recordStarted = true;
    // A plain loop: most fields are a few bytes, too short for a library search to pay off.
    const bool needsQuotes = std::ranges::any_of(
        value, [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (!needsQuotes) {
        put(value);
        return;
    }
    put("\"");
    for (std::size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
        put(value.substr(0, quote + 1));
        put("\"");
        value.remove_prefix(quote + 1);
    }
    put(value);
    put("\"");
}

void CsvWriter::writtenFields(std::string_view text)
{
    if (m_recordStarted)
        put(",");
    m_recordStarted = true;
    put(text);
}

void CsvWriter::endRecord()
{
    put(m_lineEnd);
    m_recordStarted = false;
}

bool CsvWriter::flush()
{
    if (!m_failed && m_used > 0) {
        if (std::fwrite(m_buffer.data(), 1, m_used, m_output) != m_used) {
            m_failed = true;
            m_errorText = std::strerror(errno);
        }
    }
    m_used = 0;
    if (!m_failed && std::fflush(m_output) != 0) {
        m_failed = true;
        m_errorText = std::strerror(errno);
    }
    return !m_failed;
}
