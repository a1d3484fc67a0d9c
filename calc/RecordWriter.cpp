#include "calc/RecordWriter.h"

#include "calc/NumberText.h"
#include "calc/RecordColumns.h"
#include "calc/RecordCsv.h"
#include "calc/RecordText.h"

#include <QCryptographicHash>

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

QByteArray nameOf(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

template <typename T> QByteArray optionalText(const std::optional<T> &value)
{
    if (!value)
        return {};
    if constexpr (std::is_same_v<T, float>)
        return floatText(*value);
    else if constexpr (std::is_same_v<T, int>)
        return QByteArray::number(*value);
    else
        return RecordText::startText(*value);
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
    cell(row, C::Target) = optionalText(input.typedTarget);
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

// The cells of an entry, as far as it has them; which of them are written is the table's to say.
Row entryCells(const SessionEntry &entry)
{
    Row row;
    const EntryValues &values = entry.values;
    cell(row, C::Entry) = QByteArray::number(entry.entry);
    cell(row, C::EnteredAt) = RecordText::enteredAtText(entry.enteredAt);
    cell(row, C::Operator) = entry.operatorInitials.toUtf8();
    cell(row, C::Corrects) = QByteArray::number(entry.corrects);
    cell(row, C::Reason) = entry.reason.toUtf8();
    cell(row, C::Number) = QByteArray::number(entry.number);
    cell(row, C::AtMin) = entry.event == EntryEvent::Portion
                              ? QByteArray::number(entry.plannedAtMinute)
                              : optionalText(values.atMinute);
    cell(row, C::ServedAtMin) = optionalText(values.servedAtMinute);
    cell(row, C::Level) = optionalText(values.level);
    cell(row, C::AlcoholMl) = QByteArray::number(entry.alcoholMl);
    cell(row, C::MixerMl) = QByteArray::number(entry.mixerMl);
    cell(row, C::TotalMl) = QByteArray::number(entry.totalMl);
    cell(row, C::Bal) = floatText(entry.boosterTargetBal);
    cell(row, C::Dd) = optionalText(values.drinkingMinutes);
    cell(row, C::Start) = optionalText(values.start);
    cell(row, C::ReleaseBal) = optionalText(values.releaseBal);
    return row;
}

// The event of the entry numbered `number`: the plan for 1; none for an entry not in the record.
std::optional<EntryEvent> eventOf(const SessionRecord &record, int number)
{
    if (number == 1)
        return EntryEvent::Plan;
    for (const SessionEntry &entry : record.entries) {
        if (entry.entry == number)
            return entry.event;
    }
    return std::nullopt;
}

// The row's cells that its event uses (and, for a correction, those of the entry it corrects),
// in the order of the header; every other cell empty.
QByteArray line(const Row &row, const RecordEventInfo &event, const ColumnSet &corrected = {})
{
    QList<QByteArray> cells;
    for (const RecordColumnInfo &column : RecordColumns) {
        const std::size_t i = std::size_t(column.column);
        if (column.column == C::Event)
            cells << nameOf(event.name);
        else
            cells << (event.cells[i] != Cell::Unused || corrected[i] ? row[i] : QByteArray());
    }
    return csvRow(cells);
}

} // namespace

QByteArray RecordWriter::text(const SessionRecord &record)
{
    QList<QByteArray> header;
    for (const RecordColumnInfo &column : RecordColumns)
        header << nameOf(column.name);
    QByteArray file = csvRow(header);
    file += line(setupCells(record.setup), recordEventInfo(EntryEvent::Plan));
    for (const SessionEntry &entry : record.entries) {
        ColumnSet corrected{};
        const std::optional<EntryEvent> changed = eventOf(record, entry.corrects);
        if (entry.event == EntryEvent::Correction && changed)
            corrected = recordEventInfo(*changed).corrected;
        file += line(entryCells(entry), recordEventInfo(entry.event), corrected);
    }
    Row end;
    cell(end, C::Number) = QByteArray::number(record.entries.size() + 1);
    cell(end, C::Sha256) = QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex();
    return file + line(end, *recordEventNamed("end", RecordVersion::Current));
}
