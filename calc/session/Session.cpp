#include "calc/session/Session.h"

#include "calc/dose/ControlCharacters.h"
#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "calc/dose/Placebo.h"
#include "calc/session/ClockText.h"
#include "calc/session/EntryRules.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionEntries.h"
#include "calc/session/SessionFaultTexts.h"
#include "calc/session/SessionText.h"

#include <cmath>

namespace {

QDateTime toTheMinute(const QDateTime &moment)
{
    return moment.addMSecs(-(moment.time().second() * 1000 + moment.time().msec()));
}

// The plan of `report`, or one without portions when there is none: nothing to pour, and no
// portion a placebo's float fits.
SessionPlan planOrNone(const DoseReport &report)
{
    return report.plan && report.plan->ok() ? *report.plan : SessionPlan{};
}

} // namespace

Session::Session(const DoseInput &input, const SessionPlanSettings &plan,
                 const SessionProtocol &protocol, const QString &programVersion,
                 const QDateTime &now, QObject *parent)
    : QObject(parent), m_protocol(protocol.protocol),
      m_release(protocol.protocol ? protocol.protocol->release : ReleaseRule{})
{
    SessionSetup setup;
    setup.programVersion = programVersion;
    setup.start = SessionClock::defaultStart(now);
    setup.input = input;
    setup.plan = plan;
    setup.protocolName = protocol.name;
    setup.protocolSha256 = protocol.sha256;
    applySetup(setup);
}

Session::Session(SessionRecord record, const QString &path, const QString &readOnlyReason,
                 const std::optional<Protocol> &protocol, QObject *parent)
    : QObject(parent), m_record(std::move(record)), m_protocol(protocol),
      m_release(protocol ? protocol->release : ReleaseRule{}), m_path(path),
      m_readOnlyReason(readOnlyReason), m_saved(!path.isEmpty())
{
}

RecordState Session::state() const
{
    if (!m_readOnlyReason.isEmpty())
        return RecordState::ReadOnly;
    return m_saved ? RecordState::Saved : RecordState::NotSaved;
}

SessionReport Session::reportAt(const QDateTime &now, std::optional<int> boosterAtMinute,
                                float boosterMinutes) const
{
    return ::evaluateSession(*this, now, boosterMinutes, boosterAtMinute);
}

SessionEntry plannedPortionEntry(int entry, const ServedPortion &portion)
{
    SessionEntry planned;
    planned.entry = entry;
    planned.event = EntryEvent::Portion;
    planned.number = portion.number;
    planned.plannedAtMinute = portion.atMinute;
    planned.alcoholMl = portion.alcoholMl;
    planned.mixerMl = portion.mixerMl;
    planned.totalMl = portion.totalMl;
    return planned;
}

SessionReportOptions sessionReportOptions(const Session &session, float boosterMinutes,
                                          std::optional<int> boosterAtMinute)
{
    SessionReportOptions options;
    options.protocol = session.protocol();
    options.release = session.releaseRule();
    options.boosterMinutes = boosterMinutes;
    options.boosterAtMinute = boosterAtMinute;
    options.locale = session.locale();
    return options;
}

SessionReport evaluateSession(const Session &session, const QDateTime &now, float boosterMinutes,
                              std::optional<int> boosterAtMinute)
{
    return evaluateSession(session.record(), now,
                           sessionReportOptions(session, boosterMinutes, boosterAtMinute));
}

// The record's state.

SessionRefusal Session::prepareToSave(const QDateTime &now)
{
    if (state() == RecordState::ReadOnly)
        return sessionRefusal(SessionFault::ReadOnly, {m_readOnlyReason});
    if (!acceptsSessionCode(m_record.setup.sessionCode))
        return sessionRefusal(SessionFault::SessionCode, {m_record.setup.sessionCode});
    if (m_initials.isEmpty())
        return sessionRefusal(SessionFault::NoInitials);
    if (!reportAt(now).hasPlan())
        return sessionRefusal(SessionFault::NoPlan);
    stampSetup(now);
    return {};
}

void Session::setSaved(const QString &path)
{
    m_path = path;
    m_saved = true;
    if (m_stopped) {
        m_stopped = false;
        m_readOnlyReason.clear();
    }
    setEntriesSaved();
}

void Session::stopRecording(const QString &reason)
{
    m_stopped = true;
    m_readOnlyReason = reason;
}

void Session::continueFromVersionOne(const QDateTime &now)
{
    if (m_record.version != RecordVersion::First || state() != RecordState::Saved)
        return;
    const SessionEntries entries(m_record);
    SessionEntry continued;
    continued.event = EntryEvent::Correction;
    continued.corrects = entries.setup().entry.entry;
    continued.values = entries.setup().values;
    continued.reason = QLatin1String(ChangeReason::ContinuedFromVersionOne);
    append(continued, now);
}

