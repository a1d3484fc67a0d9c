#pragma once

#include "calc/dose/SessionPlan.h"

#include <QList>

// The control arm's beverage: every portion keeps its total volume, of which a float of
// `floatMl` of the same spirit lies on top and the rest is mixer. No curve is expected of it.
namespace Placebo {
inline constexpr int DefaultFloatMl = 0;
}

enum class PlaceboProblem {
    None,
    FloatNotWhole,             // or not a number
    FloatNegative,             // below 0 ml
    FloatAboveSmallestPortion, // more than the smallest portion's total
};

// Whether `floatMl` may float on every portion of `plan`.
PlaceboProblem placeboProblem(float floatMl, const SessionPlan &plan);
// The smallest total of the plan's portions; 0 for a plan without portions.
int smallestPortionMl(const SessionPlan &plan);

// The plan's portions as placebo: the same numbers, times and totals, `floatMl` of spirit each.
QList<ServedPortion> placeboPortions(const SessionPlan &plan, int floatMl);
