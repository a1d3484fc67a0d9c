#include "calc/RecordReader.h"

#include "calc/Booster.h"
#include "calc/EntryRules.h"
#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "calc/RecordColumns.h"
#include "calc/RecordCsv.h"
#include "calc/RecordText.h"
#include "calc/SessionBooster.h"
#include "calc/SessionCode.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QStringList>
#include <charconv>
#include <limits>

namespace {

using C = RecordColumn;
constexpr int Unbounded = std::numeric_limits<int>::max();

QString nameOf(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString nameOf(RecordColumn column)
{
    return nameOf(recordColumnName(column));
}

// A cell as a message quotes it: its first 40 bytes.
QString quoted(QByteArrayView cell)
{
    return QString::fromUtf8(cell.first(std::min<qsizetype>(cell.size(), 40)));
}

// Where each column stands in the rows of a version's file; -1 where it has none.
using ColumnIndex = std::array<qsizetype, RecordColumnCount>;

// One row of the file, read cell by cell as if every value were typed; the first problem stops it.
class RowReader {
public:
    RowReader(const CsvRow &row, const ColumnIndex &index) : m_row(row), m_index(index) {}

    QByteArrayView text(RecordColumn column) const
    {
        const qsizetype at = m_index[std::size_t(column)];
        return at < 0 ? QByteArrayView() : QByteArrayView(m_row.cells[at]);
    }
    bool empty(RecordColumn column) const { return text(column).isEmpty(); }
    bool failed() const { return !m_problem.isEmpty(); }
    const QString &problem() const { return m_problem; }

    void fail(const QString &problem)
    {
        if (m_problem.isEmpty())
            m_problem = problem;
    }

    // The row's cells as the table says an `event` row fills them, and those of `corrected` too.
    void checkCells(const RecordEventInfo &event, const EventCells &cells,
                    const ColumnSet &corrected = {})
    {
        for (const RecordColumnInfo &info : RecordColumns) {
            const std::size_t i = std::size_t(info.column);
            const Cell use = corrected[i] ? Cell::Required : cells[i];
            if (m_index[i] < 0 || info.column == C::Event)
                continue;
            if (use == Cell::Unused && !empty(info.column))
                fail(QStringLiteral("a %1 row has no %2")
                         .arg(nameOf(event.name), nameOf(info.name)));
            else if (use == Cell::Required && empty(info.column))
                fail(
                    QStringLiteral("a %1 row needs %2").arg(nameOf(event.name), nameOf(info.name)));
        }
    }

    float number(RecordColumn column)
    {
        const QByteArrayView cell = text(column);
        const SingleFromText value = TextToSingle(std::string_view(cell.data(), cell.size()));
        if (!value.ok())
            fail(QStringLiteral("%1 \"%2\" is not a number").arg(nameOf(column), quoted(cell)));
        return value.value;
    }

    std::optional<float> optionalNumber(RecordColumn column)
    {
        return empty(column) ? std::nullopt : std::optional(number(column));
    }

    float aboveZero(RecordColumn column)
    {
        const float value = number(column);
        if (!failed() && !(value > 0))
            fail(QStringLiteral("%1 %2 is not above 0").arg(nameOf(column), quoted(text(column))));
        return value;
    }

    int whole(RecordColumn column, int lowest = std::numeric_limits<int>::min(),
              int highest = Unbounded)
    {
        const QByteArrayView cell = text(column);
        int value = 0;
        const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
        if (!cell.isEmpty() && ec == std::errc() && end == cell.data() + cell.size() &&
            value >= lowest && value <= highest)
            return value;
        if (lowest == std::numeric_limits<int>::min())
            fail(QStringLiteral("%1 \"%2\" is not a whole number")
                     .arg(nameOf(column), quoted(cell)));
        else if (highest == Unbounded)
            fail(QStringLiteral("%1 \"%2\" is not a whole number of at least %3")
                     .arg(nameOf(column), quoted(cell))
                     .arg(lowest));
        else
            fail(QStringLiteral("%1 \"%2\" is not a whole number from %3 to %4")
                     .arg(nameOf(column), quoted(cell))
                     .arg(lowest)
                     .arg(highest));
        return lowest == std::numeric_limits<int>::min() ? 0 : lowest;
    }

    // Millilitres poured: whole and not negative.
    int volume(RecordColumn column) { return whole(column, 0); }

    QString utf8(RecordColumn column)
    {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString value = decoder(text(column));
        if (decoder.hasError())
            fail(QStringLiteral("%1 is not UTF-8 text").arg(nameOf(column)));
        return value;
    }

private:
    const CsvRow &m_row;
    const ColumnIndex &m_index;
    QString m_problem;
};

// Reads the value of `column` that an entry of its event holds, and a correction of it, into
// `values`; an optional cell left empty gives none.
void readValue(RowReader &row, RecordColumn column, EntryValues &values)
{
    if (row.empty(column))
        return;
    switch (column) {
    case C::AtMin:
        values.atMinute = row.whole(column);
        break;
    case C::Level: {
        const float level = row.number(column);
        if (!row.failed() && !(level >= 0))
            row.fail(QStringLiteral("level %1 is below 0").arg(quoted(row.text(column))));
        values.level = level;
        break;
    }
    case C::ServedAtMin:
        values.servedAtMinute = row.whole(column);
        break;
    case C::Dd:
        values.drinkingMinutes =
            float(row.whole(column, BoosterPeriod::Minimum, BoosterPeriod::Maximum));
        break;
    case C::Start:
        values.start = RecordText::startFrom(row.text(column));
        if (!values.start)
            row.fail(QStringLiteral("start \"%1\" is not a date and time as yyyy-mm-ddThh:mm")
                         .arg(quoted(row.text(column))));
        break;
    case C::ReleaseBal:
        values.releaseBal = row.aboveZero(column);
        break;
    default:
        break;
    }
}

void readValues(RowReader &row, const ColumnSet &columns, EntryValues &values)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i])
            readValue(row, RecordColumn(i), values);
    }
}

