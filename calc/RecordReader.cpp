#include "calc/RecordReader.h"

#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "calc/RecordColumns.h"
#include "calc/RecordCsv.h"
#include "calc/SessionCode.h"

#include <QFile>
#include <QStringDecoder>
#include <charconv>
#include <initializer_list>
#include <limits>

namespace {

using C = RecordColumn;

// The columns each event fills; every other cell of its row is empty.
const std::initializer_list<RecordColumn> PlanColumns = {C::SessionCode, C::ProgramVersion,
                                                         C::Start,       C::LevelUnit,
                                                         C::BreathRatio, C::Gender,
                                                         C::Height,      C::Weight,
                                                         C::HeightCm,    C::WeightKg,
                                                         C::Age,         C::Bal,
                                                         C::Target,      C::Dd,
                                                         C::Proof,       C::Ratio,
                                                         C::Portions,    C::ReleaseBal,
                                                         C::Placebo,     C::FloatMl,
                                                         C::AlcoholMl,   C::MixerMl,
                                                         C::TotalMl};
const std::initializer_list<RecordColumn> PortionColumns = {
    C::Number, C::AtMin, C::ServedAtMin, C::AlcoholMl, C::MixerMl, C::TotalMl};
const std::initializer_list<RecordColumn> ReadingColumns = {C::Number, C::AtMin, C::Level};
const std::initializer_list<RecordColumn> BoosterColumns = {C::ServedAtMin, C::Bal,     C::Dd,
                                                            C::AlcoholMl,   C::MixerMl, C::TotalMl};

QString name(RecordColumn column)
{
    const std::string_view text = recordColumnName(column);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// One row of the file, read cell by cell; the first problem stops it.
class RowReader {
public:
    explicit RowReader(const CsvRow &row) : m_row(row) {}

    const QByteArray &text(RecordColumn column) const { return m_row.cells[qsizetype(column)]; }
    bool empty(RecordColumn column) const { return text(column).isEmpty(); }
    bool failed() const { return !m_problem.isEmpty(); }
    const QString &problem() const { return m_problem; }

    void fail(const QString &problem)
    {
        if (m_problem.isEmpty())
            m_problem = problem;
    }

    // Every cell outside `used` is empty.
    void onlyUses(std::initializer_list<RecordColumn> used, std::string_view event)
    {
        for (std::size_t i = 1; i < RecordColumns.size(); ++i) {
            const RecordColumn column = RecordColumn(i);
            if (std::find(used.begin(), used.end(), column) == used.end() && !empty(column))
                fail(QStringLiteral("a %1 row has no %2")
                         .arg(QLatin1String(event.data(), qsizetype(event.size())), name(column)));
        }
    }

    float number(RecordColumn column)
    {
        const QByteArray &cell = text(column);
        const SingleFromText value = TextToSingle(std::string_view(cell.constData(), cell.size()));
        if (!value.ok())
            fail(QStringLiteral("%1 \"%2\" is not a number").arg(name(column), quotedText(cell)));
        return value.value;
    }

    std::optional<float> optionalNumber(RecordColumn column)
    {
        return empty(column) ? std::nullopt : std::optional(number(column));
    }

    int whole(RecordColumn column, int lowest = std::numeric_limits<int>::min(),
              int highest = std::numeric_limits<int>::max())
    {
        const QByteArray &cell = text(column);
        int value = 0;
        const auto [end, ec] = std::from_chars(cell.constData(), cell.constEnd(), value);
        if (cell.isEmpty() || ec != std::errc() || end != cell.constEnd() || value < lowest ||
            value > highest) {
            fail(QStringLiteral("%1 \"%2\" is not a whole number from %3 to %4")
                     .arg(name(column), quotedText(cell))
                     .arg(lowest)
                     .arg(highest));
            return 0;
        }
        return value;
    }

    std::optional<int> optionalWhole(RecordColumn column)
    {
        return empty(column) ? std::nullopt : std::optional(whole(column));
    }

    QString utf8(RecordColumn column)
    {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString value = decoder(text(column));
        if (decoder.hasError())
            fail(QStringLiteral("%1 is not UTF-8 text").arg(name(column)));
        return value;
    }

private:
    static QString quotedText(const QByteArray &cell) { return QString::fromUtf8(cell.left(40)); }

    const CsvRow &m_row;
    QString m_problem;
};

void readStart(RowReader &row, SessionRecord &record)
{
    const QString start = row.utf8(C::Start);
    if (start.isEmpty())
        return;
    record.startDate = QDate::fromString(start.left(10), Qt::ISODate);
    record.startTime = QTime::fromString(start.mid(11), QStringLiteral("HH:mm"));
    if (!record.startDate.isValid() || !record.startTime.isValid() || start.size() != 16 ||
        start[10] != QLatin1Char('T'))
        row.fail(QStringLiteral("start \"%1\" is not a date and time as yyyy-mm-ddThh:mm")
                     .arg(start.left(40)));
}

void readLevelScale(RowReader &row, LevelScale &level)
{
    const QByteArray &unit = row.text(C::LevelUnit);
    const std::optional<LevelUnit> known =
        levelUnitFromText(std::string_view(unit.constData(), std::size_t(unit.size())));
    if (!known)
        row.fail(QStringLiteral("level_unit \"%1\" is not a unit of levels")
                     .arg(QString::fromUtf8(unit.left(40))));
    level.unit = known.value_or(LevelUnit::GramsPer100Ml);
    level.breathRatio = row.number(C::BreathRatio);
    if (!row.failed() && !acceptsBreathRatio(level.breathRatio))
        row.fail(QStringLiteral("breath_ratio is not from %1 to %2")
                     .arg(double(BreathRatio::Lowest))
                     .arg(double(BreathRatio::Highest)));
}

void readInput(RowReader &row, DoseInput &input)
{
    readLevelScale(row, input.level);
    input.state.Gender = std::int16_t(row.whole(C::Gender, std::numeric_limits<std::int16_t>::min(),
                                                std::numeric_limits<std::int16_t>::max()));
    const bool inches = !row.empty(C::Height) || !row.empty(C::Weight);
    const bool metric = !row.empty(C::HeightCm) || !row.empty(C::WeightKg);
    if (inches == metric)
        row.fail(QStringLiteral("give height and weight, or height_cm and weight_kg"));
    input.units = metric ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds;
    input.number(DoseValue::Height) = row.number(metric ? C::HeightCm : C::Height);
    input.number(DoseValue::Weight) = row.number(metric ? C::WeightKg : C::Weight);
    input.state.Age = row.number(C::Age);
    input.state.BAL = row.number(C::Bal);
    input.typedTarget = row.optionalNumber(C::Target);
    input.state.DD = row.number(C::Dd);
    input.state.Proof = row.number(C::Proof);
    input.state.Ratio = row.number(C::Ratio);
}

void readPlan(RowReader &row, SessionRecord &record)
{
    row.onlyUses(PlanColumns, RecordEvent::Plan);
    record.sessionCode = row.utf8(C::SessionCode);
    if (!acceptsSessionCode(record.sessionCode))
        row.fail(QStringLiteral("session_code \"%1\" is not 1 to %2 letters, digits, \"-\" or "
                                "\"_\"")
                     .arg(record.sessionCode.left(40))
                     .arg(SessionCode::MaximumLength));
    record.programVersion = row.utf8(C::ProgramVersion);
    readStart(row, record);
    readInput(row, record.input);
    record.plan.portions = row.whole(C::Portions, SessionPlanLimits::MinimumPortions,
                                     SessionPlanLimits::MaximumPortions);
    record.plan.releaseLevel = row.number(C::ReleaseBal);
    if (!row.failed() && !acceptsReleaseLevel(record.plan.releaseLevel))
        row.fail(QStringLiteral("release_bal is not above 0"));
    record.placebo = row.whole(C::Placebo, 0, 1) == 1;
    record.floatMl = row.whole(C::FloatMl, 0);
    record.alcoholMl = row.number(C::AlcoholMl);
    record.mixerMl = row.number(C::MixerMl);
    record.totalMl = row.number(C::TotalMl);
}

void readPortion(RowReader &row, SessionRecord &record)
{
    row.onlyUses(PortionColumns, RecordEvent::Portion);
    RecordedPortion recorded;
    const int expected = int(record.portions.size()) + 1;
    recorded.portion.number = row.whole(C::Number, expected, expected);
    recorded.portion.atMinute = row.whole(C::AtMin);
    recorded.servedAtMinute = row.optionalWhole(C::ServedAtMin);
    recorded.portion.alcoholMl = row.whole(C::AlcoholMl);
    recorded.portion.mixerMl = row.whole(C::MixerMl);
    recorded.portion.totalMl = row.whole(C::TotalMl);
    if (expected > record.plan.portions)
        row.fail(QStringLiteral("the plan has %1 portions").arg(record.plan.portions));
    record.portions.append(recorded);
}

void readReading(RowReader &row, SessionRecord &record)
{
    row.onlyUses(ReadingColumns, RecordEvent::Reading);
    const int expected = int(record.readings.size()) + 1;
    row.whole(C::Number, expected, expected);
    LevelReading reading;
    reading.atMinute = row.whole(C::AtMin);
    reading.level = row.number(C::Level);
    if (!record.readings.isEmpty() && reading.atMinute < record.readings.constLast().atMinute)
        row.fail(QStringLiteral("the reading is earlier than the one before"));
    record.readings.append(reading);
}

void readBooster(RowReader &row, SessionRecord &record)
{
    row.onlyUses(BoosterColumns, RecordEvent::Booster);
    RecordedBooster booster;
    booster.servedAtMinute = row.whole(C::ServedAtMin);
    booster.targetBal = row.number(C::Bal);
    booster.drinkingMinutes = row.number(C::Dd);
    booster.alcoholMl = row.number(C::AlcoholMl);
    booster.mixerMl = row.number(C::MixerMl);
    booster.totalMl = row.number(C::TotalMl);
    record.booster = booster;
}

RecordReader::Result failure(qsizetype line, const QString &problem)
{
    return {std::nullopt, recordLineMessage(line, problem)};
}

} // namespace

RecordReader::Result RecordReader::read(QByteArrayView bytes)
{
    const CsvRows csv = readCsvRows(bytes);
    if (csv.errorLine > 0)
        return failure(csv.errorLine, csv.error);
    QByteArray header;
    for (std::string_view column : RecordColumns)
        header +=
            (header.isEmpty() ? "" : ",") + QByteArray(column.data(), qsizetype(column.size()));
    if (csv.rows.isEmpty() || csv.rows.constFirst().cells.join(',') != header ||
        csv.rows.constFirst().cells.size() != qsizetype(RecordColumns.size()))
        return failure(1, QStringLiteral("the header is not %1").arg(QLatin1String(header)));
    if (csv.rows.size() < 2)
        return failure(2, QStringLiteral("there is no plan row"));

    SessionRecord record;
    // The events in their order: the plan, then portions, readings and at most one booster.
    const std::array<std::string_view, 4> order = {RecordEvent::Plan, RecordEvent::Portion,
                                                   RecordEvent::Reading, RecordEvent::Booster};
    std::size_t stage = 0;
    for (qsizetype i = 1; i < csv.rows.size(); ++i) {
        const CsvRow &csvRow = csv.rows[i];
        if (csvRow.cells.size() != qsizetype(RecordColumns.size()))
            return failure(csvRow.line, QStringLiteral("the row has %1 cells, not %2")
                                            .arg(csvRow.cells.size())
                                            .arg(RecordColumns.size()));
        RowReader row(csvRow);
        const QByteArray &event = row.text(C::Event);
        const auto at = std::find(order.begin(), order.end(),
                                  std::string_view(event.constData(), std::size_t(event.size())));
        const std::size_t kind = std::size_t(at - order.begin());
        const bool firstIsPlan = (i == 1) == (kind == 0);
        if (at == order.end() || !firstIsPlan || kind < stage || (kind == 3 && record.booster))
            return failure(csvRow.line,
                           QStringLiteral("event \"%1\" is not in the order plan, portions, "
                                          "readings, booster")
                               .arg(QString::fromUtf8(event.left(40))));
        stage = kind;
        if (kind == 0)
            readPlan(row, record);
        else if (kind == 1)
            readPortion(row, record);
        else if (kind == 2)
            readReading(row, record);
        else
            readBooster(row, record);
        if (row.failed())
            return failure(csvRow.line, row.problem());
    }
    if (record.portions.size() != record.plan.portions)
        return failure(csv.rows.constLast().line,
                       QStringLiteral("the plan has %1 portions, the file %2")
                           .arg(record.plan.portions)
                           .arg(record.portions.size()));
    return {record, {}};
}

RecordReader::Result RecordReader::open(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, recordFileMessage(path, file.errorString())};
    return read(file.readAll());
}
