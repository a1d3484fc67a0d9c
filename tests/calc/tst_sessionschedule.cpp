#include "calc/session/ScheduleText.h"
#include "calc/session/SessionSchedule.h"
#include "tests/support/SessionSupport.h"

#include <QTest>

using namespace SessionSupport;

namespace {

// The worked example (portions planned at 0, 13 and 27 minutes, drinking over 40) as either
// beverage, with `entries` appended as SessionSupport::appendEntries reads them.
SessionReport reportOf(const QString &entries, bool placebo = false, int nowMinute = 600)
{
    auto session = workedSession();
    session->setSessionCode(QStringLiteral("T-017"));
    session->setBeverage(placebo, 0);
    SessionRecord record = session->record();
    appendEntries(record, entries);
    return evaluateSession(record, at(nowMinute));
}

// "portion 2@13 reading@55"
QString itemsText(const SessionSchedule &schedule)
{
    QStringList items;
    for (const DueItem &item : schedule.items)
        items << (item.kind == DueKind::Portion
                      ? QStringLiteral("portion %1@%2").arg(item.portion).arg(item.atMinute)
                      : QStringLiteral("reading@%1").arg(item.atMinute));
    return items.join(QLatin1Char(' '));
}

const QString Served = QStringLiteral("s1@0 s2@13 s3@27 ");
const QString Falling = Served + QStringLiteral("70=0.06 85=0.057 100=0.054 ");

} // namespace

