#include "tools/pourwise-dose/OneParticipant.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/NumberText.h"
#include "calc/session/SessionSchedule.h"
#include "tools/pourwise-dose/CommandLineSession.h"
#include "tools/pourwise-dose/ExitStatus.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/output/PlanOutput.h"
#include "tools/pourwise-dose/output/ScheduleOutput.h"
#include "tools/pourwise-dose/output/SessionOutput.h"

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

// What is due at --now, under the protocol's schedule.
void printSchedule(const DoseRequest &request, const SessionReport &report, OutputBuffer &output)
{
    const ScheduleRequest &asked = request.session.schedule;
    if (asked.schedule)
        ScheduleOutput::print(
            output,
            scheduleOf(report, request.protocol ? request.protocol->schedule : ProtocolSchedule{}),
            asked.nowMinute);
}

// The session's lines after the plan's: the placebo, the readings and what they show, the
// booster, and the schedule; an exit status for what stops the run, else 0.
int printSession(const DoseRequest &request, const CommandLineSession &session,
                 OutputBuffer &output, std::FILE *errors)
{
    const SessionRequest &given = request.session;
    const SessionReport &report = session.report;
    const bool unitGiven = request.level.unitGiven;
    if (given.placebo)
        SessionOutput::printPlacebo(output, report);
    if (!given.readings.isEmpty()) {
        SessionOutput::printReadings(output, report, unitGiven, request.band);
        SessionOutput::warnOfSlips(errors, report);
        SessionOutput::printCourse(output, report);
        SessionOutput::printPersonal(output, report);
    }
    if (!session.booster) {
        printSchedule(request, report, output);
        return 0;
    }
    const BoosterOffer &booster = *session.booster;
    if (!booster.ok()) {
        printError(errors, booster.refusal.message);
        return ExitStatus::SomeNotComputed;
    }
    SessionOutput::printBooster(output, booster, report.setup.input.level);
    SessionOutput::printBoosterServed(output, report, unitGiven, request.band);
    // What is served all together is judged as one dose.
    for (const QString &warning : booster.judgement.all())
        printError(errors, QStringLiteral("WARNING: with the booster: ") + warning);
    printSchedule(request, report, output);
    return booster.judgement.overLimits.isEmpty() ? 0 : ExitStatus::OverProtocolLimit;
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
    // What the session refuses (a float that no portion can hold, a negative reading, a booster's
    // drinking period out of its range) is bad input: nothing is printed.
    std::optional<CommandLineSession> session;
    if (request.session.any() && report.plan && report.plan->ok()) {
        session = enterSession(input, request);
        if (session->refusal.refused()) {
            printError(errors, session->refusal.message);
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
        if (session) {
            if (const int status = printSession(request, *session, output, errors))
                return status;
        }
    }
    return report.breaches.isEmpty() ? ExitStatus::AllComputed : ExitStatus::OverProtocolLimit;
}
