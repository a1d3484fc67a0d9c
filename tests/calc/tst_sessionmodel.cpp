#include "calc/dose/ControlCharacters.h"
#include "calc/record/RecordText.h"
#include "calc/session/EntryCorrection.h"
#include "calc/session/Session.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionEntries.h"
#include "tests/support/LocalZone.h"
#include "tests/support/SessionSupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace SessionSupport;

Q_DECLARE_METATYPE(SessionFault)
Q_DECLARE_METATYPE(LevelScale)
Q_DECLARE_METATYPE(EntryValues)
Q_DECLARE_METATYPE(std::optional<EntryValues>)

namespace {

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
    void startOfDrinking_data();
    void startOfDrinking();
    void entries_data();
    void entries();
    void noClockTime();
    void summerTime_data();
    void summerTime();
    void questions_data();
    void questions();
    void correctionQuestions_data();
    void correctionQuestions();
    void boosterServed_data();
    void boosterServed();
    void nextUnservedPortion_data();
    void nextUnservedPortion();
    void setup_data();
    void setup();
    void changes_data();
    void changes();
    void servedInItsRow_data();
    void servedInItsRow();
    void correctionAsks_data();
    void correctionAsks();
    void operatorAndSaving_data();
    void operatorAndSaving();
    void readOnly();
    void continuedFromVersionOne_data();
    void continuedFromVersionOne();
};

// A new session starts at the next five minutes; a start typed as a clock time is the nearest
// such time, the later of two as near.
void TestSessionModel::startOfDrinking_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("typed"); // none: the new session's own
    QTest::addColumn<int>("day");     // of the start, from today
    QTest::addColumn<QTime>("start");

    const QTime none;
    QTest::newRow("between") << QTime(12, 57, 40) << none << 0 << QTime(13, 0);
    QTest::newRow("on the minute") << QTime(13, 0) << none << 0 << QTime(13, 0);
    QTest::newRow("just past") << QTime(13, 0, 0, 1) << none << 0 << QTime(13, 5);
    QTest::newRow("before midnight: the next day") << QTime(23, 58) << none << 1 << QTime(0, 0);
    QTest::newRow("typed, earlier today") << QTime(14, 0) << QTime(13, 0) << 0 << QTime(13, 0);
    QTest::newRow("typed, the seconds left out")
        << QTime(9, 0) << QTime(13, 0, 59) << 0 << QTime(13, 0);
    QTest::newRow("typed, just after midnight") << QTime(23, 58) << QTime(0, 5) << 1 << QTime(0, 5);
    QTest::newRow("typed, just before midnight")
        << QTime(0, 20) << QTime(23, 40) << -1 << QTime(23, 40);
    QTest::newRow("typed, twelve hours either side: the later")
        << QTime(12, 0) << QTime(0, 0) << 1 << QTime(0, 0);
}

void TestSessionModel::startOfDrinking()
{
    QFETCH(QTime, now);
    QFETCH(QTime, typed);
    QFETCH(int, day);
    QFETCH(QTime, start);
    const QDate today = SessionSupport::start().date();
    const QDateTime moment(today, now);
    QCOMPARE(typed.isValid() ? SessionClock::startAt(typed, moment)
                             : newSession(workedExampleInput(), {}, moment)->record().setup.start,
             QDateTime(today.addDays(day), start));
}

