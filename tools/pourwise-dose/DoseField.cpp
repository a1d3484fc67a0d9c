#include "tools/pourwise-dose/DoseField.h"

std::string_view doseFieldName(DoseField field)
{
    static constexpr std::array<std::string_view, DoseFieldCount> names = {
        "gender", "height", "weight", "age", "bal", "dd", "proof", "ratio"};
    return names[indexOf(field)];
}

std::string_view doseFieldDefault(DoseField field)
{
    // The window's defaults for the dosing parameters when the settings hold none.
    static constexpr std::array<std::string_view, DoseFieldCount> defaults = {
        "", "", "", "", "0.08", "40", "200", "6"};
    return defaults[indexOf(field)];
}
