#include "forms/ObserverSheet.h"

#include "calc/ClockText.h"
#include "calc/NumberText.h"
#include "calc/SessionText.h"
#include "forms/Fonts.h"
#include "forms/PlanRecordPage.h"
#include "forms/PlanText.h"
#include "forms/VersionText.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// Rows for the readings, written in by hand beyond those entered.
constexpr qsizetype ReadingRows = 12;

// The portions as the observer serves them: the number, the planned time, the total volume (the
// same for either beverage) and when it was served; initials written in.
PageTable portionsTable(const SessionReport &report, const QLocale &locale)
{
    const QStringList plan = PlanText::portionColumns();
    PageTable table{
        {plan[0], plan[1], plan[4], QStringLiteral("Served"), QStringLiteral("Initials")},
        {},
        {1, 3}};
    const QTime start = report.start.time();
    for (const PortionLine &line : report.portions) {
        const ServedPortion &portion = line.portion;
        const std::optional<ServedMark> served = line.served();
        table.rows.append(
            {locale.toString(portion.number), clockText(start, portion.atMinute, locale),
             locale.toString(portion.totalMl),
             served ? clockText(start, served->atMinute, locale) : QString(), QString()});
    }
    return table;
}

// The readings not voided, with their times.
PageTable readingsTable(const SessionReport &report, const QLocale &locale)
{
    const QStringList columns = SessionText::readingColumns(report.setup.input.level);
    PageTable table{{columns[1], columns[2], QStringLiteral("Initials")}, {}, {0}};
    for (const ReadingLine &reading : report.readings) {
        if (!reading.voided)
            table.rows.append({clockText(report.start.time(), reading.atMinute, locale),
                               SingleToText(reading.level, locale), QString()});
    }
    return table;
}

// The sheet in words, and how it is written down a page.
struct Sheet {
    QString code;
    QString start;
    QString printed;
    PageTable portions;
    PageTable readings;
    QString readingsLeftOut;

    void write(PageWriter &writer) const
    {
        const QFont body = Fonts::arial(10);
        const QFont heading = Fonts::arial(11, true);
        const TableSetting tables{11, 1.6, false};
        writer.text(QStringLiteral("Pourwise Observer Sheet"), Fonts::arial(16, true));
        writer.text(code, Fonts::arial(10, true));
        writer.text(start, body);
        writer.text(printed, body);
        writer.gap(body, 0.8);
        writer.text(QStringLiteral("Portions"), heading);
        writer.table(portions, tables, 0, writer.page().width());
        writer.gap(body, 0.8);
        writer.text(QStringLiteral("Readings"), heading);
        writer.table(readings, tables, 0, writer.page().width());
        if (!readingsLeftOut.isEmpty())
            writer.text(readingsLeftOut, body);
    }
};

} // namespace

void ObserverSheet::paint(QPainter &painter, const QRectF &page, const SessionReport &report,
                          const QDateTime &printedAt)
{
    const QLocale locale;
    const QString clock = hoursAndMinutesFormat(locale);
    Sheet sheet{
        QStringLiteral("Session code: %1").arg(report.setup.sessionCode),
        QStringLiteral("Start of drinking %1").arg(locale.toString(report.start.time(), clock)),
        QStringLiteral("Printed %1 at %2")
            .arg(locale.toString(printedAt.date(), QLocale::ShortFormat),
                 locale.toString(printedAt.time(), clock)),
        portionsTable(report, locale),
        {},
        {}};
    // The readings entered, then empty rows to write in; as many as the page holds, above the
    // version at its foot.
    const PageTable entered = readingsTable(report, locale);
    const QRectF room =
        page.adjusted(0, 0, 0, -QFontMetricsF(Fonts::arial(8), painter.device()).height() * 1.5);
    const auto show = [&](qsizetype shown) {
        sheet.readings = entered;
        sheet.readings.rows = entered.rows.mid(0, shown);
        while (sheet.readings.rows.size() < ReadingRows)
            sheet.readings.rows.append({QString(), QString(), QString()});
        sheet.readingsLeftOut =
            shown < entered.rows.size()
                ? moreInTheRecord(entered.rows.size() - shown, QStringLiteral("readings"), locale)
                : QString();
    };
    show(mostThatFit(entered.rows.size(), [&](qsizetype shown) {
        show(shown);
        PageWriter measure(painter, room, false);
        sheet.write(measure);
        return measure.top() <= room.bottom();
    }));
    painter.setPen(Qt::black);
    PageWriter writer(painter, room, true);
    sheet.write(writer);
    painter.setFont(Fonts::arial(8));
    painter.drawText(page, Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Pourwise %1").arg(versionText()));
}

bool ObserverSheet::paint(QPagedPaintDevice &device, const SessionReport &report,
                          const QDateTime &printedAt)
{
    widenMargins(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    paint(painter, QRectF(0, 0, device.width(), device.height()), report, printedAt);
    return painter.end();
}
