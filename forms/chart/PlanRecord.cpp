#include "forms/chart/PlanRecord.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "calc/session/PlanText.h"
#include "calc/session/SessionText.h"
#include "forms/chart/BalChart.h"
#include "forms/chart/PlanRecordPage.h"
#include "forms/common/Fonts.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {

// Everything the page says, in words, before it is laid out.
struct PageWords {
    QString beverage;
    QString doseHeading;
    QString doseInputs;
    QString doseVolumes; // none for a placebo
    QStringList protocol;
    QString choices;
    QString levels;
    QStringList expected; // the expected times, or a placebo's note; none without a plan
    QString noPlan;       // why there is no plan
    PageTable portions;
    PageTable readings;
    QStringList outcome; // what the readings show
    QString booster;     // the booster served
    QString chartNote;
    QString bandNote; // what the band assumes; none without one
    QString caveat;   // none for a placebo, which expects nothing
    QStringList history;
};

PageWords wordsOf(const SessionReport &report, const QStringList &protocolLines,
                  const QLocale &locale)
{
    const PlanText plan = describePlan(report, locale);
    const SessionText session = describeSession(report, locale);
    const bool placebo = report.placebo;
    PageWords words;
    words.beverage = session.beverage;
    words.doseHeading = placebo ? QStringLiteral("Participant") : QStringLiteral("Dose");
    words.doseInputs = plan.doseInputs;
    if (!placebo)
        words.doseVolumes = plan.doseVolumes;
    words.protocol =
        protocolLines.isEmpty() ? QStringList{protocolLine(report.setup, false)} : protocolLines;
    words.choices = plan.choices;
    words.levels = plan.levels;
    if (report.hasPlan()) {
        for (const QString &line : {plan.peakLine, session.peakBand, plan.releaseLine,
                                    session.releaseBand, plan.zeroLine, session.personal}) {
            if (!line.isEmpty())
                words.expected << line;
        }
        if (placebo)
            words.expected << SessionText::placeboNote();
    } else {
        words.noPlan = report.dose.plan ? planFaultText(report.dose.plan->problem).message
                                        : doseFaultText(report.dose.outcome).message;
    }

    words.portions.columns = PlanText::portionColumns(placebo) << QStringLiteral("Served");
    words.portions.textColumns = {1, 5, 6};
    words.portions.rows = plan.portionRows;
    const bool servingsVoided = std::any_of(session.servedNotes.begin(), session.servedNotes.end(),
                                            [](const QString &note) { return !note.isEmpty(); });
    if (servingsVoided)
        words.portions.columns << QStringLiteral("Note");
    for (qsizetype i = 0; i < words.portions.rows.size(); ++i) {
        words.portions.rows[i] << session.served.value(i);
        if (servingsVoided)
            words.portions.rows[i] << session.servedNotes.value(i);
    }
    words.readings.columns = SessionText::readingColumns(report.setup.input.level);
    words.readings.rows = session.readings;
    words.readings.textColumns = {1, words.readings.columns.size() - 1};

    for (const QString &line : {session.observedPeak, session.descending, session.release}) {
        if (!line.isEmpty())
            words.outcome << line;
    }
    // The booster's expected times and band are the ones in force, which the expected lines above
    // name already.
    words.booster = session.booster;
    words.chartNote = BalChart::clampNote(report);
    if (report.band)
        words.bandNote = SessionText::bandNote();
    if (!placebo)
        words.caveat = PlanText::caveat();
    words.history = session.history;
    return words;
}

// Writes the record down as many pages as it takes: everything the session holds, the chart,
// what the chart leaves out, the caveat, every correction and void, and last the lines for the
// operator's signature and the date.
class RecordPage {
public:
    RecordPage(const SessionReport &report, const QDateTime &printedAt,
               const QStringList &protocolLines)
        : m_report(report), m_printedAt(printedAt),
          m_words(wordsOf(report, protocolLines, m_locale))
    {
    }

    void write(PageWriter &writer) const
    {
        writeTop(writer);
        writeChart(writer);
        writeFoot(writer);
    }

private:
    const SessionReport &m_report;
    const QDateTime m_printedAt;
    const QLocale m_locale;
    PageWords m_words;
    const QFont m_title = Fonts::arial(16, true);
    const QFont m_heading = Fonts::arial(11, true);
    const QFont m_body = Fonts::arial(10);
    const QFont m_bold = Fonts::arial(10, true);
    const QFont m_small = Fonts::arial(8);
    const TableSetting m_tables{10, 1.35, false};

    double lineHeight(PageWriter &writer) const
    {
        return QFontMetricsF(m_body, writer.painter().device()).height();
    }

    void lines(PageWriter &writer, const QStringList &lines, const QFont &font) const
    {
        for (const QString &line : lines)
            writer.text(line, font);
    }

