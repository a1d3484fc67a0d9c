#include "calc/session/SessionReport.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/DosingModel.h"
#include "calc/dose/ForecastBand.h"
#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionFaultTexts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The booster `report`'s session would serve at `atMinute` over `drinkingMinutes`, judged on the
// readings before it, or why it would not.
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

double hoursOf(int minute)
{
    return double(minute) / DosingModel::MinutesPerHour;
}

void addPortions(SessionReport &report, const SessionEntries &entries)
{
    for (const EntryInForce &planned : entries.of(EntryEvent::Portion)) {
        const SessionEntry &entry = planned.entry;
        PortionLine line{
            entry.entry,
            {entry.number, entry.plannedAtMinute, entry.alcoholMl, entry.mixerMl, entry.totalMl},
            {}};
        // A version-1 record keeps a portion's serving in the portion's own row.
        if (const std::optional<int> servedAt = planned.values.servedAtMinute)
            line.marks.append({entry.entry, *servedAt, planned.corrected(), planned.voided()});
        report.portions.append(line);
    }
    for (const EntryInForce &served : entries.of(EntryEvent::Served)) {
        for (PortionLine &portion : report.portions) {
            if (portion.portion.number == served.entry.number) {
                portion.marks.append({served.entry.entry, served.values.servedAtMinute.value_or(0),
                                      served.corrected(), served.voided()});
                break;
            }
        }
    }
}

void addBoosters(SessionReport &report, const SessionEntries &entries)
{
    for (const EntryInForce &booster : entries.of(EntryEvent::Booster)) {
        const SessionEntry &entry = booster.entry;
        BoosterLine line;
        line.entry = entry.entry;
        line.atMinute = booster.values.servedAtMinute.value_or(0);
        line.drinkingMinutes = booster.values.drinkingMinutes.value_or(0);
        line.targetBal = entry.boosterTargetBal;
        line.alcoholMl = entry.alcoholMl;
        line.mixerMl = entry.mixerMl;
        line.totalMl = entry.totalMl;
        line.corrected = booster.corrected();
        line.voided = booster.voided();
        if (!line.voided && !report.boosterInForce)
            report.boosterInForce = report.boosters.size();
        report.boosters.append(line);
    }
}

// Drinking ends at the later of the drinking period's end and the last portion served.
DrinkingTimes drinkingTimes(const SessionReport &report)
{
    DrinkingTimes times;
    times.drinkingEnds = report.setup.input.state.DD;
    for (const PortionLine &portion : report.portions) {
        for (const ServedMark &mark : portion.marks) {
            if (!mark.voided)
                times.drinkingEnds = std::max(times.drinkingEnds, double(mark.atMinute));
        }
    }
    if (const BoosterLine *booster = report.booster()) {
        times.boosterAt = booster->atMinute;
        times.boosterMinutes = booster->drinkingMinutes;
    }
    return times;
}

void addReadings(SessionReport &report, const SessionEntries &entries)
{
    for (const EntryInForce &reading : entries.of(EntryEvent::Reading)) {
        ReadingLine line;
        line.entry = reading.entry.entry;
        line.atMinute = reading.values.atMinute.value_or(0);
        line.level = reading.values.level.value_or(0);
        line.note = readingNote(line.atMinute, line.level, report.drinking);
        line.corrected = reading.corrected();
        line.voided = reading.voided();
        report.readings.append(line);
    }
    std::stable_sort(
        report.readings.begin(), report.readings.end(),
        [](const ReadingLine &a, const ReadingLine &b) { return a.atMinute < b.atMinute; });
}

// The counting readings of a phase, in time order, each with its index into the report's.
struct PhaseReadings {
    QList<TimedReading> readings;
    QList<qsizetype> index;

    QList<float> bal() const
    {
        QList<float> levels;
        for (const TimedReading &reading : readings)
            levels << reading.bal;
        return levels;
    }
    std::optional<qsizetype> indexOf(std::optional<qsizetype> at) const
    {
        return at ? std::optional(index[*at]) : std::nullopt;
    }
};

// Each counting reading that fell faster than a body eliminates from the one before it in its
// phase notes that one.
void noteImplausibleFalls(SessionReport &report, const PhaseReadings &phase)
{
    const QList<bool> implausible = implausibleFalls(phase.readings);
    for (qsizetype i = 0; i < implausible.size(); ++i) {
        if (implausible[i])
            report.readings[phase.index[i]].implausibleFallFrom = phase.index[i - 1];
    }
}