class TestSessionSchedule : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // What is due, from the entries alone; a placebo's from the same entries is the same.
    void items_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<int>("every");
        QTest::addColumn<bool>("duringDrinking");
        QTest::addColumn<QString>("due");
        QTest::newRow("nothing served")
            << "" << 15 << false << "portion 1@0 portion 2@13 portion 3@27 reading@55";
        QTest::newRow("served: the wait after drinking") << Served << 15 << false << "reading@55";
        QTest::newRow("the last portion late") << "s1@0 s2@13 s3@50" << 15 << false << "reading@65";
        QTest::newRow("the late portion voided")
            << "s1@0 s2@13 s3@50x" << 15 << false << "portion 3@27 reading@55";
        QTest::newRow("a reading after the wait")
            << Served + "55=0.07" << 15 << false << "reading@70";
        QTest::newRow("a late reading") << Served + "62=0.07" << 15 << false << "reading@77";
        QTest::newRow("a reading in the wait") << Served + "45=0.05" << 15 << false << "reading@60";
        QTest::newRow("a reading voided") << Served + "62=0.07x" << 15 << false << "reading@55";
        QTest::newRow("a baseline") << Served + "-10=0" << 15 << false << "reading@55";
        QTest::newRow("every 10 minutes") << Served + "55=0.07" << 10 << false << "reading@65";
        QTest::newRow("after a booster: its drinking's end and the wait")
            << Falling + "b110" << 15 << false << "reading@135";
        QTest::newRow("after a booster, a reading")
            << Falling + "b110 140=0.07" << 15 << false << "reading@155";
        // Released by a fall a body can make: 0.035 in 90 minutes.
        QTest::newRow("released") << Falling + "190=0.019" << 15 << false << "";
        QTest::newRow("during drinking: from the start")
            << "s1@0" << 15 << true << "portion 2@13 reading@15 portion 3@27";
        QTest::newRow("during drinking: a reading taken")
            << "s1@0 20=0.02" << 15 << true << "portion 2@13 portion 3@27 reading@35";
        QTest::newRow("during drinking: after a booster")
            << Falling + "b110" << 15 << true << "reading@125";
    }
    void items()
    {
        QFETCH(QString, entries);
        QFETCH(int, every);
        QFETCH(bool, duringDrinking);
        QFETCH(QString, due);
        const ProtocolSchedule schedule{every, duringDrinking};
        QCOMPARE(itemsText(scheduleOf(reportOf(entries), schedule)), due);
        if (!entries.contains(QLatin1Char('b'))) // a placebo gets no booster
            QCOMPARE(itemsText(scheduleOf(reportOf(entries, true), schedule)), due);
    }

    // An item is overdue once its minute has passed, not at it.
    void overdue_data()
    {
        QTest::addColumn<int>("now");
        QTest::addColumn<int>("overdue");
        QTest::newRow("before all") << -5 << 0;
        QTest::newRow("at the first") << 0 << 0;
        QTest::newRow("after two") << 14 << 2;
        QTest::newRow("after all") << 60 << 4;
    }
    void overdue()
    {
        QFETCH(int, now);
        QFETCH(int, overdue);
        QCOMPARE(scheduleOf(reportOf(QString())).overdueAt(now), overdue);
    }

    // The observer's rows: each reading on time, from the next one due.
    void readingTimes_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<int>("until");
        QTest::addColumn<int>("least");
        QTest::addColumn<QList<int>>("times");
        QTest::newRow("until two hours") << Served << 120 << 3 << QList<int>{55, 70, 85, 100, 115};
        QTest::newRow("at least three") << Served << 40 << 3 << QList<int>{55, 70, 85};
        QTest::newRow("from a late reading")
            << Served + "62=0.07" << 100 << 0 << QList<int>{77, 92};
        QTest::newRow("released: on all the same")
            << Falling + "115=0.019" << 160 << 0 << QList<int>{130, 145, 160};
    }
    void readingTimes()
    {
        QFETCH(QString, entries);
        QFETCH(int, until);
        QFETCH(int, least);
        QFETCH(QList<int>, times);
        QCOMPARE(::readingTimes(reportOf(entries), {}, until, least), times);
    }

    // The Lab Day's row and the session window's line at a moment, `seconds` after the start.
    void words_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("row"); // next, at, in, reading, at, age, state
        QTest::addColumn<QString>("line");
        QTest::newRow("before the start")
            << "" << -600
            << QStringList{"Portion 1", "14:00", "in 10:00", "none yet", "", "", "Not yet released"}
            << "Next: portion 1 at 14:00, in 10:00";
        QTest::newRow("more than an hour ahead")
            << "" << -4205 << QStringList{"Portion 1", "14:00", "in 1:10:05",      "none yet",
                                          "",          "",      "Not yet released"}
            << "Next: portion 1 at 14:00, in 1:10:05";
        QTest::newRow("due now") << Served << 55 * 60
                                 << QStringList{"Reading", "14:55", "due now",         "none yet",
                                                "",        "",      "Not yet released"}
                                 << "Due: reading at 14:55, due now";
        QTest::newRow("overdue") << Served << 60 * 60 + 30
                                 << QStringList{"Reading", "14:55", "overdue by 5:30", "none yet",
                                                "",        "",      "Not yet released"}
                                 << "Due: reading at 14:55, overdue by 5:30";
        QTest::newRow("the limb shown") << Falling << 101 * 60
                                        << QStringList{"Reading",
                                                       "15:55",
                                                       "in 14:00",
                                                       "0.054 g/100 ml",
                                                       "15:40",
                                                       "1 min",
                                                       "Descending limb shown at 15:40"}
                                        << "Next: reading at 15:55, in 14:00";
        QTest::newRow("released") << Falling + "190=0.019" << 205 * 60
                                  << QStringList{"Nothing",          "",      "",
                                                 "0.019 g/100 ml",   "17:10", "15 min",
                                                 "Released at 17:10"}
                                  << "Nothing is due: released at 17:10.";
    }
    void words()
    {
        QFETCH(QString, entries);
        QFETCH(int, seconds);
        QFETCH(QStringList, row);
        QFETCH(QString, line);
        const SessionReport report = reportOf(entries);
        const ScheduleText text =
            describeSchedule(report, scheduleOf(report), start().addSecs(seconds));
        QCOMPARE(text.session, QStringLiteral("T-017"));
        QCOMPARE((QStringList{text.next, text.at, text.in, text.reading, text.readingAt, text.age,
                              text.state}),
                 row);
        QCOMPARE(text.nextLine, line);
        QCOMPARE(text.due, line.startsWith(QLatin1String("Due")));
    }
};

QTEST_MAIN(TestSessionSchedule)
#include "tst_sessionschedule.moc"
