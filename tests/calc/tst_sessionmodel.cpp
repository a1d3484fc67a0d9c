#include "calc/EntryRules.h"
#include "calc/Session.h"
#include "calc/SessionClock.h"
#include "calc/SessionEntries.h"
#include "tests/support/SessionSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace SessionSupport;

Q_DECLARE_METATYPE(SessionFault)
Q_DECLARE_METATYPE(LevelScale)
Q_DECLARE_METATYPE(EntryValues)

namespace {

const LevelScale Blood;
const LevelScale BreathMgPerL2000{LevelUnit::MilligramsPerLitre, 2000};

// Readings entered each at its own minute; one written with a trailing "x" is voided after it.
void enterReadings(Session &session, const QString &text)
{
    for (QString pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool voided = pair.endsWith(QLatin1Char('x'));
        if (voided)
            pair.chop(1);
        const TimedLevel reading = timedLevels(pair).constFirst();
        const QDateTime now = at(std::max(reading.minute, 0));
        QCOMPARE(session.addReading(clockAt(reading.minute), reading.level, now).fault,
                 SessionFault::None);
        if (voided)
            QCOMPARE(session
                         .voidEntry(session.record().entries.constLast().entry,
                                    QStringLiteral("wrong time"), now)
                         .fault,
                     SessionFault::None);
    }
}

EntryValues readingValues(int minute, float level)
{
    EntryValues values;
    values.atMinute = minute;
    values.level = level;
    return values;
}

EntryValues servedValues(int minute)
{
    EntryValues values;
    values.servedAtMinute = minute;
    return values;
}

EntryValues setupValues(const QDateTime &start, float releaseBal)
{
    EntryValues values;
    values.start = start;
    values.releaseBal = releaseBal;
    return values;
}

// "alcohol+mixer" of each portion of the plan as poured.
QString pouredOf(const SessionRecord &record)
{
    QStringList parts;
    for (const SessionEntry &entry : record.entries) {
        if (entry.event == EntryEvent::Portion)
            parts << QStringLiteral("%1+%2").arg(entry.alcoholMl).arg(entry.mixerMl);
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestSessionModel : public QObject {
    Q_OBJECT

private slots:
    void startsAtTheNextFiveMinutes_data();
    void startsAtTheNextFiveMinutes();
    void startAtAClockTime_data();
    void startAtAClockTime();
    void clockTimes_data();
    void clockTimes();
    void readingLevels_data();
    void readingLevels();
    void questions_data();
    void questions();
    void boosterServed_data();
    void boosterServed();
    void nextUnservedPortion_data();
    void nextUnservedPortion();
    void portionServedTwice();
    void setup_data();
    void setup();
    void changes_data();
    void changes();
    void servedInItsRow_data();
    void servedInItsRow();
    void operatorInitials_data();
    void operatorInitials();
    void saving_data();
    void saving();
    void readOnly();
};

void TestSessionModel::startsAtTheNextFiveMinutes_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QDateTime>("start");

    const QDate day = start().date();
    QTest::newRow("between") << QTime(12, 57, 40) << QDateTime(day, QTime(13, 0));
    QTest::newRow("on the minute") << QTime(13, 0) << QDateTime(day, QTime(13, 0));
    QTest::newRow("just past") << QTime(13, 0, 0, 1) << QDateTime(day, QTime(13, 5));
    QTest::newRow("before midnight: the next day")
        << QTime(23, 58) << QDateTime(day.addDays(1), QTime(0, 0));
}

void TestSessionModel::startsAtTheNextFiveMinutes()
{
    QFETCH(QTime, now);
    QFETCH(QDateTime, start);
    const QDateTime moment(SessionSupport::start().date(), now);
    Session session(workedExampleInput(), SessionPlanSettings{}, SessionProtocol{},
                    QStringLiteral("test"), moment);
    QCOMPARE(session.record().setup.start, start);
}

void TestSessionModel::startAtAClockTime_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("clock");
    QTest::addColumn<int>("day"); // of the start, from today

    QTest::newRow("later today") << QTime(9, 0) << QTime(13, 0) << 0;
    QTest::newRow("earlier today: entered after the start") << QTime(14, 0) << QTime(13, 0) << 0;
    QTest::newRow("just after midnight: tomorrow") << QTime(23, 58) << QTime(0, 5) << 1;
    QTest::newRow("just before midnight: yesterday") << QTime(0, 20) << QTime(23, 40) << -1;
    QTest::newRow("twelve hours either side: the later") << QTime(12, 0) << QTime(0, 0) << 1;
    QTest::newRow("the seconds left out") << QTime(9, 0) << QTime(13, 0, 59) << 0;
}

void TestSessionModel::startAtAClockTime()
{
    QFETCH(QTime, now);
    QFETCH(QTime, clock);
    QFETCH(int, day);
    const QDate today = start().date();
    QCOMPARE(SessionClock::startAt(clock, QDateTime(today, now)),
             QDateTime(today.addDays(day), QTime(clock.hour(), clock.minute())));
}

void TestSessionModel::clockTimes_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("clock");
    QTest::addColumn<int>("nowMinute"); // after the start
    QTest::addColumn<bool>("served");   // a portion served, else a reading
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("refusal");

