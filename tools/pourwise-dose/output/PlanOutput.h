#pragma once

#include "calc/dose/ForecastBand.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/SessionPlan.h"
#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How pourwise-dose writes a session plan: "name value" lines for one participant, columns for a
// roster.
namespace PlanOutput {

inline constexpr std::array<std::string_view, 4> Columns = {"peak_bal", "peak_after_min",
                                                            "release_after_min", "zero_after_min"};
// With a unit of levels asked for, after peak_bal: the peak in that unit.
inline constexpr std::string_view PeakLevelColumn = "peak_level";
// With the band asked for, after zero_after_min: the peak band's edges, then the minutes to its
// release band.
inline constexpr std::array<std::string_view, 4> BandColumns = {
    "peak_band_low", "peak_band_high", "release_band_from_min", "release_band_to_min"};

// A level of the model given in g/100 ml: in `level` with 4 significant digits, as peak_level is
// written, or without a unit given with 4 decimals, as peak_bal is.
std::string levelText(double bal, const std::optional<LevelScale> &level);
// The same for a value already in the lab's unit, `unitGiven` as `level` above.
std::string levelInUnitText(double value, bool unitGiven);

// The columns in their order, with the peak in `level` if given and the band if asked for.
std::vector<std::string_view> columns(const std::optional<LevelScale> &level, bool band = false);

// The peak with 4 decimals, in `level` with 4 significant digits if given, the three times in
// minutes and the band's levels, as the peak is written in the lab's unit, and minutes, in the
// order of columns(level, band).
std::vector<std::string> fields(const SessionPlan &plan, const std::optional<LevelScale> &level,
                                const std::optional<PlanBand> &band = std::nullopt);

// The values as lines, then one line per portion.
void print(OutputBuffer &output, const SessionPlan &plan, const std::optional<LevelScale> &level,
           const std::optional<PlanBand> &band = std::nullopt);

} // namespace PlanOutput
