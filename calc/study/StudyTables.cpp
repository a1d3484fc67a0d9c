#include "calc/study/StudyTables.h"

#include "calc/dose/ForecastBand.h"
#include "calc/dose/NumberText.h"
#include "calc/record/RecordCsv.h"
#include "calc/session/SessionClock.h"
#include "calc/study/StudyCells.h"
#include "calc/study/StudyColumns.h"

#include <algorithm>

namespace {

template <std::size_t N> QByteArray headerRow(const std::array<std::string_view, N> &columns)
{
    QList<QByteArray> cells;
    for (std::string_view column : columns)
        cells << QByteArray(column.data(), qsizetype(column.size()));
    return csvRow(cells);
}

// Cells addressed by their column, so no value depends on where a column stands.
template <typename Column, std::size_t N> class Row {
public:
    QByteArray &operator[](Column column) { return m_cells[qsizetype(column)]; }
    QList<QByteArray> cells() const { return m_cells; }

private:
    QList<QByteArray> m_cells = QList<QByteArray>(qsizetype(N));
};

using SessionRow = Row<SessionColumn, SessionColumns.size()>;
using ReadingRow = Row<ReadingColumn, ReadingColumns.size()>;

QByteArray yesNo(bool yes)
{
    return yes ? "yes" : "no";
}

// A height or weight in centimetres or kilograms: as typed, or converted from the inches or
// pounds typed (`perCm`: inches per centimetre, or pounds per kilogram) for showing.
QByteArray metricCell(const DoseInput &input, float metric, float imperial, double perCm)
{
    using namespace StudyCells;
    return input.metric() ? single(metric) : number(SevenDigits(TypedDouble(imperial) / perCm));
}

// What every row of a record's readings repeats of its session.
void fillSessionOf(ReadingRow &row, const StudyRecord &record)
{
    using namespace StudyCells;
    const SessionSetup &setup = record.report->setup;
    row[ReadingColumn::File] = text(record.file);
    row[ReadingColumn::SessionCode] = text(setup.sessionCode);
    row[ReadingColumn::Beverage] = beverage(record.report->placebo);
    row[ReadingColumn::Protocol] = text(setup.protocolName);
    row[ReadingColumn::Gender] = gender(setup.input.state.Gender);
}

void fillPlan(SessionRow &row, const SessionReport &report)
{
    using C = SessionColumn;
    using namespace StudyCells;
    if (report.placebo || !report.hasPlan())
        return;
    const SessionPlan &plan = *report.dose.plan;
    const LevelScale &scale = report.setup.input.level;
    row[C::ExpectedPeak] = modelLevel(scale.fromBal(plan.peakBal), scale);
    const BandEdges band = ForecastBand::ofPlan(report.dose.dose, plan).peak();
    row[C::PeakBandLow] = modelLevel(scale.fromBal(band.low), scale);
    row[C::PeakBandHigh] = modelLevel(scale.fromBal(band.high), scale);
}

void fillOutcome(SessionRow &row, const StudyRecord &record)
{
    using C = SessionColumn;
    using namespace StudyCells;
    const SessionReport &report = *record.report;
    const auto minuteOf = [&report](const std::optional<qsizetype> &reading) {
        return reading ? whole(report.readings[*reading].atMinute) : QByteArray();
    };
    if (const ReadingLine *peak = record.observedPeak()) {
        row[C::ObservedPeak] = single(peak->level);
        row[C::ObservedPeakAtMin] = whole(peak->atMinute);
    }
    row[C::PeakVsTarget] = optional(record.peakVsTarget(record.observedPeak()), single);
    if (const ReadingLine *peak = record.peakBeforeBooster()) {
        row[C::PeakBeforeBooster] = single(peak->level);
        row[C::PeakBeforeBoosterAtMin] = whole(peak->atMinute);
    }
    row[C::Boosted] = whole(record.boosted() ? 1 : 0);
    row[C::DescendingShownAtMin] = minuteOf(report.outcome.limbShown);
    row[C::ReleaseReachedAtMin] = minuteOf(report.outcome.release);
    if (const BoosterLine *booster = report.booster()) {
        row[C::BoosterAlcoholMl] = whole(booster->alcoholMl);
        row[C::BoosterServedAtMin] = whole(booster->atMinute);
    }
}

void fillSession(SessionRow &row, const StudyRecord &record)
{
    using C = SessionColumn;
    using namespace StudyCells;
    const SessionReport &report = *record.report;
    const SessionSetup &setup = report.setup;
    const DoseInput &input = setup.input;
    row[C::SessionCode] = text(setup.sessionCode);
    row[C::Date] = report.start.date().toString(Qt::ISODate).toLatin1();
    row[C::Operator] = text(setup.operatorInitials);
    row[C::Protocol] = text(setup.protocolName);
    row[C::ProtocolSha256] = setup.protocolSha256;
    row[C::Beverage] = beverage(report.placebo);
    row[C::Gender] = gender(input.state.Gender);
    row[C::Age] = single(input.state.Age);
    row[C::HeightCm] = metricCell(input, input.bodyInCm.heightCm, input.state.Height, InchesPerCm);
    row[C::WeightKg] = metricCell(input, input.bodyInCm.weightKg, input.state.Weight, PoundsPerKg);
    row[C::LevelUnit] = input.level.info().option;
    row[C::BreathRatio] = single(input.level.breathRatio);
    row[C::Target] = input.typedTarget ? single(*input.typedTarget)
                                       : number(input.level.levelToShow(input.state.BAL));

    // The beverage as its portions pour it: the dose, or a placebo's floats and mixer.
    QList<ServedPortion> poured;
    for (const PortionLine &portion : report.portions)
        poured << portion.portion;
    const CalculatedDose asPoured = servedWithBooster(report.dose.dose, poured, DosingState{});
    row[C::AlcoholMl] = single(asPoured.state.AlcDose);
    row[C::MixerMl] = single(asPoured.state.MixDose);
    row[C::TotalMl] = single(asPoured.state.TotDose);
    row[C::EthanolGramsPerKg] =
        optional(ethanolPerKg(asPoured), [](double perKg) { return single(float(perKg)); });
    row[C::PortionsPlanned] = whole(report.portions.size());
    row[C::PortionsServed] = whole(
        std::count_if(report.portions.cbegin(), report.portions.cend(),
                      [](const PortionLine &portion) { return portion.served().has_value(); }));
    row[C::DrinkingEndMin] = single(float(report.drinking.drinkingEnds));
    fillOutcome(row, record);
    fillPlan(row, report);
    row[C::Corrections] = whole(record.corrections);
    row[C::Voids] = whole(record.voids);
}

} // namespace