// Clock times become minutes after the start: up to 180 minutes before it a baseline, else the
// next day. Entries refused leave the record as it was.
void TestSessionModel::entries_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QString>("entries"); // as SessionSupport::enter takes them
    QTest::addColumn<int>("nowMinute");   // after the start
    QTest::addColumn<QString>("refusal"); // of the last entry
    QTest::addColumn<int>("minute");      // the last entry's, when entered

    const QTime two(14, 0);
    const QString notFinite = QStringLiteral(
        "ERROR: The reading is not a finite number. Type the level the instrument shows.");
    QTest::newRow("served after the start") << two << "s1@30" << 30 << "" << 30;
    QTest::newRow("180 minutes before the start: a baseline")
        << two << "-180=0.01" << 0 << "" << -180;
    QTest::newRow("181 minutes before: the next day, far ahead of now")
        << two << "-181=0.01" << 0
        << "ERROR: 10:59 (next day) is more than 5 minutes after the time now (14:00). Enter the "
           "time it happened."
        << 0;
    QTest::newRow("past midnight: the next day") << QTime(23, 30) << "50=0.01" << 50 << "" << 50;
    QTest::newRow("5 minutes ahead of now") << two << "35=0.01" << 30 << "" << 35;
    QTest::newRow("6 minutes ahead of now")
        << two << "s1@36" << 30
        << "ERROR: 14:36 is more than 5 minutes after the time now (14:30). Enter the time it "
           "happened."
        << 0;
    QTest::newRow("served before the start")
        << two << "s1@-10" << 0
        << "ERROR: 13:50 is before the start of drinking at 14:00: nothing is served before the "
           "start."
        << 0;
    QTest::newRow("served a minute before the start")
        << two << "s1@-1" << 0
        << "ERROR: 13:59 is before the start of drinking at 14:00: nothing is served before the "
           "start."
        << 0;
    QTest::newRow("a reading of 0") << two << "60=0" << 60 << "" << 60;
    QTest::newRow("a reading below 0")
        << two << "60=-0.01" << 60
        << "ERROR: Reading \"-0.01\" is below 0. Type the level the instrument shows." << 0;
    QTest::newRow("not a number") << two << "60=nan" << 60 << notFinite << 0;
    QTest::newRow("infinite") << two << "60=inf" << 60 << notFinite << 0;
    QTest::newRow("minus infinite") << two << "60=-inf" << 60 << notFinite << 0;
    QTest::newRow("a portion served twice")
        << two << "s2@13 s2@14" << 14
        << "ERROR: Portion 2 is already marked served at 14:13. A portion marked served by "
           "mistake is voided, with a reason, not unmarked."
        << 0;
    QTest::newRow("no such portion")
        << two << "s4@14" << 14 << "ERROR: The plan has no portion 4." << 0;
}

void TestSessionModel::entries()
{
    QFETCH(QTime, start);
    QFETCH(QString, entries);
    QFETCH(int, nowMinute);
    QFETCH(QString, refusal);
    QFETCH(int, minute);
    auto session = workedSession();
    QCOMPARE(session->setStart(QDateTime(SessionSupport::start().date(), start)).fault,
             SessionFault::None);
    const QDateTime now = session->record().setup.start.addSecs(nowMinute * 60);
    QCOMPARE(enter(*session, entries.section(QLatin1Char(' '), 0, -2), now), QString());
    const qsizetype before = session->record().entries.size();
    QCOMPARE(enter(*session, entries.section(QLatin1Char(' '), -1), now), refusal);
    QCOMPARE(session->record().entries.size(), before + (refusal.isEmpty() ? 1 : 0));
    const EntryValues &values = session->record().entries.constLast().values;
    if (refusal.isEmpty())
        QCOMPARE(values.atMinute.value_or(values.servedAtMinute.value_or(-1)), minute);
}

void TestSessionModel::noClockTime()
{
    QCOMPARE(workedSession()->addReading(QTime(), 0.01f, at(10)).message,
             QStringLiteral("ERROR: Enter the time as hours and minutes."));
}

// On the nights New York's clock is put forward (8 March 2026, 02:00 to 03:00) and back (1
// November, 02:00 to 01:00), the minutes are the clock's: the time now, typed as the clock shows
// it, is neither ahead of now nor another minute than now's; and an entry stamped in UTC at an
// hour the clock skips or shows twice reads back.
void TestSessionModel::summerTime_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("minute"); // on the clock
    QTest::addColumn<QByteArray>("stamp");

    const auto utc = [](const char *text) {
        return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toUTC();
    };
    QTest::newRow("put forward: 01:30 to 03:10")
        << utc("2026-03-08T06:30:00Z") << utc("2026-03-08T07:10:00Z") << 100
        << QByteArray("2026-03-08T02:30:00Z");
    QTest::newRow("put back: 00:30 to the second 01:40")
        << utc("2026-11-01T04:30:00Z") << utc("2026-11-01T06:40:00Z") << 70
        << QByteArray("2026-11-01T01:30:00Z");
}

