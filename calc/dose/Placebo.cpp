#include "calc/dose/Placebo.h"

#include <algorithm>
#include <cmath>

int smallestPortionMl(const SessionPlan &plan)
{
    if (plan.portions.isEmpty())
        return 0;
    int smallest = plan.portions.constFirst().totalMl;
    for (const ServedPortion &portion : plan.portions)
        smallest = std::min(smallest, portion.totalMl);
    return smallest;
}

PlaceboProblem placeboProblem(float floatMl, const SessionPlan &plan)
{
    if (!std::isfinite(floatMl) || floatMl != std::trunc(floatMl))
        return PlaceboProblem::FloatNotWhole;
    if (floatMl < 0)
        return PlaceboProblem::FloatNegative;
    if (floatMl > float(smallestPortionMl(plan)))
        return PlaceboProblem::FloatAboveSmallestPortion;
    return PlaceboProblem::None;
}

QList<ServedPortion> placeboPortions(const SessionPlan &plan, int floatMl)
{
    QList<ServedPortion> portions = plan.portions;
    for (ServedPortion &portion : portions) {
        portion.alcoholMl = floatMl;
        portion.mixerMl = portion.totalMl - floatMl;
    }
    return portions;
}
