#include "tools/pourwise-dose/OneParticipant.h"

#include "calc/CalcDose.h"
#include "calc/NumberText.h"
#include "calc/Plausibility.h"
#include "tools/pourwise-dose/ExitStatus.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/PlanOutput.h"

namespace {

void printValue(OutputBuffer &output, std::string_view name, float value)
{
    char buffer[32];
    output.put(name);
    output.put(" ");
    output.put(SingleToText(value, buffer));
    output.put("\n");
}

QString problemText(DoseField field, BodyUnits units, InputProblem problem, const QByteArray &value)
{
    const QString option = DoseCommandLine::optionName(field, units);
    const QString shown = QString::fromUtf8(value);
    switch (problem) {
    case InputProblem::Empty:
        return QStringLiteral("%1 is empty").arg(option);
    case InputProblem::UnknownGender:
        return QStringLiteral("%1 \"%2\" is not male, female, m, f, 1 or 0").arg(option, shown);
    case InputProblem::OutOfRange:
        return QStringLiteral("%1 \"%2\" is too large for a 32-bit float").arg(option, shown);
    default:
        return QStringLiteral("%1 \"%2\" is not a number; use \".\" as the decimal separator "
                              "and no thousands separators")
            .arg(option, shown);
    }
}

void printError(std::FILE *errors, const QString &text)
{
    std::fprintf(errors, "%s\n", text.toUtf8().constData());
}

} // namespace

int OneParticipant::run(const DoseRequest &request, OutputBuffer &output, std::FILE *errors)
{
    ParticipantText text;
    for (DoseField field : AllDoseFields) {
        const QByteArray &value = request.values[indexOf(field)];
        text[indexOf(field)] = std::string_view(value.constData(), std::size_t(value.size()));
    }
    ParticipantReading reading = readParticipant(text, request.units);
    if (!reading.ok()) {
        for (DoseField field : AllDoseFields) {
            const InputProblem problem = reading.problems[indexOf(field)];
            if (problem != InputProblem::None)
                printError(errors,
                           QStringLiteral("ERROR: ") + problemText(field, request.units, problem,
                                                                   request.values[indexOf(field)]));
        }
        return ExitStatus::UsageOrFileError;
    }

    DosingState &state = reading.state;
    const DoseOutcome outcome = CalcDose(state, reading.typedInCm());
    if (!outcome.ok()) {
        printError(errors, DoseErrorMessage(outcome));
        return ExitStatus::SomeNotComputed;
    }
    // A warning never stops the dose or changes the exit status.
    for (const PlausibilityNotice &notice : PlausibilityNotices(state, reading.typedInCm()))
        printError(errors,
                   QStringLiteral("WARNING: ") + PlausibilityNoticeText(notice, QLocale::c()));
    if (request.explain) {
        const DoseIntermediates &i = outcome.intermediates;
        printValue(output, "height_cm", i.heightCm);
        printValue(output, "weight_kg", i.weightKg);
        printValue(output, "hours", i.hours);
        printValue(output, "body_water_l", i.bodyWater);
        printValue(output, "alcohol_g", i.alcoholGrams);
        printValue(output, "alcohol_ml_unrounded", i.unroundedAlcoholMl);
    }
    printValue(output, "alcohol_ml", state.AlcDose);
    printValue(output, "mixer_ml", state.MixDose);
    printValue(output, "total_ml", state.TotDose);
    if (request.plan) {
        const SessionPlan plan = PlanSession({state, outcome.intermediates}, request.plan->portions,
                                             request.plan->releaseLevel);
        if (!plan.ok()) {
            printError(errors, PlanErrorMessage(plan.problem));
            return ExitStatus::SomeNotComputed;
        }
        PlanOutput::print(output, plan);
    }
    return ExitStatus::AllComputed;
}
