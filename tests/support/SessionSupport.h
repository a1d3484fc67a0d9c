#pragma once

#include "calc/Session.h"
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

inline std::unique_ptr<Session> workedSession(const LevelScale &level = {})
{
    DoseInput input = workedExampleInput();
    input.level = level;
    auto session = std::make_unique<Session>(input, SessionPlanSettings{}, SessionProtocol{},
                                             QStringLiteral("test"), at(-10));
    session->setLocale(QLocale::c());
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
    SessionEntry entry;
    entry.event = EntryEvent::Served;
    entry.number = portion;
    entry.values.servedAtMinute = minute;
    return append(record, entry);
}

inline int appendReading(SessionRecord &record, int minute, float level)
{
    SessionEntry entry;
    entry.event = EntryEvent::Reading;
    entry.values.atMinute = minute;
    entry.values.level = level;
    return append(record, entry);
}

// The worked example's booster after the readings 70=0.06 85=0.057 100=0.054: 25 ml of spirit
// and 150 ml of mixer for the target 0.08 - 0.054 g/100 ml.
inline int appendBooster(SessionRecord &record, int minute, float drinkingMinutes)
{
    SessionEntry entry;
    entry.event = EntryEvent::Booster;
    entry.values.servedAtMinute = minute;
    entry.values.drinkingMinutes = drinkingMinutes;
    entry.alcoholMl = 25;
    entry.mixerMl = 150;
    entry.totalMl = 175;
    entry.boosterTargetBal = 0.08f - 0.054f;
    return append(record, entry);
}

inline int appendVoid(SessionRecord &record, int entry)
{
    SessionEntry change;
    change.event = EntryEvent::Void;
    change.corrects = entry;
    change.reason = QStringLiteral("wrong time");
    return append(record, change);
}

// Readings in `text`; one written with a trailing "x" ("60=0.09x") is voided after it.
inline void appendReadings(SessionRecord &record, const QString &text)
{
    for (QString pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool voided = pair.endsWith(QLatin1Char('x'));
        if (voided)
            pair.chop(1);
        const TimedLevel reading = timedLevels(pair).constFirst();
        const int entry = appendReading(record, reading.minute, reading.level);
        if (voided)
            appendVoid(record, entry);
    }
}

} // namespace SessionSupport
