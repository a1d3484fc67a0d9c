#include "tools/pourwise-dose/RosterRun.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/NumberText.h"
#include "tools/pourwise-dose/ExitStatus.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/RowErrorText.h"
#include "tools/pourwise-dose/output/PlanOutput.h"

#include <algorithm>

namespace {

using namespace RosterColumns;
constexpr BodyUnits BothUnits[] = {BodyUnits::InchesPounds, BodyUnits::CentimetresKilograms};

// Header names are matched without regard to letter case or surrounding blanks, as people type
// them into spreadsheets; they are written out as they were.
std::string normalisedName(std::string_view name)
{
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
        name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.remove_suffix(1);
    std::string lower(name);
    std::ranges::transform(lower, lower.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return lower;
}

std::string joined(const std::vector<std::string_view> &names, std::string_view separator = ", ")
{
    std::string text;
    for (std::string_view name : names) {
        if (!text.empty())
            text += separator;
        text += name;
    }
    return text;
}

std::vector<std::string_view> inputColumns(BodyUnits units)
{
    std::vector<std::string_view> names;
    for (const DoseValueInfo &info : DoseValues)
        names.push_back(columnName(info.value, units));
    return names;
}

// The columns whose names follow the units: height and weight.
std::vector<std::string_view> bodyColumns(BodyUnits units)
{
    std::vector<std::string_view> names;
    for (const DoseValueInfo &info : DoseValues) {
        if (dependsOnUnits(info.value))
            names.push_back(columnName(info.value, units));
    }
    return names;
}

} // namespace

RosterRun::RosterRun(std::FILE *input, std::FILE *output, RosterOptions options,
                     std::size_t readChunkBytes, std::size_t writeBufferBytes)
    : m_reader(input, readChunkBytes), m_writer(output, writeBufferBytes), m_options(options)
{
    m_writer.setSpreadsheetSafe(m_options.spreadsheetSafe);
    m_resultColumns.assign(VolumeColumns.begin(), VolumeColumns.end());
    m_units.level = m_options.level;
    if (m_options.plan)
        std::ranges::copy(planColumns(), std::back_inserter(m_resultColumns));
    if (m_options.hasWarningColumn())
        m_resultColumns.push_back(WarningColumn);
    m_resultColumns.push_back(ErrorColumn);
}

bool RosterRun::fail(std::string text)
{
    m_errorText = std::move(text);
    return false;
}

bool RosterRun::readHeader()
{
    switch (m_reader.next(m_fields)) {
    case CsvReader::Result::Error:
        return fail(m_reader.errorText());
    case CsvReader::Result::End:
        return fail("the roster is empty: it needs a header row naming the columns");
    case CsvReader::Result::Record:
        break;
    }
    constexpr std::size_t NotFound = std::size_t(-1);
    // The position of every input column under each kind of units; the columns that do not
    // depend on the units are kept under inches and pounds only.
    std::array<std::array<std::size_t, DoseValues.size()>, 2> found;
    for (auto &columns : found)
        columns.fill(NotFound);
    std::size_t targetColumn = NotFound;
    for (std::size_t position = 0; position < m_fields.size(); ++position) {
        const std::string name = normalisedName(m_fields[position]);
        if (std::ranges::find(m_resultColumns, name) != m_resultColumns.end())
            return fail("the header already has a column " + name +
                        ", which pourwise-dose would add; remove it first");
        for (BodyUnits units : BothUnits) {
            for (const DoseValueInfo &info : DoseValues) {
                std::size_t &column = found[std::size_t(units)][indexOf(info.value)];
                if (name != columnName(info.value, units) ||
                    (units != BodyUnits::InchesPounds && !dependsOnUnits(info.value)))
                    continue;
                if (column != NotFound)
                    return fail("the header has the column " + name + " twice");
                column = position;
            }
        }
        if (m_options.levelUnitGiven && name == infoOf(DoseValue::BAL).levelColumn) {
            if (targetColumn != NotFound)
                return fail("the header has the column " + name + " twice");
            targetColumn = position;
        }
    }
    if (targetColumn != NotFound) {
        std::size_t &bal = found[std::size_t(BodyUnits::InchesPounds)][indexOf(DoseValue::BAL)];
        if (bal != NotFound)
            return fail("the header has both bal (g/100 ml) and target (in the unit of "
                        "--level-unit); keep one");
        bal = targetColumn;
        m_units.targetInLevelUnit = true;
    }
    const auto hasBodyColumn = [&](BodyUnits units) {
        return std::ranges::any_of(DoseValues, [&](const DoseValueInfo &info) {
            return dependsOnUnits(info.value) &&
                   found[std::size_t(units)][indexOf(info.value)] != NotFound;
        });
    };
    if (hasBodyColumn(BodyUnits::InchesPounds) && hasBodyColumn(BodyUnits::CentimetresKilograms))
        return fail("the header has both " + joined(bodyColumns(BodyUnits::InchesPounds), ",") +
                    " (inches and pounds) and " +
                    joined(bodyColumns(BodyUnits::CentimetresKilograms), ",") +
                    " (centimetres and kilograms); keep one kind");
    m_units.body = hasBodyColumn(BodyUnits::CentimetresKilograms) ? BodyUnits::CentimetresKilograms
                                                                  : BodyUnits::InchesPounds;
    std::vector<std::string_view> missing;
    for (const DoseValueInfo &info : DoseValues) {
        const std::size_t index = indexOf(info.value);
        const BodyUnits keptUnder =
            dependsOnUnits(info.value) ? m_units.body : BodyUnits::InchesPounds;
        m_column[index] = found[std::size_t(keptUnder)][index];
        const std::optional<float> fromProtocol =
            m_options.protocol ? m_options.protocol->parameter(info.value) : std::nullopt;
        if (m_column[index] == NotFound && fromProtocol) {
            // The target stays in the protocol's own unit; the others are read as text.
            m_targetFromProtocol = m_targetFromProtocol || isLevel(info.value);
            char buffer[32];
            m_fromProtocol[index] = SingleToText(*fromProtocol, buffer);
        } else if (m_column[index] == NotFound) {
            missing.push_back(columnName(info.value, m_units.body));
        }
    }
    if (!missing.empty())
        return fail("the header has no column " + joined(missing) +
                    " (needed: " + joined(inputColumns(m_units.body), ",") + " in any order; " +
                    joined(bodyColumns(BodyUnits::CentimetresKilograms), ",") + " may stand for " +
                    joined(bodyColumns(BodyUnits::InchesPounds), ",") +
                    (m_options.levelUnitGiven ? "; target may stand for bal)" : ")"));

    m_headerWidth = m_fields.size();
    // A roster written with CR LF line ends is answered in the same style.
    m_writer.setLineEnd(m_reader.recordEndedWithCrLf() ? "\r\n" : "\n");
    for (std::string_view name : m_fields)
        m_writer.field(name);
    for (std::string_view name : m_resultColumns)
        m_writer.field(name);
    m_writer.endRecord();
    return true;
}

void RosterRun::processRow()
{
    m_warning.clear();
    m_error.clear();
    char volumes[3][32];
    std::array<std::string_view, 3> volumeText;
    std::vector<std::string> planFields;

    // Copying a plain row as read gives the same bytes as writing it field by field, faster.
    const bool copyAsRead =
        m_reader.recordIsPlain() && m_fields.size() == m_headerWidth && !m_options.spreadsheetSafe;
    if (m_fields.size() != m_headerWidth) {
        // Never computed: a missing or extra comma shifts the values into the wrong columns.
        RowErrorText::appendFieldCount(m_fields.size(), m_headerWidth, m_error);
        if (m_fields.size() > m_headerWidth)
            m_error += "; the extra fields are left out";
        m_fields.resize(m_headerWidth);
    } else {
        ParticipantText text;
        for (const DoseValueInfo &info : DoseValues) {
            const std::size_t index = indexOf(info.value);
            text[index] = m_fromProtocol[index].empty() ? m_fields[m_column[index]]
                                                        : std::string_view(m_fromProtocol[index]);
        }
        const ParticipantReading reading = readParticipant(text, m_units);
        if (!reading.ok()) {
            RowErrorText::appendInputProblems(reading, m_units, m_error);
        } else {
            DoseInput input = reading.input;
            if (m_targetFromProtocol) {
                input.level = m_options.protocol->level;
                input.typedTarget = m_options.protocol->target;
                input = inLevelScale(input, m_options.level);
            }
            const DoseReport report = evaluateDose(input, {m_options.plan, m_options.protocol});
            if (report.ok()) {
                const DosingState &state = report.dose.state;
                volumeText = {SingleToText(state.AlcDose, volumes[0]),
                              SingleToText(state.MixDose, volumes[1]),
                              SingleToText(state.TotDose, volumes[2])};
                if (report.plan && report.plan->ok()) {
                    const std::optional<PlanBand> band =
                        m_options.band
                            ? planBand(report.dose, *report.plan, m_options.plan->releaseLevel)
                            : std::nullopt;
                    // Without its band the plan's own columns are written all the same.
                    planFields = PlanOutput::fields(*report.plan, planLevel(), band);
                    if (m_options.band && !band)
                        RowErrorText::append(bandFaultText().brief, m_error);
                } else if (report.plan) {
                    RowErrorText::append(planFaultText(report.plan->problem).brief, m_error);
                }
                appendWarnings(report);
            } else {
                RowErrorText::append(doseFaultText(report.outcome).brief, m_error);
            }
        }
    }

    if (copyAsRead) {
        m_writer.writtenFields(m_reader.recordText());
    } else {
        for (std::string_view field : m_fields)
            m_writer.field(field);
    }
    for (std::string_view volume : volumeText)
        m_writer.field(volume);
    if (m_options.plan) {
        planFields.resize(planColumns().size()); // empty without a plan or its band
        for (const std::string &field : planFields)
            m_writer.field(field);
    }
    if (m_options.hasWarningColumn())
        m_writer.field(m_warning);
    m_writer.field(m_error);
    m_writer.endRecord();
    if (!m_error.empty())
        ++m_failedRows;
}

// In the style of the error column: several are separated by "; ". Without a warning column
// the rows are only counted.
void RosterRun::appendWarnings(const DoseReport &report)
{
    if (!report.notices.isEmpty() || !report.breaches.isEmpty())
        ++m_rowsToCheck;
    if (!report.breaches.isEmpty())
        ++m_rowsOverALimit;
    if (!m_options.hasWarningColumn())
        return;
    for (const PlausibilityNotice &notice : report.notices)
        RowErrorText::append(PlausibilityNoticeText(notice, QLocale::c()).toStdString(), m_warning);
    for (const LimitBreach &breach : report.breaches)
        RowErrorText::append(
            limitBreachText(breach, *m_options.protocol, QLocale::c()).toStdString(), m_warning);
}

std::optional<LevelScale> RosterRun::planLevel() const
{
    return m_options.levelUnitGiven ? std::optional(m_options.level) : std::nullopt;
}

std::vector<std::string_view> RosterRun::planColumns() const
{
    return PlanOutput::columns(planLevel(), m_options.band);
}

int RosterRun::run()
{
    bool ok = readHeader();
    if (ok) {
        CsvReader::Result result;
        while ((result = m_reader.next(m_fields)) == CsvReader::Result::Record) {
            ++m_rows;
            processRow();
        }
        if (result == CsvReader::Result::Error)
            ok = fail(m_reader.errorText());
    }
    if (!m_writer.flush() && ok)
        ok = fail(m_writer.errorText());
    if (!ok)
        return ExitStatus::UsageOrFileError;
    if (m_failedRows > 0)
        return ExitStatus::SomeNotComputed;
    return m_rowsOverALimit > 0 ? ExitStatus::OverProtocolLimit : ExitStatus::AllComputed;
}
