#include "tools/pourwise-dose/RowErrorText.h"

#include <QString>

void RowErrorText::append(std::string_view problem, std::string &text)
{
    if (!text.empty())
        text += "; ";
    text += problem;
}

void RowErrorText::appendInputProblems(const ParticipantReading &reading, const ReadingUnits &units,
                                       std::string &text)
{
    for (const DoseValueInfo &info : DoseValues) {
        const InputProblem problem = reading.problems[indexOf(info.value)];
        if (problem != InputProblem::None) {
            const std::string_view column = columnName(info.value, units);
            append(inputProblemBrief(problem,
                                     QString::fromLatin1(column.data(), qsizetype(column.size()))),
                   text);
        }
    }
}

void RowErrorText::appendFieldCount(std::size_t rowFields, std::size_t headerFields,
                                    std::string &text)
{
    append("row has " + std::to_string(rowFields) + " fields but the header has " +
               std::to_string(headerFields),
           text);
}