void judgeReadings(SessionReport &report)
{
    const LevelScale &level = report.setup.input.level;
    PhaseReadings all;
    PhaseReadings earlier; // before the booster in force
    PhaseReadings latest;
    for (qsizetype i = 0; i < report.readings.size(); ++i) {
        const ReadingLine &reading = report.readings[i];
        if (!reading.counts())
            continue;
        const TimedReading timed{reading.atMinute, level.toBal(reading.level)};
        PhaseReadings &phase = report.drinking.inLatestPhase(reading.atMinute) ? latest : earlier;
        for (PhaseReadings *list : {&all, &phase}) {
            list->readings << timed;
            list->index << i;
        }
    }
    noteImplausibleFalls(report, earlier);
    noteImplausibleFalls(report, latest);
    ReadingsOutcome &outcome = report.outcome;
    outcome.observedPeak = all.indexOf(highestReading(all.bal()));
    std::optional<qsizetype> releaseFrom;
    if (report.placebo) {
        releaseFrom = placeboRelease(latest.bal(), report.releaseBal);
    } else {
        const LimbCourse limb = limbCourse(latest.bal());
        outcome.limbShown = latest.indexOf(limb.shown);
        outcome.limbWithdrawnBy = latest.indexOf(limb.withdrawnBy);
        releaseFrom = limb.shown;
    }
    const ReleaseCourse release = releaseCourse(latest.readings, implausibleFalls(latest.readings),
                                                releaseFrom, report.releaseBal, report.release);
    outcome.release = latest.indexOf(release.release);
    for (const qsizetype confirming : release.confirming)
        outcome.releaseConfirming << latest.index[confirming];
    outcome.releaseWaiting = latest.indexOf(release.waiting);
    outcome.releaseFellImplausibly = latest.indexOf(release.latestFellImplausibly);
    outcome.releaseNextFromMinute = release.nextFromMinute;
}

// The course after the booster in force: from the latest counting reading before it carried to
// its time, or from the dose's expected level at its time.
void addCourseAfter(const SessionReport &report, BoosterLine &booster)
{
    const std::optional<SessionPlan> own =
        boosterPlan(report.setup.input, booster, report.releaseBal);
    if (!own)
        return;
    for (qsizetype i = 0; i < report.readings.size(); ++i) {
        const ReadingLine &reading = report.readings[i];
        if (reading.atMinute < booster.atMinute && reading.counts())
            booster.fromReading = i;
    }
    std::optional<int> fromMinute;
    double fromBal = report.dose.plan->expectedBal(hoursOf(booster.atMinute));
    if (booster.fromReading) {
        const ReadingLine &reading = report.readings[*booster.fromReading];
        fromMinute = reading.atMinute;
        fromBal = boosterStartBal({reading.atMinute, report.setup.input.level.toBal(reading.level)},
                                  booster.atMinute);
    }
    booster.course = boosterCourse(booster.atMinute, fromBal, fromMinute, *own, report.releaseBal);
}

void addExpected(SessionReport &report)
{
    if (report.placebo || !report.hasPlan())
        return;
    ExpectedCourse expected{*report.dose.plan, std::nullopt};
    if (report.boosterInForce) {
        BoosterLine &booster = report.boosters[*report.boosterInForce];
        addCourseAfter(report, booster);
        expected.booster = booster.course;
    }
    const LevelScale &level = report.setup.input.level;
    for (ReadingLine &reading : report.readings) {
        reading.expectedLevel = level.fromBal(expected.expectedBal(reading.atMinute));
        reading.difference = double(reading.level) - *reading.expectedLevel;
    }
    report.expected = expected;
}

// The booster's band: only the booster's alcohol and the elimination from its time on spread, the
// reading its course starts from carried to that time; without such a reading there is nothing to
// measure it from.
std::optional<ForecastBand> boosterBand(const SessionReport &report, const BoosterCourse &course)
{
    if (!course.fromMinute)
        return std::nullopt;
    return ForecastBand(bandSpread(report.dose.dose),
                        {course.riseBal, hoursOf(course.servedAtMinute), course.riseHours,
                         hoursOf(course.servedAtMinute), course.peakBal()});
}

