#pragma once

#include <algorithm>
#include <cmath>

// The steps between the ticks of a chart's axis, which every chart of the program shares.
namespace AxisSteps {

// The smallest of 1, 2 or 5 times a power of ten that is at least `rough`.
inline double roundStep(double rough)
{
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

// The decimals a label needs to tell ticks `step` apart, at most 12 whatever the step.
inline int decimalsOf(double step)
{
    return std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 12);
}

} // namespace AxisSteps
