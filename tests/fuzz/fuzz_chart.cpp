// Every session record the reader accepts, evaluated as the window evaluates it and painted as
// the window and the printer paint it: the chart on the screen (with its "now" line, at two
// scales, in a dark palette) and the printed page and the observer's sheet into PDF in memory.
//
// Checked, with abort() on any breach, beside the sanitizers' own reports:
// - Painting finishes, whatever the record holds (levels of 1E+38 or not a number, minutes far
//   beyond a day, a booster's period of 1E+30 minutes).
// - Every label of the chart lies inside it, and only where the chart's font leaves room for
//   all of them may two overlap.
// - What the chart leaves out is said in its note, which starts as the window shows it.
// - The printed page and the observer's sheet are each one page.

#include "calc/dose/Protocol.h"
#include "calc/record/RecordReader.h"
#include "calc/session/SessionReport.h"
#include "forms/chart/BalChart.h"
#include "forms/chart/ObserverSheet.h"
#include "forms/chart/PlanRecord.h"
#include "tests/fuzz/FuzzRequire.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <cstdint>
#include <memory>

namespace {

// The labels of the chart painted into `size` with `font`, on `palette`.
QList<BalChartLabel> paintChart(const SessionReport &report, const QSize &size, const QFont &font,
                                const QPalette &palette)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(font);
    return BalChart::paint(painter, QRectF(QPointF(0, 0), size), report, true, palette);
}

void requireLabelsInside(const QList<BalChartLabel> &labels, const QSize &size)
{
    const QRectF area = QRectF(QPointF(0, 0), size).adjusted(-0.5, -0.5, 0.5, 0.5);
    for (const BalChartLabel &label : labels)
        FUZZ_REQUIRE(area.contains(label.rect));
}

bool labelsApart(const QList<BalChartLabel> &labels)
{
    for (qsizetype i = 0; i < labels.size(); ++i) {
        for (qsizetype j = i + 1; j < labels.size(); ++j) {
            const QRectF overlap = labels[i].rect.intersected(labels[j].rect);
            if (overlap.width() > 0.01 && overlap.height() > 0.01)
                return false;
        }
    }
    return true;
}

// The pages a PDF holds: its page objects, not the page tree.
qsizetype pagesOf(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return QString::fromLatin1(pdf).count(page);
}

template <typename Paint> QByteArray pdfOf(Paint paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        FUZZ_REQUIRE(paint(pdf));
    }
    return buffer.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_chart";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordReading reading = RecordReader::read(bytes, QStringLiteral("fuzz.csv"));
    if (!reading.record)
        return 0;
    const SessionRecord &record = *reading.record;
    const SessionReport report = evaluateSession(record, record.setup.start.addSecs(6 * 3600));

    const QString note = BalChart::clampNote(report);
    FUZZ_REQUIRE(note.isEmpty() || note.startsWith(QLatin1String(
                                       "Some values lie beyond what the chart can show: ")));

    QPalette dark = BalChart::printPalette();
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    QFont font(QStringLiteral("DejaVu Sans"));
    // The window's chart at 100 % and, twice the font in the same width, at 200 %.
    const QSize window(440, 500);
    for (int pixels : {11, 22}) {
        font.setPixelSize(pixels);
        const QList<BalChartLabel> labels = paintChart(report, window, font, dark);
        requireLabelsInside(labels, window);
        if (pixels == 11)
            FUZZ_REQUIRE(labelsApart(labels));
    }

    // Both run on over as many pages as their rows take, never none.
    const QDateTime printedAt = record.setup.start;
    FUZZ_REQUIRE(pagesOf(pdfOf([&](QPdfWriter &pdf) {
                     return PlanRecord::paint(pdf, report, printedAt);
                 })) >= 1);
    FUZZ_REQUIRE(pagesOf(pdfOf([&](QPdfWriter &pdf) {
                     return ObserverSheet::paint(pdf, report, ProtocolSchedule{}, printedAt);
                 })) >= 1);
    return 0;
}
