#include "calc/session/SessionFaultTexts.h"

#include "calc/dose/ControlCharacters.h"
#include "calc/session/EntryRules.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionRules.h"

#include <QDir>
#include <QLocale>

QString sessionCodeMessage(const QString &code)
{
    return QStringLiteral("ERROR: The session code \"%1\" cannot be used: give 1 to %2 letters, "
                          "digits, \"-\" or \"_\".")
        .arg(escapedControlCharacters(code))
        .arg(SessionCode::MaximumLength);
}

namespace {

QString number(int value)
{
    return QString::number(value);
}

// The words of a session's refusal; %1 and %2 are its details, in the order sessionRefusal names.
QString sessionFaultPattern(SessionFault fault)
{
    switch (fault) {
    case SessionFault::ReadOnly:
        return QStringLiteral("The session record is read-only: %1.");
    case SessionFault::NoPlan:
        return QStringLiteral("Nothing can be entered in a session without a plan.");
    case SessionFault::SetupFixed:
        return QStringLiteral(
            "The session's setup is fixed once it has an entry or a file. Correct "
            "the start of drinking or the release level, with a reason; the "
            "rest stays as it was served.");
    case SessionFault::StartInvalid:
        return QStringLiteral("The start of drinking must be a date and a clock time.");
    case SessionFault::NoInitials:
        return QStringLiteral("Give your initials (1 to ") +
               number(OperatorInitials::MaximumLength) +
               QStringLiteral(" letters) before the first entry.");
    case SessionFault::InitialsInvalid:
        return QStringLiteral("The initials \"%1\" cannot be used: give 1 to ") +
               number(OperatorInitials::MaximumLength) + QStringLiteral(" letters.");
    case SessionFault::ClockInvalid:
        return QStringLiteral("Enter the time as hours and minutes.");
    case SessionFault::TimeAhead:
        return QStringLiteral("%1 is more than ") + number(SessionClock::AheadMinutes) +
               QStringLiteral(" minutes after the time now (%2). Enter the time it happened.");
    case SessionFault::ServedBeforeStart:
        return QStringLiteral("%1 is before the start of drinking at %2: nothing is served before "
                              "the start.");
    case SessionFault::PortionUnknown:
        return QStringLiteral("The plan has no portion %1.");
    case SessionFault::PortionServedAlready:
        return QStringLiteral("Portion %1 is already marked served at %2. A portion marked served "
                              "by mistake is voided, with a reason, not unmarked.");
    case SessionFault::ReadingNotFinite:
        return QStringLiteral("The reading is not a finite number. Type the level the instrument "
                              "shows.");
    case SessionFault::ReadingNegative:
        return QStringLiteral("Reading \"%1\" is below 0. Type the level the instrument shows.");
    case SessionFault::BoosterServedAlready:
        return QStringLiteral("A booster is already recorded as served at %1. One recorded by "
                              "mistake is voided, with a reason, before another is recorded.");
    case SessionFault::BoosterPeriod:
        return QStringLiteral("The booster's drinking period \"%1\" is not a whole number of "
                              "minutes from ") +
               number(BoosterPeriod::Minimum) + QStringLiteral(" to ") +
               number(BoosterPeriod::Maximum) + QLatin1Char('.');
    case SessionFault::BoosterMouthAlcohol:
        return QStringLiteral("Wait: the latest reading may hold mouth alcohol (less than ") +
               number(SessionRules::MouthAlcoholMinutes) +
               QStringLiteral(" minutes after drinking).");
    case SessionFault::EntryUnknown:
        return QStringLiteral("The record has no entry %1.");
    case SessionFault::EntryIsChange:
        return QStringLiteral("Entry %1 is a correction or a void: correct or void the entry it "
                              "names.");
    case SessionFault::EntryVoided:
        return QStringLiteral("Entry %1 is voided: a voided entry cannot be corrected or voided "
                              "again.");
    case SessionFault::PlannedPortion:
        return QStringLiteral("Entry %1 is a portion of the plan, which is neither corrected nor "
                              "voided; correct or void the entry that marked it served.");
    case SessionFault::SetupNotVoidable:
        return QStringLiteral("The session's setup (entry 1) cannot be voided; its start of "
                              "drinking and release level can be corrected.");
    case SessionFault::CorrectionValues:
        return QStringLiteral("A correction of entry %1 gives the values that entry records, and "
                              "only those.");
    case SessionFault::CorrectionNoChange:
        return QStringLiteral("The correction leaves entry %1 as it is.");
    case SessionFault::ReasonMissing:
        return QStringLiteral("Give the reason for the change, 1 to ") +
               number(ChangeReason::MaximumLength) + QStringLiteral(" characters.");
    case SessionFault::ReasonTooLong:
        return QStringLiteral("The reason has %1 characters; give at most ") +
               number(ChangeReason::MaximumLength) + QLatin1Char('.');
    case SessionFault::ReasonControlCharacter:
        return QStringLiteral("The reason \"%1\" holds a control character (a tab, a line break "
                              "or the like), which a record's reader may take for the end of a "
                              "cell or a line. Type it on one line, without them.");
    case SessionFault::BoosterPlacebo:
        return QStringLiteral("No booster for the placebo beverage: no curve is expected.");
    case SessionFault::BoosterLimb:
        return QStringLiteral("Wait for the descending limb: two falling readings in a row.");
    case SessionFault::BoosterAtTarget:
        return QStringLiteral("The latest reading is at or above the target.");
    case SessionFault::BoosterImplausibleFall:
        return QStringLiteral("The latest reading fell faster than a body eliminates; take another "
                              "reading before a booster is worked out.");
    case SessionFault::BoosterReleased:
        return QStringLiteral("The participant has reached the release level; a booster would "
                              "start the session again.");
    case SessionFault::BoosterStaleReading:
        return QStringLiteral("Take a reading first: the latest counting reading is %1 old; a "
                              "booster is worked out from a reading at most ") +
               number(SessionRules::FreshReadingMinutes) + QStringLiteral(" minutes old.");
    case SessionFault::None:
    case SessionFault::SessionCode:
    case SessionFault::PlaceboFloat:
    case SessionFault::PlanChoice:
    case SessionFault::BoosterDose:
        break;
    }
    return {};
}

} // namespace

SessionRefusal sessionRefusal(SessionFault fault, const QStringList &details)
{
    switch (fault) {
    case SessionFault::None:
        return {};
    case SessionFault::SessionCode:
        return {fault, sessionCodeMessage(details.value(0))};
    default:
        break;
    }
    const QString pattern = sessionFaultPattern(fault);
    QString text = QStringLiteral("ERROR: ");
    // Filled in one pass, so that a detail holding "%2" stays as it is.
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const qsizetype index = i + 1 < pattern.size() ? pattern[i + 1].unicode() - u'1' : -1;
        if (pattern[i] == u'%' && index >= 0 && index < details.size() && index < 9) {
            text += details[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return {fault, text};
}

QString typedTimeMessage(const QString &fieldName, const QString &typed)
{
    return QStringLiteral("ERROR: %1 \"%2\" is not a time. Type the hours and minutes as h:mm, "
                          "hmm, hh:mm or hhmm, with a, am, p or pm after them for a time before "
                          "or after noon: 1:20 pm, 120pm, 1030a or 13:20.")
        .arg(fieldName, typed.trimmed());
}

QString tooManySessionsMessage(int most)
{
    return QStringLiteral("ERROR: %1 sessions are open, as many as Pourwise keeps at once. Close "
                          "one before opening another.")
        .arg(most);
}