void TestSessionModel::summerTime()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, now);
    QFETCH(int, minute);
    QFETCH(QByteArray, stamp);
    const LocalZone newYork("America/New_York");
    const QDateTime localStart = start.toLocalTime();
    QCOMPARE(SessionClock::minuteOf(now.toLocalTime().time(), localStart.time()), minute);
    QCOMPARE(SessionClock::minutesSince(localStart, now), minute);
    QVERIFY(!SessionClock::aheadOf(minute + SessionClock::AheadMinutes, localStart, now));
    QVERIFY(SessionClock::aheadOf(minute + SessionClock::AheadMinutes + 1, localStart, now));
    // Put back, the clock shows 01:40 twice: the first is the moment.
    const QDateTime moment = SessionClock::momentAt(localStart, minute);
    QCOMPARE(SessionClock::minutesSince(localStart, moment), minute);
    QCOMPARE(moment.toLocalTime().time(), now.toLocalTime().time());
    QVERIFY(moment <= now);
    const std::optional<QDateTime> stamped = RecordText::enteredAtFrom(stamp);
    QVERIFY(stamped);
    QCOMPARE(RecordText::enteredAtText(*stamped), stamp);
}

void TestSessionModel::questions_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("readings");
    QTest::addColumn<float>("reading"); // at 70 minutes
    QTest::addColumn<QStringList>("questions");

    const LevelScale blood;
    QTest::newRow("twice the expected peak") << blood << false << "" << 0.16f << QStringList{};
    QTest::newRow("more than twice the expected peak")
        << blood << false << "" << 0.17f
        << QStringList{"Record a reading of 0.17 g/100 ml? It is 2 times the expected peak "
                       "(0.0807 g/100 ml)."};
    QTest::newRow("in mg/L at 2000:1")
        << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << false << "" << 4.0f
        << QStringList{"Record a reading of 4 mg/L? It is 10 times the expected peak (0.4033 "
                       "mg/L)."};
    QTest::newRow("a placebo: more than twice its target")
        << blood << true << "" << 0.17f
        << QStringList{"Record a reading of 0.17 g/100 ml? It is 2 times the target (0.0800 g/100 "
                       "ml)."};
    QTest::newRow("the same minute as another")
        << blood << false << "70=0.06" << 0.061f
        << QStringList{"Record another reading at 15:10? A reading of 0.06 g/100 ml is already "
                       "recorded at that minute."};
    QTest::newRow("the same minute as a voided reading")
        << blood << false << "70=0.06x" << 0.061f << QStringList{};
    QTest::newRow("a fall faster than a body eliminates")
        << blood << false << "55=0.075" << 0.06f
        << QStringList{"Record a reading of 0.06 g/100 ml? It is 0.015 below the reading at 14:55, "
                       "a fall of 0.060 per hour; no body eliminates faster than 0.040 per hour."};
    QTest::newRow("a fall in mg/L at 2000:1")
        << LevelScale{LevelUnit::MilligramsPerLitre, 2000} << false << "55=0.4" << 0.3f
        << QStringList{"Record a reading of 0.3 mg/L? It is 0.10 below the reading at 14:55, a "
                       "fall of 0.40 per hour; no body eliminates faster than 0.20 per hour."};
    QTest::newRow("a fall within the same minute")
        << blood << false << "70=0.06" << 0.05f
        << QStringList{"Record a reading of 0.05 g/100 ml? It is 0.010 below the reading at 15:10, "
                       "in the same minute; no body eliminates faster than 0.040 per hour.",
                       "Record another reading at 15:10? A reading of 0.06 g/100 ml is already "
                       "recorded at that minute."};
}

void TestSessionModel::questions()
{
    QFETCH(LevelScale, level);
    QFETCH(bool, placebo);
    QFETCH(QString, readings);
    QFETCH(float, reading);
    QFETCH(QStringList, questions);
    auto session = workedSession(level);
    QCOMPARE(session->setBeverage(placebo, 0).fault, SessionFault::None);
    QCOMPARE(enter(*session, readings), QString());
    const SessionCheck check = session->checkReading(clockAt(70), reading, at(70));
    QVERIFY(!check.refused());
    QCOMPARE(check.questions, questions);
}

// A reading corrected is asked about as if typed, against the other readings, never itself:
// entry 5 is the reading 70=0.06, entry 6 85=0.057.
void TestSessionModel::correctionQuestions_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<float>("level"); // entry 6 corrected to
    QTest::addColumn<QStringList>("questions");

    QTest::newRow("its level at its own minute") << 85 << 0.056f << QStringList{};
    QTest::newRow("to the minute of another reading")
        << 70 << 0.061f
        << QStringList{"Record another reading at 15:10? A reading of 0.06 g/100 ml is already "
                       "recorded at that minute."};
    QTest::newRow("a later minute, judged without its own earlier values")
        << 95 << 0.045f << QStringList{};
    QTest::newRow("a fall from the reading before it")
        << 85 << 0.045f
        << QStringList{"Record a reading of 0.045 g/100 ml? It is 0.015 below the reading at "
                       "15:10, a fall of 0.060 per hour; no body eliminates faster than 0.040 per "
                       "hour."};
}

