#include "tools/pourwise-dose/ParticipantReader.h"

#include "calc/NumberText.h"

#include <algorithm>
#include <optional>

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

float &numberField(ParticipantReading &reading, DoseField field)
{
    DosingState &state = reading.state;
    const bool metric = reading.units == BodyUnits::CentimetresKilograms;
    if (const DosingParameter *parameter = dosingParameterOf(field))
        return state.*parameter->field;
    switch (field) {
    case DoseField::Height:
        return metric ? reading.bodyInCm.heightCm : state.Height;
    case DoseField::Weight:
        return metric ? reading.bodyInCm.weightKg : state.Weight;
    default: // the age; gender is not a number and never asked for
        return state.Age;
    }
}

} // namespace

bool ParticipantReading::ok() const
{
    return std::ranges::all_of(problems, [](InputProblem p) { return p == InputProblem::None; });
}

std::optional<BodyInCm> ParticipantReading::typedInCm() const
{
    if (units == BodyUnits::CentimetresKilograms)
        return bodyInCm;
    return std::nullopt;
}

ParticipantReading readParticipant(const ParticipantText &text, BodyUnits units)
{
    ParticipantReading reading;
    reading.units = units;
    for (DoseField field : AllDoseFields) {
        const std::string_view value = TrimBlanks(text[indexOf(field)]);
        InputProblem &problem = reading.problems[indexOf(field)];
        if (value.empty()) {
            problem = InputProblem::Empty;
        } else if (field == DoseField::Gender) {
            const std::optional<std::int16_t> gender = genderFromText(value);
            if (gender)
                reading.state.Gender = *gender;
            else
                problem = InputProblem::UnknownGender;
        } else {
            const SingleFromText number = TextToSingle(value);
            if (number.ok())
                numberField(reading, field) = number.value;
            else
                problem = number.error == NumberTextError::OutOfRange ? InputProblem::OutOfRange
                                                                      : InputProblem::NotANumber;
        }
    }
    if (reading.problems[indexOf(DoseField::Gender)] != InputProblem::None)
        reading.state.Gender = Gender::NotSpecified;
    return reading;
}
