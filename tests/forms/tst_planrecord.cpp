#include "calc/RecordReader.h"
#include "forms/PlanRecord.h"
#include "tests/support/ChartSessions.h"
#include "tests/support/PdfText.h"
#include "tests/support/ReferenceFiles.h"

#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace SessionSupport;

namespace {

// The worked example's session of `portions` portions: each served a minute after its time,
// twelve readings 20 minutes apart from 23 minutes rising to 0.08 and falling again, the last
// below the release level, and a booster at 130 minutes over 20.
SessionRecord twelveReadings(int portions)
{
    Session recorded(workedExampleInput(), {portions, 0.02f}, {}, QStringLiteral("test"), at(-10));
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

// A session by name: "plain N" (N portions, nothing entered), "twelve readings N", a name of
// ChartSessions, a reference file of tests/data ("v2-alcohol.csv"), "voided readings" (two
// hundred, every other one voided) or "beyond the chart" (a reading of 1E+38).
SessionRecord recordFor(const QString &name)
{
    const int portions = name.section(QLatin1Char(' '), -1).toInt();
    if (name.startsWith(QLatin1String("plain "))) {
        Session session(workedExampleInput(), {portions, 0.02f}, {}, QStringLiteral("test"),
                        at(-10));
        session.setStart(start());
        return session.record();
    }
    if (name.startsWith(QLatin1String("twelve readings ")))
        return twelveReadings(portions);
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

    // The page says what the session holds, on one page whatever it holds: a placebo's without
    // its alcohol or anything expected of it, the corrections and voids at its foot, below the
    // chart.
    void printsOnePage_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("pageSize");
        QTest::addColumn<QStringList>("protocol"); // as the window passes it
        QTest::addColumn<QStringList>("mentions");
        QTest::addColumn<QStringList>("foot"); // below the chart
        QTest::addColumn<QStringList>("absent");
        const QStringList always = {"Session Plan", "Version 2.1.0"};
        const QStringList caveat{"Measure breath alcohol"};
        // The band's edges as pourwise-dose --band prints them for the worked example.
        const QStringList expected{"Expected peak BAL: 0.0807 g/100 ml at 15:10",
                                   "peak between 0.0585 and 0.1029.",
                                   "Expected below 0.02 g/100 ml at 19:13",
                                   "between 17:31 and 21:35 (211 and 455 minutes after the start)",
                                   "Expected zero at 20:33"};
        QTest::newRow("A4, three portions")
            << "plain 3"
            << "A4" << QStringList{"Protocol: Arm A", "Limits: checked"}
            << always + expected +
                   QStringList{"14:27", "Protocol: Arm A Limits: checked", "Clock time"}
            << caveat << QStringList{"Corrections and voids", "Name"};
        QTest::newRow("US Letter, twelve portions")
            << "plain 12"
            << "Letter" << QStringList{} << always + QStringList{"14:37", "Total", "Protocol: none"}
            << caveat << QStringList{};
        QTest::newRow("US Letter, a session of twelve portions and readings")
            << "twelve readings 12"
            << "Letter" << QStringList{}
            << always + QStringList{"Session code: T-017", "Served", "14:43",
                                    "Release level reached at 18:03", "Booster served at 16:10"}
            << caveat << QStringList{};
        QTest::newRow("placebo")
            << "placebo"
            << "A4" << QStringList{}
            << always + QStringList{"Placebo: 5 ml of the spirit floated on each portion",
                                    "Float (ml)", "Total (ml)", "Placebo: no curve is expected.",
                                    "Protocol: none"}
            << QStringList{}
            << QStringList{"Dose: alcohol", "Alcohol (ml)",   "80 % of participants",
                           "Expected peak", "Expected below", "Expected zero",
                           "Peak 0",        "Zero",           "Measure breath alcohol"};
        QTest::newRow("corrections and voids")
            << "v2-alcohol.csv"
            << "A4" << QStringList{}
            << always + QStringList{"Recorded under the protocol \"Arm A\"", "(corrected)",
                                    "alcohol; voided"}
            << caveat + QStringList{"Corrections and voids",
                                    "corrected to portion 2 served at 14:18. Reason: wrong time.",
                                    "voided. Reason: entered for the wrong session."}
            << QStringList{};
        QTest::newRow("more than a page holds")
            << "voided readings"
            << "A4" << QStringList{}
            << always + QStringList{"more readings: the record lists every one."}
            << QStringList{"Corrections and voids",
                           "more corrections and voids: the record lists every one."}
            << QStringList{};
        QTest::newRow("beyond the chart")
            << "beyond the chart"
            << "A4" << QStringList{} << always
            << QStringList{"Some values lie beyond what the chart can show: the reading 1E+38 "
                           "g/100 ml at 15:10, marked at the top."}
            << QStringList{};
    }
    void printsOnePage()
    {
        QFETCH(QString, session);
        QFETCH(QString, pageSize);
        QFETCH(QStringList, protocol);
        QFETCH(QStringList, mentions);
        QFETCH(QStringList, foot);
        QFETCH(QStringList, absent);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("plan.pdf"));
        const SessionRecord record = recordFor(session);
        QVERIFY(!record.entries.isEmpty());
        {
            QPdfWriter pdf(path);
            pdf.setPageSize(
                QPageSize(pageSize == QLatin1String("A4") ? QPageSize::A4 : QPageSize::Letter));
            QVERIFY(PlanRecord::paint(pdf, evaluateSession(record, at(360)),
                                      QDateTime::currentDateTime(), protocol));
        }
        QCOMPARE(PdfText::pages(path), 1);

        if (!PdfText::available())
            QSKIP("pdftotext (poppler-utils) is not installed; scripts/install-deps test has it");
        const QString words = PdfText::words(path);
        for (const QString &mention : mentions)
            QVERIFY2(words.contains(mention),
                     qPrintable(mention + QLatin1String(" not in:\n") + words));
        const qsizetype chart = words.indexOf(QLatin1String("Clock time"));
        for (const QString &mention : foot)
            QVERIFY2(chart >= 0 && words.indexOf(mention, chart) > chart,
                     qPrintable(mention + QLatin1String(" not below the chart in:\n") + words));
        for (const QString &word : absent)
            QVERIFY2(!words.contains(word), qPrintable(word + QLatin1String(" in:\n") + words));
    }
};

QTEST_MAIN(TestPlanRecord)
#include "tst_planrecord.moc"