void TestSessionModel::correctionQuestions()
{
    QFETCH(int, minute);
    QFETCH(float, level);
    QFETCH(QStringList, questions);
    auto session = workedSession();
    QCOMPARE(enter(*session, QStringLiteral("70=0.06 85=0.057")), QString());
    const SessionCheck check = session->checkCorrection(6, readingValues(minute, level),
                                                        QStringLiteral("mistyped value"), at(90));
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
    auto session = workedSession({}, protocol);
    QCOMPARE(enter(*session, QStringLiteral("70=0.06 85=0.057 100=0.054")), QString());

    const SessionCheck check = session->checkBooster(clockAt(110), 10, at(110));
    QVERIFY(!check.refused());
    QCOMPARE(check.questions.size(), questions);
    for (const QString &question : check.questions)
        QVERIFY(question.startsWith(QLatin1String("WARNING: With this booster: ")));
    QCOMPARE(session->serveBooster(clockAt(110), 10, at(110)).fault, SessionFault::None);
    const SessionEntry booster = session->record().entries.constLast();
    // As offered (its volumes are in the session's words).
    QCOMPARE(booster.values, boosterValues(110, 10));
    // From 0.054 at 100 minutes carried to 110: 0.0515.
    QCOMPARE(booster.boosterTargetBal, 0.08f - 0.0515f);

    // At most one booster in force: another only once it is voided.
    QCOMPARE(session->checkBooster(clockAt(115), 10, at(115)).refusal.fault,
             SessionFault::BoosterServedAlready);
    QCOMPARE(enter(*session, QStringLiteral("v%1").arg(booster.entry), at(115)), QString());
    QCOMPARE(session->checkBooster(clockAt(115), 10, at(115)).refusal.fault, SessionFault::None);
}

void TestSessionModel::nextUnservedPortion_data()
{
    QTest::addColumn<QString>("served"); // as SessionSupport::enter takes them
    QTest::addColumn<int>("next");       // -1 for none

    QTest::newRow("none served") << "" << 1;
    QTest::newRow("the first") << "s1@20" << 2;
    QTest::newRow("a gap") << "s1@20 s3@20" << 2;
    QTest::newRow("all") << "s1@20 s2@20 s3@20" << -1;
    QTest::newRow("all, one voided") << "s1@20 s2@20x s3@20" << 2;
}

void TestSessionModel::nextUnservedPortion()
{
    QFETCH(QString, served);
    QFETCH(int, next);
    auto session = workedSession();
    QCOMPARE(enter(*session, served, at(30)), QString());
    QCOMPARE(evaluateSession(*session, at(30)).nextUnservedPortion().value_or(-1), next);
}

// The setup changes, and computes the portions again, until the first entry or the first save;
// the session code until the first save.
void TestSessionModel::setup_data()
{
    QTest::addColumn<QString>("before"); // a reading, a portion served, or "saved"
    QTest::addColumn<QString>("change");
    QTest::addColumn<SessionFault>("refusal");
    QTest::addColumn<QString>("poured"); // after the change

    const QString plan = QStringLiteral("23+136 23+136 22+136");
    const auto row = [](const char *name, const char *before, const char *change,
                        SessionFault refusal, const QString &poured) {
        QTest::newRow(name) << QString::fromLatin1(before) << QString::fromLatin1(change) << refusal
                            << poured;
    };
    using enum SessionFault;
    row("portions", "", "portions 4", None, QStringLiteral("17+102 17+102 17+102 17+102"));
    row("a placebo", "", "placebo 5", None, QStringLiteral("5+154 5+154 5+153"));
    row("a float above the smallest portion", "", "placebo 159", PlaceboFloat, plan);
    row("13 portions", "", "portions 13", PlanChoice, plan);
    row("a release level of 0", "", "release 0", PlanChoice, plan);
    row("the start after a reading", "5=0.01", "start", SetupFixed, plan);
    row("the release level after a reading", "5=0.01", "release 0.03", SetupFixed, plan);
    row("the beverage after a portion served", "s1@0", "placebo 5", SetupFixed, plan);
    row("the portions once saved", "saved", "portions 4", SetupFixed, plan);
    row("the code after a reading", "5=0.01", "code P-2", None, plan);
    row("the code once saved", "saved", "code P-2", SetupFixed, plan);
}

