#include "calc/EntryFields.h"

#include <QList>
#include <algorithm>

// Counted as a reader counts characters: a letter beyond the first 65536 is one, not two.

bool acceptsOperatorInitials(QStringView initials)
{
    const QList<uint> letters = initials.toUcs4();
    return !letters.isEmpty() && letters.size() <= EntryFields::MaximumInitials &&
           std::all_of(letters.begin(), letters.end(),
                       [](uint letter) { return QChar::isLetter(char32_t(letter)); });
}

bool acceptsReason(QStringView reason)
{
    const qsizetype length = reason.toUcs4().size();
    return length >= 1 && length <= EntryFields::MaximumReasonLength;
}