void Session::setEntriesSaved()
{
    m_unsavedEntries = false;
    // A record is always written in the current version: a version-1 file is one no more.
    m_record.version = RecordVersion::Current;
}

SessionRefusal Session::setOperatorInitials(const QString &initials)
{
    if (!acceptsOperatorInitials(initials))
        return sessionRefusal(SessionFault::InitialsInvalid, {escapedControlCharacters(initials)});
    m_initials = initials;
    return {};
}

// The setup.

bool Session::setupFixed() const
{
    if (state() != RecordState::NotSaved)
        return true;
    for (const SessionEntry &entry : m_record.entries) {
        if (entry.event != EntryEvent::Portion)
            return true;
    }
    return false;
}

SessionRefusal Session::setupRefusal() const
{
    if (state() == RecordState::ReadOnly)
        return sessionRefusal(SessionFault::ReadOnly, {m_readOnlyReason});
    if (setupFixed())
        return sessionRefusal(SessionFault::SetupFixed);
    return {};
}

DoseReport Session::doseOf(const SessionSetup &setup) const
{
    DoseOptions options;
    options.plan = setup.plan;
    options.protocol = m_protocol;
    return evaluateDose(setup.input, options);
}

SessionRefusal Session::applySetup(SessionSetup setup)
{
    const DoseReport report = doseOf(setup);
    const DosingState &s = report.dose.state;
    setup.alcoholMl = s.AlcDose;
    setup.mixerMl = s.MixDose;
    setup.totalMl = s.TotDose;
    const SessionPlan plan = planOrNone(report);
    QList<ServedPortion> poured = plan.portions;
    if (setup.placebo) {
        const PlaceboProblem problem = placeboProblem(float(setup.floatMl), plan);
        if (problem != PlaceboProblem::None)
            return {SessionFault::PlaceboFloat, placeboMessage(problem, smallestPortionMl(plan))};
        poured = placeboPortions(plan, setup.floatMl);
    }
    m_record.setup = setup;
    m_record.entries.clear();
    int entry = 2; // after the setup
    for (const ServedPortion &portion : poured)
        m_record.entries.append(plannedPortionEntry(entry++, portion));
    emit changed();
    return {};
}

SessionRefusal Session::setSessionCode(const QString &code)
{
    // The code names the file: it changes until there is one, entries or not.
    if (state() != RecordState::NotSaved)
        return setupRefusal();
    if (!acceptsSessionCode(code))
        return sessionRefusal(SessionFault::SessionCode, {code});
    m_record.setup.sessionCode = code;
    emit changed();
    return {};
}

SessionRefusal Session::setBeverage(bool placebo, float floatMl)
{
    if (const SessionRefusal refusal = setupRefusal(); refusal.refused())
        return refusal;
    SessionSetup setup = m_record.setup;
    setup.placebo = placebo;
    setup.floatMl = 0;
    if (placebo) {
        const SessionPlan plan = planOrNone(doseOf(setup));
        const PlaceboProblem problem = placeboProblem(floatMl, plan);
        if (problem != PlaceboProblem::None)
            return {SessionFault::PlaceboFloat, placeboMessage(problem, smallestPortionMl(plan))};
        setup.floatMl = int(floatMl); // whole, and no more than a portion
    }
    return applySetup(setup);
}

SessionRefusal Session::setStart(const QDateTime &start)
{
    if (const SessionRefusal refusal = setupRefusal(); refusal.refused())
        return refusal;
    if (!start.isValid())
        return sessionRefusal(SessionFault::StartInvalid);
    SessionSetup setup = m_record.setup;
    setup.start = toTheMinute(start);
    return applySetup(setup);
}

SessionRefusal Session::setPortions(int portions)
{
    if (const SessionRefusal refusal = setupRefusal(); refusal.refused())
        return refusal;
    if (!acceptsPortions(float(portions)))
        return {SessionFault::PlanChoice, planFaultText(PlanProblem::PortionsOutOfRange).message};
    SessionSetup setup = m_record.setup;
    setup.plan.portions = portions;
    return applySetup(setup);
}

SessionRefusal Session::setReleaseLevel(float level)
{
    if (const SessionRefusal refusal = setupRefusal(); refusal.refused())
        return refusal;
    const float bal = m_record.setup.input.level.toBal(level);
    if (!acceptsReleaseLevel(bal))
        return {SessionFault::PlanChoice,
                planFaultText(PlanProblem::ReleaseLevelNotAboveZero).message};
    SessionSetup setup = m_record.setup;
    setup.plan.releaseLevel = bal;
    return applySetup(setup);
}