// The edges of `band` around `line` (g/100 ml at hours) from `fromHours` until its upper edge
// reaches 0, at even steps and at the course's peak. Straight lines between the points keep
// within a hair of the edges, which bend only slightly.
template <typename Line>
void appendOutline(QList<BandPoint> &outline, const ForecastBand &band, const Line &line,
                   double fromHours, double peakHours, double untilHours)
{
    constexpr int Steps = 48;
    const std::optional<ReleaseBand> zero = band.release(0);
    const double toHours = std::min(untilHours, zero ? zero->toHours : peakHours);
    if (!std::isfinite(fromHours) || !std::isfinite(toHours) || !(toHours >= fromHours))
        return;
    const auto add = [&](double hours) {
        outline.append({hours, band.around(line(hours), hours)});
    };
    for (int step = 0; step <= Steps; ++step) {
        const double hours = fromHours + (toHours - fromHours) * step / Steps;
        const double before = fromHours + (toHours - fromHours) * (step - 1) / Steps;
        if (step > 0 && peakHours > before && peakHours < hours)
            add(peakHours);
        add(hours);
    }
}

void addBand(SessionReport &report)
{
    if (!report.expected)
        return;
    const ExpectedCourse &expected = *report.expected;
    const ForecastBand plan = ForecastBand::ofPlan(report.dose.dose, expected.plan);
    SessionBand band{plan.peak(), plan.release(report.releaseBal), std::nullopt, std::nullopt, {}};
    std::optional<ForecastBand> booster;
    if (expected.booster) {
        booster = boosterBand(report, *expected.booster);
        if (booster) {
            band.boosterPeak = booster->peak();
            band.boosterRelease = booster->release(report.releaseBal);
        }
    }
    const double boosterHours = expected.booster ? hoursOf(expected.booster->servedAtMinute)
                                                 : std::numeric_limits<double>::infinity();
    appendOutline(
        band.outline, plan, [&](double hours) { return expected.plan.expectedLine(hours); }, 0,
        expected.plan.peakHours, boosterHours);
    if (booster) {
        const BoosterCourse &course = *expected.booster;
        appendOutline(
            band.outline, *booster,
            [&](double hours) { return course.expectedLine(hours * DosingModel::MinutesPerHour); },
            boosterHours, boosterHours + course.riseHours, std::numeric_limits<double>::infinity());
    }
    const LevelScale &level = report.setup.input.level;
    for (ReadingLine &reading : report.readings) {
        const double hours = hoursOf(reading.atMinute);
        if (expected.booster && reading.atMinute >= expected.booster->servedAtMinute) {
            if (!booster)
                continue;
            reading.band = booster->around(expected.booster->expectedLine(reading.atMinute), hours);
        } else {
            reading.band = plan.around(expected.plan.expectedLine(hours), hours);
        }
        if (reading.note != ReadingNote::NotALevel)
            reading.bandPosition = bandPosition(level.toBal(reading.level), *reading.band);
    }
    report.band = band;
}

// The reading noise: as the options give it, or the protocol's, each in its own unit.
double readingSdBal(const SessionReport &report, const SessionReportOptions &options)
{
    if (options.readingSd)
        return double(report.setup.input.level.toBal(*options.readingSd));
    if (options.protocol && options.protocol->readingSd)
        return double(options.protocol->level.toBal(*options.protocol->readingSd));
    return PersonalPrior::ReadingSd;
}

// The forecast learns from the counting readings of the latest phase, as the limb is judged,
// but for a fall no body can make: a slip would pull the forecast release hours early.
void addPersonal(SessionReport &report, const SessionReportOptions &options)
{
    if (report.placebo)
        return;
    const LevelScale &level = report.setup.input.level;
    QList<PhaseReading> phase;
    for (const ReadingLine &reading : report.readings) {
        if (reading.counts() && !reading.implausibleFallFrom &&
            report.drinking.inLatestPhase(reading.atMinute))
            phase.append({reading.atMinute, double(level.toBal(reading.level))});
    }
    report.personal = personalForecast(phase, report.outcome.limbShown.has_value(),
                                       eliminationPrior(report.setup.input.state.Gender),
                                       readingSdBal(report, options), report.releaseBal);
}

} // namespace

std::optional<ServedMark> PortionLine::served() const
{
    for (const ServedMark &mark : marks) {
        if (!mark.voided)
            return mark;
    }
    return std::nullopt;
}