    // Everything above the chart.
    void writeTop(PageWriter &writer) const
    {
        writer.text(QStringLiteral("Pourwise Session Plan"), m_title);
        if (!m_report.setup.sessionCode.isEmpty())
            writer.text(QStringLiteral("Session code: %1").arg(m_report.setup.sessionCode), m_bold);
        writer.text(m_words.beverage, m_body);
        writer.text(
            QStringLiteral("Printed %1 at %2")
                .arg(m_locale.toString(m_printedAt.date(), QLocale::ShortFormat),
                     m_locale.toString(m_printedAt.time(), hoursAndMinutesFormat(m_locale))),
            m_body);
        writer.gap(m_body, 0.8);
        writer.text(m_words.doseHeading, m_heading);
        writer.text(m_words.doseInputs, m_body);
        if (!m_words.doseVolumes.isEmpty())
            writer.text(m_words.doseVolumes, m_body);
        lines(writer, m_words.protocol, m_bold);
        writer.gap(m_body, 0.8);
        writer.text(QStringLiteral("Plan"), m_heading);
        writer.text(m_words.choices, m_body);
        if (!m_words.levels.isEmpty())
            writer.text(m_words.levels, m_body);
        writer.gap(m_body, 0.4);
        if (m_report.hasPlan()) {
            lines(writer, m_words.expected, m_bold);
            writer.gap(m_body, 0.6);
        } else {
            writer.text(m_words.noPlan, m_bold);
        }
        writeTables(writer);
        lines(writer, m_words.outcome, m_body);
        if (!m_words.booster.isEmpty()) {
            writer.text(m_words.booster, m_bold);
            writer.text(SessionText::boosterCaveat(), m_small);
        }
        writer.gap(m_body, 0.8);
    }

    // The portions, then every reading below them, running on over the pages.
    void writeTables(PageWriter &writer) const
    {
        const double width = writer.page().width();
        if (m_report.hasPlan()) {
            writer.table(m_words.portions, m_tables, 0, width);
            writer.gap(m_body, 0.8);
        }
        // The heading with the table's heading row and first reading below it.
        writer.keepRoom(lineHeight(writer) * 5);
        writer.text(QStringLiteral("Readings"), m_heading);
        if (!m_words.readings.rows.isEmpty()) {
            writer.table(m_words.readings, m_tables, 0, width);
            writer.gap(m_body, 0.3);
        }
    }

    // As large as the page leaves room for above the foot, so that a short record stays on one
    // page, else as the page leaves room for, the foot on the next; when that is too small to
    // read, at its full size on the next page.
    void writeChart(PageWriter &writer) const
    {
        const QRectF &page = writer.page();
        const double full = std::min(page.width() * 0.6, page.height() * 0.5);
        const double least = lineHeight(writer) * 16;
        PageWriter foot(writer.painter(), page, false);
        writeFoot(foot);
        const double room = page.bottom() - writer.top();
        const double roomAboveFoot = room - (foot.top() - page.top());
        const double height = roomAboveFoot >= least ? std::min(roomAboveFoot, full)
                              : room >= least        ? std::min(room, full)
                                                     : full;
        writer.keepRoom(height);
        const QRectF chart = writer.take(height);
        if (writer.draws()) {
            writer.painter().setFont(m_body);
            BalChart::paint(writer.painter(), chart, m_report);
            writer.painter().setPen(Qt::black);
        }
    }

    // Below the chart: what its band assumes, what it leaves out, the caveat, every correction
    // and void, and the signature.
    void writeFoot(PageWriter &writer) const
    {
        if (!m_words.bandNote.isEmpty()) {
            writer.gap(m_body, 0.3);
            writer.text(m_words.bandNote, m_body);
        }
        if (!m_words.chartNote.isEmpty()) {
            writer.gap(m_body, 0.3);
            writer.text(m_words.chartNote, m_body);
        }
        writer.gap(m_body, 0.5);
        if (!m_words.caveat.isEmpty())
            writer.text(m_words.caveat, m_bold);
        if (!m_words.history.isEmpty()) {
            writer.gap(m_body, 0.5);
            writer.keepRoom(lineHeight(writer) * 3);
            writer.text(QStringLiteral("Corrections and voids"), m_heading);
            lines(writer, m_words.history, m_small);
        }
        writeSignature(writer);
    }

    // Where the operator signs the record filed, kept together on the last page.
    void writeSignature(PageWriter &writer) const
    {
        const auto write = [this](PageWriter &lines) {
            lines.text(QStringLiteral("Operator's signature: ______________________________"),
                       m_body);
            lines.gap(m_body, 1.2);
            lines.text(QStringLiteral("Date: ______________________"), m_body);
        };
        writer.gap(m_body, 1.2);
        PageWriter measure(writer.painter(), writer.page(), false);
        write(measure);
        writer.keepRoom(measure.top() - writer.page().top());
        write(writer);
    }
};

} // namespace

bool PlanRecord::paint(QPagedPaintDevice &device, const SessionReport &report,
                       const QDateTime &printedAt, const QStringList &protocolLines)
{
    const RecordPage record(report, printedAt, protocolLines);
    return paintPages(device, report.setup.sessionCode,
                      [&record](PageWriter &writer) { record.write(writer); });
}
