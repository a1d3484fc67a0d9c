#include "calc/dose/DoseFaultTexts.h"
#include "calc/session/SessionText.h"
#include "forms/chart/BalChart.h"
#include "forms/chart/BalChartData.h"
#include "tests/support/ChartSessions.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

using namespace SessionSupport;

namespace {

// The chart as a window draws it, with its "now" line: in `lines` of its font by lines, with
// `fontPixels` pixels to the font, in a margin of black it must leave as it is.
struct Drawn {
    QImage image;
    QRectF area;
    QList<BalChartLabel> labels;
};

Drawn draw(const SessionReport &report, const QSizeF &lines, int fontPixels,
           const QPalette &palette = BalChart::printPalette())
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(fontPixels);
    Drawn drawn;
    QImage probe(1, 1, QImage::Format_RGB32);
    const double line = QFontMetricsF(font, &probe).height();
    drawn.area = QRectF(QPointF(20, 20), lines * line);
    drawn.image = QImage(drawn.area.adjusted(-20, -20, 20, 20).size().toSize() + QSize(1, 1),
                         QImage::Format_RGB32);
    drawn.image.fill(Qt::black);
    QPainter painter(&drawn.image);
    painter.setFont(font);
    drawn.labels = BalChart::paint(painter, drawn.area, report, true, palette);
    return drawn;
}

QPalette darkPalette()
{
    QPalette palette = BalChart::printPalette();
    palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    palette.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    return palette;
}

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return count;
}

// What is wrong with the chart drawn: a label outside it, two labels that overlap, anything
// drawn on the margin; empty when nothing is.
QString faultsOf(const Drawn &drawn)
{
    QStringList faults;
    const QRectF inside = drawn.area.adjusted(-0.5, -0.5, 0.5, 0.5);
    for (qsizetype i = 0; i < drawn.labels.size(); ++i) {
        const BalChartLabel &label = drawn.labels[i];
        if (!inside.contains(label.rect))
            faults << QStringLiteral("\"%1\" outside").arg(label.text);
        for (qsizetype j = i + 1; j < drawn.labels.size(); ++j) {
            const QRectF overlap = label.rect.intersected(drawn.labels[j].rect);
            if (overlap.width() > 0.01 && overlap.height() > 0.01)
                faults
                    << QStringLiteral("\"%1\" over \"%2\"").arg(label.text, drawn.labels[j].text);
        }
    }
    const QRect area = drawn.area.toAlignedRect();
    int margin = 0;
    for (int y = 0; y < drawn.image.height(); ++y) {
        for (int x = 0; x < drawn.image.width(); ++x)
            margin += !area.contains(x, y) && drawn.image.pixelColor(x, y) != Qt::black;
    }
    if (margin > 0)
        faults << QStringLiteral("%1 pixels on the margin").arg(margin);
    return faults.join(QStringLiteral(", "));
}

// How much room the window gives the chart, in lines of its font: on a 1280x1024 screen at
// 100 % and at 200 % (where the window scrolls and the chart keeps its least width), and the
// least size it asks for.
const QSizeF AtFullSize(34, 42);
const QSizeF AtDoubleSize(22, 36);
const QSizeF AtLeast(22, 13);

} // namespace

