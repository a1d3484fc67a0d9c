#include "calc/dose/DoseEvaluation.h"

DoseReport evaluateDose(const DoseInput &input, const DoseOptions &options)
{
    DoseReport report;
    report.dose.state = input.state;
    report.dose.units = input.units;
    report.dose.level = input.level;
    report.dose.targetLevel = input.given(DoseValue::BAL);
    if (input.typedTarget)
        report.dose.state.BAL = input.level.toBal(*input.typedTarget);
    report.outcome =
        CalcDose(report.dose.state, input.metric() ? std::optional(input.bodyInCm) : std::nullopt);
    report.dose.intermediates = report.outcome.intermediates;
    if (!report.ok())
        return report;
    report.notices = PlausibilityNotices(input);
    if (const std::optional<PlausibilityNotice> ethanol = ethanolNotice(report.dose))
        report.notices.append(*ethanol);
    if (options.plan)
        report.plan = PlanSession(report.dose, options.plan->portions, options.plan->releaseLevel);
    if (options.protocol) {
        report.breaches = limitBreaches(report.dose, *options.protocol);
        // A protocol without a name holds only limits set for the run, not values to keep to.
        if (!options.protocol->name.isEmpty())
            report.differences = protocolDifferences(report.dose, options.plan, *options.protocol);
    }
    return report;
}
