#include "calc/RecordWriter.h"

#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "calc/RecordColumns.h"

#include <QSaveFile>
#include <charconv>

namespace {

using Row = std::array<QByteArray, RecordColumns.size()>;

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

QByteArray wholeText(int value)
{
    return QByteArray::number(value);
}

QByteArray view(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

// RFC 4180: a cell holding a comma, a quote or a line end is quoted, its quotes doubled.
QByteArray quoted(const QByteArray &cell)
{
    if (!cell.contains(',') && !cell.contains('"') && !cell.contains('\r') && !cell.contains('\n'))
        return cell;
    QByteArray text = cell;
    return '"' + text.replace('"', "\"\"") + '"';
}

void append(QByteArray &file, const Row &row)
{
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            file += ',';
        file += quoted(row[i]);
    }
    file += "\r\n";
}

void putVolumes(Row &row, float alcohol, float mixer, float total)
{
    cell(row, RecordColumn::AlcoholMl) = floatText(alcohol);
    cell(row, RecordColumn::MixerMl) = floatText(mixer);
    cell(row, RecordColumn::TotalMl) = floatText(total);
}

Row planRow(const SessionRecord &record)
{
    Row row;
    const DoseInput &input = record.input;
    cell(row, RecordColumn::Event) = view(RecordEvent::Plan);
    cell(row, RecordColumn::SessionCode) = record.sessionCode.toUtf8();
    cell(row, RecordColumn::ProgramVersion) = record.programVersion.toUtf8();
    if (!record.startDate.isNull())
        cell(row, RecordColumn::Start) =
            (record.startDate.toString(Qt::ISODate) + QLatin1Char('T') +
             record.startTime.toString(QStringLiteral("HH:mm")))
                .toUtf8();
    cell(row, RecordColumn::LevelUnit) = input.level.info().option;
    cell(row, RecordColumn::BreathRatio) = floatText(input.level.breathRatio);
    cell(row, RecordColumn::Gender) = wholeText(input.state.Gender);
    const bool metric = input.metric();
    cell(row, metric ? RecordColumn::HeightCm : RecordColumn::Height) =
        floatText(metric ? input.bodyInCm.heightCm : input.state.Height);
    cell(row, metric ? RecordColumn::WeightKg : RecordColumn::Weight) =
        floatText(metric ? input.bodyInCm.weightKg : input.state.Weight);
    cell(row, RecordColumn::Age) = floatText(input.state.Age);
    cell(row, RecordColumn::Bal) = floatText(input.state.BAL);
    if (input.typedTarget)
        cell(row, RecordColumn::Target) = floatText(*input.typedTarget);
    cell(row, RecordColumn::Dd) = floatText(input.state.DD);
    cell(row, RecordColumn::Proof) = floatText(input.state.Proof);
    cell(row, RecordColumn::Ratio) = floatText(input.state.Ratio);
    cell(row, RecordColumn::Portions) = wholeText(record.plan.portions);
    cell(row, RecordColumn::ReleaseBal) = floatText(record.plan.releaseLevel);
    cell(row, RecordColumn::Placebo) = record.placebo ? "1" : "0";
    cell(row, RecordColumn::FloatMl) = wholeText(record.floatMl);
    putVolumes(row, record.alcoholMl, record.mixerMl, record.totalMl);
    return row;
}

} // namespace

QByteArray RecordWriter::text(const SessionRecord &record)
{
    QByteArray file;
    Row header;
    for (std::size_t i = 0; i < RecordColumns.size(); ++i)
        header[i] = view(RecordColumns[i]);
    append(file, header);
    append(file, planRow(record));
    for (const RecordedPortion &recorded : record.portions) {
        Row row;
        const ServedPortion &portion = recorded.portion;
        cell(row, RecordColumn::Event) = view(RecordEvent::Portion);
        cell(row, RecordColumn::Number) = wholeText(portion.number);
        cell(row, RecordColumn::AtMin) = wholeText(portion.atMinute);
        if (recorded.servedAtMinute)
            cell(row, RecordColumn::ServedAtMin) = wholeText(*recorded.servedAtMinute);
        cell(row, RecordColumn::AlcoholMl) = wholeText(portion.alcoholMl);
        cell(row, RecordColumn::MixerMl) = wholeText(portion.mixerMl);
        cell(row, RecordColumn::TotalMl) = wholeText(portion.totalMl);
        append(file, row);
    }
    for (qsizetype i = 0; i < record.readings.size(); ++i) {
        Row row;
        cell(row, RecordColumn::Event) = view(RecordEvent::Reading);
        cell(row, RecordColumn::Number) = wholeText(int(i + 1));
        cell(row, RecordColumn::AtMin) = wholeText(record.readings[i].atMinute);
        cell(row, RecordColumn::Level) = floatText(record.readings[i].level);
        append(file, row);
    }
    if (const std::optional<RecordedBooster> &booster = record.booster) {
        Row row;
        cell(row, RecordColumn::Event) = view(RecordEvent::Booster);
        cell(row, RecordColumn::ServedAtMin) = wholeText(booster->servedAtMinute);
        cell(row, RecordColumn::Bal) = floatText(booster->targetBal);
        cell(row, RecordColumn::Dd) = floatText(booster->drinkingMinutes);
        putVolumes(row, booster->alcoholMl, booster->mixerMl, booster->totalMl);
        append(file, row);
    }
    return file;
}

bool RecordWriter::save(const QString &path, const SessionRecord &record, QString &errorText)
{
    QSaveFile file(path);
    const QByteArray bytes = text(record);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        errorText = recordFileMessage(path, file.errorString());
        return false;
    }
    return true;
}