    const QTime two(14, 0);
    QTest::newRow("after the start") << two << QTime(14, 30) << 30 << false << 30 << "";
    QTest::newRow("180 minutes before the start: a baseline")
        << two << QTime(11, 0) << 0 << false << -180 << "";
    QTest::newRow("181 minutes before: the next day, far ahead of now")
        << two << QTime(10, 59) << 0 << false << 0
        << "ERROR: 10:59 (next day) is more than 5 minutes after the time now (14:00). Enter the "
           "time it happened.";
    QTest::newRow("past midnight: the next day")
        << QTime(23, 30) << QTime(0, 20) << 50 << false << 50 << "";
    QTest::newRow("served past midnight")
        << QTime(23, 30) << QTime(0, 20) << 50 << true << 50 << "";
    QTest::newRow("5 minutes ahead of now") << two << QTime(14, 35) << 30 << false << 35 << "";
    QTest::newRow("6 minutes ahead of now")
        << two << QTime(14, 36) << 30 << true << 0
        << "ERROR: 14:36 is more than 5 minutes after the time now (14:30). Enter the time it "
           "happened.";
    QTest::newRow("no clock time")
        << two << QTime() << 0 << false << 0 << "ERROR: Enter the time as hours and minutes.";
    QTest::newRow("a reading before the start") << two << QTime(13, 50) << 0 << false << -10 << "";
    QTest::newRow("served before the start")
        << two << QTime(13, 50) << 0 << true << 0
        << "ERROR: 13:50 is before the start of drinking at 14:00: nothing is served before the "
           "start.";
}

void TestSessionModel::clockTimes()
{
    QFETCH(QTime, start);
    QFETCH(QTime, clock);
    QFETCH(int, nowMinute);
    QFETCH(bool, served);
    QFETCH(int, minute);
    QFETCH(QString, refusal);
    auto session = workedSession();
    const QDateTime startAt(SessionSupport::start().date(), start);
    QCOMPARE(session->setStart(startAt).fault, SessionFault::None);
    const QDateTime now = startAt.addSecs(nowMinute * 60);
    const SessionRefusal answer =
        served ? session->markServed(1, clock, now) : session->addReading(clock, 0.01f, now);
    QCOMPARE(answer.message, refusal);
    if (answer.refused())
        return;
    const EntryValues &values = session->record().entries.constLast().values;
    QCOMPARE(served ? values.servedAtMinute : values.atMinute, std::optional(minute));
}

