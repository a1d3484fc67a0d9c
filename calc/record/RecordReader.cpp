#include "calc/record/RecordReader.h"

#include "calc/dose/Booster.h"
#include "calc/dose/ControlCharacters.h"
#include "calc/dose/NumberText.h"
#include "calc/record/RecordColumns.h"
#include "calc/record/RecordCsv.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/record/RecordText.h"
#include "calc/session/EntryRules.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionCode.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QStringList>
#include <charconv>
#include <cstring>
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

// A cell as a message quotes it: its first 40 bytes, control characters escaped.
QString quoted(QByteArrayView cell)
{
    return escapedFileText(cell.first(std::min<qsizetype>(cell.size(), 40)));
}

// "a plan row", "an end row"
QString rowOf(std::string_view event)
{
    const bool vowel = !event.empty() && std::strchr("aeiou", event.front()) != nullptr;
    return QStringLiteral("%1 %2 row")
        .arg(vowel ? QStringLiteral("an") : QStringLiteral("a"), nameOf(event));
}

// Where each column stands in the rows of a version's file; -1 where it has none.
using ColumnIndex = std::array<qsizetype, RecordColumnCount>;

// One row of the file, read cell by cell as if every value were typed; the first problem stops it.
class RowReader {
public:
    RowReader(const QList<QByteArrayView> &cells, const ColumnIndex &index)
        : m_cells(cells), m_index(index)
    {
    }

