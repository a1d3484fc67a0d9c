#include "tools/pourwise-dose/DoseField.h"

#include "calc/NumberText.h"

#include <string>

const DosingParameter *dosingParameterOf(DoseField field)
{
    const std::size_t index = indexOf(field);
    return index >= FirstParameterField ? &DosingParameters[index - FirstParameterField] : nullptr;
}

std::string_view doseFieldName(DoseField field, BodyUnits units)
{
    static constexpr std::array<std::string_view, FirstParameterField> participantNames = {
        "gender", "height", "weight", "age"};
    if (const DosingParameter *parameter = dosingParameterOf(field))
        return parameter->option;
    if (units == BodyUnits::CentimetresKilograms && field == DoseField::Height)
        return "height_cm";
    if (units == BodyUnits::CentimetresKilograms && field == DoseField::Weight)
        return "weight_kg";
    return participantNames[indexOf(field)];
}

std::string_view doseFieldDefault(DoseField field)
{
    // Written once by the number rule of the output, so "0.08" reads back as the same float.
    static const std::array<std::string, DoseFieldCount> texts = [] {
        std::array<std::string, DoseFieldCount> result;
        for (DoseField each : AllDoseFields) {
            if (const DosingParameter *parameter = dosingParameterOf(each)) {
                char buffer[32];
                result[indexOf(each)] = SingleToText(float(parameter->defaultValue), buffer);
            }
        }
        return result;
    }();
    return texts[indexOf(field)];
}
