#include "tools/pourwise-dose/OneParticipant.h"

#include "calc/Booster.h"
#include "calc/DoseEvaluation.h"
#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "calc/Placebo.h"
#include "tools/pourwise-dose/ExitStatus.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/PlanOutput.h"
#include "tools/pourwise-dose/SessionOutput.h"

namespace {

void printValue(OutputBuffer &output, std::string_view name, float value)
{
    char buffer[32];
    output.put(name);
    output.put(" ");
    output.put(SingleToText(value, buffer));
    output.put("\n");
}

void printError(std::FILE *errors, const QString &text)
{
    std::fprintf(errors, "%s\n", text.toUtf8().constData());
}

// The placebo, the readings' course and the booster after the plan; an exit status for what
// stops the run, else 0.
int printSession(const DoseRequest &request, const DoseInput &input, const DoseReport &report,
                 OutputBuffer &output, std::FILE *errors)
{
    const SessionRequest &session = request.session;
    const float releaseBal = request.plan->releaseLevel;
    const QList<ServedPortion> poured = session.placebo
                                            ? placeboPortions(*report.plan, int(session.floatMl))
                                            : report.plan->portions;
    if (session.placebo)
        SessionOutput::printPlacebo(output, poured);
    const ReadingsCourse course = readingsCourse(session.readings, input.level, releaseBal);
    SessionOutput::printCourse(output, session.readings, course);
    if (!session.boosterMinutes)
        return 0;
    const BoosterEstimate booster = estimateBooster(input, report.dose.state.BAL, session.readings,
                                                    *session.boosterMinutes, session.placebo);
    if (booster.refusal != BoosterRefusal::None) {
        printError(errors, boosterRefusalText(booster.refusal).message);
        return ExitStatus::SomeNotComputed;
    }
    if (!booster.report.ok()) {
        printError(errors, doseFaultText(booster.report.outcome).message);
        return ExitStatus::SomeNotComputed;
    }
    SessionOutput::printBooster(output, booster.report.dose.state);
    // What is served all together is judged as one dose.
    const BoosterJudgement judgement =
        judgeWithBooster(servedWithBooster(report.dose, poured, booster.report.dose.state),
                         request.protocol, QLocale::c());
    for (const QString &warning : judgement.all())
        printError(errors, QStringLiteral("WARNING: with the booster: ") + warning);
    return judgement.overLimits.isEmpty() ? 0 : ExitStatus::OverProtocolLimit;
}

} // namespace

int OneParticipant::run(const DoseRequest &request, OutputBuffer &output, std::FILE *errors)
{
    ParticipantText text;
    for (const DoseValueInfo &info : DoseValues) {
        const QByteArray &value = request.values[indexOf(info.value)];
        text[indexOf(info.value)] = std::string_view(value.constData(), std::size_t(value.size()));
    }
    const ReadingUnits units{request.units, request.level.scale, request.targetInLevelUnit};
    const ParticipantReading reading = readParticipant(text, units);
    if (!reading.ok()) {
        for (const DoseValueInfo &info : DoseValues) {
            const InputProblem problem = reading.problems[indexOf(info.value)];
            if (problem != InputProblem::None)
                printError(errors, inputProblemMessage(
                                       problem, DoseCommandLine::optionName(info.value, units),
                                       QString::fromUtf8(request.values[indexOf(info.value)])));
        }
        return ExitStatus::UsageOrFileError;
    }

    DoseInput input = reading.input;
    if (request.targetFromProtocol) {
        input.level = request.protocol->level;
        input.typedTarget = request.protocol->target;
        input = inLevelScale(input, request.level.scale);
    }
    const DoseReport report = evaluateDose(input, {request.plan, request.protocol});
    if (!report.ok()) {
        printError(errors, doseFaultText(report.outcome).message);
        return ExitStatus::SomeNotComputed;
    }
    // A float that no portion can hold is bad input: nothing is printed.
    if (request.session.placebo && report.plan && report.plan->ok()) {
        const PlaceboProblem problem = placeboProblem(request.session.floatMl, *report.plan);
        if (problem != PlaceboProblem::None) {
            printError(errors, placeboMessage(problem, smallestPortionMl(*report.plan)));
            return ExitStatus::UsageOrFileError;
        }
    }
    // A warning never stops the dose or changes the exit status.
    for (const PlausibilityNotice &notice : report.notices)
        printError(errors,
                   QStringLiteral("WARNING: ") + PlausibilityNoticeText(notice, QLocale::c()));
    for (const LimitBreach &breach : report.breaches)
        printError(errors, QStringLiteral("WARNING: ") +
                               limitBreachText(breach, *request.protocol, QLocale::c()));
    if (request.explain) {
        const DoseIntermediates &i = report.dose.intermediates;
        if (request.level.given)
            printValue(output, "bal", report.dose.state.BAL); // the g/100 ml of the level given
        printValue(output, "height_cm", i.heightCm);
        printValue(output, "weight_kg", i.weightKg);
        printValue(output, "hours", i.hours);
        printValue(output, "body_water_l", i.bodyWater);
        printValue(output, "alcohol_g", i.alcoholGrams);
        printValue(output, "alcohol_ml_unrounded", i.unroundedAlcoholMl);
    }
    const DosingState &state = report.dose.state;
    printValue(output, "alcohol_ml", state.AlcDose);
    printValue(output, "mixer_ml", state.MixDose);
    printValue(output, "total_ml", state.TotDose);
    if (report.plan) {
        if (!report.plan->ok()) {
            printError(errors, planFaultText(report.plan->problem).message);
            return ExitStatus::SomeNotComputed;
        }
        const std::optional<PlanBand> band =
            request.band ? planBand(report.dose, *report.plan, request.plan->releaseLevel)
                         : std::nullopt;
        if (request.band && !band) {
            printError(errors, bandFaultText().message);
            return ExitStatus::SomeNotComputed;
        }
        PlanOutput::print(
            output, *report.plan,
            request.level.unitGiven ? std::optional(request.level.scale) : std::nullopt, band);
        if (const int status = printSession(request, input, report, output, errors))
            return status;
    }
    return report.breaches.isEmpty() ? ExitStatus::AllComputed : ExitStatus::OverProtocolLimit;
}
