#include "tools/pourwise-dose/CsvReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
}

CsvReader::CsvReader(std::FILE *input, std::size_t chunkBytes)
    : m_input(input), m_buffer(std::max<std::size_t>(chunkBytes, 1))
{
}

bool CsvReader::fail(std::string text)
{
    m_failed = true;
    m_errorText = std::move(text);
    return false;
}

// Moves the unconsumed bytes to the front and appends what the stream gives, growing the buffer
// when a single record fills it.
bool CsvReader::readMore()
{
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size()) {
        if (m_buffer.size() >= MaxRecordBytes)
            return fail("line " + std::to_string(m_recordLine) + ": a record is longer than " +
                        std::to_string(MaxRecordBytes >> 20) +
                        " MiB; is a quoted field not closed?");
        m_buffer.resize(std::min(m_buffer.size() * 2, MaxRecordBytes));
    }
    const std::size_t got =
        std::fread(m_buffer.data() + m_end, 1, m_buffer.size() - m_end, m_input);
    m_end += got;
    if (got == 0) {
        if (std::ferror(m_input))
            return fail(std::string("cannot read the input: ") + std::strerror(errno));
        m_inputEnded = true;
    }
    return true;
}

// Only the very first bytes of the input can be a byte-order mark.
bool CsvReader::skipByteOrderMark()
{
    m_atStart = false;
    while (m_end - m_begin < ByteOrderMark.size() && !m_inputEnded) {
        if (!readMore())
            return false;
    }
    const std::string_view head(m_buffer.data() + m_begin,
                                std::min(m_end - m_begin, ByteOrderMark.size()));
    if (head == ByteOrderMark)
        m_begin += ByteOrderMark.size();
    return true;
}

// A line end ends the record unless it lies inside a quoted field. A quote opens a quoted field
// only as the first character of a field, exactly as splitFields reads it; anywhere else it is
// an ordinary character.
bool CsvReader::findRecordEnd(std::size_t &lineEnd, std::size_t &next, int &quotesAndReturns)
{
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    State state = State::FieldStart;
    std::size_t scanned = 0; // bytes after m_begin already looked at
    long long linesInside = 0;
    quotesAndReturns = 0;
    for (;;) {
        const char *const data = m_buffer.data() + m_begin;
        const std::size_t available = m_end - m_begin;
        for (; scanned < available; ++scanned) {
            const char c = data[scanned];
            if (state == State::Quoted) {
                if (c == '"')
                    state = State::QuoteInQuoted;
                else if (c == '\n')
                    ++linesInside;
                continue;
            }
            if (c == '\n') {
                lineEnd = m_begin + scanned;
                next = lineEnd + 1;
                m_line += linesInside + 1;
                return true;
            }
            if (c == '"' || c == '\r')
                ++quotesAndReturns;
            if (c == ',')
                state = State::FieldStart;
            else if (c == '"' && state != State::Unquoted)
                state = State::Quoted; // opens a field, or a doubled quote inside one
            else
                state = State::Unquoted;
        }
        if (m_inputEnded) {
            if (state == State::Quoted)
                return fail("line " + std::to_string(m_recordLine) +
                            ": a quoted field is not closed before the end of the input");
            lineEnd = next = m_end;
            m_line += linesInside;
            return available > 0;
        }
        if (!readMore())
            return false;
    }
}

CsvReader::Result CsvReader::next(std::vector<std::string_view> &fields)
{
    fields.clear();
    if (m_failed || (m_atStart && !skipByteOrderMark()))
        return Result::Error;
    for (;;) {
        m_recordLine = m_line;
        std::size_t lineEnd = 0;
        std::size_t next = 0;
        int quotesAndReturns = 0;
        if (!findRecordEnd(lineEnd, next, quotesAndReturns))
            return m_failed ? Result::Error : Result::End;
        char *begin = m_buffer.data() + m_begin;
        char *end = m_buffer.data() + lineEnd;
        m_endedWithCrLf = end > begin && end[-1] == '\r';
        if (m_endedWithCrLf)
            --end;
        m_begin = next;
        if (begin == end)
            continue; // an empty line holds no record
        m_recordIsPlain = quotesAndReturns == (m_endedWithCrLf ? 1 : 0);
        m_recordText = std::string_view(begin, std::size_t(end - begin));
        splitFields(begin, end, fields);
        return Result::Record;
    }
}

// Quoted fields are unescaped in place: the text only ever gets shorter.
void CsvReader::splitFields(char *begin, char *end, std::vector<std::string_view> &fields)
{
    char *p = begin;
    for (;;) {
        if (p < end && *p == '"') {
            char *out = p;
            char *const start = p;
            ++p;
            while (p < end) {
                if (*p != '"') {
                    *out++ = *p++;
                } else if (p + 1 < end && p[1] == '"') {
                    *out++ = '"';
                    p += 2;
                } else {
                    ++p; // the closing quote
                    break;
                }
            }
            while (p < end && *p != ',')
                *out++ = *p++;
            fields.emplace_back(start, out - start);
        } else {
            char *const start = p;
            while (p < end && *p != ',')
                ++p;
            fields.emplace_back(start, p - start);
        }
        if (p == end)
            return;
        ++p; // the comma; a comma at the very end leaves one more, empty field
    }
}
