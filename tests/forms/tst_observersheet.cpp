#include "forms/chart/ObserverSheet.h"
#include "tests/support/PrintedPdf.h"
#include "tests/support/SessionSupport.h"

#include <QTest>

using namespace SessionSupport;

namespace {

const QDateTime PrintedAt(QDate(2026, 3, 2), QTime(18, 0));

// The worked example's session as either beverage, in `level`, coded `code`, with `entries` (see
// appendEntries).
SessionReport sessionOf(bool placebo, const QString &code, const LevelScale &level,
                        const QString &entries)
{
    auto session = workedSession(level);
    session->setSessionCode(code);
    if (placebo)
        session->setBeverage(true, 5);
    SessionRecord record = session->record();
    appendEntries(record, entries);
    return evaluateSession(record, at(300));
}

PrintedPdf::Printed printed(const SessionReport &report, const ProtocolSchedule &schedule)
{
    return PrintedPdf::print(
        [&](QPdfWriter &pdf) { return ObserverSheet::paint(pdf, report, schedule, PrintedAt); });
}

} // namespace

class TestObserverSheet : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // An alcohol session's sheet and a placebo session's of the same schedule say the same but
    // for their codes: when each reading is due, with blank cells to write it in, and nothing that
    // tells the beverage, however far apart the readings taken lie.
    void tellsNoBeverage_data()
    {
        QTest::addColumn<bool>("breath");
        QTest::addColumn<QString>("alcohol"); // the entries of each
        QTest::addColumn<QString>("placebo");
        QTest::addColumn<int>("every"); // the protocol's minutes between readings
        QTest::addColumn<QStringList>("mentions");
        QTest::addColumn<int>("pages");
        const QStringList always{"Observer Sheet",
                                 "Session code: T-017",
                                 "Start of drinking 14:00",
                                 "Printed 2 Mar 2026 at 18:00",
                                 "Version 2.1.0",
                                 "Due at Time taken",
                                 "Initials",
                                 "Page 1 of"};
        const QString served = QStringLiteral("s1@0 s2@14 s3@27 ");
        QTest::newRow("nothing entered: from the planned end of drinking")
            << false << ""
            << "" << 15 << always + QStringList{"Reading (g/100 ml)", "14:55", "15:10", "19:55"}
            << 1;
        // The placebo's readings release its participant; its sheet's rows go on all the same.
        QTest::newRow("readings taken, alcohol's and placebo's")
            << false << served + "70=0.094 85=0.081" << served + "70=0.012 85=0.0" << 15
            << always + QStringList{"15:40", "16:55", "19:55"} << 1;
        QTest::newRow("in a breath unit") << true << served + "70=0.3" << served + "70=0.01" << 15
                                          << always + QStringList{"Reading (mg/L)", "15:25"} << 1;
        QTest::newRow("every 5 minutes: more rows than a page holds")
            << false << served << served << 5
            << always + QStringList{"Page 2 of 2", "14:55", "15:00", "19:55", "20:00"} << 2;
    }
    void tellsNoBeverage()
    {
        QFETCH(bool, breath);
        QFETCH(QString, alcohol);
        QFETCH(QString, placebo);
        QFETCH(int, every);
        QFETCH(QStringList, mentions);
        QFETCH(int, pages);
        const LevelScale level =
            breath ? LevelScale{LevelUnit::MilligramsPerLitre, 2000} : LevelScale{};
        const ProtocolSchedule schedule{every, false};
        const PrintedPdf::Printed alcoholSheet =
            printed(sessionOf(false, QStringLiteral("T-017"), level, alcohol), schedule);
        const PrintedPdf::Printed placeboSheet =
            printed(sessionOf(true, QStringLiteral("T-018"), level, placebo), schedule);
        QVERIFY(alcoholSheet.painted && placeboSheet.painted);
        QCOMPARE(alcoholSheet.pages, pages);
        QCOMPARE(placeboSheet.pages, pages);
        if (!PdfText::available())
            QSKIP(PrintedPdf::NotReadable);
        QCOMPARE(
            QString(placeboSheet.words).replace(QStringLiteral("T-018"), QStringLiteral("T-017")),
            alcoholSheet.words);
        const QString lost = PrintedPdf::missing(alcoholSheet.words, mentions);
        QVERIFY2(lost.isEmpty(), qPrintable(lost));
        const QString telling = PrintedPdf::held(
            alcoholSheet.words,
            {"alcohol", "placebo", "dose", "target", "booster", "expected", "peak", "curve",
             "mixer", "float", "spirit", "protocol", "BAL", "BrAC", "0.0", "0.3", "159"},
            Qt::CaseInsensitive);
        QVERIFY2(telling.isEmpty(), qPrintable(telling));
    }
};

QTEST_MAIN(TestObserverSheet)
#include "tst_observersheet.moc"
