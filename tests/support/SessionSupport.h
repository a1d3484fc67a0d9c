#pragma once

#include "calc/session/EntryRules.h"
#include "calc/session/Session.h"
#include "tests/support/EntryOf.h"
#include "tests/support/WorkedExample.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <algorithm>
#include <memory>

// Sessions of the worked example for the session's tests. Every session starts drinking at 14:00
// on a day without a clock change, and its operator is "AB".
namespace SessionSupport {

inline QDateTime start()
{
    return QDateTime(QDate(2026, 3, 2), QTime(14, 0));
}

// The moment and the clock time `minute` minutes after the start.
inline QDateTime at(int minute)
{
    return start().addSecs(qint64(minute) * 60);
}

inline QTime clockAt(int minute)
{
    return at(minute).time();
}

// A session as the window makes one at `now`: no start chosen, no operator yet.
inline std::unique_ptr<Session> newSession(const DoseInput &input = workedExampleInput(),
                                           const SessionProtocol &protocol = {},
                                           const QDateTime &now = at(-10))
{
    auto session = std::make_unique<Session>(input, SessionPlanSettings{}, protocol,
                                             QStringLiteral("test"), now);
    session->setLocale(QLocale::c());
    return session;
}

inline std::unique_ptr<Session> workedSession(const LevelScale &level = {},
                                              const SessionProtocol &protocol = {})
{
    DoseInput input = workedExampleInput();
    input.level = level;
    auto session = newSession(input, protocol);
    session->setStart(start());
    session->setOperatorInitials(QStringLiteral("AB"));
    return session;
}

// "70=0.06 85=0.057": minutes and levels; "nan" and "inf" are read too.
struct TimedLevel {
    int minute = 0;
    float level = 0;
};

inline QList<TimedLevel> timedLevels(const QString &text)
{
    QList<TimedLevel> levels;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        levels.append({pair.section(QLatin1Char('='), 0, 0).toInt(),
                       pair.section(QLatin1Char('='), 1).toFloat()});
    return levels;
}

// Enters `entries` into `session` at `now`, each checked as the operator's would be, at the clock
// times of minutes after the session's start: "70=0.06" a reading at minute 70, "s1@0" portion 1
// served at minute 0, "b110" a booster drunk over 10 minutes from minute 110, "c5:70=0.06" entry 5
// corrected to the reading 70=0.06 and "v5" entry 5 voided; an entry written with a trailing "x" is
// voided after it. The first refusal's words.
inline QString enter(Session &session, const QString &entries, const QDateTime &now = at(120))
{
    const QString mistyped = QString::fromLatin1(ChangeReason::Standard[0]);
    const QString wrongSession = QString::fromLatin1(ChangeReason::Standard[2]);
    const auto clock = [&session](int minute) {
        return session.record().setup.start.addSecs(qint64(minute) * 60).time();
    };
    for (QString entry : entries.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool voided = entry.endsWith(QLatin1Char('x'));
        if (voided)
            entry.chop(1);
        const char kind = entry.at(0).toLatin1();
        const QString rest = entry.mid(1);
        const TimedLevel level = timedLevels(entry.section(QLatin1Char(':'), -1)).constFirst();
        SessionRefusal answer;
        if (kind == 's')
            answer = session.markServed(rest.section(QLatin1Char('@'), 0, 0).toInt(),
                                        clock(rest.section(QLatin1Char('@'), 1).toInt()), now);
        else if (kind == 'b')
            answer = session.serveBooster(clock(rest.toInt()), 10, now);
        else if (kind == 'c')
            answer = session.correct(rest.section(QLatin1Char(':'), 0, 0).toInt(),
                                     readingValues(level.minute, level.level), mistyped, now);
        else if (kind == 'v')
            answer = session.voidEntry(rest.toInt(), wrongSession, now);
        else
            answer = session.addReading(clock(level.minute), level.level, now);
        if (voided && !answer.refused())
            answer =
                session.voidEntry(session.record().entries.constLast().entry, wrongSession, now);
        if (answer.refused())
            return answer.message;
    }
    return {};
}

// Entries as a record may hold them, unchecked: appended with the next number.
inline int append(SessionRecord &record, SessionEntry entry)
{
    int next = 2;
    for (const SessionEntry &each : record.entries)
        next = std::max(next, each.entry + 1);
    entry.entry = next;
    record.entries.append(entry);
    return next;
}

inline int appendServed(SessionRecord &record, int portion, int minute)
{
    return append(record, entryOf(0, EntryEvent::Served, {}, servedValues(minute), portion));
}

inline int appendReading(SessionRecord &record, int minute, float level)
{
    return append(record, entryOf(0, EntryEvent::Reading, {}, readingValues(minute, level)));
}

// The worked example's booster after the readings 70=0.06 85=0.057 100=0.054: 25 ml of spirit
// and 150 ml of mixer for the target 0.08 - 0.054 g/100 ml.
inline int appendBooster(SessionRecord &record, int minute, float drinkingMinutes)
{
    return append(record,
                  entryOf(0, EntryEvent::Booster, {}, boosterValues(minute, drinkingMinutes), 0, 0,
                          25, 150, 0.08f - 0.054f));
}

inline int appendVoid(SessionRecord &record, int entry)
{
    return append(record, entryOf(0, EntryEvent::Void, {}, {}, 0, 0, 0, 0, 0, entry,
                                  QStringLiteral("wrong time")));
}

// The same entries as `enter` takes, but readings, servings and boosters only, appended unchecked
// as a file may hold them; "s3@50p" marks portion 3 served in its own row, as version 1 does.
inline void appendEntries(SessionRecord &record, const QString &entries)
{
    for (QString entry : entries.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool voided = entry.endsWith(QLatin1Char('x'));
        const bool inPortionRow = entry.endsWith(QLatin1Char('p'));
        if (voided || inPortionRow)
            entry.chop(1);
        const QString rest = entry.mid(1);
        const int number = rest.section(QLatin1Char('@'), 0, 0).toInt();
        int made = 0;
        if (inPortionRow) // the portions are the record's first entries
            record.entries[number - 1].values.servedAtMinute = rest.section('@', 1).toInt();
        else if (entry.startsWith(QLatin1Char('s')))
            made = appendServed(record, number, rest.section(QLatin1Char('@'), 1).toInt());
        else if (entry.startsWith(QLatin1Char('b')))
            made = appendBooster(record, rest.toInt(), 10);
        else
            made = appendReading(record, timedLevels(entry).constFirst().minute,
                                 timedLevels(entry).constFirst().level);
        if (voided)
            appendVoid(record, made);
    }
}

// Readings in `text`; one written with a trailing "x" ("60=0.09x") is voided after it.
inline void appendReadings(SessionRecord &record, const QString &text)
{
    appendEntries(record, text);
}

} // namespace SessionSupport