void TestSessionModel::setup()
{
    QFETCH(QString, before);
    QFETCH(QString, change);
    QFETCH(SessionFault, refusal);
    QFETCH(QString, poured);
    auto session = workedSession();
    QCOMPARE(session->setSessionCode(QStringLiteral("P-1")).fault, SessionFault::None);
    if (before == QLatin1String("saved")) {
        QCOMPARE(session->prepareToSave(at(-5)).fault, SessionFault::None);
        QCOMPARE(session->record().setup.enteredAt, at(-5).toUTC()); // saved before any entry
        session->setSaved(QStringLiteral("P-1.csv"));
    } else {
        QCOMPARE(enter(*session, before, at(5)), QString());
    }
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
    QCOMPARE(pouredOf(session->record()), poured);
    if (answer.refused())
        QVERIFY(session->record() == earlier);
}

void TestSessionModel::changes_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<std::optional<EntryValues>>("values"); // none: a void
    QTest::addColumn<QString>("reason");
    QTest::addColumn<SessionFault>("refusal");

    // Entries 2 to 4 are the planned portions; 5 the reading 70=0.06 (corrected to 0.062 by 9);
    // 6 portion 1 served at 0; 7 the reading 85=0.057, voided by 8.
    const QString why = QStringLiteral("mistyped value");
    const std::optional<EntryValues> voided;
    const auto reading = [](int minute, float level) {
        return std::optional(readingValues(minute, level));
    };
    const auto served = [](int minute) { return std::optional(servedValues(minute)); };
    const auto setup = [](int startMinute, float releaseBal) {
        return std::optional(setupValues(at(startMinute), releaseBal));
    };
    using enum SessionFault;
    QTest::newRow("a reading, corrected again") << 5 << reading(72, 0.063f) << why << None;
    QTest::newRow("a served time") << 6 << served(2) << why << None;
    QTest::newRow("the start of drinking") << 1 << setup(5, 0.02f) << why << None;
    QTest::newRow("the release level") << 1 << setup(0, 0.03f) << why << None;
    QTest::newRow("a reading voided") << 5 << voided << why << None;
    QTest::newRow("blanks for a reason") << 5 << voided << "  " << ReasonMissing;
    QTest::newRow("a reason of 200 characters")
        << 5 << reading(72, 0.063f) << QString(200, 'r') << None;
    QTest::newRow("a reason of 201 characters")
        << 5 << reading(72, 0.063f) << QString(201, 'r') << ReasonTooLong;
    QTest::newRow("a reason of 200 characters beyond the first 65536")
        << 5 << reading(72, 0.063f) << QStringLiteral("\U0001F37A").repeated(200) << None;
    QTest::newRow("a reason with a tab") << 5 << voided << "wrong\ttime" << ReasonControlCharacter;
    QTest::newRow("a reason on two lines")
        << 5 << reading(72, 0.063f) << "typed 0,61\r\nnot 0.061" << ReasonControlCharacter;
    QTest::newRow("a reason with a NUL")
        << 5 << voided << QString::fromUtf16(u"wrong\u0000time", 11) << ReasonControlCharacter;
    QTest::newRow("a reason with a line separator")
        << 5 << voided << QString::fromUtf16(u"wrong\u2028time") << ReasonControlCharacter;
    QTest::newRow("a reason in another script") << 5 << voided << "\u00e9t\u00e9 \u2013 ok" << None;
    QTest::newRow("a voided entry") << 7 << voided << why << EntryVoided;
    QTest::newRow("a correction") << 9 << reading(70, 0.05f) << why << EntryIsChange;
    QTest::newRow("a planned portion") << 2 << voided << why << PlannedPortion;
    QTest::newRow("the setup voided") << 1 << voided << why << SetupNotVoidable;
    QTest::newRow("no such entry") << 99 << reading(72, 0.063f) << why << EntryUnknown;
    QTest::newRow("values another entry records") << 5 << served(3) << why << CorrectionValues;
    QTest::newRow("the values in force") << 5 << reading(70, 0.062f) << why << CorrectionNoChange;
    QTest::newRow("a negative reading, as if typed")
        << 5 << reading(70, -0.01f) << why << ReadingNegative;
    QTest::newRow("a time ahead of now, as if typed")
        << 5 << reading(130, 0.06f) << why << TimeAhead;
    QTest::newRow("a served time before the start") << 6 << served(-5) << why << ServedBeforeStart;
    QTest::newRow("a release level of 0") << 1 << setup(0, 0) << why << PlanChoice;
}

