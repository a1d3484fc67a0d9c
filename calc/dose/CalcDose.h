#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DosingState.h"

#include <optional>

// Why a calculation stopped. The values the calculation stored before the stop stay in the state.
enum class DoseStatus {
    Done,               // AlcDose, MixDose and TotDose hold the new results
    GenderNotSpecified, // nothing was computed or changed beyond the unit conversions
    ArithmeticFault,    // an invalid operation, division by zero or overflow at a stored step
    RoundingOverflow,   // a volume rounded outside -32768..32767 ml
};

enum class DoseStep {
    None,
    HeightCm,
    WeightKg,
    Hours,
    BodyWater,
    AlcoholGrams,
    PureAlcoholMl,
    SpiritMl,
    RoundAlcohol,
    MixerMl,
    RoundMixer,
    TotalMl,
};

enum class ArithmeticFault { None, InvalidOperation, DivisionByZero, Overflow };

// The intermediates a methods section reports, as stored (32-bit floats).
struct DoseIntermediates {
    float heightCm = 0;
    float weightKg = 0;
    float hours = 0;
    float bodyWater = 0;
    float alcoholGrams = 0;
    float unroundedAlcoholMl = 0; // spirit volume before rounding
};

struct DoseOutcome {
    DoseStatus status = DoseStatus::Done;
    DoseStep step = DoseStep::None;
    ArithmeticFault fault = ArithmeticFault::None;
    DoseIntermediates intermediates;
    bool ok() const { return status == DoseStatus::Done; }
};

// Computes the alcohol, mixer and total volumes from the inputs in `state` and stores them there.
// Touches no window: the caller shows the results or the error it reports.
//
// With `bodyInCm`, those centimetres and kilograms are the height and weight of the calculation,
// stored as they are, and state.Height and state.Weight are not read; without it the inches and
// pounds of the state are converted. Everything after that first step is the same.
DoseOutcome CalcDose(DosingState &state, std::optional<BodyInCm> bodyInCm = std::nullopt);