    QByteArrayView text(RecordColumn column) const
    {
        const qsizetype at = m_index[std::size_t(column)];
        return at < 0 ? QByteArrayView() : m_cells[at];
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
                fail(QStringLiteral("%1 has no %2").arg(rowOf(event.name), nameOf(info.name)));
            else if (use == Cell::Required && empty(info.column))
                fail(QStringLiteral("%1 needs %2").arg(rowOf(event.name), nameOf(info.name)));
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
    const QList<QByteArrayView> &m_cells;
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
                     .arg(escapedControlCharacters(setup.sessionCode.left(40)))
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

Header readHeader(const QList<QByteArrayView> &cells)
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
                                 .arg(quoted(i < cells.size() ? cells[i] : QByteArrayView()),
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

} // namespace

// The reading of one file, row by row as its bytes come.
class RecordFileReader {
public:
    explicit RecordFileReader(const QString &fileName) : m_file(fileName) {}

    void reserve(qsizetype rows) { m_record.entries.reserve(rows); }
    void add(QByteArrayView bytes);
    RecordReading finish();

private:
    void fail(qsizetype line, const QString &problem)
    {
        if (m_error.isEmpty())
            m_error = recordLineMessage(m_file, line, problem);
    }
    void failNotUtf8();
    bool failed() const { return !m_error.isEmpty(); }
    // Reads the rows that `bytes` hold whole; how many of its bytes they took.
    qsizetype parse(QByteArrayView bytes, bool last);
    void readCsvRow(QByteArrayView bytes, const QList<QByteArrayView> &cells, qsizetype line);

    // Each returns the problem of its row, empty when there is none.
    QString readRow(RowReader &row, const RecordEventInfo &event);
    void readStamp(RowReader &row, QDateTime &enteredAt, QString &operatorInitials);
    void readEntry(RowReader &row, const RecordEventInfo &event, SessionEntry &entry);
    void readChange(RowReader &row, const RecordEventInfo &event, SessionEntry &entry);
    void readEnd(RowReader &row, const RecordEventInfo &event);

    QString m_file;
    QString m_error;
    CsvRowReader m_csv;
    QByteArray m_pending;   // the bytes of a row not yet whole
    qint64 m_size = 0;      // of every byte added
    bool m_started = false; // the file's first bytes were judged (a byte order mark, UTF-16)
    qsizetype m_line = 1;   // where the next row starts
    qsizetype m_lastLine = 0;
    qsizetype m_rows = 0;                                  // read, the header counted
    QCryptographicHash m_hash{QCryptographicHash::Sha256}; // of every byte before the end row
    Header m_header;
    qsizetype m_width = 0;
    int m_version = 0;
    SessionRecord m_record;
    bool m_planRead = false;
    bool m_stamped = false; // a row gave the time and the operator; every later row must
    int m_stage = 0;        // version 1: its rows' order, plan 0, portions 1, readings 2, booster 3
    int m_readings = 0;     // version 1: the readings read, which it numbered 1, 2, 3 ...
    bool m_endRead = false;
    QByteArray m_endDigest;
    QString m_changed; // how the end row does not match
    bool m_rowsAfterEnd = false;
    bool m_blankAfterEnd = false;
    QByteArray m_operatorText; // the last operator read, whose text every entry shares
    QString m_operator;
};

void RecordFileReader::failNotUtf8()
{
    // A spreadsheet's "Unicode text" is UTF-16: every other byte of its text is a NUL. Such a file
    // is no text at all, so this is what is told, whatever a row before the NUL broke: a file
    // read in parts is then told as it is read whole.
    m_error =
        recordFileMessage(m_file, QStringLiteral("it is not UTF-8 text (it is UTF-16 or holds "
                                                 "NUL bytes); save it as UTF-8 (CSV UTF-8)"));
}

void RecordFileReader::readStamp(RowReader &row, QDateTime &enteredAt, QString &operatorInitials)
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
    // A session's entries are made by a few operators: their initials are read once and shared.
    if (row.text(C::Operator) != m_operatorText) {
        m_operatorText = row.text(C::Operator).toByteArray();
        m_operator = row.utf8(C::Operator);
    }
    operatorInitials = m_operator;
    if (!acceptsOperatorInitials(operatorInitials))
        row.fail(QStringLiteral("operator \"%1\" is not 1 to %2 letters")
                     .arg(escapedControlCharacters(operatorInitials.left(40)))
                     .arg(OperatorInitials::MaximumLength));
}

// A correction or a void: the entry it changes, and why.
void RecordFileReader::readChange(RowReader &row, const RecordEventInfo &event, SessionEntry &entry)
{
    entry.corrects = row.whole(C::Corrects, 1);
    entry.reason = row.utf8(C::Reason);
    if (row.failed())
        return;
    // Entries are numbered in the order read, from 2 after the plan.
    const qsizetype at = qsizetype(entry.corrects) - 2;
    const SessionEntry *changed =
        at >= 0 && at < m_record.entries.size() ? &m_record.entries[at] : nullptr;
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
    if (reasonProblem(entry.reason) == ReasonProblem::Missing ||
        reasonProblem(entry.reason) == ReasonProblem::TooLong) {
        row.fail(
            QStringLiteral("reason must hold 1 to %1 characters").arg(ChangeReason::MaximumLength));
        return;
    }
    readValues(row, corrected, entry.values);
}

void RecordFileReader::readEntry(RowReader &row, const RecordEventInfo &event, SessionEntry &entry)
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
            row.whole(C::Number, m_readings + 1, m_readings + 1);
            const int minute = row.whole(C::AtMin);
            const SessionEntry &last = m_record.entries.constLast();
            if (!row.failed() && last.event == EntryEvent::Reading &&
                minute < last.values.atMinute.value_or(minute))
                row.fail(QStringLiteral("the reading is earlier than the one before"));
            ++m_readings;
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

void RecordFileReader::readEnd(RowReader &row, const RecordEventInfo &event)
{
    row.checkCells(event, event.cells);
    const int count = row.whole(C::Number, 0);
    if (row.failed())
        return;
    m_endRead = true;
    m_endDigest = row.text(C::Sha256).toByteArray();
    const qsizetype before = m_rows - 2; // the rows before it, without the header
    if (count != before)
        m_changed = QStringLiteral("its end row counts %1 rows before it, but there are %2")
                        .arg(count)
                        .arg(before);
    else if (row.text(C::Sha256) != m_hash.result().toHex())
        m_changed = QStringLiteral("the rows before its end row are not as they were written "
                                   "(their SHA-256 differs from the end row's)");
}

QString RecordFileReader::readRow(RowReader &row, const RecordEventInfo &event)
{
    const bool first = m_version == RecordVersion::First;
    if (!event.event) {
        readEnd(row, event);
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
    m_record.entries.append(std::move(entry));
    if (kind == EntryEvent::Portion && m_record.entries.size() == m_record.setup.plan.portions)
        return portionsProblem(m_record);
    return {};
}

void RecordFileReader::readCsvRow(QByteArrayView bytes, const QList<QByteArrayView> &cells,
                                  qsizetype line)
{
    ++m_rows;
    m_lastLine = line;
    if (m_rows == 1) {
        m_hash.addData(bytes);
        m_header = readHeader(cells);
        if (m_header.version == 0)
            return fail(1, m_header.problem);
        m_version = m_header.version;
        m_record.version = m_version;
        m_width = headerOf(m_version).size();
        return;
    }
    if (m_endRead && cells.size() == 1 && cells[0].isEmpty()) {
        m_blankAfterEnd = true;
        return;
    }
    if (cells.size() != m_width)
        return fail(line,
                    QStringLiteral("the row has %1 cells, not %2").arg(cells.size()).arg(m_width));
    RowReader row(cells, m_header.index);
    const QByteArrayView name = row.text(C::Event);
    const RecordEventInfo *event =
        recordEventNamed(std::string_view(name.data(), std::size_t(name.size())), m_version);
    if (!event)
        return fail(line, QStringLiteral("event \"%1\" is not one of %2")
                              .arg(quoted(name), eventNames(m_version)));
    if (m_endRead) {
        // What follows the end row is shown, never vouched for.
        m_rowsAfterEnd = true;
        if (!event->event)
            return;
    } else if (event->event) {
        m_hash.addData(bytes);
    }
    const QString problem = readRow(row, *event);
    if (!problem.isEmpty())
        fail(line, problem);
}

qsizetype RecordFileReader::parse(QByteArrayView bytes, bool last)
{
    qsizetype pos = 0;
    if (!m_started) {
        if (bytes.size() < 3 && !last)
            return 0; // a byte order mark or UTF-16 is told by the first bytes
        m_started = true;
        if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
            failNotUtf8();
            return bytes.size();
        }
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            m_hash.addData(bytes.first(3));
            pos = 3;
        }
    }
    while (!failed() && pos < bytes.size()) {
        const CsvRowReader::Step step = m_csv.read(bytes, pos, m_line, last);
        if (step == CsvRowReader::Step::Incomplete)
            break;
        if (step == CsvRowReader::Step::Fault) {
            fail(m_csv.errorLine(), m_csv.error());
            break;
        }
        readCsvRow(bytes.sliced(pos, m_csv.next() - pos), m_csv.cells(), m_line);
        pos = m_csv.next();
        m_line = m_csv.nextLine();
    }
    return failed() ? bytes.size() : pos;
}