void TestSessionModel::readingLevels_data()
{
    QTest::addColumn<float>("level");
    QTest::addColumn<QString>("refusal");

    const QString notFinite = QStringLiteral(
        "ERROR: The reading is not a finite number. Type the level the instrument shows.");
    QTest::newRow("0") << 0.0f << "";
    QTest::newRow("below 0") << -0.01f
                             << "ERROR: Reading \"-0.01\" is below 0. Type the level the "
                                "instrument shows.";
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << notFinite;
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << notFinite;
    QTest::newRow("minus infinite") << -std::numeric_limits<float>::infinity() << notFinite;
}

void TestSessionModel::readingLevels()
{
    QFETCH(float, level);
    QFETCH(QString, refusal);
    auto session = workedSession();
    const qsizetype entries = session->record().entries.size();
    QCOMPARE(session->addReading(clockAt(60), level, at(60)).message, refusal);
    QCOMPARE(session->record().entries.size(), entries + (refusal.isEmpty() ? 1 : 0));
}

void TestSessionModel::questions_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("readings");
    QTest::addColumn<int>("minute");
    QTest::addColumn<float>("reading");
    QTest::addColumn<QStringList>("questions");

    QTest::newRow("an expected level") << Blood << false << "" << 70 << 0.08f << QStringList{};
    QTest::newRow("twice the expected peak")
        << Blood << false << "" << 70 << 0.16f << QStringList{};
    QTest::newRow("more than twice the expected peak")
        << Blood << false << "" << 70 << 0.17f
        << QStringList{"Record a reading of 0.17 g/100 ml? It is 2 times the expected peak "
                       "(0.0807 g/100 ml)."};
    QTest::newRow("in mg/L at 2000:1")
        << BreathMgPerL2000 << false << "" << 70 << 4.0f
        << QStringList{"Record a reading of 4 mg/L? It is 10 times the expected peak (0.4033 "
                       "mg/L)."};
    QTest::newRow("a placebo: more than twice its target")
        << Blood << true << "" << 70 << 0.17f
        << QStringList{"Record a reading of 0.17 g/100 ml? It is 2 times the target (0.0800 g/100 "
                       "ml)."};
    QTest::newRow("the same minute as another")
        << Blood << false << "70=0.06" << 70 << 0.061f
        << QStringList{"Record another reading at 15:10? A reading of 0.06 g/100 ml is already "
                       "recorded at that minute."};
    QTest::newRow("the same minute as a voided reading")
        << Blood << false << "70=0.06x" << 70 << 0.061f << QStringList{};
}

void TestSessionModel::questions()
{
    QFETCH(LevelScale, level);
    QFETCH(bool, placebo);
    QFETCH(QString, readings);
    QFETCH(int, minute);
    QFETCH(float, reading);
    QFETCH(QStringList, questions);
    auto session = workedSession(level);
    if (placebo)
        QCOMPARE(session->setBeverage(true, 0).fault, SessionFault::None);
    enterReadings(*session, readings);
    const SessionCheck check = session->checkReading(clockAt(minute), reading, at(minute));
    QVERIFY(!check.refused());
    QCOMPARE(check.questions, questions);
}

void TestSessionModel::boosterServed_data()
{
    QTest::addColumn<float>("totalLimitMl"); // 0 for no protocol
    QTest::addColumn<int>("questions");

    // The worked example pours 476 ml, its booster 175 ml.
    QTest::newRow("no protocol") << 0.0f << 0;
    QTest::newRow("within the protocol's total") << 700.0f << 0;
    QTest::newRow("over the protocol's total: asked first") << 600.0f << 1;
}

