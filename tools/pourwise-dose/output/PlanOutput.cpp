#include "tools/pourwise-dose/output/PlanOutput.h"

#include <charconv>

namespace {

// Written without the C library's printf, which follows the user's locale once Qt has set it:
// a German locale would write "0,0807".
std::string fixed4(double value)
{
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4).ptr};
}

std::string significant4(double value)
{
    char text[64];
    return {text,
            std::to_chars(text, text + sizeof text, value, std::chars_format::general, 4).ptr};
}

} // namespace

std::string PlanOutput::levelText(double bal, const std::optional<LevelScale> &level)
{
    return levelInUnitText(level ? level->fromBal(bal) : bal, level.has_value());
}

std::string PlanOutput::levelInUnitText(double value, bool unitGiven)
{
    return unitGiven ? significant4(double(float(value))) : fixed4(value);
}

std::vector<std::string_view> PlanOutput::columns(const std::optional<LevelScale> &level, bool band)
{
    // Appended one by one: GCC 12 takes a range inserted into a vector for an overflow.
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        names.push_back(Columns[i]);
        if (i == 0 && level)
            names.push_back(PeakLevelColumn);
    }
    if (band) {
        for (std::string_view column : BandColumns)
            names.push_back(column);
    }
    return names;
}

std::vector<std::string> PlanOutput::fields(const SessionPlan &plan,
                                            const std::optional<LevelScale> &level,
                                            const std::optional<PlanBand> &band)
{
    std::vector<std::string> values = {fixed4(plan.peakBal), std::to_string(plan.peakAfterMinutes),
                                       std::to_string(plan.releaseAfterMinutes),
                                       std::to_string(plan.zeroAfterMinutes)};
    if (level)
        values.insert(values.begin() + 1, levelText(plan.peakBal, level));
    if (band)
        values.insert(values.end(),
                      {levelText(band->peak.low, level), levelText(band->peak.high, level),
                       std::to_string(band->release.fromMinutes),
                       std::to_string(band->release.toMinutes)});
    return values;
}

void PlanOutput::print(OutputBuffer &output, const SessionPlan &plan,
                       const std::optional<LevelScale> &level, const std::optional<PlanBand> &band)
{
    const std::vector<std::string_view> names = columns(level, band.has_value());
    const std::vector<std::string> values = fields(plan, level, band);
    for (std::size_t i = 0; i < names.size(); ++i) {
        output.put(names[i]);
        output.put(" ");
        output.put(values[i]);
        output.put("\n");
    }
    for (const ServedPortion &portion : plan.portions) {
        const std::string line = "portion " + std::to_string(portion.number) + " at_min " +
                                 std::to_string(portion.atMinute) + " alcohol_ml " +
                                 std::to_string(portion.alcoholMl) + " mixer_ml " +
                                 std::to_string(portion.mixerMl) + " total_ml " +
                                 std::to_string(portion.totalMl) + "\n";
        output.put(line);
    }
}