void readLevelScale(RowReader &row, LevelScale &level)
{
    const QByteArrayView unit = row.text(C::LevelUnit);
    const std::optional<LevelUnit> known =
        levelUnitFromText(std::string_view(unit.data(), std::size_t(unit.size())));
    if (!known)
        row.fail(QStringLiteral("level_unit \"%1\" is not a unit of levels").arg(quoted(unit)));
    level.unit = known.value_or(LevelUnit::GramsPer100Ml);
    level.breathRatio = row.number(C::BreathRatio);
    if (!row.failed() && !acceptsBreathRatio(level.breathRatio))
        row.fail(QStringLiteral("breath_ratio is not from %1 to %2")
                     .arg(double(BreathRatio::Lowest))
                     .arg(double(BreathRatio::Highest)));
}

void readInput(RowReader &row, int version, DoseInput &input)
{
    readLevelScale(row, input.level);
    const std::optional<std::int16_t> gender = RecordText::genderFrom(row.text(C::Gender), version);
    if (!gender)
        row.fail(QStringLiteral("gender \"%1\" is not %2 or %3")
                     .arg(quoted(row.text(C::Gender)),
                          QString::fromLatin1(RecordText::genderText(Gender::Male, version)),
                          QString::fromLatin1(RecordText::genderText(Gender::Female, version))));
    input.state.Gender = gender.value_or(Gender::NotSpecified);
    const bool inches = !row.empty(C::Height) && !row.empty(C::Weight);
    const bool metric = !row.empty(C::HeightCm) && !row.empty(C::WeightKg);
    const int given = int(!row.empty(C::Height)) + int(!row.empty(C::Weight)) +
                      int(!row.empty(C::HeightCm)) + int(!row.empty(C::WeightKg));
    if (given != 2 || inches == metric)
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

bool isSha256(QByteArrayView text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

void readSetup(RowReader &row, int version, SessionSetup &setup)
{
    setup.sessionCode = row.utf8(C::SessionCode);
    if (!acceptsSessionCode(setup.sessionCode))
        row.fail(QStringLiteral("session_code \"%1\" is not 1 to %2 letters, digits, \"-\" or "
                                "\"_\"")
                     .arg(setup.sessionCode.left(40))
                     .arg(SessionCode::MaximumLength));
    setup.programVersion = row.utf8(C::ProgramVersion);
    readInput(row, version, setup.input);
    setup.plan.portions = row.whole(C::Portions, SessionPlanLimits::MinimumPortions,
                                    SessionPlanLimits::MaximumPortions);
    EntryValues values;
    readValues(row, recordEventInfo(EntryEvent::Plan).corrected, values);
    setup.start = values.start.value_or(QDateTime());
    setup.plan.releaseLevel = values.releaseBal.value_or(0);
    setup.placebo = row.whole(C::Placebo, 0, 1) == 1;
    setup.floatMl = row.volume(C::FloatMl);
    setup.alcoholMl = float(row.volume(C::AlcoholMl));
    setup.mixerMl = float(row.volume(C::MixerMl));
    setup.totalMl = float(row.volume(C::TotalMl));
    setup.protocolName = row.utf8(C::Protocol);
    setup.protocolSha256 = row.text(C::ProtocolSha256).toByteArray();
    if (setup.protocolName.isEmpty() != setup.protocolSha256.isEmpty())
        row.fail(QStringLiteral("protocol and protocol_sha256 are given together"));
    else if (!setup.protocolSha256.isEmpty() && !isSha256(setup.protocolSha256))
        row.fail(QStringLiteral("protocol_sha256 \"%1\" is not a SHA-256 in lower-case hex")
                     .arg(quoted(setup.protocolSha256)));
}

// What is wrong with a portion as poured: empty when nothing is.
QString portionProblem(const SessionEntry &portion, const SessionSetup &setup)
{
    if (qint64(portion.alcoholMl) + portion.mixerMl != portion.totalMl)
        return QStringLiteral("portion %1 holds %2 + %3 ml, not its total_ml %4")
            .arg(portion.number)
            .arg(portion.alcoholMl)
            .arg(portion.mixerMl)
            .arg(portion.totalMl);
    if (setup.placebo && portion.alcoholMl != setup.floatMl)
        return QStringLiteral("placebo portion %1 holds %2 ml of spirit, not the float of %3 ml")
            .arg(portion.number)
            .arg(portion.alcoholMl)
            .arg(setup.floatMl);
    return {};
}

// What is wrong with the plan's portions together, which must hold the dose: empty when nothing
// is.
QString portionsProblem(const SessionRecord &record)
{
    const SessionSetup &setup = record.setup;
    qint64 alcohol = 0;
    qint64 mixer = 0;
    qint64 total = 0;
    for (const SessionEntry &portion : record.entries) {
        alcohol += portion.alcoholMl;
        mixer += portion.mixerMl;
        total += portion.totalMl;
    }
    if (!setup.placebo &&
        (double(alcohol) != double(setup.alcoholMl) || double(mixer) != double(setup.mixerMl)))
        return QStringLiteral("the portions add up to %1 ml of spirit and %2 ml of mixer, not the "
                              "dose's %3 and %4 ml")
            .arg(alcohol)
            .arg(mixer)
            .arg(double(setup.alcoholMl))
            .arg(double(setup.mixerMl));
    if (double(total) != double(setup.totalMl))
        return QStringLiteral("the portions add up to %1 ml in all, not the dose's %2 ml")
            .arg(total)
            .arg(double(setup.totalMl));
    return {};
}

// The columns of a version's header; the version whose header `cells` are, or what is wrong.
struct Header {
    int version = 0;
    ColumnIndex index{};
    QString problem;
};

QList<QByteArray> headerOf(int version)
{
    QList<QByteArray> names;
    for (const std::optional<RecordColumn> &column : headerColumns(version)) {
        if (column)
            names << QByteArray(recordColumnName(*column).data(),
                                qsizetype(recordColumnName(*column).size()));
    }
    return names;
}

Header readHeader(const QList<QByteArray> &cells)
{
    Header header;
    // Told apart by their first column; a header is then compared column by column.
    const int version = !cells.isEmpty() && cells.constFirst() == headerOf(RecordVersion::First)[0]
                            ? RecordVersion::First
                            : RecordVersion::Current;
    const QList<QByteArray> names = headerOf(version);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i >= cells.size() || cells[i] != names[i]) {
            header.problem = QStringLiteral("the header's column %1 is \"%2\", not \"%3\"")
                                 .arg(i + 1)
                                 .arg(quoted(i < cells.size() ? cells[i] : QByteArray()),
                                      QString::fromLatin1(names[i]));
            return header;
        }
    }
    if (cells.size() != names.size()) {
        header.problem =
            QStringLiteral("the header has %1 columns, not %2").arg(cells.size()).arg(names.size());
        return header;
    }
    header.version = version;
    header.index.fill(-1);
    for (qsizetype i = 0; i < names.size(); ++i)
        header.index[std::size_t(*headerColumns(version)[std::size_t(i)])] = i;
    return header;
}