QList<QByteArray> sessionCells(const StudyRecord &record)
{
    using namespace StudyCells;
    SessionRow row;
    row[SessionColumn::File] = text(record.file);
    const std::string_view status = recordStatusWord(record.status);
    row[SessionColumn::Status] = QByteArray(status.data(), qsizetype(status.size()));
    if (record.report)
        fillSession(row, record);
    row[SessionColumn::Problem] = text(record.problem());
    return row.cells();
}

QList<QList<QByteArray>> readingCells(const StudyRecord &record)
{
    using C = ReadingColumn;
    using namespace StudyCells;
    QList<QList<QByteArray>> rows;
    if (!record.report)
        return rows;
    const SessionReport &report = *record.report;
    const LevelScale &scale = report.setup.input.level;
    for (const ReadingLine &reading : report.readings) {
        if (reading.voided)
            continue;
        ReadingRow row;
        fillSessionOf(row, record);
        row[C::Entry] = whole(reading.entry);
        row[C::AtMin] = whole(reading.atMinute);
        // The local date and time, so that a table spanning midnight sorts and reads alike
        // everywhere.
        row[C::ClockTime] = text(SessionClock::momentAt(report.start, reading.atMinute)
                                     .toString(QStringLiteral("yyyy-MM-ddTHH:mm")));
        row[C::Level] = single(reading.level);
        row[C::LevelUnit] = scale.info().option;
        row[C::LevelBal] = number(scale.balToShow(reading.level));
        row[C::Expected] = optional(reading.expectedLevel,
                                    [&scale](double level) { return modelLevel(level, scale); });
        row[C::Difference] = optional(reading.difference, [&scale](double difference) {
            return StudyCells::difference(difference, scale);
        });
        row[C::Note] = readingNoteWord(reading.note);
        row[C::Corrected] = yesNo(reading.corrected);
        rows << row.cells();
    }
    return rows;
}

QByteArray StudyTable::header() const
{
    switch (m_kind) {
    case StudyTableKind::Sessions:
        return headerRow(SessionColumns);
    case StudyTableKind::Readings:
        return headerRow(ReadingColumns);
    case StudyTableKind::Achievement:
        break;
    }
    return headerRow(AchievementColumns);
}

QByteArray StudyTable::written(const QList<QByteArray> &cells) const
{
    return csvRow(m_guard == StudyCellGuard::SpreadsheetSafe ? spreadsheetSafe(cells) : cells);
}

QByteArray StudyTable::add(const StudyRecord &record)
{
    QByteArray rows;
    switch (m_kind) {
    case StudyTableKind::Sessions:
        rows = written(sessionCells(record));
        break;
    case StudyTableKind::Readings:
        for (const QList<QByteArray> &row : readingCells(record))
            rows += written(row);
        if (!record.report)
            m_leftOut.add(record.status, record.file);
        break;
    case StudyTableKind::Achievement:
        if (const std::optional<AchievementSession> session =
                achievementSession(record, m_counting))
            m_achievement.add(*session);
        else
            m_leftOut.add(record.status, record.file);
        break;
    }
    return rows;
}

QByteArray StudyTable::finish() const
{
    QByteArray rows;
    if (m_kind == StudyTableKind::Achievement) {
        for (const QList<QByteArray> &row : m_achievement.rows())
            rows += written(row);
    }
    return rows;
}