// Entries.

int Session::minuteOf(const QTime &clock) const
{
    const QDateTime start = valuesInForce(1).start.value_or(m_record.setup.start);
    return SessionClock::minuteOf(clock, start.time());
}

SessionRefusal Session::entryRefusal(const SessionReport &report) const
{
    if (state() == RecordState::ReadOnly)
        return sessionRefusal(SessionFault::ReadOnly, {m_readOnlyReason});
    if (!report.hasPlan())
        return sessionRefusal(SessionFault::NoPlan);
    if (m_initials.isEmpty())
        return sessionRefusal(SessionFault::NoInitials);
    return {};
}

SessionRefusal Session::timeRefusal(const SessionReport &report, int minute, bool served,
                                    const QDateTime &now) const
{
    const QTime start = report.start.time();
    if (served && minute < 0)
        return sessionRefusal(SessionFault::ServedBeforeStart,
                              {clockText(start, minute, m_locale), clockText(start, 0, m_locale)});
    if (SessionClock::aheadOf(minute, report.start, now))
        return sessionRefusal(
            SessionFault::TimeAhead,
            {clockText(start, minute, m_locale),
             m_locale.toString(now.toLocalTime().time(), hoursAndMinutesFormat(m_locale))});
    return {};
}

QStringList Session::readingQuestions(const SessionReport &report, int minute, float level,
                                      int exceptEntry) const
{
    QStringList questions;
    const LevelScale &scale = report.setup.input.level;
    if (report.likelySlip(level))
        questions << highReadingQuestion(level, *report.slipReferenceBal(), report.placebo, scale,
                                         m_locale);
    if (const std::optional<qsizetype> from =
            report.implausibleFallFrom(minute, level, exceptEntry))
        questions << implausibleFallQuestion(report, minute, level, report.readings[*from],
                                             m_locale);
    for (const ReadingLine &other : report.readings) {
        if (!other.voided && other.atMinute == minute && other.entry != exceptEntry) {
            questions << sameMinuteQuestion(clockText(report.start.time(), minute, m_locale),
                                            other.level, scale, m_locale);
            break;
        }
    }
    return questions;
}

SessionCheck Session::checkServed(int portion, int minute, const QDateTime &now) const
{
    const SessionReport report = reportAt(now);
    if (const SessionRefusal refusal = entryRefusal(report); refusal.refused())
        return {refusal, {}};
    const PortionLine *line = nullptr;
    for (const PortionLine &each : report.portions) {
        if (each.portion.number == portion)
            line = &each;
    }
    if (!line)
        return {sessionRefusal(SessionFault::PortionUnknown, {QString::number(portion)}), {}};
    if (const std::optional<ServedMark> served = line->served())
        return {sessionRefusal(SessionFault::PortionServedAlready,
                               {QString::number(portion),
                                clockText(report.start.time(), served->atMinute, m_locale)}),
                {}};
    return {timeRefusal(report, minute, true, now), {}};
}

SessionRefusal Session::markServed(int portion, int minute, const QDateTime &now)
{
    const SessionCheck check = checkServed(portion, minute, now);
    if (check.refused())
        return check.refusal;
    SessionEntry entry;
    entry.event = EntryEvent::Served;
    entry.number = portion;
    entry.values.servedAtMinute = minute;
    append(entry, now);
    return {};
}

namespace {

SessionRefusal levelRefusal(float level, const QLocale &locale)
{
    if (!std::isfinite(level))
        return sessionRefusal(SessionFault::ReadingNotFinite);
    if (level < 0)
        return sessionRefusal(SessionFault::ReadingNegative, {SingleToText(level, locale)});
    return {};
}

} // namespace

SessionCheck Session::checkReading(int minute, float level, const QDateTime &now) const
{
    const SessionReport report = reportAt(now);
    if (const SessionRefusal refusal = entryRefusal(report); refusal.refused())
        return {refusal, {}};
    if (const SessionRefusal refusal = levelRefusal(level, m_locale); refusal.refused())
        return {refusal, {}};
    if (const SessionRefusal refusal = timeRefusal(report, minute, false, now); refusal.refused())
        return {refusal, {}};
    return {{}, readingQuestions(report, minute, level, 0)};
}

SessionRefusal Session::addReading(int minute, float level, const QDateTime &now)
{
    const SessionCheck check = checkReading(minute, level, now);
    if (check.refused())
        return check.refusal;
    SessionEntry entry;
    entry.event = EntryEvent::Reading;
    entry.values.atMinute = minute;
    entry.values.level = level;
    append(entry, now);
    return {};
}