void TestSessionModel::boosterServed()
{
    QFETCH(float, totalLimitMl);
    QFETCH(int, questions);
    SessionProtocol protocol;
    if (totalLimitMl > 0) {
        protocol.protocol = Protocol{};
        protocol.protocol->limits.totalMl = totalLimitMl;
    }
    Session session(workedExampleInput(), SessionPlanSettings{}, protocol, QStringLiteral("test"),
                    at(-10));
    session.setLocale(QLocale::c());
    session.setStart(start());
    session.setOperatorInitials(QStringLiteral("AB"));
    enterReadings(session, QStringLiteral("70=0.06 85=0.057 100=0.054"));

    const SessionCheck check = session.checkBooster(clockAt(110), 10, at(110));
    QVERIFY(!check.refused());
    QCOMPARE(check.questions.size(), questions);
    for (const QString &question : check.questions)
        QVERIFY(question.startsWith(QLatin1String("WARNING: With this booster: ")));
    QCOMPARE(session.serveBooster(clockAt(110), 10, at(110)).fault, SessionFault::None);
    const SessionEntry booster = session.record().entries.constLast();
    QCOMPARE(booster.event, EntryEvent::Booster);
    QCOMPARE(booster.values.servedAtMinute, std::optional(110));
    QCOMPARE(booster.values.drinkingMinutes, std::optional(10.0f));
    QCOMPARE(
        QStringLiteral("%1/%2/%3").arg(booster.alcoholMl).arg(booster.mixerMl).arg(booster.totalMl),
        QStringLiteral("25/150/175"));
    QCOMPARE(booster.boosterTargetBal, 0.08f - 0.054f);

    // At most one booster in force: another only once it is voided.
    QCOMPARE(session.checkBooster(clockAt(115), 10, at(115)).refusal.fault,
             SessionFault::BoosterServedAlready);
    QCOMPARE(session.voidEntry(booster.entry, QStringLiteral("wrong time"), at(115)).fault,
             SessionFault::None);
    QCOMPARE(session.checkBooster(clockAt(115), 10, at(115)).refusal.fault, SessionFault::None);
}

void TestSessionModel::nextUnservedPortion_data()
{
    QTest::addColumn<QString>("served"); // portions, each at its planned minute
    QTest::addColumn<int>("voided");     // the portion whose serving is voided; 0 for none
    QTest::addColumn<int>("next");       // -1 for none

    QTest::newRow("none served") << "" << 0 << 1;
    QTest::newRow("the first") << "1" << 0 << 2;
    QTest::newRow("a gap") << "1 3" << 0 << 2;
    QTest::newRow("all") << "1 2 3" << 0 << -1;
    QTest::newRow("all, one voided") << "1 2 3" << 2 << 2;
}

void TestSessionModel::nextUnservedPortion()
{
    QFETCH(QString, served);
    QFETCH(int, voided);
    QFETCH(int, next);
    auto session = workedSession();
    QMap<int, int> entries;
    for (const QString &number : served.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QCOMPARE(session->markServed(number.toInt(), clockAt(20), at(20)).fault,
                 SessionFault::None);
        entries[number.toInt()] = session->record().entries.constLast().entry;
    }
    if (voided)
        QCOMPARE(session->voidEntry(entries[voided], QStringLiteral("wrong time"), at(30)).fault,
                 SessionFault::None);
    QCOMPARE(evaluateSession(*session, at(30)).nextUnservedPortion().value_or(-1), next);
}

void TestSessionModel::portionServedTwice()
{
    auto session = workedSession();
    QCOMPARE(session->markServed(2, clockAt(13), at(13)).fault, SessionFault::None);
    const SessionRefusal again = session->markServed(2, clockAt(14), at(14));
    QCOMPARE(again.fault, SessionFault::PortionServedAlready);
    QCOMPARE(again.message, QStringLiteral("ERROR: Portion 2 is already marked served at 14:13. A "
                                           "portion marked served by mistake is voided, with a "
                                           "reason, not unmarked."));
    QCOMPARE(session->markServed(4, clockAt(14), at(14)).fault, SessionFault::PortionUnknown);
}

