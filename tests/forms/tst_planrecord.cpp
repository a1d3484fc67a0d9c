#include "calc/record/RecordReader.h"
#include "calc/session/SessionText.h"
#include "forms/chart/PlanRecord.h"
#include "tests/support/ChartSessions.h"
#include "tests/support/PrintedPdf.h"
#include "tests/support/ReferenceFiles.h"

#include <QTest>

using namespace SessionSupport;

namespace {

// The worked example's session of twelve portions, each served a minute after its time: twelve
// readings 20 minutes apart from 23 minutes rising to 0.08 and falling again, the last below the
// release level, and a booster at 130 minutes over 20.
SessionRecord twelveReadings()
{
    Session recorded(workedExampleInput(), {12, 0.02f}, {}, QStringLiteral("test"), at(-10));
    recorded.setLocale(QLocale::c());
    recorded.setStart(start());
    recorded.setSessionCode(QStringLiteral("T-017"));
    recorded.setOperatorInitials(QStringLiteral("AB"));
    const QDateTime later = at(360);
    for (const PortionLine &portion : evaluateSession(recorded, later).portions)
        recorded.markServed(portion.portion.number, portion.portion.atMinute + 1, later);
    for (int i = 0; i < 12; ++i) {
        const int minute = 23 + i * 20;
        if (minute > 130 && !evaluateSession(recorded, later).booster())
            recorded.serveBooster(130, 20, later);
        recorded.addReading(minute, i < 4 ? 0.02f * float(i + 1) : 0.08f - 0.008f * float(i - 3),
                            later);
    }
    return recorded.record();
}

// A session by name: "twelve readings", a name of ChartSessions, a reference file of tests/data
// ("v2-alcohol.csv"), "voided readings" (two hundred, every other one voided) or "beyond the
// chart" (a reading of 1E+38).
SessionRecord recordFor(const QString &name)
{
    if (name == QLatin1String("twelve readings"))
        return twelveReadings();
    if (name.endsWith(QLatin1String(".csv"))) {
        const RecordReading reading = RecordReader::read(ReferenceFiles::bytes(name), name);
        return reading.record ? *reading.record : SessionRecord();
    }
    SessionRecord record = ChartSessions::record(QStringLiteral("plain"));
    if (name == QLatin1String("voided readings")) {
        for (int i = 0; i < 200; ++i) {
            const int entry = appendReading(record, i, 0.05f);
            if (i % 2 == 1)
                appendVoid(record, entry);
        }
    } else if (name == QLatin1String("beyond the chart")) {
        appendReading(record, 70, 1e38f);
    } else {
        record = ChartSessions::record(name);
    }
    return record;
}

} // namespace