const BoosterLine *SessionReport::booster() const
{
    return boosterInForce ? &boosters[*boosterInForce] : nullptr;
}

std::optional<int> SessionReport::nextUnservedPortion() const
{
    std::optional<int> next;
    for (const PortionLine &portion : portions) {
        if (!portion.served() && (!next || portion.portion.number < *next))
            next = portion.portion.number;
    }
    return next;
}

bool SessionReport::atExpectedPeak(const ReadingLine &reading) const
{
    if (!hasPlan() || !reading.counts() || reading.note == ReadingNote::Booster)
        return false;
    const qint64 fromPeak = qint64(reading.atMinute) - dose.plan->peakAfterMinutes;
    return std::abs(fromPeak) <= SessionRules::PeakWindowMinutes;
}

std::optional<double> SessionReport::expectedPeakBal() const
{
    if (!expected)
        return std::nullopt;
    double peak = expected->plan.peakBal;
    if (expected->booster)
        peak = std::max(peak, expected->booster->peakBal());
    return peak;
}

std::optional<double> SessionReport::slipReferenceBal() const
{
    return placebo ? std::optional(double(dose.dose.state.BAL)) : expectedPeakBal();
}

bool SessionReport::likelySlip(float level) const
{
    const std::optional<double> reference = slipReferenceBal();
    return reference && double(setup.input.level.toBal(level)) > 2 * *reference;
}

std::optional<qsizetype> SessionReport::implausibleFallFrom(int minute, float level,
                                                            int exceptEntry) const
{
    if (!counts(readingNote(minute, level, drinking)))
        return std::nullopt;
    // A new reading comes after those at its minute; a corrected one keeps its place among them.
    const auto before = [&](const ReadingLine &other) {
        return other.atMinute < minute ||
               (other.atMinute == minute && (exceptEntry == 0 || other.entry < exceptEntry));
    };
    std::optional<qsizetype> previous;
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const ReadingLine &other = readings[i];
        if (other.counts() && other.entry != exceptEntry && before(other) &&
            drinking.inLatestPhase(other.atMinute) == drinking.inLatestPhase(minute))
            previous = i;
    }
    const LevelScale &scale = setup.input.level;
    if (!previous ||
        !fellImplausibly({readings[*previous].atMinute, scale.toBal(readings[*previous].level)},
                         {minute, scale.toBal(level)}))
        return std::nullopt;
    return previous;
}

std::optional<ExpectedTimes> SessionReport::timesInForce() const
{
    if (const BoosterLine *served = booster())
        return served->course ? std::optional(served->course->times()) : std::nullopt;
    return expected ? std::optional(planTimes(expected->plan)) : std::nullopt;
}

std::optional<BandEdges> SessionReport::peakBandInForce() const
{
    if (!band)
        return std::nullopt;
    return booster() ? band->boosterPeak : std::optional(band->peak);
}

std::optional<ReleaseBand> SessionReport::releaseBandInForce() const
{
    if (!band)
        return std::nullopt;
    return booster() ? band->boosterRelease : band->release;
}

SessionReport evaluateSession(const SessionRecord &record, const QDateTime &now,
                              const SessionReportOptions &options)
{
    const SessionEntries entries(record);
    SessionReport report;
    report.setup = record.setup;
    report.release = options.release;
    const EntryInForce &setup = entries.setup();
    report.start = setup.values.start.value_or(record.setup.start);
    report.releaseBal = setup.values.releaseBal.value_or(record.setup.plan.releaseLevel);
    report.setupCorrectedBy = setup.correctedBy;
    report.placebo = record.setup.placebo;
    report.nowMinute = SessionClock::minutesSince(report.start, now);
    DoseOptions dose;
    dose.plan = SessionPlanSettings{record.setup.plan.portions, report.releaseBal};
    dose.protocol = options.protocol;
    report.dose = evaluateDose(record.setup.input, dose);

    addPortions(report, entries);
    addBoosters(report, entries);
    report.drinking = drinkingTimes(report);
    addReadings(report, entries);
    judgeReadings(report);
    addExpected(report);
    addBand(report);
    addPersonal(report, options);
    if (!report.boosterInForce)
        report.offer = offerBooster(report, options.boosterAtMinute.value_or(report.nowMinute),
                                    options.boosterMinutes, options.protocol, options.locale);
    report.history = entries.changes();
    return report;
}