QString eventNames(int version)
{
    QStringList names;
    for (const RecordEventInfo &event : RecordEvents) {
        if (recordEventNamed(event.name, version))
            names << nameOf(event.name);
    }
    return names.join(QStringLiteral(", "));
}

// The reading of one file, row by row.
class FileReader {
public:
    FileReader(QByteArrayView bytes, const QString &fileName) : m_bytes(bytes), m_file(fileName) {}

    RecordReading read();

private:
    RecordReading failure(qsizetype line, const QString &problem) const
    {
        RecordReading reading;
        reading.error = recordLineMessage(m_file, line, problem);
        return reading;
    }

    // Each returns the problem of its row, empty when there is none.
    QString readRow(qsizetype i, RowReader &row, const RecordEventInfo &event);
    void readStamp(RowReader &row, QDateTime &enteredAt, QString &operatorInitials);
    void readEntry(RowReader &row, const RecordEventInfo &event, SessionEntry &entry);
    void readChange(RowReader &row, const RecordEventInfo &event, SessionEntry &entry);
    void readEnd(qsizetype i, RowReader &row, const RecordEventInfo &event);

    QByteArrayView m_bytes;
    QString m_file;
    CsvRows m_csv;
    int m_version = 0;
    SessionRecord m_record;
    bool m_planRead = false;
    bool m_stamped = false; // a row gave the time and the operator; every later row must
    int m_stage = 0;        // version 1: its rows' order, plan 0, portions 1, readings 2, booster 3
    bool m_endRead = false;
    QString m_changed; // how the end row does not match
};