void TestSessionModel::setup_data()
{
    QTest::addColumn<QString>("before"); // "reading", "served" or "saved" first
    QTest::addColumn<QString>("change");
    QTest::addColumn<SessionFault>("refusal");
    QTest::addColumn<QString>("poured"); // after the change

    const QString plan = QStringLiteral("23+136 23+136 22+136");
    QTest::newRow("portions") << ""
                              << "portions 4" << SessionFault::None
                              << "17+102 17+102 17+102 17+102";
    QTest::newRow("a placebo") << ""
                               << "placebo 5" << SessionFault::None << "5+154 5+154 5+153";
    QTest::newRow("a float above the smallest portion")
        << ""
        << "placebo 159" << SessionFault::PlaceboFloat << plan;
    QTest::newRow("13 portions") << ""
                                 << "portions 13" << SessionFault::PlanChoice << plan;
    QTest::newRow("a release level of 0") << ""
                                          << "release 0" << SessionFault::PlanChoice << plan;
    QTest::newRow("the start") << ""
                               << "start" << SessionFault::None << plan;
    QTest::newRow("the start after a reading") << "reading"
                                               << "start" << SessionFault::SetupFixed << plan;
    QTest::newRow("the release level after a reading")
        << "reading"
        << "release 0.03" << SessionFault::SetupFixed << plan;
    QTest::newRow("the beverage after a portion served")
        << "served"
        << "placebo 5" << SessionFault::SetupFixed << plan;
    QTest::newRow("the portions once saved") << "saved"
                                             << "portions 4" << SessionFault::SetupFixed << plan;
    QTest::newRow("the code after a reading") << "reading"
                                              << "code P-2" << SessionFault::None << plan;
    QTest::newRow("the code once saved") << "saved"
                                         << "code P-2" << SessionFault::SetupFixed << plan;
}

void TestSessionModel::setup()
{
    QFETCH(QString, before);
    QFETCH(QString, change);
    QFETCH(SessionFault, refusal);
    QFETCH(QString, poured);
    auto session = workedSession();
    QCOMPARE(session->setSessionCode(QStringLiteral("P-1")).fault, SessionFault::None);
    if (before == QLatin1String("reading"))
        enterReadings(*session, QStringLiteral("5=0.01"));
    else if (before == QLatin1String("served"))
        QCOMPARE(session->markServed(1, clockAt(0), at(0)).fault, SessionFault::None);
    else if (before == QLatin1String("saved")) {
        QCOMPARE(session->prepareToSave(at(-5)).fault, SessionFault::None);
        session->setSaved(QStringLiteral("P-1.csv"));
    }
    QCOMPARE(session->setupFixed(), !before.isEmpty());
    const SessionRecord earlier = session->record();

    const QString what = change.section(QLatin1Char(' '), 0, 0);
    const QString value = change.section(QLatin1Char(' '), 1);
    SessionRefusal answer;
    if (what == QLatin1String("portions"))
        answer = session->setPortions(value.toInt());
    else if (what == QLatin1String("placebo"))
        answer = session->setBeverage(true, value.toFloat());
    else if (what == QLatin1String("release"))
        answer = session->setReleaseLevel(value.toFloat());
    else if (what == QLatin1String("code"))
        answer = session->setSessionCode(value);
    else
        answer = session->setStart(at(30));
    QCOMPARE(answer.fault, refusal);
    QCOMPARE(answer.message.startsWith(QLatin1String("ERROR: ")), answer.refused());
    QCOMPARE(pouredOf(session->record()), poured);
    if (answer.refused())
        QVERIFY(session->record() == earlier);
}

