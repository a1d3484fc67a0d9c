#include "tools/pourwise-dose/CommandLineSession.h"

#include "appinfo/AppInfo.h"
#include "calc/session/SessionFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "calc/session/Session.h"
#include "calc/session/SessionBooster.h"

#include <QTimeZone>
#include <algorithm>
#include <limits>

namespace {

// The command line gives minutes, not clock times: its session starts at a fixed moment in UTC,
// where no change of the clock falls between two minutes.
QDateTime start()
{
    return QDateTime(QDate(2000, 1, 1), QTime(0, 0), QTimeZone::utc());
}

QDateTime atMinute(qint64 minute)
{
    return start().addSecs(minute * 60);
}

// Every entry carries the initials of whoever made it; this session is never saved.
const QString CommandLineInitials = QStringLiteral("CLI");

// Where the booster is judged: where it is served, or just after the last reading, so that every
// reading is before it.
int boosterMinute(const SessionRequest &given)
{
    if (given.boosterServedAt)
        return *given.boosterServedAt;
    if (given.readings.isEmpty())
        return 0;
    return int(std::min<qint64>(qint64(given.readings.constLast().atMinute) + 1,
                                std::numeric_limits<int>::max()));
}

// The session's "now": the latest minute given, so that no entry is ahead of it.
QDateTime latestMoment(const SessionRequest &given, int boosterAt)
{
    qint64 latest = boosterAt;
    for (const GivenReading &reading : given.readings)
        latest = std::max<qint64>(latest, reading.atMinute);
    for (const GivenServing &served : given.schedule.served)
        latest = std::max<qint64>(latest, served.atMinute);
    return atMinute(latest);
}

SessionReport reportOf(const Session &session, const QDateTime &now, const SessionRequest &given,
                       int boosterAt)
{
    SessionReportOptions options;
    options.protocol = session.protocol();
    options.release = session.releaseRule();
    options.locale = session.locale();
    if (given.boosterMinutes) {
        options.boosterMinutes = *given.boosterMinutes;
        options.boosterAtMinute = boosterAt;
    }
    options.readingSd = given.readingSd;
    return evaluateSession(session.record(), now, options);
}

} // namespace

CommandLineSession enterSession(const DoseInput &input, const DoseRequest &request)
{
    const SessionRequest &given = request.session;
    CommandLineSession entered;
    const auto refused = [&entered](const SessionRefusal &refusal) {
        entered.refusal = refusal;
        return entered;
    };
    // Refused before anything else, so that it is a usage error for a placebo too.
    if (given.boosterMinutes && !acceptsBoosterMinutes(*given.boosterMinutes))
        return refused(sessionRefusal(SessionFault::BoosterPeriod,
                                      {SingleToText(*given.boosterMinutes, QLocale::c())}));

    Session session(input, *request.plan, {request.protocol, {}, {}},
                    QString::fromUtf8(AppInfo::VersionNumber), start());
    session.setLocale(QLocale::c());
    if (const SessionRefusal refusal = session.setStart(start()); refusal.refused())
        return refused(refusal);
    if (given.placebo) {
        if (const SessionRefusal refusal = session.setBeverage(true, given.floatMl);
            refusal.refused())
            return refused(refusal);
    }
    if (const SessionRefusal refusal = session.setOperatorInitials(CommandLineInitials);
        refusal.refused())
        return refused(refusal);
    // The protocol's release, each part as the options give it instead.
    ReleaseRule release = session.releaseRule();
    release.confirmingReadings = given.confirmingReadings.value_or(release.confirmingReadings);
    release.minutesApart = given.minutesApart.value_or(release.minutesApart);
    session.setReleaseRule(release);

    const int boosterAt = boosterMinute(given);
    const QDateTime now = latestMoment(given, boosterAt);
    for (const GivenServing &served : given.schedule.served) {
        if (const SessionRefusal refusal = session.markServed(served.portion, served.atMinute, now);
            refusal.refused())
            return refused(refusal);
    }
    for (const GivenReading &reading : given.readings) {
        if (const SessionRefusal refusal = session.addReading(reading.atMinute, reading.level, now);
            refusal.refused())
            return refused(refusal);
    }
    entered.report = reportOf(session, now, given, boosterAt);
    if (!given.boosterMinutes)
        return entered;
    entered.booster = entered.report.offer;
    if (given.boosterServedAt && entered.booster && entered.booster->ok()) {
        if (const SessionRefusal refusal =
                session.serveBooster(boosterAt, *given.boosterMinutes, now);
            refusal.refused())
            return refused(refusal);
        entered.report = reportOf(session, now, given, boosterAt);
    }
    return entered;
}
