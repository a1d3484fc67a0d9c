#include "tools/pourwise-dose/ParticipantReader.h"

#include "calc/dose/NumberText.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase)
{
    return std::ranges::equal(text, lowerCase, [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

std::optional<std::int16_t> genderFromText(std::string_view text)
{
    for (std::string_view male : {"male", "m", "1"}) {
        if (equalsIgnoringCase(text, male))
            return Gender::Male;
    }
    for (std::string_view female : {"female", "f", "0"}) {
        if (equalsIgnoringCase(text, female))
            return Gender::Female;
    }
    return std::nullopt;
}

} // namespace

bool ParticipantReading::ok() const
{
    return std::ranges::all_of(problems, [](InputProblem p) { return p == InputProblem::None; });
}

ParticipantReading readParticipant(const ParticipantText &text, const ReadingUnits &units)
{
    ParticipantReading reading;
    reading.input.units = units.body;
    reading.input.level = units.level;
    reading.input.state.Gender = Gender::NotSpecified;
    for (const DoseValueInfo &info : DoseValues) {
        const std::string_view value = TrimBlanks(text[indexOf(info.value)]);
        InputProblem &problem = reading.problems[indexOf(info.value)];
        if (info.value == DoseValue::Gender) {
            const std::optional<std::int16_t> gender = genderFromText(value);
            if (gender)
                reading.input.state.Gender = *gender;
            else
                problem = value.empty() ? InputProblem::NoGender : InputProblem::UnknownGender;
        } else if (value.empty()) {
            problem = InputProblem::Empty;
        } else {
            const SingleFromText number = TextToSingle(value);
            if (number.ok() && isLevel(info.value) && units.targetInLevelUnit)
                reading.input.typedTarget = number.value;
            else if (number.ok())
                reading.input.number(info.value) = number.value;
            else
                problem = number.error == NumberTextError::OutOfRange ? InputProblem::OutOfRange
                                                                      : InputProblem::NotANumber;
        }
    }
    return reading;
}

std::string_view columnName(DoseValue value, BodyUnits units)
{
    return infoOf(value).column[units];
}

std::string_view columnName(DoseValue value, const ReadingUnits &units)
{
    if (isLevel(value) && units.targetInLevelUnit)
        return infoOf(value).levelColumn;
    return columnName(value, units.body);
}

std::string_view defaultText(DoseValue value)
{
    // Written once by the number rule of the output, so "0.08" reads back as the same float.
    static const std::array<std::string, DoseValues.size()> texts = [] {
        std::array<std::string, DoseValues.size()> result;
        for (const DoseValueInfo &info : DoseValues) {
            if (info.defaultValue) {
                char buffer[32];
                result[indexOf(info.value)] = SingleToText(float(*info.defaultValue), buffer);
            }
        }
        return result;
    }();
    return texts[indexOf(value)];
}