class TestPlanRecord : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // The record says everything the session holds, on as many pages as it takes: a placebo's
    // without its alcohol or anything expected of it, the corrections and voids below the chart.
    // Every page names the session and its place among the pages; the last has the lines for the
    // operator's signature and the date.
    void printsTheWholeRecord_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<bool>("letter");          // the page's size: US Letter, else A4
        QTest::addColumn<QStringList>("protocol"); // as the window passes it
        QTest::addColumn<QStringList>("mentions");
        QTest::addColumn<QStringList>("foot"); // below the chart
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<int>("pages");
        const QStringList always = {"Session Plan", "Version 2.1.0"};
        const QStringList caveat{"Measure breath alcohol"};
        // The band's edges as pourwise-dose --band prints them for the worked example.
        const QStringList expected{
            "Expected peak BAL: 0.0807 g/100 ml at 15:10",
            "peak between 0.0585 and 0.1029 g/100 ml.", "Expected below 0.02 g/100 ml at 19:13",
            "between 17:31 and 21:35; only a reading releases a participant (levels in g/100 ml).",
            "Expected zero at 20:33"};
        const QString bandNote = SessionText::bandNote();
        QTest::newRow("three portions")
            << "plain" << false << QStringList{"Protocol: Arm A", "Limits: checked"}
            << always + expected +
                   QStringList{"14:27", "Protocol: Arm A Limits: checked", "Clock time"}
            << QStringList{bandNote} + caveat
            << QStringList{"Corrections and voids", "Name", "Personal forecast"} << 1;
        // Under the expected times, the forecast of the readings: as the window says it.
        QTest::newRow("a personal forecast")
            << "personal" << false << QStringList{}
            << always + QStringList{"Personal forecast from 5 readings: falling 0.0155 g/100 ml "
                                    "per hour",
                                    "below 0.02 at 19:05"}
            << QStringList{bandNote} + caveat << QStringList{} << 1;
        QTest::newRow("US Letter, a session of twelve portions and readings")
            << "twelve readings" << true << QStringList{}
            << always + QStringList{"Session code: T-017",
                                    "Served",
                                    "14:43",
                                    "Total",
                                    "Release level reached at 18:03",
                                    "Booster served at 16:10"}
            << caveat << QStringList{} << 2;
        QTest::newRow("placebo")
            << "placebo" << false << QStringList{}
            << always + QStringList{"Placebo: 5 ml of the spirit floated on each portion",
                                    "Float (ml)", "Total (ml)", "Placebo: no curve is expected.",
                                    "Protocol: none"}
            << QStringList{}
            << QStringList{"Dose: alcohol",   "Alcohol (ml)",   "80 % of participants",
                           "Expected peak",   "Expected below", "Expected zero",
                           "Peak 0",          "Zero",           "Measure breath alcohol",
                           "The band assumes"}
            << 1;
        QTest::newRow("corrections and voids")
            << "v2-alcohol.csv" << false << QStringList{}
            << always + QStringList{"Recorded under the protocol \"Arm A\"", "(corrected)",
                                    // after the booster, against the booster's course
                                    "0.0634 -0.0024 within voided"}
            << caveat + QStringList{"Corrections and voids",
                                    "corrected to portion 2 served at 14:18. Reason: wrong time.",
                                    "voided. Reason: entered for the wrong session."}
            << QStringList{} << 2;
        // Two hundred readings, every other one voided: the first and the last of each, and
        // every void.
        QTest::newRow("more than a page holds")
            << "voided readings" << false << QStringList{}
            << always + QStringList{"5 14:00 0.05", "302 17:18 0.05", "303 17:19 0.05"}
            << QStringList{"Corrections and voids", "Entry 7,", "Entry 304,"}
            << QStringList{"more readings", "more corrections and voids"} << 7;
        QTest::newRow("beyond the chart")
            << "beyond the chart" << false << QStringList{} << always
            << QStringList{"Some values lie beyond what the chart can show: the reading 1E+38 "
                           "g/100 ml at 15:10, marked at the top."}
            << QStringList{} << 1;
    }
    void printsTheWholeRecord()
    {
        QFETCH(QString, session);
        QFETCH(bool, letter);
        QFETCH(QStringList, protocol);
        QFETCH(QStringList, mentions);
        QFETCH(QStringList, foot);
        QFETCH(QStringList, absent);
        QFETCH(int, pages);
        const SessionRecord record = recordFor(session);
        QVERIFY(!record.entries.isEmpty());
        const PrintedPdf::Printed printed = PrintedPdf::print(
            [&](QPdfWriter &pdf) {
                return PlanRecord::paint(pdf, evaluateSession(record, at(360)),
                                         QDateTime::currentDateTime(), protocol);
            },
            letter ? QPageSize::Letter : QPageSize::A4);
        QVERIFY(printed.painted);
        QCOMPARE(printed.pages, pages);
        if (!PdfText::available())
            QSKIP(PrintedPdf::NotReadable);
        for (const QString &lost : {PrintedPdf::missing(printed.words, mentions),
                                    PrintedPdf::missing(printed.words, foot, "Clock time"),
                                    PrintedPdf::held(printed.words, absent)})
            QVERIFY2(lost.isEmpty(), qPrintable(lost));
        QCOMPARE(printed.pageWords.size(), pages);
        const QString code =
            record.setup.sessionCode.isEmpty() ? QStringLiteral("none") : record.setup.sessionCode;
        for (int page = 1; page <= pages; ++page) {
            const QString words = printed.pageWords[page - 1];
            const QString foot =
                QStringLiteral("Session code: %1 Page %2 of %3").arg(code).arg(page).arg(pages);
            QVERIFY2(words.contains(foot), qPrintable(foot + QStringLiteral(" not in:\n") + words));
            QCOMPARE(words.contains(QLatin1String("Operator's signature: ___")), page == pages);
            QCOMPARE(words.contains(QLatin1String("Date: ___")), page == pages);
        }
    }
};

QTEST_MAIN(TestPlanRecord)
#include "tst_planrecord.moc"