class TestBalChart : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // Each session is drawn with its labels, beside the ticks of the clock and the levels, inside
    // the chart and none over another, at any scale and in a dark palette too. With an expected
    // course the curve and its 80 % band are drawn, each apart from what it is drawn on; a placebo
    // draws neither, no expected times, and says that no curve is expected.
    void drawsEachSession_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QSizeF>("lines");
        QTest::addColumn<int>("fontPixels");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QStringList>("labels"); // but the ticks'
        // The legend names what is drawn: the course and its band, and the personal forecast.
        const QStringList legend{"Expected course", "80 % band"};
        const QStringList plain =
            legend + QStringList{"BAL (g/100 ml)", "Clock time",   "Start",       "Release", "Zero",
                                 "Target 0.08",    "Release 0.02", "Peak 0.0807", "Now"};
        const QStringList placebo{
            "BAL (g/100 ml)",          "Clock time", "Start", "Target 0.08", "Release 0.02", "Now",
            SessionText::placeboNote()};
        const QStringList breath =
            legend + QStringList{"BrAC (mg/L)", "Clock time",  "Start",       "Release", "Zero",
                                 "Target 0.4",  "Release 0.1", "Peak 0.4033", "Now",     "Booster"};
        const std::pair<const char *, QStringList> sessions[] = {
            {"plain", plain},         {"booster", plain + QStringList{"Booster"}},
            {"many readings", plain}, {"placebo", placebo},
            {"breath", breath},       {"personal", plain + QStringList{"Personal forecast"}}};
        const std::tuple<const char *, QSizeF, int> sizes[] = {{"at 100 %", AtFullSize, 11},
                                                               {"at 200 %", AtDoubleSize, 22},
                                                               {"at its least size", AtLeast, 11}};
        for (const auto &[size, lines, pixels] : sizes) {
            for (const auto &[session, labels] : sessions)
                QTest::addRow("%s %s", session, size)
                    << session << lines << pixels << false << labels;
        }
        QTest::newRow("booster, dark")
            << "booster" << AtFullSize << 11 << true << plain + QStringList{"Booster"};
        QTest::newRow("placebo, dark") << "placebo" << AtFullSize << 11 << true << placebo;
    }
    void drawsEachSession()
    {
        QFETCH(QString, session);
        QFETCH(QSizeF, lines);
        QFETCH(int, fontPixels);
        QFETCH(bool, dark);
        QFETCH(QStringList, labels);
        const QPalette palette = dark ? darkPalette() : BalChart::printPalette();
        const Drawn drawn = draw(ChartSessions::report(session, 150), lines, fontPixels, palette);
        const QString faults = faultsOf(drawn);
        QVERIFY2(faults.isEmpty(), qPrintable(faults));

        // The ticks' labels, clock times and levels, apart from the others.
        static const QRegularExpression tick(QStringLiteral("^(\\d\\d:\\d\\d|\\d+\\.\\d+)$"));
        QStringList named, ticks;
        for (const BalChartLabel &label : drawn.labels)
            (tick.match(label.text).hasMatch() ? ticks : named) << label.text;
        named.removeAll(QStringLiteral("Drinking")); // over the drinking period where it fits
        named.sort();
        labels.sort();
        QCOMPARE(named, labels);
        const qsizetype times = ticks.filter(QStringLiteral(":")).size();
        QVERIFY2(times >= 2 && ticks.size() - times >= 3, qPrintable(ticks.join(u' ')));

        const BalChart::Colours colours = BalChart::colours(palette);
        QVERIFY(std::abs(colours.curve.lightnessF() - colours.band.lightnessF()) > 0.2);
        QVERIFY(colours.band != colours.base && colours.band != colours.drinking);
        QVERIFY(colours.personalBand != colours.band && colours.personalBand != colours.base &&
                colours.personalBand != colours.drinking);
        const int band = pixelsOf(drawn.image, colours.band);
        const int curve = pixelsOf(drawn.image, colours.curve);
        // The personal forecast in its own colours, its band a second shade; nowhere else.
        const int personalBand = pixelsOf(drawn.image, colours.personalBand);
        if (session == QLatin1String("personal"))
            QVERIFY2(personalBand > drawn.area.width() * drawn.area.height() * 0.005 &&
                         pixelsOf(drawn.image, colours.personal) > 2 * fontPixels,
                     qPrintable(QStringLiteral("%1 %2")
                                    .arg(personalBand)
                                    .arg(pixelsOf(drawn.image, colours.personal))));
        else
            QCOMPARE(personalBand, 0);
        // The time axis reaches the release band's end, where its slow edge crosses.
        const SessionReport report = ChartSessions::report(session, 150);
        if (report.band && report.band->release)
            QVERIFY(balChartData(report, true).lastHours >= report.band->release->toHours);
        if (session == QLatin1String("placebo")) {
            QCOMPARE(band, 0);
            QCOMPARE(curve, 0);
        } else {
            QVERIFY2(band > drawn.area.width() * drawn.area.height() * 0.02,
                     qPrintable(QString::number(band)));
            QVERIFY2(curve > 10 * fontPixels, qPrintable(QString::number(curve)));
        }
    }

    // The Release and Zero marks stand at the times in force, in minutes after the start: the
    // plan's, and once a booster is served its own, never the plan's.
    void marksTheTimesInForce_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<int>("release");
        QTest::addColumn<int>("zero");
        QTest::newRow("the plan's") << "served" << 313 << 393;
        // Served at 112 from 0.054 at 100 carried on, 0.051, it peaks at 0.0771 at 152.
        QTest::newRow("the booster's") << "booster" << 380 << 460;
    }
    void marksTheTimesInForce()
    {
        QFETCH(QString, session);
        QFETCH(int, release);
        QFETCH(int, zero);
        const BalChartData data = balChartData(ChartSessions::report(session, 150), false);
        QVERIFY(data.releaseHours && data.zeroHours);
        QCOMPARE(qRound(*data.releaseHours * 60), release);
        QCOMPARE(qRound(*data.zeroHours * 60), zero);
    }

    // Whatever a record holds, the chart is drawn in finite time inside its area, with every
    // label apart; what it cannot show is left out or marked at its edge, and said.
    void drawsAnyRecord_data()
    {
        QTest::addColumn<QString>("readings"); // at minutes after the start, see appendReadings
        QTest::addColumn<int>("servedAt");     // the second portion, its planned 13 as usual
        QTest::addColumn<QString>("booster");  // "minute/period", or none
        QTest::addColumn<QString>("note");
        const QString beyond = QStringLiteral("Some values lie beyond what the chart can show: ");
        QTest::newRow("a session it shows whole") << "-5=0 70=0.06 85=0.057 100=0.054" << 13 << ""
                                                  << "";
        QTest::newRow("a reading far above every level")
            << "70=0.06 85=1E+38 100=0.054" << 13 << ""
            << beyond + "the reading 1E+38 g/100 ml at 15:25, marked at the top.";
        QTest::newRow("readings that are not levels")
            << "70=nan 85=-0.01 100=inf" << 13 << ""
            << beyond + "the reading nan g/100 ml at 15:10; the reading -0.01 g/100 ml at 15:25; "
                        "the reading inf g/100 ml at 15:40, marked at the top.";
        QTest::newRow("readings days away")
            << "-4320=0 70=0.06 2000000000=0.05" << 13 << ""
            << beyond + "the reading 0 g/100 ml at 4320 minutes before the start; the reading "
                        "0.05 g/100 ml at 11:20 (+1388889 days).";
        QTest::newRow("a portion served a year later")
            << "" << 525600 << "" << beyond + "portion 2 served at 14:00 (+365 days).";
        QTest::newRow("a booster from a reading far above every level")
            << "70=0.06 85=0.057 100=1E+30" << 13 << "112/10"
            << beyond + "the reading 1E+30 g/100 ml at 15:40, marked at the top; part of the "
                        "expected course after the booster.";
        QTest::newRow("a booster over 1E+20 minutes")
            << "70=0.06 85=0.057 100=0.054" << 13 << "112/1E+20"
            << "";
        QTest::newRow("more than four")
            << "70=nan 71=nan 72=-1 73=nan 74=nan 75=nan" << 13 << ""
            << beyond + "the reading nan g/100 ml at 15:10; the reading nan g/100 ml at 15:11; "
                        "the reading -1 g/100 ml at 15:12; the reading nan g/100 ml at 15:13; and "
                        "2 more.";
    }
    void drawsAnyRecord()
    {
        QFETCH(QString, readings);
        QFETCH(int, servedAt);
        QFETCH(QString, booster);
        QFETCH(QString, note);
        SessionRecord record = ChartSessions::record(QStringLiteral("plain"));
        appendServed(record, 1, 0);
        appendServed(record, 2, servedAt);
        appendReadings(record, readings.section(QLatin1Char(' '), 0, 2));
        if (!booster.isEmpty())
            appendBooster(record, booster.section(QLatin1Char('/'), 0, 0).toInt(),
                          booster.section(QLatin1Char('/'), 1).toFloat());
        appendReadings(record, readings.section(QLatin1Char(' '), 3));
        const SessionReport report = evaluateSession(record, at(150));
        QCOMPARE(BalChart::clampNote(report), note);
        for (const auto &[lines, pixels] : {std::pair{AtFullSize, 11}, {AtLeast, 22}}) {
            const QString faults = faultsOf(draw(report, lines, pixels));
            QVERIFY2(faults.isEmpty(), qPrintable(faults));
        }
    }

    // Whatever plan the model gives, the chart is drawn, and in finite time, with every label
    // apart and every reading a whole point.
    void drawsAnyPlan_data()
    {
        QTest::addColumn<float>("bodyWater");
        QTest::addColumn<float>("drinkingPeriod");
        QTest::addColumn<float>("release");
        QTest::addColumn<QString>("readings");
        QTest::newRow("worked example") << 0.0f << 40.0f << 0.02f << "";
        QTest::newRow("release level above the peak") << 0.0f << 40.0f << 0.5f << "";
        QTest::newRow("no drinking period") << 0.0f << 0.0f << 0.02f << "";
        // Hardly any body water: a peak of thousands of g/100 ml, clearing over millennia.
        QTest::newRow("times at the limit") << 1e-5f << 40.0f << 0.02f << "";
        // Far beyond the plan's span and its peak of 0.08 g/100 ml.
        QTest::newRow("baseline and readings above the peak")
            << 0.0f << 40.0f << 0.02f << "-150=0 30=0.05 75=0.16 150=0.12";
    }
    void drawsAnyPlan()
    {
        QFETCH(float, bodyWater);
        QFETCH(float, drinkingPeriod);
        QFETCH(float, release);
        QFETCH(QString, readings);
        CalculatedDose dose = workedExampleDose();
        dose.state.DD = drinkingPeriod;
        dose.intermediates.hours = drinkingPeriod / 60;
        if (bodyWater > 0)
            dose.intermediates.bodyWater = bodyWater;
        const SessionPlan plan = PlanSession(dose, 3, release);
        QVERIFY2(plan.ok(), qPrintable(planFaultText(plan.problem).message));
        // The report of that plan alone, as the chart draws it.
        SessionReport report;
        report.setup.input = workedExampleInput();
        report.start = start();
        report.releaseBal = release;
        report.dose.dose = dose;
        report.dose.plan = plan;
        report.expected = ExpectedCourse{plan, std::nullopt};
        for (const TimedLevel &reading : timedLevels(readings)) {
            ReadingLine line;
            line.atMinute = reading.minute;
            line.level = reading.level;
            report.readings << line;
        }
        const BalChart::Colours colours = BalChart::colours(BalChart::printPalette());
        for (const auto &[lines, pixels] : {std::pair{AtFullSize, 11}, {AtDoubleSize, 22}}) {
            const Drawn drawn = draw(report, lines, pixels);
            const QString faults = faultsOf(drawn);
            QVERIFY2(faults.isEmpty(), qPrintable(faults));
            QVERIFY(pixelsOf(drawn.image, colours.curve) > 20 * pixels);
            QVERIFY2(pixelsOf(drawn.image, colours.reading) >=
                         timedLevels(readings).size() * 8 * pixels * pixels / 121,
                     qPrintable(QString::number(pixelsOf(drawn.image, colours.reading))));
        }
    }
};

QTEST_MAIN(TestBalChart)
#include "tst_balchart.moc"