// A correction or a void is an entry of its own, stamped like any other; the entries before it
// never change.
void TestSessionModel::changes()
{
    QFETCH(int, entry);
    QFETCH(std::optional<EntryValues>, values);
    QFETCH(QString, reason);
    QFETCH(SessionFault, refusal);
    auto session = workedSession();
    QCOMPARE(enter(*session, QStringLiteral("70=0.06 s1@0 85=0.057x c5:70=0.062")), QString());
    const QList<SessionEntry> earlier = session->record().entries;

    const QDateTime moment = at(120).addMSecs(400);
    const SessionRefusal answer = values ? session->correct(entry, *values, reason, moment)
                                         : session->voidEntry(entry, reason, moment);
    QCOMPARE(answer.fault, refusal);
    QCOMPARE(answer.message.startsWith(QLatin1String("ERROR: ")), answer.refused());
    QVERIFY2(!holdsControlCharacter(answer.message), qPrintable(answer.message));
    const QList<SessionEntry> &entries = session->record().entries;
    QCOMPARE(entries.mid(0, earlier.size()), earlier);
    QCOMPARE(entries.size(), earlier.size() + (answer.refused() ? 0 : 1));
    if (answer.refused())
        return;
    QVERIFY(entries.constLast() == entryOf(10, values ? EntryEvent::Correction : EntryEvent::Void,
                                           {at(120).toUTC(), QStringLiteral("AB")},
                                           values.value_or(EntryValues{}), 0, 0, 0, 0, 0, entry,
                                           reason));
    const SessionEntries now(session->record());
    const EntryInForce *changed = now.find(entry);
    QCOMPARE(changed->voided(), !values);
    if (values)
        QCOMPARE(changed->values, *values);
}

// A version-1 record marks a portion served in the portion's own row (here portion 3, entry 4):
// that serving is corrected and voided as any other, and the record saved is in the current
// version from then on.
void TestSessionModel::servedInItsRow_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("servedAt"); // portion 3's serving in force; -1 for none
    QTest::newRow("its time corrected") << "c" << 30;
    QTest::newRow("voided") << "v4" << -1;
    QTest::newRow("voided, then marked served again") << "v4 s3@40" << 40;
}

void TestSessionModel::servedInItsRow()
{
    QFETCH(QString, change);
    QFETCH(int, servedAt);
    SessionRecord record = workedSession()->record();
    record.version = RecordVersion::First;
    appendEntries(record, QStringLiteral("s3@27p"));
    Session session(record, QStringLiteral("r.csv"));
    session.setOperatorInitials(QStringLiteral("AB"));
    if (change == QLatin1String("c"))
        QCOMPARE(session.correct(4, servedValues(30), QStringLiteral("wrong time"), at(60)).fault,
                 SessionFault::None);
    else
        QCOMPARE(enter(session, change, at(60)), QString());
    const std::optional<ServedMark> served = evaluateSession(session, at(60)).portions[2].served();
    QCOMPARE(served ? served->atMinute : -1, servedAt);
    QCOMPARE(session.record().version, RecordVersion::First);
    session.setEntriesSaved();
    QCOMPARE(session.record().version, RecordVersion::Current);
}

// What a correction of an entry asks for: its time in force, as a clock time from the start of
// drinking in force, and a reading's level or a booster's drinking period beside it.
void TestSessionModel::correctionAsks_data()
{
    QTest::addColumn<QString>("entries");    // as appendEntries takes them, after the portions 2-4
    QTest::addColumn<QString>("correction"); // a correction of entry 5 to this reading, or none
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("minute"); // -1: no correction asked for
    QTest::addColumn<QTime>("clock");
    QTest::addColumn<QString>("number");

    const QTime two(14, 0);
    QTest::newRow("a reading: its time taken and its level")
        << "70=0.06"
        << "" << two << 5 << 70 << QTime(15, 10) << "level 0.06";
    QTest::newRow("a reading as corrected")
        << "70=0.06"
        << "72=0.062" << two << 5 << 72 << QTime(15, 12) << "level 0.062";
    QTest::newRow("a baseline reading before the start")
        << "-30=0"
        << "" << two << 5 << -30 << QTime(13, 30) << "level 0";
    QTest::newRow("a serving: its time served") << "s1@3"
                                                << "" << two << 5 << 3 << QTime(14, 3) << "";
    QTest::newRow("a portion served in its own row: its serving")
        << "s3@50p"
        << "" << two << 4 << 50 << QTime(14, 50) << "";
    QTest::newRow("a booster: its time served and its drinking period")
        << "b110"
        << "" << two << 5 << 110 << QTime(15, 50) << "drinking 10";
    QTest::newRow("past midnight")
        << "70=0.06"
        << "" << QTime(23, 30) << 5 << 70 << QTime(0, 40) << "level 0.06";
    QTest::newRow("a planned portion: none") << ""
                                             << "" << two << 2 << -1 << QTime() << "";
    QTest::newRow("the setup: none") << ""
                                     << "" << two << 1 << -1 << QTime() << "";
}