void TestSessionModel::changes_data()
{
    QTest::addColumn<bool>("voiding");
    QTest::addColumn<int>("entry");
    QTest::addColumn<EntryValues>("values");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<SessionFault>("refusal");

    // Entries 2 to 4 are the planned portions; 5 the reading 70=0.06 (corrected to 0.062 by 9);
    // 6 portion 1 served at 0; 7 the reading 85=0.057, voided by 8.
    const QString reason = QStringLiteral("mistyped value");
    const EntryValues reading = readingValues(72, 0.063f);
    QTest::newRow("a reading, corrected again")
        << false << 5 << reading << reason << SessionFault::None;
    QTest::newRow("a served time") << false << 6 << servedValues(2) << reason << SessionFault::None;
    QTest::newRow("the start of drinking")
        << false << 1 << setupValues(at(5), 0.02f) << reason << SessionFault::None;
    QTest::newRow("the release level")
        << false << 1 << setupValues(start(), 0.03f) << reason << SessionFault::None;
    QTest::newRow("a reading voided") << true << 5 << EntryValues{} << reason << SessionFault::None;
    QTest::newRow("a served portion voided")
        << true << 6 << EntryValues{} << reason << SessionFault::None;
    QTest::newRow("no reason") << false << 5 << reading << "" << SessionFault::ReasonMissing;
    QTest::newRow("blanks for a reason")
        << true << 5 << EntryValues{} << "  " << SessionFault::ReasonMissing;
    QTest::newRow("a reason of 200 characters")
        << false << 5 << reading << QString(200, QLatin1Char('r')) << SessionFault::None;
    QTest::newRow("a reason of 201 characters")
        << false << 5 << reading << QString(201, QLatin1Char('r')) << SessionFault::ReasonTooLong;
    QTest::newRow("voided twice") << true << 7 << EntryValues{} << reason
                                  << SessionFault::EntryVoided;
    QTest::newRow("a voided entry corrected")
        << false << 7 << readingValues(85, 0.05f) << reason << SessionFault::EntryVoided;
    QTest::newRow("a correction corrected")
        << false << 9 << readingValues(70, 0.05f) << reason << SessionFault::EntryIsChange;
    QTest::newRow("a void voided")
        << true << 8 << EntryValues{} << reason << SessionFault::EntryIsChange;
    QTest::newRow("a planned portion corrected")
        << false << 2 << servedValues(0) << reason << SessionFault::PlannedPortion;
    QTest::newRow("a planned portion voided")
        << true << 2 << EntryValues{} << reason << SessionFault::PlannedPortion;
    QTest::newRow("the setup voided")
        << true << 1 << EntryValues{} << reason << SessionFault::SetupNotVoidable;
    QTest::newRow("no such entry")
        << false << 99 << reading << reason << SessionFault::EntryUnknown;
    QTest::newRow("values another entry records")
        << false << 5 << servedValues(3) << reason << SessionFault::CorrectionValues;
    QTest::newRow("the values in force")
        << false << 5 << readingValues(70, 0.062f) << reason << SessionFault::CorrectionNoChange;
    QTest::newRow("a negative reading, as if typed")
        << false << 5 << readingValues(70, -0.01f) << reason << SessionFault::ReadingNegative;
    QTest::newRow("a time ahead of now, as if typed")
        << false << 5 << readingValues(130, 0.06f) << reason << SessionFault::TimeAhead;
    QTest::newRow("a served time before the start")
        << false << 6 << servedValues(-5) << reason << SessionFault::ServedBeforeStart;
    QTest::newRow("a release level of 0")
        << false << 1 << setupValues(start(), 0) << reason << SessionFault::PlanChoice;
}

