#include "calc/session/SessionBooster.h"

#include "calc/FaultTexts.h"
#include "calc/dose/DosingModel.h"
#include "calc/dose/ForecastBand.h"
#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"

#include <cmath>

bool acceptsBoosterMinutes(float minutes)
{
    return minutes >= BoosterPeriod::Minimum && minutes <= BoosterPeriod::Maximum &&
           minutes == std::trunc(minutes);
}

DoseInput boosterInput(const DoseInput &dose, float targetBal, float drinkingMinutes)
{
    DoseInput booster = dose;
    booster.typedTarget.reset();
    booster.state.BAL = targetBal;
    booster.state.DD = drinkingMinutes;
    return booster;
}

std::optional<SessionPlan> boosterPlan(const DoseInput &dose, const BoosterLine &booster,
                                       float releaseBal)
{
    const DoseReport own =
        evaluateDose(boosterInput(dose, booster.targetBal, booster.drinkingMinutes));
    if (!own.ok())
        return std::nullopt;
    CalculatedDose poured = own.dose;
    poured.state.AlcDose = float(booster.alcoholMl);
    poured.state.MixDose = float(booster.mixerMl);
    poured.state.TotDose = float(booster.totalMl);
    const SessionPlan plan = PlanSession(poured, 1, releaseBal);
    return plan.ok() ? std::optional(plan) : std::nullopt;
}

BoosterOffer offerBooster(const SessionReport &report, int atMinute, float drinkingMinutes,
                          const std::optional<Protocol> &protocol, const QLocale &locale)
{
    BoosterOffer offer;
    offer.atMinute = atMinute;
    offer.drinkingMinutes = drinkingMinutes;
    const auto refused = [&offer](const SessionRefusal &refusal) {
        offer.refusal = refusal;
        return offer;
    };
    if (report.placebo)
        return refused(sessionRefusal(SessionFault::BoosterPlacebo));
    if (const BoosterLine *served = report.booster())
        return refused(sessionRefusal(SessionFault::BoosterServedAlready,
                                      {clockText(report.start.time(), served->atMinute, locale)}));
    if (!acceptsBoosterMinutes(drinkingMinutes))
        return refused(
            sessionRefusal(SessionFault::BoosterPeriod, {SingleToText(drinkingMinutes, locale)}));
    if (!report.hasPlan())
        return refused(sessionRefusal(SessionFault::NoPlan));

    // The readings before B; after the start, the latest of them and those that count.
    std::optional<qsizetype> latest;
    QList<TimedReading> counting;
    QList<bool> implausible;
    const LevelScale &level = report.setup.input.level;
    for (qsizetype i = 0; i < report.readings.size(); ++i) {
        const ReadingLine &reading = report.readings[i];
        if (reading.voided || reading.atMinute >= atMinute ||
            reading.note == ReadingNote::Baseline || reading.note == ReadingNote::NotALevel)
            continue;
        latest = i;
        if (reading.counts()) {
            offer.fromReading = i;
            counting << TimedReading{reading.atMinute, level.toBal(reading.level)};
            implausible << reading.implausibleFallFrom.has_value();
        }
    }
    if (latest && report.readings[*latest].note == ReadingNote::MouthAlcohol)
        return refused(sessionRefusal(SessionFault::BoosterMouthAlcohol));
    if (!implausible.isEmpty() && implausible.constLast())
        return refused(sessionRefusal(SessionFault::BoosterImplausibleFall));
    QList<float> countingBal;
    for (const TimedReading &reading : counting)
        countingBal << reading.bal;
    const LimbCourse limb = limbCourse(countingBal);
    if (!limb.shown)
        return refused(sessionRefusal(SessionFault::BoosterLimb));
    if (releaseCourse(counting, implausible, limb.shown, report.releaseBal, report.release)
            .reached())
        return refused(sessionRefusal(SessionFault::BoosterReleased));
    const TimedReading &from = counting.constLast();
    const qint64 age = qint64(atMinute) - from.atMinute;
    if (age > SessionRules::FreshReadingMinutes)
        return refused(sessionRefusal(SessionFault::BoosterStaleReading, {durationText(age)}));
    const float targetBal = report.dose.dose.state.BAL;
    if (!(from.bal < targetBal))
        return refused(sessionRefusal(SessionFault::BoosterAtTarget));

    offer.fromBal = boosterStartBal(from, atMinute);
    offer.targetBal = targetBal - offer.fromBal; // a float subtraction, rounded once
    DoseOptions options;
    options.plan = SessionPlanSettings{1, report.releaseBal};
    offer.report =
        evaluateDose(boosterInput(report.setup.input, offer.targetBal, drinkingMinutes), options);
    if (!offer.report.ok())
        return refused({SessionFault::BoosterDose, doseFaultText(offer.report.outcome).message});
    if (!offer.report.plan->ok())
        return refused(
            {SessionFault::BoosterDose, planFaultText(offer.report.plan->problem).message});
    // Its peak's band spreads from the booster's own alcohol and the elimination from B, as a
    // booster served does.
    const SessionPlan &own = *offer.report.plan;
    const double served = atMinute / double(DosingModel::MinutesPerHour);
    offer.peakBand =
        ForecastBand(bandSpread(report.dose.dose), {own.peakBal, served, own.peakHours, served,
                                                    double(offer.fromBal) + own.peakBal})
            .peak();
    QList<ServedPortion> poured;
    for (const PortionLine &portion : report.portions)
        poured << portion.portion;
    offer.judgement = judgeWithBooster(
        servedWithBooster(report.dose.dose, poured, offer.report.dose.state), protocol, locale);
    return offer;
}
