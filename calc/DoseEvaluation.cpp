#include "calc/DoseEvaluation.h"

float DoseInput::number(DoseValue value) const
{
    return const_cast<DoseInput *>(this)->number(value);
}

float &DoseInput::number(DoseValue value)
{
    if (metric() && value == DoseValue::Height)
        return bodyInCm.heightCm;
    if (metric() && value == DoseValue::Weight)
        return bodyInCm.weightKg;
    return state.*infoOf(value).field;
}

DoseReport evaluateDose(const DoseInput &input, const DoseOptions &options)
{
    DoseReport report;
    report.dose.state = input.state;
    report.dose.units = input.units;
    report.outcome =
        CalcDose(report.dose.state, input.metric() ? std::optional(input.bodyInCm) : std::nullopt);
    report.dose.intermediates = report.outcome.intermediates;
    if (!report.ok())
        return report;
    report.notices = PlausibilityNotices(input);
    if (options.plan)
        report.plan = PlanSession(report.dose, options.plan->portions, options.plan->releaseLevel);
    return report;
}