void TestSessionModel::changes()
{
    QFETCH(bool, voiding);
    QFETCH(int, entry);
    QFETCH(EntryValues, values);
    QFETCH(QString, reason);
    QFETCH(SessionFault, refusal);
    auto session = workedSession();
    enterReadings(*session, QStringLiteral("70=0.06"));
    QCOMPARE(session->markServed(1, clockAt(0), at(75)).fault, SessionFault::None);
    enterReadings(*session, QStringLiteral("85=0.057x"));
    QCOMPARE(
        session->correct(5, readingValues(70, 0.062f), QStringLiteral("wrong value"), at(90)).fault,
        SessionFault::None);
    QCOMPARE(session->record().entries.constLast().entry, 9);
    const QList<SessionEntry> earlier = session->record().entries;

    const QDateTime moment = at(120).addMSecs(400);
    const SessionRefusal answer = voiding ? session->voidEntry(entry, reason, moment)
                                          : session->correct(entry, values, reason, moment);
    QCOMPARE(answer.fault, refusal);
    QCOMPARE(answer.message.startsWith(QLatin1String("ERROR: ")), answer.refused());
    const QList<SessionEntry> &entries = session->record().entries;
    QCOMPARE(entries.mid(0, earlier.size()), earlier); // never changed
    QCOMPARE(entries.size(), earlier.size() + (answer.refused() ? 0 : 1));
    if (answer.refused())
        return;
    const SessionEntry &change = entries.constLast();
    QCOMPARE(change.event, voiding ? EntryEvent::Void : EntryEvent::Correction);
    QCOMPARE(change.corrects, entry);
    QCOMPARE(change.reason, reason);
    QCOMPARE(change.operatorInitials, QStringLiteral("AB"));
    QCOMPARE(change.enteredAt, at(120).toUTC());
    const SessionEntries now(session->record());
    const EntryInForce *changed = now.find(entry);
    QCOMPARE(changed->voided(), voiding);
    if (!voiding)
        QCOMPARE(changed->values, values);
}

void TestSessionModel::servedInItsRow_data()
{
    QTest::addColumn<QString>("change"); // "correct", "void" or "void, then serve again"
    QTest::addColumn<int>("servedAt");   // portion 3's serving in force; -1 for none
    QTest::newRow("its time corrected") << "correct" << 30;
    QTest::newRow("voided") << "void" << -1;
    QTest::newRow("voided, then marked served again") << "void, then serve again" << 40;
}

// A version-1 record marks a portion served in the portion's own row (here portion 3, entry 4):
// that serving is corrected and voided as any other.
void TestSessionModel::servedInItsRow()
{
    QFETCH(QString, change);
    QFETCH(int, servedAt);
    SessionRecord record = workedSession()->record();
    record.version = RecordVersion::First;
    QCOMPARE(record.entries[2].number, 3);
    record.entries[2].values.servedAtMinute = 27;
    Session session(record, QStringLiteral("r.csv"));
    QCOMPARE(session.setOperatorInitials(QStringLiteral("AB")).fault, SessionFault::None);
    const QString reason = QStringLiteral("wrong time");
    const SessionRefusal answer = change == QLatin1String("correct")
                                      ? session.correct(4, servedValues(30), reason, at(60))
                                      : session.voidEntry(4, reason, at(60));
    QCOMPARE(answer.fault, SessionFault::None);
    if (change.endsWith(QLatin1String("again")))
        QCOMPARE(session.markServed(3, clockAt(40), at(60)).fault, SessionFault::None);
    const std::optional<ServedMark> served = evaluateSession(session, at(60)).portions[2].served();
    QCOMPARE(served ? served->atMinute : -1, servedAt);
    // Saved, the file is written in the current version.
    QCOMPARE(session.record().version, RecordVersion::First);
    session.setEntriesSaved();
    QCOMPARE(session.record().version, RecordVersion::Current);
}

void TestSessionModel::operatorInitials_data()
{
    QTest::addColumn<QString>("initials");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("two letters") << "AB" << true;
    QTest::newRow("eight letters") << "ABCDEFGH" << true;
    QTest::newRow("letters of another script") << "\u00c5\u00c9" << true;
    QTest::newRow("nine letters") << "ABCDEFGHI" << false;
    QTest::newRow("none") << "" << false;
    QTest::newRow("a digit") << "A1" << false;
    QTest::newRow("a blank") << "A B" << false;
}

