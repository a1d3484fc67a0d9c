#include "calc/dose/SessionPlan.h"

#include "calc/dose/DosingModel.h"

#include <cmath>
#include <limits>

namespace {

// The dosing model's own constants, the same the dose was calculated with.
using namespace DosingModel;

// `total` in `count` whole shares adding up to it exactly; the first shares take the extra one.
// Floor division keeps that rule for negative totals too.
int share(int total, int count, int index)
{
    int base = total / count;
    int extra = total % count;
    if (extra < 0) {
        extra += count;
        base -= 1;
    }
    return base + (index < extra ? 1 : 0);
}

} // namespace

int wholeMinutes(double minutes)
{
    return int(std::round(minutes));
}

bool minutesFitAClock(double minutes)
{
    return std::isfinite(minutes) && std::abs(minutes) <= std::numeric_limits<int>::max();
}

bool acceptsPortions(float portions)
{
    return portions >= SessionPlanLimits::MinimumPortions &&
           portions <= SessionPlanLimits::MaximumPortions && portions == std::trunc(portions);
}

bool acceptsReleaseLevel(float level)
{
    return std::isfinite(level) && level > 0;
}

double SessionPlan::expectedBal(double hours) const
{
    return hours >= zeroHours ? 0 : expectedLine(hours);
}

double SessionPlan::expectedLine(double hours) const
{
    if (!ok() || hours <= 0)
        return 0;
    if (hours < peakHours)
        return peakBal * hours / peakHours;
    return peakBal - EliminationBalPerHour * (hours - peakHours);
}

SessionPlan PlanSession(const CalculatedDose &dose, int portions, float releaseLevel)
{
    SessionPlan plan;
    const DosingState &s = dose.state;
    if (!acceptsPortions(float(portions))) {
        plan.problem = PlanProblem::PortionsOutOfRange;
        return plan;
    }
    if (!acceptsReleaseLevel(releaseLevel)) {
        plan.problem = PlanProblem::ReleaseLevelNotAboveZero;
        return plan;
    }
    if (!(s.DD >= 0)) {
        plan.problem = PlanProblem::NegativeDrinkingPeriod;
        return plan;
    }
    const double bloodWater = double(dose.intermediates.bodyWater) / BloodWaterFraction;
    if (!(bloodWater > 0) || !std::isfinite(bloodWater)) {
        plan.problem = PlanProblem::NoBodyWater;
        return plan;
    }

    const double servedGrams = double(s.AlcDose) * (double(s.Proof) / PureProof) * EthanolDensity;
    plan.peakHours = double(dose.intermediates.hours) + AbsorptionAllowanceHours;
    plan.peakBal = (servedGrams - EliminationPerHour * bloodWater * plan.peakHours) /
                   (GramsPerLitrePerBal * bloodWater);
    if (!(plan.peakBal > 0)) {
        plan.problem = PlanProblem::PeakNotAboveZero;
        return plan;
    }
    // A negative proof or ratio gives volumes that cannot be poured, whatever the BAL reckons.
    if (!(s.AlcDose > 0)) {
        plan.problem = PlanProblem::NoAlcoholToServe;
        return plan;
    }
    if (!(s.MixDose >= 0)) {
        plan.problem = PlanProblem::NegativeMixer;
        return plan;
    }
    const double release = releaseLevel;
    plan.releaseHours = plan.peakBal > release
                            ? plan.peakHours + (plan.peakBal - release) / EliminationBalPerHour
                            : 0;
    plan.zeroHours = plan.peakHours + plan.peakBal / EliminationBalPerHour;
    // The zero time is the latest of all, and every serving comes before the peak.
    if (!minutesFitAClock(plan.zeroHours * MinutesPerHour) || !minutesFitAClock(s.DD)) {
        plan.problem = PlanProblem::TimesOutOfRange;
        return plan;
    }
    plan.peakAfterMinutes = wholeMinutes(plan.peakHours * MinutesPerHour);
    plan.releaseAfterMinutes = wholeMinutes(plan.releaseHours * MinutesPerHour);
    plan.zeroAfterMinutes = wholeMinutes(plan.zeroHours * MinutesPerHour);

    // The volumes are whole millilitres within -32768..32767 after a successful calculation.
    const int alcoholMl = int(std::lround(s.AlcDose));
    const int mixerMl = int(std::lround(s.MixDose));
    for (int index = 0; index < portions; ++index) {
        ServedPortion portion;
        portion.number = index + 1;
        portion.atMinute = wholeMinutes(double(index) * double(s.DD) / portions);
        portion.alcoholMl = share(alcoholMl, portions, index);
        portion.mixerMl = share(mixerMl, portions, index);
        portion.totalMl = portion.alcoholMl + portion.mixerMl;
        plan.portions.append(portion);
    }
    return plan;
}
