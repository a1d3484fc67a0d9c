#include "forms/ObserverSheet.h"
#include "tests/support/PdfText.h"
#include "tests/support/SessionSupport.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace SessionSupport;

namespace {

// The worked example's session as either beverage, in `level`, with the same code and entries:
// the portions served at `served` ("0 14 27"), the readings (see appendReadings), and for
// alcohol alone a booster at 112 minutes over 10 when `booster`.
SessionReport sessionOf(bool placebo, const LevelScale &level, const QString &served,
                        const QString &readings, bool booster)
{
    auto session = workedSession(level);
    session->setSessionCode(QStringLiteral("T-017"));
    if (placebo)
        session->setBeverage(true, 5);
    SessionRecord record = session->record();
    int number = 0;
    for (const QString &minute : served.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        appendServed(record, ++number, minute.toInt());
    appendReadings(record, readings);
    if (booster && !placebo)
        appendBooster(record, 112, 10);
    return evaluateSession(record, at(300));
}

const QDateTime PrintedAt(QDate(2026, 3, 2), QTime(18, 0));

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
    // picture, which says what the observer needs and nothing that tells the beverage.
    void tellsNoBeverage_data()
    {
        QTest::addColumn<bool>("breath");
        QTest::addColumn<QString>("served");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<bool>("booster");
        QTest::addColumn<QStringList>("mentions");
        const QStringList always{"Observer Sheet", "Session code: T-017", "Start of drinking 14:00",
                                 "Printed 2 Mar 2026 at 18:00", "Version 2.1.0"};
        QTest::newRow("nothing entered")
            << false << ""
            << "" << false << always + QStringList{"14:13 159", "14:27 158", "Reading (g/100 ml)"};
        QTest::newRow("served, with readings")
            << false << "0 14 27"
            << "-5=0 70=0.06 85=0.057 100=0.054x 130=0.05" << false
            << always + QStringList{"14:13 159 14:14", "15:10 0.06", "16:10 0.05"};
        QTest::newRow("a booster for alcohol") << false << "0 14 27"
                                               << "70=0.06 85=0.057 100=0.054 130=0.05" << true
                                               << always + QStringList{"15:40 0.054", "16:10 0.05"};
        QStringList many;
        for (int minute = 60; minute < 160; ++minute)
            many << QStringLiteral("%1=0.05").arg(minute);
        QTest::newRow("more readings than a page holds")
            << false << "0 14 27" << many.join(QLatin1Char(' ')) << false
            << always + QStringList{"15:00 0.05", "more readings: the record lists every one."};
        QTest::newRow("in a breath unit")
            << true << "0 14 27"
            << "70=0.3" << false << always + QStringList{"Reading (mg/L)", "15:10 0.3"};
    }
    void tellsNoBeverage()
    {
        QFETCH(bool, breath);
        QFETCH(QString, served);
        QFETCH(QString, readings);
        QFETCH(bool, booster);
        QFETCH(QStringList, mentions);
        const LevelScale level =
            breath ? LevelScale{LevelUnit::MilligramsPerLitre, 2000} : LevelScale{};
        const SessionReport alcohol = sessionOf(false, level, served, readings, booster);
        const SessionReport placebo = sessionOf(true, level, served, readings, booster);
        QVERIFY(!alcohol.placebo && placebo.placebo);
        QVERIFY(sheetOf(alcohol) == sheetOf(placebo));

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("observer.pdf"));
        {
            QPdfWriter pdf(path);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            QVERIFY(ObserverSheet::paint(pdf, alcohol, PrintedAt));
        }
        QCOMPARE(PdfText::pages(path), 1);
        if (!PdfText::available())
            QSKIP("pdftotext (poppler-utils) is not installed; scripts/install-deps test has it");
        const QString words = PdfText::words(path);
        for (const QString &mention : mentions)
            QVERIFY2(words.contains(mention),
                     qPrintable(mention + QLatin1String(" not in:\n") + words));
        for (const char *telling :
             {"alcohol", "placebo", "dose", "target", "booster", "expected", "peak", "curve",
              "mixer", "float", "spirit", "protocol", "BAL", "BrAC"})
            QVERIFY2(!words.contains(QLatin1String(telling), Qt::CaseInsensitive),
                     qPrintable(QLatin1String(telling) + QLatin1String(" in:\n") + words));
    }
};

QTEST_MAIN(TestObserverSheet)
#include "tst_observersheet.moc"
