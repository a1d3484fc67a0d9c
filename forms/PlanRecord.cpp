#include "forms/PlanRecord.h"

#include "calc/ClockText.h"
#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "calc/SessionText.h"
#include "forms/BalChart.h"
#include "forms/Fonts.h"
#include "forms/PlanRecordPage.h"
#include "forms/PlanText.h"
#include "forms/VersionText.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <array>

namespace {

// How tightly the tables are set: the first that leaves the chart room enough is used. Set
// tightest, the portions and the readings stand side by side, each as narrow as its cells.
constexpr std::array<TableSetting, 5> TableSettings{
    {{10, 1.35, false}, {9, 1.25, false}, {9, 1.25, true}, {8, 1.15, true}, {7, 1.1, true}}};

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
    QString readingsLeftOut; // how many more the record holds than the page
    QStringList outcome;     // what the readings show
    QString booster;         // the booster served
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

// Lays out and paints the page: the tables set as loosely as leaves the chart room, the foot's
// corrections and voids at most a quarter of the page.
class RecordPage {
public:
    RecordPage(QPainter &painter, const QRectF &page, const SessionReport &report,
               const QDateTime &printedAt, const QStringList &protocolLines)
        : m_painter(painter), m_page(page), m_report(report), m_printedAt(printedAt),
          m_words(wordsOf(report, protocolLines, m_locale))
    {
    }

    void paint()
    {
        const double line = QFontMetricsF(m_body, m_painter.device()).height();
        const QRectF page = m_page.adjusted(0, 0, 0, -line * 1.5); // the version at its foot
        fitHistory(page.height() / 4);
        const double foot = footHeight(page);
        fitReadings(page, foot);
        TableSetting setting = TableSettings.back();
        for (const TableSetting &each : TableSettings) {
            PageWriter measure(m_painter, page, false);
            writeTop(measure, each);
            if (page.bottom() - measure.top() - foot >= smallestChart() * 2) {
                setting = each;
                break;
            }
        }
        PageWriter writer(m_painter, page, true);
        writeTop(writer, setting);
        const double chartHeight =
            std::min(page.width() * 0.6, page.bottom() - writer.top() - foot);
        if (chartHeight >= smallestChart()) {
            m_painter.setFont(m_body);
            BalChart::paint(m_painter, writer.take(chartHeight), m_report);
        }
        writeFoot(writer);
        m_painter.setFont(m_small);
        m_painter.setPen(Qt::black);
        m_painter.drawText(m_page, Qt::AlignLeft | Qt::AlignBottom,
                           QStringLiteral("Pourwise %1").arg(versionText()));
    }

private:
    QPainter &m_painter;
    const QRectF m_page;
    const SessionReport &m_report;
    const QDateTime m_printedAt;
    const QLocale m_locale;
    PageWords m_words;
    const QFont m_title = Fonts::arial(16, true);
    const QFont m_heading = Fonts::arial(11, true);
    const QFont m_body = Fonts::arial(10);
    const QFont m_bold = Fonts::arial(10, true);
    const QFont m_small = Fonts::arial(8);

    // The least height the chart is drawn at, and twice it the height the tables are set
    // tighter for.
    double smallestChart() const { return QFontMetricsF(m_body, m_painter.device()).height() * 12; }

    void lines(PageWriter &writer, const QStringList &lines, const QFont &font) const
    {
        for (const QString &line : lines)
            writer.text(line, font);
    }

    // Everything above the chart.
    void writeTop(PageWriter &writer, const TableSetting &setting) const
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
        writeTables(writer, setting);
        lines(writer, m_words.outcome, m_body);
        if (!m_words.booster.isEmpty()) {
            writer.text(m_words.booster, m_bold);
            writer.text(SessionText::boosterCaveat(), m_small);
        }
        writer.gap(m_body, 0.8);
    }