void TestSessionModel::correctionAsks()
{
    QFETCH(QString, entries);
    QFETCH(QString, correction);
    QFETCH(QTime, start);
    QFETCH(int, entry);
    QFETCH(int, minute);
    QFETCH(QTime, clock);
    QFETCH(QString, number);
    SessionRecord record = workedSession()->record();
    appendEntries(record, entries);
    if (!correction.isEmpty()) {
        const TimedLevel level = timedLevels(correction).constFirst();
        append(record,
               entryOf(0, EntryEvent::Correction, {}, readingValues(level.minute, level.level), 0,
                       0, 0, 0, 0, 5, QStringLiteral("mistyped value")));
    }
    const SessionEntries made(record);
    const EntryInForce &target = *made.find(entry);
    const std::optional<EntryCorrection> asked = entryCorrection(target);
    QCOMPARE(asked ? asked->minute : -1, minute);
    if (!asked)
        return;
    QCOMPARE(SessionClock::clockAfter(start, asked->minute), clock);
    QCOMPARE(SessionClock::minuteOf(clock, start), minute);
    using Number = EntryCorrection::Number;
    const QString asText = asked->number == Number::None
                               ? QString()
                               : QStringLiteral("%1 %2")
                                     .arg(asked->number == Number::Level ? "level" : "drinking")
                                     .arg(double(asked->value));
    QCOMPARE(asText, number);
    // Taken as offered, the correction carries every value the entry records, as they stand.
    const EntryValues offered = asked->corrected(asked->minute, asked->value);
    QVERIFY(fitsEvent(offered, changedAs(target.entry)));
    QCOMPARE(offered, target.values);
}

void TestSessionModel::operatorAndSaving_data()
{
    QTest::addColumn<QString>("initials");
    QTest::addColumn<QString>("code");
    QTest::addColumn<SessionFault>("refusal"); // of the initials, else of the save

    using enum SessionFault;
    QTest::newRow("two letters") << "AB"
                                 << "P-1" << None;
    QTest::newRow("eight letters") << "ABCDEFGH"
                                   << "P-1" << None;
    QTest::newRow("letters of another script") << "\u00c5\u00c9"
                                               << "P-1" << None;
    QTest::newRow("nine letters") << "ABCDEFGHI"
                                  << "P-1" << InitialsInvalid;
    QTest::newRow("none") << ""
                          << "P-1" << InitialsInvalid;
    QTest::newRow("a digit") << "A1"
                             << "P-1" << InitialsInvalid;
    QTest::newRow("an escape") << "A\x1b[B"
                               << "P-1" << InitialsInvalid;
    QTest::newRow("a NUL") << QString::fromUtf16(u"A\u0000B", 3) << "P-1" << InitialsInvalid;
    QTest::newRow("no session code") << "AB"
                                     << "" << SessionCode;
    QTest::newRow("a session code with a tab") << "AB"
                                               << "P\t1" << SessionCode;
    QTest::newRow("a session code with a NUL")
        << "AB" << QString::fromUtf16(u"P\u00001", 3) << SessionCode;
}

