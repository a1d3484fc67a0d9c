#include "forms/ObserverSheet.h"
#include "tests/support/PrintedPdf.h"
#include "tests/support/SessionSupport.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace SessionSupport;

namespace {

const QDateTime PrintedAt(QDate(2026, 3, 2), QTime(18, 0));

// The worked example's session as either beverage, in `level`, with the code T-017 and `entries`
// (see appendEntries); a booster ("b112") is the alcohol's alone.
SessionReport sessionOf(bool placebo, const LevelScale &level, QString entries)
{
    auto session = workedSession(level);
    session->setSessionCode(QStringLiteral("T-017"));
    if (placebo)
        session->setBeverage(true, 5);
    SessionRecord record = session->record();
    appendEntries(record, placebo ? entries.remove(QStringLiteral("b112")) : entries);
    return evaluateSession(record, at(300));
}

// The sheet on an A4 page at 96 dots per inch.
QImage sheetOf(const SessionReport &report)
{
    QImage page(794, 1123, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    ObserverSheet::paint(painter, page.rect(), report, PrintedAt);
    return page;
}

} // namespace

class TestObserverSheet : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // The sheets of an alcohol and a placebo session of the same plan and entries are the same
    // picture, which says on one page what the observer needs and nothing that tells the beverage.
    void tellsNoBeverage_data()
    {
        QTest::addColumn<bool>("breath");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QStringList>("mentions");
        const QStringList always{"Observer Sheet", "Session code: T-017", "Start of drinking 14:00",
                                 "Printed 2 Mar 2026 at 18:00", "Version 2.1.0"};
        const QString served = QStringLiteral("s1@0 s2@14 s3@27 ");
        QTest::newRow("nothing entered")
            << false << "" << always + QStringList{"14:13 159", "14:27 158", "Reading (g/100 ml)"};
        QTest::newRow("served, with readings")
            << false << served + "-5=0 70=0.06 85=0.057 100=0.054x 130=0.05"
            << always + QStringList{"14:13 159 14:14", "15:10 0.06", "16:10 0.05"};
        QTest::newRow("a booster for alcohol")
            << false << served + "70=0.06 85=0.057 100=0.054 130=0.05 b112"
            << always + QStringList{"15:40 0.054", "16:10 0.05"};
        QString many = served;
        for (int minute = 60; minute < 160; ++minute)
            many += QStringLiteral(" %1=0.05").arg(minute);
        QTest::newRow("more readings than a page holds")
            << false << many
            << always + QStringList{"15:00 0.05", "more readings: the record lists every one."};
        QTest::newRow("in a breath unit")
            << true << served + "70=0.3" << always + QStringList{"Reading (mg/L)", "15:10 0.3"};
    }
    void tellsNoBeverage()
    {
        QFETCH(bool, breath);
        QFETCH(QString, entries);
        QFETCH(QStringList, mentions);
        const LevelScale level =
            breath ? LevelScale{LevelUnit::MilligramsPerLitre, 2000} : LevelScale{};
        const SessionReport alcohol = sessionOf(false, level, entries);
        const SessionReport placebo = sessionOf(true, level, entries);
        QVERIFY(!alcohol.placebo && placebo.placebo);
        QVERIFY(sheetOf(alcohol) == sheetOf(placebo));

        const PrintedPdf::Printed printed = PrintedPdf::print(
            [&](QPdfWriter &pdf) { return ObserverSheet::paint(pdf, alcohol, PrintedAt); });
        QVERIFY(printed.painted);
        QCOMPARE(printed.pages, 1);
        if (!PdfText::available())
            QSKIP(PrintedPdf::NotReadable);
        const QString lost = PrintedPdf::missing(printed.words, mentions);
        QVERIFY2(lost.isEmpty(), qPrintable(lost));
        const QString telling =
            PrintedPdf::held(printed.words,
                             {"alcohol", "placebo", "dose", "target", "booster", "expected", "peak",
                              "curve", "mixer", "float", "spirit", "protocol", "BAL", "BrAC"},
                             Qt::CaseInsensitive);
        QVERIFY2(telling.isEmpty(), qPrintable(telling));
    }
};

QTEST_MAIN(TestObserverSheet)
#include "tst_observersheet.moc"