void FileReader::readStamp(RowReader &row, QDateTime &enteredAt, QString &operatorInitials)
{
    if (m_version == RecordVersion::First)
        return;
    const bool hasTime = !row.empty(C::EnteredAt);
    if (hasTime != !row.empty(C::Operator)) {
        row.fail(QStringLiteral("entered_at and operator are given together"));
        return;
    }
    if (!hasTime) {
        // Only the entries carried over from a version-1 file have neither, and they come first.
        if (m_stamped)
            row.fail(QStringLiteral("a row after one with entered_at needs entered_at and "
                                    "operator"));
        return;
    }
    m_stamped = true;
    const std::optional<QDateTime> time = RecordText::enteredAtFrom(row.text(C::EnteredAt));
    if (!time)
        row.fail(QStringLiteral("entered_at \"%1\" is not a time as yyyy-mm-ddThh:mm:ssZ")
                     .arg(quoted(row.text(C::EnteredAt))));
    enteredAt = time.value_or(QDateTime());
    operatorInitials = row.utf8(C::Operator);
    if (!acceptsOperatorInitials(operatorInitials))
        row.fail(QStringLiteral("operator \"%1\" is not 1 to %2 letters")
                     .arg(operatorInitials.left(40))
                     .arg(OperatorInitials::MaximumLength));
}

// A correction or a void: the entry it changes, and why.
void FileReader::readChange(RowReader &row, const RecordEventInfo &event, SessionEntry &entry)
{
    entry.corrects = row.whole(C::Corrects, 1);
    entry.reason = row.utf8(C::Reason);
    if (row.failed())
        return;
    const SessionEntry *changed = nullptr;
    for (const SessionEntry &earlier : std::as_const(m_record.entries)) {
        if (earlier.entry == entry.corrects)
            changed = &earlier;
    }
    const std::optional<EntryEvent> changedEvent = entry.corrects == 1
                                                       ? std::optional(EntryEvent::Plan)
                                                   : changed ? std::optional(changed->event)
                                                             : std::nullopt;
    if (!changedEvent) {
        row.fail(QStringLiteral("corrects %1 is not an earlier entry").arg(entry.corrects));
        return;
    }
    if (*changedEvent == EntryEvent::Correction || *changedEvent == EntryEvent::Void) {
        row.fail(QStringLiteral("corrects %1, which is itself a %2: name the entry it changed")
                     .arg(entry.corrects)
                     .arg(nameOf(recordEventInfo(*changedEvent).name)));
        return;
    }
    const ColumnSet corrected = entry.event == EntryEvent::Correction
                                    ? recordEventInfo(*changedEvent).corrected
                                    : ColumnSet{};
    row.checkCells(event, event.cells, corrected);
    if (entry.event == EntryEvent::Void && *changedEvent == EntryEvent::Plan) {
        row.fail(QStringLiteral("the plan cannot be voided; its start and release level may be "
                                "corrected"));
        return;
    }
    if (reasonProblem(entry.reason) != ReasonProblem::None) {
        row.fail(
            QStringLiteral("reason must hold 1 to %1 characters").arg(ChangeReason::MaximumLength));
        return;
    }
    readValues(row, corrected, entry.values);
}

