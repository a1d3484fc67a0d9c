#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Reads comma-separated records (RFC 4180) from a stream one at a time, holding only the
// record being read, so a roster of any length runs in the same memory.
//
// Accepted beyond the strict format, because spreadsheets and editors write them: LF as well as
// CRLF line ends, a last line without a line end, a UTF-8 byte-order mark at the start, and
// quote characters inside unquoted fields or after a closing quote, which are taken literally.
// Empty lines are skipped.
class CsvReader {
public:
    enum class Result { Record, End, Error };

    // The largest record accepted; a longer one is almost always a quote that was never closed.
    static constexpr std::size_t MaxRecordBytes = 16 << 20;

    explicit CsvReader(std::FILE *input, std::size_t chunkBytes = 1 << 20);

    // Fills `fields` with the next record. The views stay valid until the next call.
    Result next(std::vector<std::string_view> &fields);

    // After Error: what went wrong, in words, without "ERROR: ".
    const std::string &errorText() const { return m_errorText; }
    // The line on which the last record (or the failing one) starts, counting from 1.
    long long recordLine() const { return m_recordLine; }
    // Whether the last record ended with CR LF rather than LF alone.
    bool recordEndedWithCrLf() const { return m_endedWithCrLf; }
    // The last record as it stood in the input, without its line end. A plain record holds no
    // quote and no carriage return, so its text is also exactly how a writer would write it.
    std::string_view recordText() const { return m_recordText; }
    bool recordIsPlain() const { return m_recordIsPlain; }

private:
    // Finds the end of the record starting at m_begin; false at the end of input or on error.
    bool findRecordEnd(std::size_t &lineEnd, std::size_t &next, int &quotesAndReturns);
    bool readMore();
    bool skipByteOrderMark();
    void splitFields(char *begin, char *end, std::vector<std::string_view> &fields);
    bool fail(std::string text);

    std::FILE *m_input;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0; // first byte not yet consumed
    std::size_t m_end = 0;   // one past the last byte read
    bool m_atStart = true;
    bool m_inputEnded = false;
    bool m_failed = false;
    long long m_line = 1;
    long long m_recordLine = 0;
    bool m_endedWithCrLf = false;
    bool m_recordIsPlain = false;
    std::string_view m_recordText;
    std::string m_errorText;
};