    // The portions, then the readings below them or, set tightest, beside them when both fit
    // side by side, their cells wrapped if need be.
    void writeTables(PageWriter &writer, const TableSetting &setting) const
    {
        const double width = writer.page().width();
        const double apart = QFontMetricsF(m_body, m_painter.device()).height();
        const bool readings = !m_words.readings.rows.isEmpty();
        const PageWriter::TableWidth portionsWidth = writer.tableWidth(m_words.portions, setting);
        const PageWriter::TableWidth readingsWidth = writer.tableWidth(m_words.readings, setting);
        const bool beside = setting.beside && m_report.hasPlan() && readings &&
                            portionsWidth.least + apart + readingsWidth.least <= width;
        const double top = writer.top();
        double indent = 0;
        double portionsBottom = top;
        if (m_report.hasPlan()) {
            double room = width;
            if (beside) {
                writer.gap(m_heading, 1); // level with the readings' heading
                // Each has its least width and a share of the rest as it would need it.
                const double wanted = portionsWidth.natural - portionsWidth.least +
                                      readingsWidth.natural - readingsWidth.least;
                const double share =
                    std::min(1.0, (width - apart - portionsWidth.least - readingsWidth.least) /
                                      std::max(wanted, 1.0));
                room = portionsWidth.least + (portionsWidth.natural - portionsWidth.least) * share;
            }
            indent = writer.table(m_words.portions, setting, 0, room) + apart;
            portionsBottom = writer.top();
        }
        if (beside) {
            writer.setTop(top);
        } else {
            writer.gap(m_body, 0.8);
            indent = 0;
        }
        writer.text(QStringLiteral("Readings"), m_heading, indent);
        if (readings) {
            writer.table(m_words.readings, setting, indent, width - indent);
            if (!m_words.readingsLeftOut.isEmpty())
                writer.text(m_words.readingsLeftOut, m_small, indent);
            writer.setTop(std::max(writer.top(), portionsBottom));
            writer.gap(m_body, 0.3);
        }
    }

    // Below the chart: what its band assumes, what it leaves out, the caveat, and every
    // correction and void.
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
        if (m_words.history.isEmpty())
            return;
        writer.gap(m_body, 0.5);
        writer.text(QStringLiteral("Corrections and voids"), m_heading);
        lines(writer, m_words.history, m_small);
    }

    double footHeight(const QRectF &page) const
    {
        PageWriter measure(m_painter, page, false);
        writeFoot(measure);
        return measure.top() - page.top();
    }

    // So many corrections and voids that they would take more than `most` end in how many more
    // the record holds.
    void fitHistory(double most)
    {
        const QStringList all = m_words.history;
        const auto show = [&](qsizetype shown) {
            m_words.history = all.mid(0, shown);
            if (shown < all.size())
                m_words.history << moreInTheRecord(
                    all.size() - shown, QStringLiteral("corrections and voids"), m_locale);
        };
        show(mostThatFit(all.size(), [&](qsizetype shown) {
            show(shown);
            return footHeight(m_page) <= most;
        }));
    }

    // So many readings that the page cannot hold them, set tightest, end in how many more the
    // record holds.
    void fitReadings(const QRectF &page, double foot)
    {
        const QList<QStringList> all = m_words.readings.rows;
        const auto show = [&](qsizetype shown) {
            m_words.readings.rows = all.mid(0, shown);
            m_words.readingsLeftOut =
                shown < all.size()
                    ? moreInTheRecord(all.size() - shown, QStringLiteral("readings"), m_locale)
                    : QString();
        };
        show(mostThatFit(all.size(), [&](qsizetype shown) {
            show(shown);
            PageWriter measure(m_painter, page, false);
            writeTop(measure, TableSettings.back());
            return measure.top() + foot + smallestChart() <= page.bottom();
        }));
    }
};

} // namespace

bool PlanRecord::paint(QPagedPaintDevice &device, const SessionReport &report,
                       const QDateTime &printedAt, const QStringList &protocolLines)
{
    widenMargins(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    RecordPage(painter, QRectF(0, 0, device.width(), device.height()), report, printedAt,
               protocolLines)
        .paint();
    return painter.end();
}