void FileReader::readEntry(RowReader &row, const RecordEventInfo &event, SessionEntry &entry)
{
    const bool first = m_version == RecordVersion::First;
    // A correction's cells depend on the entry it corrects: readChange checks them.
    if (entry.event != EntryEvent::Correction && entry.event != EntryEvent::Void)
        row.checkCells(event, first ? event.firstVersion : event.cells);
    readStamp(row, entry.enteredAt, entry.operatorInitials);
    switch (entry.event) {
    case EntryEvent::Portion:
        entry.number = row.whole(C::Number, entry.entry - 1, entry.entry - 1);
        entry.plannedAtMinute = row.whole(C::AtMin);
        break;
    case EntryEvent::Served:
        entry.number = row.whole(C::Number, 1, m_record.setup.plan.portions);
        break;
    case EntryEvent::Reading:
        if (first) {
            // Version 1 numbered its readings 1, 2, 3 ... and kept them in time order.
            const int readings = int(std::count_if(
                m_record.entries.cbegin(), m_record.entries.cend(),
                [](const SessionEntry &e) { return e.event == EntryEvent::Reading; }));
            row.whole(C::Number, readings + 1, readings + 1);
            const int minute = row.whole(C::AtMin);
            const SessionEntry &last = m_record.entries.constLast();
            if (!row.failed() && last.event == EntryEvent::Reading &&
                minute < last.values.atMinute.value_or(minute))
                row.fail(QStringLiteral("the reading is earlier than the one before"));
        }
        break;
    case EntryEvent::Booster:
        entry.boosterTargetBal = row.aboveZero(C::Bal);
        break;
    case EntryEvent::Correction:
    case EntryEvent::Void:
        readChange(row, event, entry);
        return;
    case EntryEvent::Plan:
        break;
    }
    if (entry.event == EntryEvent::Portion || entry.event == EntryEvent::Booster) {
        entry.alcoholMl = row.volume(C::AlcoholMl);
        entry.mixerMl = row.volume(C::MixerMl);
        entry.totalMl = row.volume(C::TotalMl);
    }
    if (entry.event == EntryEvent::Portion && !row.failed())
        row.fail(portionProblem(entry, m_record.setup));
    readValues(row, event.corrected, entry.values);
}

void FileReader::readEnd(qsizetype i, RowReader &row, const RecordEventInfo &event)
{
    if (i != m_csv.rows.size() - 1) {
        m_changed = QStringLiteral("rows follow its end row");
        return;
    }
    row.checkCells(event, event.cells);
    const int count = row.whole(C::Number, 0);
    if (row.failed())
        return;
    m_endRead = true;
    const qsizetype before = i - 1; // the rows before it, without the header
    const QByteArray digest =
        QCryptographicHash::hash(m_bytes.first(m_csv.rows[i].offset), QCryptographicHash::Sha256)
            .toHex();
    if (count != before)
        m_changed = QStringLiteral("its end row counts %1 rows before it, but there are %2")
                        .arg(count)
                        .arg(before);
    else if (row.text(C::Sha256) != digest)
        m_changed = QStringLiteral("the rows before its end row are not as they were written "
                                   "(their SHA-256 differs from the end row's)");
}

