#include "calc/dose/ControlCharacters.h"

#include <algorithm>

bool isControlCharacter(char32_t character)
{
    return character < 0x20 || (character >= 0x7F && character <= 0x9F) || character == 0x2028 ||
           character == 0x2029;
}

bool holdsControlCharacter(QStringView text)
{
    // Every control character is a single UTF-16 unit.
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return isControlCharacter(c.unicode()); });
}

QString escapedControlCharacters(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (!isControlCharacter(unit))
            escaped += c;
        else if (unit < 0x100)
            escaped += QStringLiteral("\\x%1").arg(unit, 2, 16, QLatin1Char('0'));
        else
            escaped += QStringLiteral("\\u%1").arg(unit, 4, 16, QLatin1Char('0'));
    }
    return escaped;
}

QString escapedFileText(QByteArrayView bytes)
{
    return escapedControlCharacters(QString::fromUtf8(bytes));
}
