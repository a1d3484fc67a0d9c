#include "calc/session/SessionCode.h"

bool acceptsSessionCode(QStringView code)
{
    if (code.isEmpty() || code.size() > SessionCode::MaximumLength)
        return false;
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        const bool asciiLetter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
        if (!asciiLetter && !(u >= u'0' && u <= u'9') && u != u'-' && u != u'_')
            return false;
    }
    return true;
}
