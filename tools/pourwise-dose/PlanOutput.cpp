#include "tools/pourwise-dose/PlanOutput.h"

std::array<std::string, 4> PlanOutput::fields(const SessionPlan &plan)
{
    char peak[32];
    std::snprintf(peak, sizeof peak, "%.4f", plan.peakBal);
    return {peak, std::to_string(plan.peakAfterMinutes), std::to_string(plan.releaseAfterMinutes),
            std::to_string(plan.zeroAfterMinutes)};
}

void PlanOutput::print(OutputBuffer &output, const SessionPlan &plan)
{
    const std::array<std::string, 4> values = fields(plan);
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        output.put(Columns[i]);
        output.put(" ");
        output.put(values[i]);
        output.put("\n");
    }
    for (const ServedPortion &portion : plan.portions) {
        char line[160];
        const int length = std::snprintf(
            line, sizeof line, "portion %d at_min %d alcohol_ml %d mixer_ml %d total_ml %d\n",
            portion.number, portion.atMinute, portion.alcoholMl, portion.mixerMl, portion.totalMl);
        output.put(std::string_view(line, std::size_t(length)));
    }
}