void RecordFileReader::add(QByteArrayView bytes)
{
    m_size += bytes.size();
    if (bytes.isEmpty())
        return;
    if (std::memchr(bytes.data(), '\0', std::size_t(bytes.size()))) {
        failNotUtf8();
        return;
    }
    if (failed())
        return;
    // The row left whole by the last bytes is made whole line by line, so that only that row's
    // bytes are ever copied; the rest are read where they are.
    while (!m_pending.isEmpty() && !bytes.isEmpty() && !failed()) {
        const qsizetype lineEnd = bytes.indexOf('\n');
        const qsizetype taken = lineEnd < 0 ? bytes.size() : lineEnd + 1;
        m_pending.append(bytes.first(taken));
        bytes = bytes.sliced(taken);
        m_pending.remove(0, parse(m_pending, false));
    }
    if (!bytes.isEmpty() && !failed())
        m_pending = bytes.sliced(parse(bytes, false)).toByteArray();
}

RecordReading RecordFileReader::finish()
{
    if (!failed())
        parse(m_pending, true);
    m_pending.clear();
    RecordReading reading;
    reading.stamp.size = m_size;
    if (!failed() && m_rows == 0)
        m_error = recordFileMessage(m_file, QStringLiteral("the file is empty, so it holds no "
                                                           "session record; open the record's "
                                                           "own file, or a copy of it kept "
                                                           "elsewhere"));
    if (!failed() && !m_planRead)
        fail(m_lastLine + (m_rows > 1 ? 0 : 1), QStringLiteral("there is no plan row"));
    if (!failed() && m_record.entries.size() < m_record.setup.plan.portions)
        fail(m_lastLine, QStringLiteral("the plan has %1 portions, the file %2")
                             .arg(m_record.setup.plan.portions)
                             .arg(m_record.entries.size()));
    if (failed()) {
        reading.error = m_error;
        return reading;
    }
    if (m_rowsAfterEnd || m_blankAfterEnd) {
        const QString after = m_rowsAfterEnd ? QStringLiteral("rows follow its end row")
                                             : QStringLiteral("a blank line follows its end row");
        if (m_changed.isEmpty())
            m_changed = after + QStringLiteral(": it was changed after its end row");
    }
    reading.stamp.endDigest = m_endDigest;
    reading.record = std::move(m_record);
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

RecordReader::RecordReader(const QString &fileName)
    : m_reader(std::make_unique<RecordFileReader>(fileName))
{
}

RecordReader::~RecordReader() = default;

void RecordReader::reserve(qsizetype lines)
{
    m_reader->reserve(lines);
}

void RecordReader::add(QByteArrayView bytes)
{
    m_reader->add(bytes);
}

RecordReading RecordReader::finish()
{
    return m_reader->finish();
}

RecordReading RecordReader::read(QByteArrayView bytes, const QString &fileName)
{
    RecordReader reader(fileName);
    // One entry for each line but the header's, so that the entries are never moved as they grow.
    reader.reserve(qsizetype(bytes.count('\n')));
    reader.add(bytes);
    return reader.finish();
}