QString FileReader::readRow(qsizetype i, RowReader &row, const RecordEventInfo &event)
{
    const bool first = m_version == RecordVersion::First;
    if (!event.event) {
        readEnd(i, row, event);
        return row.problem();
    }
    const EntryEvent kind = *event.event;
    const int number = m_planRead ? int(m_record.entries.size()) + 2 : 1;
    if (!m_planRead && kind != EntryEvent::Plan)
        return QStringLiteral("the record starts with its plan row");
    if (m_planRead && kind == EntryEvent::Plan)
        return QStringLiteral("a record has one plan row");
    // The plan's portions follow it, one row for each.
    const int portionRows = int(m_record.entries.size());
    if (m_planRead && (kind == EntryEvent::Portion) != (portionRows < m_record.setup.plan.portions))
        return QStringLiteral("the plan has %1 portions: their rows follow it, one for each")
            .arg(m_record.setup.plan.portions);
    if (first) {
        const int stage = kind == EntryEvent::Plan      ? 0
                          : kind == EntryEvent::Portion ? 1
                          : kind == EntryEvent::Reading ? 2
                                                        : 3;
        if (stage < m_stage || (stage == 3 && m_stage == 3))
            return QStringLiteral("event \"%1\" is not in the order plan, portions, readings, "
                                  "booster")
                .arg(nameOf(event.name));
        m_stage = stage;
    } else if (const int given = row.whole(C::Entry, 1); !row.failed() && given != number) {
        return QStringLiteral("entry %1 should be %2: entries are numbered 1, 2, 3 ... in the "
                              "order they were made")
            .arg(given)
            .arg(number);
    }
    if (kind == EntryEvent::Plan) {
        row.checkCells(event, first ? event.firstVersion : event.cells);
        readStamp(row, m_record.setup.enteredAt, m_record.setup.operatorInitials);
        readSetup(row, m_version, m_record.setup);
        m_planRead = true;
        return row.problem();
    }
    SessionEntry entry;
    entry.entry = number;
    entry.event = kind;
    readEntry(row, event, entry);
    if (row.failed())
        return row.problem();
    m_record.entries.append(entry);
    if (kind == EntryEvent::Portion && m_record.entries.size() == m_record.setup.plan.portions)
        return portionsProblem(m_record);
    return {};
}

RecordReading FileReader::read()
{
    m_csv = readCsvRows(m_bytes);
    if (m_csv.errorLine > 0)
        return failure(m_csv.errorLine, m_csv.error);
    const Header header =
        readHeader(m_csv.rows.isEmpty() ? QList<QByteArray>() : m_csv.rows.constFirst().cells);
    if (header.version == 0)
        return failure(1, header.problem);
    m_version = header.version;
    m_record.version = m_version;
    const qsizetype width = headerOf(m_version).size();
    for (qsizetype i = 1; i < m_csv.rows.size(); ++i) {
        const CsvRow &csvRow = m_csv.rows[i];
        if (csvRow.cells.size() != width)
            return failure(
                csvRow.line,
                QStringLiteral("the row has %1 cells, not %2").arg(csvRow.cells.size()).arg(width));
        RowReader row(csvRow, header.index);
        const QByteArrayView name = row.text(C::Event);
        const RecordEventInfo *event =
            recordEventNamed(std::string_view(name.data(), std::size_t(name.size())), m_version);
        if (!event)
            return failure(csvRow.line, QStringLiteral("event \"%1\" is not one of %2")
                                            .arg(quoted(name), eventNames(m_version)));
        const QString problem = readRow(i, row, *event);
        if (!problem.isEmpty())
            return failure(csvRow.line, problem);
    }
    const qsizetype lastLine = m_csv.rows.isEmpty() ? 1 : m_csv.rows.constLast().line;
    if (!m_planRead)
        return failure(lastLine + (m_csv.rows.size() > 1 ? 0 : 1),
                       QStringLiteral("there is no plan row"));
    if (m_record.entries.size() < m_record.setup.plan.portions)
        return failure(lastLine, QStringLiteral("the plan has %1 portions, the file %2")
                                     .arg(m_record.setup.plan.portions)
                                     .arg(m_record.entries.size()));

    RecordReading reading;
    reading.record = m_record;
    if (m_version == RecordVersion::First) {
        reading.check = RecordCheck::Unverified;
    } else if (!m_changed.isEmpty()) {
        reading.check = RecordCheck::Changed;
        reading.warning = recordChangedMessage(m_file, m_changed);
    } else if (!m_endRead) {
        reading.check = RecordCheck::Cut;
        reading.warning = recordCutMessage(m_file);
    }
    return reading;
}

} // namespace

RecordReading RecordReader::read(QByteArrayView bytes, const QString &fileName)
{
    // A spreadsheet's "Unicode text" is UTF-16: every other byte of its text is a NUL.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.contains('\0')) {
        RecordReading reading;
        reading.error = recordFileMessage(
            fileName, QStringLiteral("it is not UTF-8 text (it is UTF-16 or holds NUL bytes); "
                                     "save it as UTF-8 (CSV UTF-8)"));
        return reading;
    }
    return FileReader(bytes, fileName).read();
}
