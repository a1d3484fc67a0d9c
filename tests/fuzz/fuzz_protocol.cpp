// The protocol reader on arbitrary bytes. Checked, with abort() on any breach:
// - It either gives a protocol and no reason, or a reason and no protocol.
// - A protocol it gives, written and read again, is the very same protocol, to the bit, and what
//   is written is read without a reason.
// - A protocol it gives has a name without control characters, and a reason quotes none.

#include "calc/dose/ControlCharacters.h"
#include "calc/dose/Protocol.h"
#include "tests/fuzz/FuzzRequire.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ProtocolReading reading = readProtocol(bytes);
    FUZZ_REQUIRE(reading.protocol.has_value() == reading.error.isEmpty());
    FUZZ_REQUIRE(!holdsControlCharacter(reading.error));
    if (reading.protocol) {
        FUZZ_REQUIRE(!holdsControlCharacter(reading.protocol->name));
        const ProtocolReading again = readProtocol(writeProtocol(*reading.protocol));
        FUZZ_REQUIRE(again.error.isEmpty());
        FUZZ_REQUIRE(again.protocol == reading.protocol);
    }
    return 0;
}
