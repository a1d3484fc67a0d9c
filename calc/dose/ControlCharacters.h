#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Control characters: C0 (U+0000 to U+001F), DEL (U+007F), C1 (U+0080 to U+009F) and the line
// and paragraph separators (U+2028, U+2029). A name or a reason holding one may not survive a
// file (a NUL ends a line of text for many readers, a line feed splits a row for some) and may
// drive a terminal when it is printed (ESC starts its escape sequences), so what the operator
// names and writes refuses them, and what a message quotes from a file shows them escaped.

bool isControlCharacter(char32_t character);
bool holdsControlCharacter(QStringView text);

// `text` with every control character written as an escape: "\x1b" for one below U+0100,
// "\u2028" for a separator. Everything else stays as it is.
QString escapedControlCharacters(QStringView text);
// The same for bytes from a file, read as UTF-8 (a byte that is no UTF-8 becomes U+FFFD).
QString escapedFileText(QByteArrayView bytes);
