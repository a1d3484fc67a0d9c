#include "calc/EntryRules.h"

bool acceptsOperatorInitials(QStringView initials)
{
    if (initials.isEmpty() || initials.size() > OperatorInitials::MaximumLength)
        return false;
    for (const QChar c : initials) {
        if (!c.isLetter())
            return false;
    }
    return true;
}

ReasonProblem reasonProblem(QStringView reason)
{
    if (reason.trimmed().isEmpty())
        return ReasonProblem::Missing;
    if (reason.size() > ChangeReason::MaximumLength)
        return ReasonProblem::TooLong;
    return ReasonProblem::None;
}