SessionCheck Session::checkBooster(int minute, float drinkingMinutes, const QDateTime &now) const
{
    const SessionReport report = reportAt(now, minute, drinkingMinutes);
    if (const SessionRefusal refusal = entryRefusal(report); refusal.refused())
        return {refusal, {}};
    if (const SessionRefusal refusal = timeRefusal(report, minute, true, now); refusal.refused())
        return {refusal, {}};
    if (!report.offer)
        return {
            sessionRefusal(SessionFault::BoosterServedAlready,
                           {clockText(report.start.time(), report.booster()->atMinute, m_locale)}),
            {}};
    if (!report.offer->ok())
        return {report.offer->refusal, {}};
    const QStringList warnings = report.offer->judgement.all();
    return {{}, warnings.isEmpty() ? QStringList{} : QStringList{boosterQuestion(warnings)}};
}

SessionRefusal Session::serveBooster(int minute, float drinkingMinutes, const QDateTime &now)
{
    const SessionCheck check = checkBooster(minute, drinkingMinutes, now);
    if (check.refused())
        return check.refusal;
    const BoosterOffer offer = *reportAt(now, minute, drinkingMinutes).offer;
    const DosingState &s = offer.report.dose.state;
    SessionEntry entry;
    entry.event = EntryEvent::Booster;
    entry.values.servedAtMinute = minute;
    entry.values.drinkingMinutes = drinkingMinutes;
    // Whole millilitres within -32768..32767 after a successful calculation.
    entry.alcoholMl = int(std::lround(s.AlcDose));
    entry.mixerMl = int(std::lround(s.MixDose));
    entry.totalMl = int(std::lround(s.TotDose));
    entry.boosterTargetBal = offer.targetBal;
    append(entry, now);
    return {};
}

// The same at a clock time the operator typed.

namespace {

const SessionRefusal &clockRefusal()
{
    static const SessionRefusal refusal = sessionRefusal(SessionFault::ClockInvalid);
    return refusal;
}

} // namespace

SessionCheck Session::checkServed(int portion, const QTime &clock, const QDateTime &now) const
{
    return clock.isValid() ? checkServed(portion, minuteOf(clock), now)
                           : SessionCheck{clockRefusal(), {}};
}

SessionRefusal Session::markServed(int portion, const QTime &clock, const QDateTime &now)
{
    return clock.isValid() ? markServed(portion, minuteOf(clock), now) : clockRefusal();
}

SessionCheck Session::checkReading(const QTime &clock, float level, const QDateTime &now) const
{
    return clock.isValid() ? checkReading(minuteOf(clock), level, now)
                           : SessionCheck{clockRefusal(), {}};
}

SessionRefusal Session::addReading(const QTime &clock, float level, const QDateTime &now)
{
    return clock.isValid() ? addReading(minuteOf(clock), level, now) : clockRefusal();
}

SessionCheck Session::checkBooster(const QTime &clock, float drinkingMinutes,
                                   const QDateTime &now) const
{
    return clock.isValid() ? checkBooster(minuteOf(clock), drinkingMinutes, now)
                           : SessionCheck{clockRefusal(), {}};
}

SessionRefusal Session::serveBooster(const QTime &clock, float drinkingMinutes,
                                     const QDateTime &now)
{
    return clock.isValid() ? serveBooster(minuteOf(clock), drinkingMinutes, now) : clockRefusal();
}

// Corrections and voids.

EntryValues Session::valuesInForce(int entry) const
{
    const SessionEntries entries(m_record);
    const EntryInForce *found = entries.find(entry);
    return found ? found->values : EntryValues{};
}

SessionCheck Session::checkChange(int entry, const QString &reason, bool voiding) const
{
    if (state() == RecordState::ReadOnly)
        return {sessionRefusal(SessionFault::ReadOnly, {m_readOnlyReason}), {}};
    if (m_initials.isEmpty())
        return {sessionRefusal(SessionFault::NoInitials), {}};
    switch (reasonProblem(reason)) {
    case ReasonProblem::Missing:
        return {sessionRefusal(SessionFault::ReasonMissing), {}};
    case ReasonProblem::ControlCharacter:
        return {sessionRefusal(SessionFault::ReasonControlCharacter,
                               {escapedControlCharacters(reason)}),
                {}};
    case ReasonProblem::TooLong:
        return {
            sessionRefusal(SessionFault::ReasonTooLong, {QString::number(reason.toUcs4().size())}),
            {}};
    case ReasonProblem::None:
        break;
    }
    const SessionEntries entries(m_record);
    const QStringList number{QString::number(entry)};
    if (entries.isChange(entry))
        return {sessionRefusal(SessionFault::EntryIsChange, number), {}};
    const EntryInForce *target = entries.find(entry);
    if (!target)
        return {sessionRefusal(SessionFault::EntryUnknown, number), {}};
    if (changedAs(target->entry) == EntryEvent::Portion)
        return {sessionRefusal(SessionFault::PlannedPortion, number), {}};
    if (voiding && target->entry.event == EntryEvent::Plan)
        return {sessionRefusal(SessionFault::SetupNotVoidable), {}};
    if (target->voided())
        return {sessionRefusal(SessionFault::EntryVoided, number), {}};
    return {};
}

