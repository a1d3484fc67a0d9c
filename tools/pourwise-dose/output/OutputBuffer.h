#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Writes to a stream through a large buffer and remembers the first write that failed, so a full
// disk, a closed pipe or a closed standard output ends the run with an error, never with success.
class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE *output, std::size_t bufferBytes = 1 << 18);
    ~OutputBuffer(); // flushes, but only an explicit flush() can tell the caller it failed

    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    void put(std::string_view bytes);

    // Writes out what is buffered; false (with errorText set) once any write has failed.
    bool flush();
    // What went wrong, in words, without "ERROR: ".
    const std::string &errorText() const { return m_errorText; }

private:
    void fail();

    std::FILE *m_output;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    std::string m_errorText;
};
