#include "calc/dose/NumberText.h"

#include <charconv>
#include <cmath>
#include <memory>

namespace {

struct Syntax {
    std::string_view decimalSeparator;
    std::string_view minusSign; // an alternative to "-", such as U+2212 in some locales
    std::string_view plusSign;  // an alternative to "+"
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool consume(std::string_view &text, std::string_view token)
{
    if (token.empty() || !text.starts_with(token))
        return false;
    text.remove_prefix(token.size());
    return true;
}

SingleFromText parse(std::string_view text, const Syntax &syntax)
{
    text = TrimBlanks(text);
    // The number rewritten as "[-]digits[.digits][e[-]digits]" for from_chars; never longer than
    // the text, and on the stack for any ordinary number since rosters read millions of them.
    char onStack[64];
    std::unique_ptr<char[]> onHeap;
    char *const plain = text.size() <= sizeof onStack
                            ? onStack
                            : (onHeap = std::make_unique<char[]>(text.size())).get();
    std::size_t length = 0;
    const auto put = [&](char c) { plain[length++] = c; };

    if (consume(text, "-") || consume(text, syntax.minusSign))
        put('-');
    else if (!consume(text, "+"))
        consume(text, syntax.plusSign);

    int integerDigits = 0;        // significant digits before the separator
    int leadingFractionZeros = 0; // zeros after the separator before the first non-zero digit
    bool anyDigit = false;
    bool nonZeroSeen = false;
    while (!text.empty() && isDigit(text.front())) {
        nonZeroSeen = nonZeroSeen || text.front() != '0';
        integerDigits += nonZeroSeen ? 1 : 0;
        put(text.front());
        text.remove_prefix(1);
        anyDigit = true;
    }
    if (consume(text, syntax.decimalSeparator)) {
        put('.');
        while (!text.empty() && isDigit(text.front())) {
            if (!nonZeroSeen && text.front() == '0')
                ++leadingFractionZeros;
            nonZeroSeen = nonZeroSeen || text.front() != '0';
            put(text.front());
            text.remove_prefix(1);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return {0, NumberTextError::NotANumber};

    long exponent = 0;
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        put('e');
        bool negative = false;
        if (consume(text, "-") || consume(text, syntax.minusSign)) {
            negative = true;
            put('-');
        } else if (!consume(text, "+")) {
            consume(text, syntax.plusSign);
        }
        if (text.empty() || !isDigit(text.front()))
            return {0, NumberTextError::NotANumber};
        while (!text.empty() && isDigit(text.front())) {
            exponent = std::min(exponent * 10 + (text.front() - '0'), 100'000'000L);
            put(text.front());
            text.remove_prefix(1);
        }
        exponent = negative ? -exponent : exponent;
    }
    if (!text.empty())
        return {0, NumberTextError::NotANumber};

    float value = 0;
    const auto [end, ec] = std::from_chars(plain, plain + length, value);
    if (ec == std::errc() && end == plain + length)
        return {value, NumberTextError::None};
    if (ec != std::errc::result_out_of_range)
        return {0, NumberTextError::NotANumber};

    // Out of range is either beyond the largest float (an error) or below the smallest
    // subnormal, which rounds to a zero of the same sign like any other rounding.
    const long leadingDigitPower =
        exponent + (integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1));
    if (leadingDigitPower >= 0)
        return {0, NumberTextError::OutOfRange};
    return {plain[0] == '-' ? -0.0f : 0.0f, NumberTextError::None};
}

} // namespace

std::string_view TrimBlanks(std::string_view text)
{
    constexpr std::string_view Blanks = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

std::string_view SingleToText(float value, char (&buffer)[32])
{
    if (value == 0) // also turns a negative zero into "0"
        value = 0;
    char *end = buffer + sizeof buffer;
    if (std::isfinite(value)) {
        // Seven significant digits, trailing zeros dropped: exactly printf's "%.7g".
        end = std::to_chars(buffer, end, double(value), std::chars_format::general, 7).ptr;
    } else {
        end = std::to_chars(buffer, end, value).ptr;
    }
    for (char *c = buffer; c != end; ++c) {
        if (*c == 'e')
            *c = 'E';
    }
    return {buffer, std::size_t(end - buffer)};
}

QString SingleToText(float value, const QLocale &locale)
{
    char buffer[32];
    QString text = QString::fromLatin1(SingleToText(value, buffer));
    const QString separator = locale.decimalPoint();
    if (separator != QLatin1String("."))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

SingleFromText TextToSingle(std::string_view text)
{
    return parse(text, Syntax{".", {}, {}});
}

SingleFromText TextToSingle(QStringView text, const QLocale &locale)
{
    const QByteArray utf8 = text.toUtf8();
    const QByteArray separator = locale.decimalPoint().toUtf8();
    const QByteArray minus = locale.negativeSign().toUtf8();
    const QByteArray plus = locale.positiveSign().toUtf8();
    return parse(std::string_view(utf8.constData(), utf8.size()),
                 Syntax{std::string_view(separator.constData(), separator.size()),
                        std::string_view(minus.constData(), minus.size()),
                        std::string_view(plus.constData(), plus.size())});
}

std::string_view ExactSingleToText(float value, char (&buffer)[32])
{
    // std::to_chars without a precision writes the shortest form that reads back as this float.
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {buffer, std::size_t(end - buffer)};
}

double TypedDouble(float value)
{
    char buffer[32];
    const std::string_view text = ExactSingleToText(value, buffer);
    double typed = value;
    std::from_chars(text.data(), text.data() + text.size(), typed);
    return typed;
}

double SevenDigits(double value)
{
    if (!std::isfinite(value))
        return value;
    char buffer[32];
    const char *end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7).ptr;
    double rounded = value;
    std::from_chars(buffer, end, rounded);
    return rounded;
}

std::string_view ExactDoubleToText(double value, char (&buffer)[32])
{
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {buffer, std::size_t(end - buffer)};
}