SessionCheck Session::checkCorrection(int entry, const EntryValues &values, const QString &reason,
                                      const QDateTime &now) const
{
    if (const SessionCheck check = checkChange(entry, reason, false); check.refused())
        return check;
    const SessionEntries entries(m_record);
    const EntryInForce &target = *entries.find(entry);
    const EntryEvent event = changedAs(target.entry);
    const QStringList number{QString::number(entry)};
    if (!fitsEvent(values, event))
        return {sessionRefusal(SessionFault::CorrectionValues, number), {}};
    EntryValues given = values;
    if (given.start)
        given.start = toTheMinute(*given.start);
    if (given == target.values)
        return {sessionRefusal(SessionFault::CorrectionNoChange, number), {}};

    // Checked as if typed.
    const SessionReport report = reportAt(now);
    SessionRefusal refusal;
    QStringList questions;
    switch (event) {
    case EntryEvent::Plan:
        if (!given.start->isValid())
            refusal = sessionRefusal(SessionFault::StartInvalid);
        else if (!acceptsReleaseLevel(*given.releaseBal))
            refusal = {SessionFault::PlanChoice,
                       planFaultText(PlanProblem::ReleaseLevelNotAboveZero).message};
        break;
    case EntryEvent::Reading:
        refusal = levelRefusal(*given.level, m_locale);
        if (!refusal.refused())
            refusal = timeRefusal(report, *given.atMinute, false, now);
        if (!refusal.refused())
            questions = readingQuestions(report, *given.atMinute, *given.level, entry);
        break;
    case EntryEvent::Booster:
        if (!acceptsBoosterMinutes(*given.drinkingMinutes)) {
            refusal = sessionRefusal(SessionFault::BoosterPeriod,
                                     {SingleToText(*given.drinkingMinutes, m_locale)});
            break;
        }
        [[fallthrough]];
    case EntryEvent::Served:
        refusal = timeRefusal(report, *given.servedAtMinute, true, now);
        break;
    case EntryEvent::Portion:
    case EntryEvent::Correction:
    case EntryEvent::Void:
        break; // refused by checkChange
    }
    return {refusal, refusal.refused() ? QStringList{} : questions};
}

SessionRefusal Session::correct(int entry, const EntryValues &values, const QString &reason,
                                const QDateTime &now)
{
    const SessionCheck check = checkCorrection(entry, values, reason, now);
    if (check.refused())
        return check.refusal;
    SessionEntry correction;
    correction.event = EntryEvent::Correction;
    correction.corrects = entry;
    correction.values = values;
    if (correction.values.start)
        correction.values.start = toTheMinute(*correction.values.start);
    correction.reason = reason;
    append(correction, now);
    return {};
}

SessionCheck Session::checkVoid(int entry, const QString &reason) const
{
    return checkChange(entry, reason, true);
}

SessionRefusal Session::voidEntry(int entry, const QString &reason, const QDateTime &now)
{
    const SessionCheck check = checkVoid(entry, reason);
    if (check.refused())
        return check.refusal;
    SessionEntry change;
    change.event = EntryEvent::Void;
    change.corrects = entry;
    change.reason = reason;
    append(change, now);
    return {};
}

void Session::stampSetup(const QDateTime &now)
{
    if (setupFixed())
        return;
    const QDateTime enteredAt = SessionClock::entryTime(now);
    m_record.setup.enteredAt = enteredAt;
    m_record.setup.operatorInitials = m_initials;
    for (SessionEntry &planned : m_record.entries) {
        planned.enteredAt = enteredAt;
        planned.operatorInitials = m_initials;
    }
}

void Session::append(SessionEntry entry, const QDateTime &now)
{
    stampSetup(now);
    entry.entry = SessionEntries(m_record).nextEntry();
    entry.enteredAt = SessionClock::entryTime(now);
    entry.operatorInitials = m_initials;
    m_record.entries.append(entry);
    m_unsavedEntries = true;
    emit changed();
}