void TestSessionModel::operatorInitials()
{
    QFETCH(QString, initials);
    QFETCH(bool, accepted);
    QCOMPARE(acceptsOperatorInitials(initials), accepted);

    Session session(workedExampleInput(), SessionPlanSettings{}, SessionProtocol{},
                    QStringLiteral("test"), at(-10));
    QCOMPARE(session.addReading(clockAt(-5), 0, at(-5)).fault, SessionFault::NoInitials);
    QCOMPARE(session.setOperatorInitials(initials).fault,
             accepted ? SessionFault::None : SessionFault::InitialsInvalid);
    if (!accepted)
        return;
    const QDateTime now = at(-5).addMSecs(700);
    QCOMPARE(session.addReading(clockAt(-5), 0, now).fault, SessionFault::None);
    // The first entry fixes the setup, with its portions, under the same operator and time.
    const SessionRecord &record = session.record();
    QCOMPARE(record.setup.operatorInitials, initials);
    QCOMPARE(record.setup.enteredAt, at(-5).toUTC());
    for (const SessionEntry &entry : record.entries) {
        QCOMPARE(entry.operatorInitials, initials);
        QCOMPARE(entry.enteredAt, at(-5).toUTC());
    }
}

void TestSessionModel::saving_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("initials");
    QTest::addColumn<SessionFault>("refusal");

    QTest::newRow("ready") << "P-1"
                           << "AB" << SessionFault::None;
    QTest::newRow("no session code") << ""
                                     << "AB" << SessionFault::SessionCode;
    QTest::newRow("no initials") << "P-1"
                                 << "" << SessionFault::NoInitials;
}

void TestSessionModel::saving()
{
    QFETCH(QString, code);
    QFETCH(QString, initials);
    QFETCH(SessionFault, refusal);
    Session session(workedExampleInput(), SessionPlanSettings{}, SessionProtocol{},
                    QStringLiteral("test"), at(-10));
    if (!code.isEmpty())
        session.setSessionCode(code);
    if (!initials.isEmpty())
        session.setOperatorInitials(initials);
    QCOMPARE(session.state(), RecordState::NotSaved);
    QCOMPARE(session.prepareToSave(at(-10)).fault, refusal);
    if (refusal != SessionFault::None)
        return;
    QCOMPARE(session.record().setup.enteredAt, at(-10).toUTC());
    session.setSaved(QStringLiteral("P-1.csv"));
    QCOMPARE(session.state(), RecordState::Saved);
    QCOMPARE(session.path(), QStringLiteral("P-1.csv"));
    QVERIFY(session.setupFixed());

    // Every entry is unsaved until the front end has written it.
    QSignalSpy changed(&session, &Session::changed);
    QVERIFY(!session.hasUnsavedEntries());
    QCOMPARE(session.addReading(clockAt(-5), 0, at(-5)).fault, SessionFault::None);
    QCOMPARE(changed.size(), 1);
    QVERIFY(session.hasUnsavedEntries());
    session.setEntriesSaved();
    QVERIFY(!session.hasUnsavedEntries());
}

void TestSessionModel::readOnly()
{
    auto written = workedSession();
    enterReadings(*written, QStringLiteral("70=0.06"));
    Session session(written->record(), QStringLiteral("P-1.csv"),
                    QStringLiteral("the dose computed again differs"));
    session.setOperatorInitials(QStringLiteral("AB"));
    QCOMPARE(session.state(), RecordState::ReadOnly);
    const SessionRefusal answer = session.addReading(clockAt(80), 0.05f, at(80));
    QCOMPARE(answer.message, QStringLiteral("ERROR: The session record is read-only: the dose "
                                            "computed again differs."));
    QCOMPARE(session.voidEntry(5, QStringLiteral("wrong time"), at(80)).fault,
             SessionFault::ReadOnly);
    QVERIFY(session.record() == written->record());
}

QTEST_APPLESS_MAIN(TestSessionModel)
#include "tst_sessionmodel.moc"
