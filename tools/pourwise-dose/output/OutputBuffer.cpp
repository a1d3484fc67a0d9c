#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

OutputBuffer::OutputBuffer(std::FILE *output, std::size_t bufferBytes)
    : m_output(output), m_buffer(std::max<std::size_t>(bufferBytes, 1))
{
}

OutputBuffer::~OutputBuffer()
{
    flush();
}

void OutputBuffer::fail()
{
    m_failed = true;
    m_errorText = std::string("cannot write the output: ") + std::strerror(errno);
}

void OutputBuffer::put(std::string_view bytes)
{
    // An empty view may have no data at all, and memcpy from a null pointer is undefined even
    // for no bytes. Rows without volumes or with short fields write many such views.
    if (bytes.empty())
        return;
    if (m_used + bytes.size() > m_buffer.size()) {
        flush();
        if (bytes.size() > m_buffer.size()) {
            if (!m_failed && std::fwrite(bytes.data(), 1, bytes.size(), m_output) != bytes.size())
                fail();
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
}

bool OutputBuffer::flush()
{
    if (!m_failed && m_used > 0 && std::fwrite(m_buffer.data(), 1, m_used, m_output) != m_used)
        fail();
    m_used = 0;
    if (!m_failed && std::fflush(m_output) != 0)
        fail();
    return !m_failed;
}
