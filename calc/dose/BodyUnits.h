#pragma once

// The units in which the operator gives height and weight. The calculation itself works in
// centimetres and kilograms: inches and pounds are converted first, while centimetres and
// kilograms are taken as they are.
enum class BodyUnits {
    InchesPounds, // the default
    CentimetresKilograms,
};

// The model's own conversion factors, exactly as it states them: 0.3937 inches per centimetre
// and 2.2046 pounds per kilogram. They are divisors on the way to centimetres and kilograms.
inline constexpr double InchesPerCm = 0.3937;
inline constexpr double PoundsPerKg = 2.2046;

// Height in centimetres and weight in kilograms, as the calculation stores them (32-bit floats).
struct BodyInCm {
    float heightCm = 0;
    float weightKg = 0;
};

// In double precision; the caller narrows to a 32-bit float where it stores the value.
constexpr double cmFromInches(float inches)
{
    return double(inches) / InchesPerCm;
}
constexpr double kgFromPounds(float pounds)
{
    return double(pounds) / PoundsPerKg;
}
constexpr double inchesFromCm(float cm)
{
    return double(cm) * InchesPerCm;
}
constexpr double poundsFromKg(float kg)
{
    return double(kg) * PoundsPerKg;
}

// A height or a weight in both kinds of units, as the calculation's input keeps it: inches or
// pounds (DosingState) beside centimetres or kilograms (BodyInCm).
struct InBothUnits {
    float inchesPounds = 0;
    float metric = 0;
};

// A height or a weight as typed in `units`: the number typed as it stands, the other kind
// converted from it with the model's factor and narrowed to a 32-bit float, so that it is shown
// in whichever units come next and typed centimetres and kilograms reach the calculation unchanged.
constexpr InBothUnits heightInBothUnits(float typed, BodyUnits units)
{
    return units == BodyUnits::CentimetresKilograms
               ? InBothUnits{float(inchesFromCm(typed)), typed}
               : InBothUnits{typed, float(cmFromInches(typed))};
}
constexpr InBothUnits weightInBothUnits(float typed, BodyUnits units)
{
    return units == BodyUnits::CentimetresKilograms
               ? InBothUnits{float(poundsFromKg(typed)), typed}
               : InBothUnits{typed, float(kgFromPounds(typed))};
}
