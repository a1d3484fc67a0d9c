// Number text both ways on arbitrary input. The bytes are read as typed text in every form the
// program reads (the locale-free form of files and command lines; C, de_DE and sv_SE for the
// windows and the settings), and its first sixteen as the bits of four 32-bit floats to write.
//
// Checked, with abort() on any breach:
// - Written text reads back in the same locale, and the value read writes the very same text,
//   so a value that has been through text once goes round again to the same bits, except where
//   the floats lie further apart than the seventh digit (see floatsCoarserThanSevenDigits). (The
//   value first written may differ from the one read back by up to half a unit of its seventh
//   digit: seven significant digits cannot tell every pair of floats apart. A zero comes back as
//   +0.)
// - An infinity or NaN is written as "inf" or "nan", which is refused: text never yields one.
// - A value read is the float nearest the decimal number typed: the C library's strtof, which
//   rounds correctly, agrees to the bit, and refuses nothing the reader accepts or vice versa
//   within the plain forms both accept.
// - The locale forms read what the locale-free form reads once the locale's decimal separator
//   and signs are put back to ".", "-" and "+".

#include "calc/dose/NumberText.h"
#include "tests/fuzz/FuzzRequire.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

const QLocale &locale(int index)
{
    static const QLocale locales[] = {QLocale::c(), QLocale(QStringLiteral("de_DE")),
                                      QLocale(QStringLiteral("sv_SE"))};
    return locales[index];
}
constexpr int LocaleCount = 3;

// True where the floats lie further apart than the seventh significant digit of the text
// written for `value`: just below some powers of ten (1E-38, 1E+13) and among the smaller
// subnormal values. There the float nearest a text may write the neighbouring text, so a value
// taken through text again and again may move by a float step each time.
bool floatsCoarserThanSevenDigits(float value)
{
    const double magnitude = std::abs(double(value));
    if (magnitude == 0)
        return false;
    const double seventhDigit = std::pow(10.0, std::floor(std::log10(magnitude)) - 6);
    const double floatStep =
        double(std::nextafter(std::abs(value), INFINITY)) - double(std::abs(value));
    const double floatStepBelow =
        double(std::abs(value)) - double(std::nextafter(std::abs(value), 0.0f));
    return std::max(floatStep, floatStepBelow) > seventhDigit;
}

// The value read from written text, and that the text is stable from then on.
float readBackWritten(float value, const QString &text, const QLocale &l)
{
    const SingleFromText read = TextToSingle(text, l);
    if (!std::isfinite(value)) {
        FUZZ_REQUIRE(read.error == NumberTextError::NotANumber);
        return value;
    }
    FUZZ_REQUIRE(read.ok());
    FUZZ_REQUIRE(SingleToText(read.value, l) == text || floatsCoarserThanSevenDigits(read.value));
    const double tolerance = std::abs(double(value)) * 5.7e-7 + 1e-45;
    FUZZ_REQUIRE(std::abs(double(read.value) - double(value)) <= tolerance);
    return read.value;
}

void checkWriting(float value)
{
    char buffer[32];
    const std::string_view plain = SingleToText(value, buffer);
    const QString plainText = QString::fromLatin1(plain.data(), qsizetype(plain.size()));
    const float readPlain = readBackWritten(value, plainText, QLocale::c());
    const SingleFromText again = TextToSingle(plain);
    FUZZ_REQUIRE(std::isfinite(value) ? again.ok() && sameBits(again.value, readPlain)
                                      : again.error == NumberTextError::NotANumber);
    for (int i = 0; i < LocaleCount; ++i) {
        const QString text = SingleToText(value, locale(i));
        // The locale changes the separator only, never the digits.
        FUZZ_REQUIRE(QString(text).replace(locale(i).decimalPoint(), QStringLiteral(".")) ==
                     plainText);
        const float read = readBackWritten(value, text, locale(i));
        FUZZ_REQUIRE(!std::isfinite(value) || sameBits(read, readPlain));
    }
}

bool onlyPlainNumberCharacters(std::string_view text)
{
    return text.find_first_not_of("0123456789.eE+-") == std::string_view::npos;
}

// The locale-free reader against strtof on the same text.
void checkAgainstStrtof(std::string_view bytes, const SingleFromText &read)
{
    const std::string text(TrimBlanks(bytes));
    if (text.empty() || !onlyPlainNumberCharacters(text))
        return; // strtof reads hexadecimal, "inf" and "nan" too, which the reader refuses
    char *end = nullptr;
    errno = 0;
    const float expected = std::strtof(text.c_str(), &end);
    const bool whole = end == text.c_str() + text.size();
    if (read.ok()) {
        FUZZ_REQUIRE(whole && sameBits(read.value, expected));
    } else if (read.error == NumberTextError::OutOfRange) {
        FUZZ_REQUIRE(whole && std::isinf(expected));
    } else {
        FUZZ_REQUIRE(!whole);
    }
}

// A locale's text with its separator and signs put back to the locale-free ones; false when the
// text holds a "." where the locale's separator is another, which the locale reader must refuse.
bool toLocaleFree(QString text, const QLocale &l, std::string &plain)
{
    const QString separator = l.decimalPoint();
    if (separator != QLatin1String(".") && text.contains(QLatin1Char('.')))
        return false;
    text.replace(separator, QStringLiteral("."));
    if (l.negativeSign() != QLatin1String("-"))
        text.replace(l.negativeSign(), QStringLiteral("-"));
    if (l.positiveSign() != QLatin1String("+"))
        text.replace(l.positiveSign(), QStringLiteral("+"));
    plain = text.toStdString();
    return true;
}

void checkReading(std::string_view bytes)
{
    const SingleFromText plain = TextToSingle(bytes);
    FUZZ_REQUIRE(!plain.ok() || std::isfinite(plain.value));
    checkAgainstStrtof(bytes, plain);
    if (plain.ok())
        checkWriting(plain.value);

    const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    for (int i = 0; i < LocaleCount; ++i) {
        const SingleFromText read = TextToSingle(text, locale(i));
        std::string translated;
        if (!toLocaleFree(text, locale(i), translated)) {
            FUZZ_REQUIRE(read.error == NumberTextError::NotANumber);
            continue;
        }
        const SingleFromText expected = TextToSingle(std::string_view(translated));
        FUZZ_REQUIRE(read.error == expected.error);
        FUZZ_REQUIRE(!read.ok() || sameBits(read.value, expected.value));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkReading(std::string_view(reinterpret_cast<const char *>(data), size));
    // A few floats per input keep each run short; the fuzzer varies their bits well enough.
    for (std::size_t offset = 0; offset + 4 <= std::min<std::size_t>(size, 16); offset += 4) {
        std::uint32_t bits;
        std::memcpy(&bits, data + offset, 4);
        checkWriting(std::bit_cast<float>(bits));
    }
    return 0;
}
