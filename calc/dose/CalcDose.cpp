#include "calc/dose/CalcDose.h"

#include "calc/dose/DosingModel.h"

#include <cmath>
#include <limits>

namespace {

// The model's constants are in DosingModel.h, its unit factors in BodyUnits.h.
using namespace DosingModel;

// Each stored intermediate is checked explicitly rather than through the floating-point status
// flags: without compiler support for FENV_ACCESS, the optimiser may move or fold the arithmetic
// around a flag test. With finite inputs every fault shows in the stored value: an invalid
// operation gives NaN, a division by zero or an overflow (in double, or when narrowing to float)
// gives an infinity.
class Calculation {
public:
    explicit Calculation(DoseOutcome &outcome) : m_outcome(outcome) {}

    // Narrows to float as the value is stored; false (with the fault recorded) if it is not finite.
    bool store(float &target, double value, DoseStep step, double divisor = 1)
    {
        const float stored = float(value);
        if (std::isfinite(stored)) {
            target = stored;
            return true;
        }
        m_outcome.status = DoseStatus::ArithmeticFault;
        m_outcome.step = step;
        if (std::isnan(value))
            m_outcome.fault = ArithmeticFault::InvalidOperation;
        else if (divisor == 0)
            m_outcome.fault = ArithmeticFault::DivisionByZero;
        else
            m_outcome.fault = ArithmeticFault::Overflow;
        return false;
    }

    bool check(double value, DoseStep step)
    {
        float scratch;
        return store(scratch, value, step);
    }

    // Rounds half to even into -32768..32767; a rounded zero is stored as +0.
    bool roundToWholeMl(float &target, DoseStep step)
    {
        const float rounded = std::nearbyint(target) + 0.0f;
        if (rounded < std::numeric_limits<short>::min() ||
            rounded > std::numeric_limits<short>::max()) {
            m_outcome.status = DoseStatus::RoundingOverflow;
            m_outcome.step = step;
            return false;
        }
        target = rounded;
        return true;
    }

private:
    DoseOutcome &m_outcome;
};

} // namespace

DoseOutcome CalcDose(DosingState &s, std::optional<BodyInCm> bodyInCm)
{
    DoseOutcome outcome;
    DoseIntermediates &i = outcome.intermediates;
    Calculation calc(outcome);

    // Centimetres and kilograms given by the caller are the stored intermediates themselves;
    // from here on both kinds of input take the very same path.
    const double heightCm = bodyInCm ? double(bodyInCm->heightCm) : cmFromInches(s.Height);
    const double weightKg = bodyInCm ? double(bodyInCm->weightKg) : kgFromPounds(s.Weight);
    if (!calc.store(i.heightCm, heightCm, DoseStep::HeightCm) ||
        !calc.store(i.weightKg, weightKg, DoseStep::WeightKg) ||
        !calc.store(i.hours, double(s.DD) / double(MinutesPerHour), DoseStep::Hours))
        return outcome;

    if (s.Gender == Gender::NotSpecified) {
        outcome.status = DoseStatus::GenderNotSpecified;
        return outcome;
    }

    // Total body water in litres (Watson formulas); age enters only the male formula.
    const double bodyWater =
        s.Gender == Gender::Male
            ? (2.447 - double(s.Age) * 0.09516) + double(i.heightCm) * 0.1074 +
                  double(i.weightKg) * 0.3362
            : (double(i.heightCm) * 0.1069 - 2.097) + double(i.weightKg) * 0.2466;
    if (!calc.store(i.bodyWater, bodyWater, DoseStep::BodyWater))
        return outcome;

    // Grams of ethanol: elimination over the drinking period plus half an hour, and the amount
    // that brings the body water to the target level (BAL x 10 turns g/100 ml into g/l).
    const double targetGramsInWater =
        double(s.BAL) * double(GramsPerLitrePerBal) * double(i.bodyWater);
    if (!calc.check(targetGramsInWater, DoseStep::AlcoholGrams))
        return outcome;
    const double alcoholGrams = ((double(i.hours) + AbsorptionAllowanceHours) * EliminationPerHour *
                                 (double(i.bodyWater) / BloodWaterFraction)) +
                                (targetGramsInWater / BloodWaterFraction);
    if (!calc.store(i.alcoholGrams, alcoholGrams, DoseStep::AlcoholGrams))
        return outcome;

    if (!calc.store(s.AlcDose, double(i.alcoholGrams) / EthanolDensity, DoseStep::PureAlcoholMl))
        return outcome;
    const double strength = double(s.Proof) / double(PureProof);
    if (!calc.store(s.AlcDose, double(s.AlcDose) / strength, DoseStep::SpiritMl, strength))
        return outcome;
    i.unroundedAlcoholMl = s.AlcDose;
    if (!calc.roundToWholeMl(s.AlcDose, DoseStep::RoundAlcohol))
        return outcome;

    // The mixer follows the rounded alcohol dose, so the total is the exact sum of both.
    if (!calc.store(s.MixDose, double(s.Ratio) * double(s.AlcDose), DoseStep::MixerMl) ||
        !calc.roundToWholeMl(s.MixDose, DoseStep::RoundMixer) ||
        !calc.store(s.TotDose, double(s.MixDose) + double(s.AlcDose), DoseStep::TotalMl))
        return outcome;
    return outcome;
}
