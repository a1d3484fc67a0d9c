#pragma once

#include "calc/session/SessionFault.h"

#include <QString>
#include <QStringList>

// The session's refusals and messages, each worded in one place.

// The session code typed is not one acceptsSessionCode takes.
QString sessionCodeMessage(const QString &code);

// A session's refusal with its words. `details` fill the message in this order: ReadOnly the
// reason; InitialsInvalid the initials; TimeAhead the clock time and the time now;
// ServedBeforeStart the clock time and the start; PortionUnknown the number;
// PortionServedAlready the number and the clock time served; ReadingNegative the level;
// BoosterServedAlready the clock time served; BoosterPeriod the period; SessionCode the code;
// EntryUnknown, EntryIsChange, EntryVoided, PlannedPortion and CorrectionNoChange the entry;
// CorrectionValues the entry; ReasonTooLong the reason's length; ReasonControlCharacter the
// reason, its control characters escaped. PlaceboFloat, PlanChoice and
// BoosterDose take their words from placeboMessage, planFaultText and doseFaultText.
SessionRefusal sessionRefusal(SessionFault fault, const QStringList &details = {});

// A time typed that is none of the forms calc/session/TypedTime.h reads; `fieldName` as the field's
// caption says it, without its colon.
QString typedTimeMessage(const QString &fieldName, const QString &typed);
// Another session window asked for while `most` are open.
QString tooManySessionsMessage(int most);
