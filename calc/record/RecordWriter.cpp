#include "calc/record/RecordWriter.h"

#include "calc/dose/NumberText.h"
#include "calc/record/RecordColumns.h"
#include "calc/record/RecordCsv.h"
#include "calc/record/RecordText.h"

#include <QCryptographicHash>
#include <algorithm>
#include <charconv>

namespace {

using C = RecordColumn;
using Row = std::array<QByteArray, RecordColumnCount>;

QByteArray &cell(Row &row, RecordColumn column)
{
    return row[std::size_t(column)];
}

QByteArray floatText(float value)
{
    char buffer[32];
    const std::string_view text = ExactSingleToText(value, buffer);
    return QByteArray(text.data(), qsizetype(text.size()));
}

QByteArray nameBytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

// The cells of the plan row: the setup.
Row setupCells(const SessionSetup &setup)
{
    Row row;
    const DoseInput &input = setup.input;
    cell(row, C::Entry) = "1";
    cell(row, C::EnteredAt) = RecordText::enteredAtText(setup.enteredAt);
    cell(row, C::Operator) = setup.operatorInitials.toUtf8();
    cell(row, C::SessionCode) = setup.sessionCode.toUtf8();
    cell(row, C::ProgramVersion) = setup.programVersion.toUtf8();
    cell(row, C::Start) = RecordText::startText(setup.start);
    cell(row, C::LevelUnit) = input.level.info().option;
    cell(row, C::BreathRatio) = floatText(input.level.breathRatio);
    cell(row, C::Gender) = RecordText::genderText(input.state.Gender, RecordVersion::Current);
    const bool metric = input.metric();
    cell(row, metric ? C::HeightCm : C::Height) =
        floatText(metric ? input.bodyInCm.heightCm : input.state.Height);
    cell(row, metric ? C::WeightKg : C::Weight) =
        floatText(metric ? input.bodyInCm.weightKg : input.state.Weight);
    cell(row, C::Age) = floatText(input.state.Age);
    cell(row, C::Bal) = floatText(input.state.BAL);
    cell(row, C::Target) = input.typedTarget ? floatText(*input.typedTarget) : QByteArray();
    cell(row, C::Dd) = floatText(input.state.DD);
    cell(row, C::Proof) = floatText(input.state.Proof);
    cell(row, C::Ratio) = floatText(input.state.Ratio);
    cell(row, C::Portions) = QByteArray::number(setup.plan.portions);
    cell(row, C::ReleaseBal) = floatText(setup.plan.releaseLevel);
    cell(row, C::Placebo) = setup.placebo ? "1" : "0";
    cell(row, C::FloatMl) = QByteArray::number(setup.floatMl);
    cell(row, C::AlcoholMl) = floatText(setup.alcoholMl);
    cell(row, C::MixerMl) = floatText(setup.mixerMl);
    cell(row, C::TotalMl) = floatText(setup.totalMl);
    cell(row, C::Protocol) = setup.protocolName.toUtf8();
    cell(row, C::ProtocolSha256) = setup.protocolSha256;
    return row;
}

// Appends `cell` to `file` as RFC 4180 writes it: quoted, its quotes doubled, when it holds a
// comma, a quote or a line end.
void appendCell(QByteArray &file, QByteArrayView cell)
{
    const bool quoted = std::any_of(cell.begin(), cell.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (!quoted) {
        file.append(cell);
        return;
    }
    file += '"';
    for (const char c : cell) {
        if (c == '"')
            file += '"';
        file += c;
    }
    file += '"';
}

// Writes the entries' rows cell by cell straight into the file, numbers through a buffer of its
// own: a record of many thousands of entries is written again after each new one.
class EntryRows {
public:
    explicit EntryRows(QByteArray &file) : m_file(file) {}

    // The row of `entry`: the cells its event uses (and, for a correction, those of the entry it
    // corrects), in the order of the header, every other cell empty.
    void append(const SessionEntry &entry, const RecordEventInfo &event, const ColumnSet &corrected)
    {
        for (const RecordColumnInfo &column : RecordColumns) {
            const std::size_t i = std::size_t(column.column);
            if (i > 0)
                m_file += ',';
            if (column.column == C::Event)
                m_file.append(event.name.data(), qsizetype(event.name.size()));
            else if (event.cells[i] != Cell::Unused || corrected[i])
                appendCell(m_file, cellOf(entry, column.column));
        }
        m_file += "\r\n";
    }

private:
    QByteArrayView whole(qint64 value)
    {
        const char *end = std::to_chars(m_buffer, m_buffer + sizeof m_buffer, value).ptr;
        return QByteArrayView(m_buffer, end - m_buffer);
    }
    QByteArrayView single(float value)
    {
        const std::string_view text = ExactSingleToText(value, m_buffer);
        return QByteArrayView(text.data(), qsizetype(text.size()));
    }
    template <typename T> QByteArrayView optional(const std::optional<T> &value)
    {
        if (!value)
            return {};
        if constexpr (std::is_same_v<T, float>)
            return single(*value);
        else
            return whole(*value);
    }
    QByteArrayView text(const QString &value)
    {
        m_text = value.toUtf8();
        return m_text;
    }

    // The cell of `column` as `entry` has it; which of them are written is the table's to say.
    QByteArrayView cellOf(const SessionEntry &entry, RecordColumn column)
    {
        const EntryValues &values = entry.values;
        switch (column) {
        case C::Entry:
            return whole(entry.entry);
        case C::EnteredAt:
            m_text = RecordText::enteredAtText(entry.enteredAt);
            return m_text;
        case C::Operator:
            // A session's entries are made by a few operators: each one's initials are written
            // from one text.
            if (entry.operatorInitials != m_operator) {
                m_operator = entry.operatorInitials;
                m_operatorText = m_operator.toUtf8();
            }
            return m_operatorText;
        case C::Corrects:
            return whole(entry.corrects);
        case C::Reason:
            return text(entry.reason);
        case C::Number:
            return whole(entry.number);
        case C::AtMin:
            return entry.event == EntryEvent::Portion ? whole(entry.plannedAtMinute)
                                                      : optional(values.atMinute);
        case C::ServedAtMin:
            return optional(values.servedAtMinute);
        case C::Level:
            return optional(values.level);
        case C::AlcoholMl:
            return whole(entry.alcoholMl);
        case C::MixerMl:
            return whole(entry.mixerMl);
        case C::TotalMl:
            return whole(entry.totalMl);
        case C::Bal:
            return single(entry.boosterTargetBal);
        case C::Dd:
            return optional(values.drinkingMinutes);
        case C::Start:
            m_text = values.start ? RecordText::startText(*values.start) : QByteArray();
            return m_text;
        case C::ReleaseBal:
            return optional(values.releaseBal);
        default:
            return {};
        }
    }

    QByteArray &m_file;
    char m_buffer[32];
    QByteArray m_text;
    QString m_operator;
    QByteArray m_operatorText;
};

// The event of the entry numbered `number`: the plan for 1; none for an entry not in the record.
// Entries are numbered in the order made, from 2 after the plan, so it is found where its number
// says; only a record numbered otherwise is searched.
std::optional<EntryEvent> eventOf(const SessionRecord &record, int number)
{
    if (number == 1)
        return EntryEvent::Plan;
    const qsizetype at = qsizetype(number) - 2;
    if (at >= 0 && at < record.entries.size() && record.entries[at].entry == number)
        return record.entries[at].event;
    for (const SessionEntry &entry : record.entries) {
        if (entry.entry == number)
            return entry.event;
    }
    return std::nullopt;
}

// The row's cells that its event uses (and, for a correction, those of the entry it corrects),
// in the order of the header, every other cell empty, appended to `file`.
void appendLine(QByteArray &file, const Row &row, const RecordEventInfo &event,
                const ColumnSet &corrected = {})
{
    QList<QByteArray> cells;
    cells.reserve(qsizetype(RecordColumnCount));
    for (const RecordColumnInfo &column : RecordColumns) {
        const std::size_t i = std::size_t(column.column);
        if (column.column == C::Event)
            cells << nameBytes(event.name);
        else
            cells << (event.cells[i] != Cell::Unused || corrected[i] ? row[i] : QByteArray());
    }
    appendCsvRow(file, cells);
}

} // namespace

QByteArray RecordWriter::text(const SessionRecord &record)
{
    QList<QByteArray> header;
    for (const RecordColumnInfo &column : RecordColumns)
        header << nameBytes(column.name);
    QByteArray file = csvRow(header);
    // About as much as the rows take, so that the file's text is seldom moved as it grows.
    constexpr qsizetype RowBytes = 100;
    file.reserve(file.size() + RowBytes * (record.entries.size() + 2));
    appendLine(file, setupCells(record.setup), recordEventInfo(EntryEvent::Plan));
    EntryRows rows(file);
    for (const SessionEntry &entry : record.entries) {
        ColumnSet corrected{};
        if (entry.event == EntryEvent::Correction) {
            if (const std::optional<EntryEvent> changed = eventOf(record, entry.corrects))
                corrected = recordEventInfo(*changed).corrected;
        }
        rows.append(entry, recordEventInfo(entry.event), corrected);
    }
    Row end;
    cell(end, C::Number) = QByteArray::number(record.entries.size() + 1);
    cell(end, C::Sha256) = QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex();
    appendLine(file, end, *recordEventNamed("end", RecordVersion::Current));
    return file;
}