// No entry and no save without the operator's initials, and no save without a session code. The
// first entry fixes the setup, with its portions, under the same operator and time; every entry
// is unsaved until the front end has written it.
void TestSessionModel::operatorAndSaving()
{
    QFETCH(QString, initials);
    QFETCH(QString, code);
    QFETCH(SessionFault, refusal);
    using enum SessionFault;
    auto session = newSession();
    session->setSessionCode(code);
    QCOMPARE(session->prepareToSave(at(-10)).fault,
             acceptsSessionCode(code) ? NoInitials : SessionCode);
    QCOMPARE(session->addReading(clockAt(-5), 0, at(-5)).fault, NoInitials);
    QCOMPARE(session->setOperatorInitials(initials).fault,
             refusal == InitialsInvalid ? InitialsInvalid : None);
    if (refusal == InitialsInvalid)
        return;
    QSignalSpy changed(session.get(), &Session::changed);
    QCOMPARE(session->addReading(clockAt(-5), 0, at(-5).addMSecs(700)).fault, None);
    QCOMPARE(changed.size(), 1);
    const SessionRecord &record = session->record();
    QCOMPARE(record.setup.operatorInitials, initials);
    QCOMPARE(record.setup.enteredAt, at(-5).toUTC());
    for (const SessionEntry &entry : record.entries) {
        QCOMPARE(entry.operatorInitials, initials);
        QCOMPARE(entry.enteredAt, at(-5).toUTC());
    }

    QVERIFY(session->hasUnsavedEntries());
    QCOMPARE(session->state(), RecordState::NotSaved);
    QCOMPARE(session->prepareToSave(at(-3)).fault, refusal);
    if (refusal != None)
        return;
    session->setSaved(QStringLiteral("P-1.csv"));
    QCOMPARE(session->state(), RecordState::Saved);
    QVERIFY(!session->hasUnsavedEntries());
    QCOMPARE(session->addReading(clockAt(-4), 0, at(-4)).fault, None);
    QVERIFY(session->hasUnsavedEntries());
    session->setEntriesSaved();
    QVERIFY(!session->hasUnsavedEntries());
}

void TestSessionModel::readOnly()
{
    auto written = workedSession();
    QCOMPARE(enter(*written, QStringLiteral("70=0.06")), QString());
    Session session(written->record(), QStringLiteral("P-1.csv"),
                    QStringLiteral("the dose computed again differs"));
    session.setOperatorInitials(QStringLiteral("AB"));
    QCOMPARE(session.state(), RecordState::ReadOnly);
    QCOMPARE(enter(session, QStringLiteral("80=0.05")),
             QStringLiteral("ERROR: The session record is read-only: the dose computed again "
                            "differs."));
    QCOMPARE(session.voidEntry(5, QStringLiteral("wrong time"), at(80)).fault,
             SessionFault::ReadOnly);
    QVERIFY(session.record() == written->record());
}

// A version-1 record goes on in the current version with a correction of its setup that changes
// nothing and says why, by the operator, before the entry that made it go on; a record of the
// current version gets none.
void TestSessionModel::continuedFromVersionOne_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("saved"); // to its file, to be added to
    QTest::newRow("version 1") << RecordVersion::First << true;
    QTest::newRow("version 2") << RecordVersion::Current << true;
    QTest::newRow("version 1, read-only") << RecordVersion::First << false;
}

void TestSessionModel::continuedFromVersionOne()
{
    QFETCH(int, version);
    QFETCH(bool, saved);
    SessionRecord record = workedSession()->record();
    record.version = version;
    appendEntries(record, QStringLiteral("70=0.06"));
    Session session(record, QStringLiteral("r.csv"), saved ? QString() : QStringLiteral("cut"));
    session.setOperatorInitials(QStringLiteral("AB"));
    const SessionReport before = evaluateSession(session, at(90));

    session.continueFromVersionOne(at(90));
    const bool continued = version == RecordVersion::First && saved;
    QCOMPARE(session.record().entries.size(), record.entries.size() + (continued ? 1 : 0));
    QCOMPARE(session.record().entries.mid(0, record.entries.size()), record.entries);
    if (!continued)
        return;
    const EntryValues setup = setupValues(at(0), record.setup.plan.releaseLevel);
    QVERIFY(session.record().entries.constLast() ==
            entryOf(int(record.entries.size()) + 2, EntryEvent::Correction,
                    {at(90).toUTC(), QStringLiteral("AB")}, setup, 0, 0, 0, 0, 0, 1,
                    QStringLiteral("continued_from_version1")));
    // Nothing in force changes: the start and the release level are as they were.
    const SessionReport after = evaluateSession(session, at(90));
    QCOMPARE(after.start, before.start);
    QCOMPARE(after.releaseBal, before.releaseBal);
    QCOMPARE(after.history.size(), 1);
}

QTEST_APPLESS_MAIN(TestSessionModel)
#include "tst_sessionmodel.moc"
