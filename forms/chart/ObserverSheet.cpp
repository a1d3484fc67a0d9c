#include "forms/chart/ObserverSheet.h"

#include "calc/session/ClockText.h"
#include "calc/session/SessionSchedule.h"
#include "calc/session/SessionText.h"
#include "forms/chart/PlanRecordPage.h"
#include "forms/common/Fonts.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// The readings as the observer takes them: when each is due, and blank cells for the time it was
// taken, the reading and the initials. The reading's column names the lab's unit, the same for
// either beverage.
PageTable readingsTable(const SessionReport &report, const ProtocolSchedule &schedule,
                        const QLocale &locale)
{
    PageTable table{{QStringLiteral("Due at"), QStringLiteral("Time taken"),
                     SessionText::readingColumns(report.setup.input.level).value(2),
                     QStringLiteral("Initials")},
                    {},
                    {0, 1, 3}};
    for (const int minute :
         readingTimes(report, schedule, ObserverSheet::UntilMinute, ObserverSheet::ReadingRows))
        table.rows.append(
            {clockText(report.start.time(), minute, locale), QString(), QString(), QString()});
    return table;
}

} // namespace

bool ObserverSheet::paint(QPagedPaintDevice &device, const SessionReport &report,
                          const ProtocolSchedule &schedule, const QDateTime &printedAt)
{
    const QLocale locale;
    const QString clock = hoursAndMinutesFormat(locale);
    const PageTable readings = readingsTable(report, schedule, locale);
    return paintPages(device, report.setup.sessionCode, [&](PageWriter &writer) {
        const QFont body = Fonts::arial(10);
        writer.text(QStringLiteral("Pourwise Observer Sheet"), Fonts::arial(16, true));
        writer.text(QStringLiteral("Session code: %1").arg(report.setup.sessionCode),
                    Fonts::arial(10, true));
        writer.text(
            QStringLiteral("Start of drinking %1").arg(locale.toString(report.start.time(), clock)),
            body);
        writer.text(QStringLiteral("Printed %1 at %2")
                        .arg(locale.toString(printedAt.date(), QLocale::ShortFormat),
                             locale.toString(printedAt.time(), clock)),
                    body);
        writer.gap(body, 0.8);
        writer.text(QStringLiteral("Readings"), Fonts::arial(11, true));
        if (readings.rows.isEmpty())
            writer.text(QStringLiteral("No reading is due."), body);
        else
            writer.table(readings, {11, 1.6, false, true}, 0, writer.page().width());
    });
}
