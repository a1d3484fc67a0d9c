#include "calc/session/EntryRules.h"

#include "calc/dose/ControlCharacters.h"

#include <QList>
#include <algorithm>

// Counted as a reader counts characters: a letter beyond the first 65536 is one, not two.

bool acceptsOperatorInitials(QStringView initials)
{
    const QList<uint> letters = initials.toUcs4();
    return !letters.isEmpty() && letters.size() <= OperatorInitials::MaximumLength &&
           std::all_of(letters.begin(), letters.end(),
                       [](uint letter) { return QChar::isLetter(char32_t(letter)); });
}

ReasonProblem reasonProblem(QStringView reason)
{
    if (reason.trimmed().isEmpty())
        return ReasonProblem::Missing;
    if (reason.toUcs4().size() > ChangeReason::MaximumLength)
        return ReasonProblem::TooLong;
    if (holdsControlCharacter(reason))
        return ReasonProblem::ControlCharacter;
    return ReasonProblem::None;
}
