#pragma once

#include "calc/SessionPlan.h"
#include "tools/pourwise-dose/OutputBuffer.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

// How pourwise-dose writes a session plan: "name value" lines for one participant, four
// columns for a roster.
namespace PlanOutput {

inline constexpr std::array<std::string_view, 4> Columns = {"peak_bal", "peak_after_min",
                                                            "release_after_min", "zero_after_min"};

// The peak with 4 decimals and the three times in minutes, in the order of Columns.
std::array<std::string, 4> fields(const SessionPlan &plan);

// The four values as lines, then one line per portion.
void print(OutputBuffer &output, const SessionPlan &plan);

} // namespace PlanOutput
