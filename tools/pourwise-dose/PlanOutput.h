#pragma once

#include "calc/LevelUnits.h"
#include "calc/SessionPlan.h"
#include "tools/pourwise-dose/OutputBuffer.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How pourwise-dose writes a session plan: "name value" lines for one participant, four
// columns for a roster.
namespace PlanOutput {

inline constexpr std::array<std::string_view, 4> Columns = {"peak_bal", "peak_after_min",
                                                            "release_after_min", "zero_after_min"};
// With a unit of levels asked for, after peak_bal: the peak in that unit.
inline constexpr std::string_view PeakLevelColumn = "peak_level";

// The columns in their order, with the peak in `level` if given.
std::vector<std::string_view> columns(const std::optional<LevelScale> &level);

// The peak with 4 decimals, in `level` with 4 significant digits if given, and the three times
// in minutes, in the order of columns(level).
std::vector<std::string> fields(const SessionPlan &plan, const std::optional<LevelScale> &level);

// The values as lines, then one line per portion.
void print(OutputBuffer &output, const SessionPlan &plan, const std::optional<LevelScale> &level);

} // namespace PlanOutput
