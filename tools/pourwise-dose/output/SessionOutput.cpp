#include "tools/pourwise-dose/output/SessionOutput.h"

#include "calc/dose/NumberText.h"
#include "calc/session/SessionText.h"
#include "tools/pourwise-dose/output/PlanOutput.h"

#include <algorithm>
#include <string>

namespace {

const std::string None = "none";

void line(OutputBuffer &output, std::string_view name, std::string_view value)
{
    output.put(name);
    output.put(" ");
    output.put(value);
    output.put("\n");
}

std::string number(float value)
{
    char buffer[32];
    return std::string(SingleToText(value, buffer));
}

// A level as it was given: the shortest text that reads back as the same float.
std::string given(float value)
{
    char buffer[32];
    return std::string(ExactSingleToText(value, buffer));
}

std::string minuteOf(const SessionReport &report, const std::optional<qsizetype> &index)
{
    return index ? std::to_string(report.readings[*index].atMinute) : None;
}

// A level in the lab's unit; none for a placebo.
std::string levelOrNone(const std::optional<double> &value, bool unitGiven)
{
    return value ? PlanOutput::levelInUnitText(*value, unitGiven) : None;
}

// A difference that rounds to 0 is written without a sign.
std::string differenceOrNone(const std::optional<double> &value, bool unitGiven)
{
    std::string text = levelOrNone(value, unitGiven);
    if (text.starts_with('-') && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::optional<LevelScale> unitOf(const SessionReport &report, bool unitGiven)
{
    return unitGiven ? std::optional(report.setup.input.level) : std::nullopt;
}

} // namespace

void SessionOutput::printPlacebo(OutputBuffer &output, const SessionReport &report)
{
    for (const PortionLine &line : report.portions) {
        const ServedPortion &portion = line.portion;
        output.put("placebo_portion " + std::to_string(portion.number) + " at_min " +
                   std::to_string(portion.atMinute) + " alcohol_ml " +
                   std::to_string(portion.alcoholMl) + " mixer_ml " +
                   std::to_string(portion.mixerMl) + " total_ml " +
                   std::to_string(portion.totalMl) + "\n");
    }
}

void SessionOutput::printReadings(OutputBuffer &output, const SessionReport &report, bool unitGiven,
                                  bool band)
{
    const std::optional<LevelScale> unit = unitOf(report, unitGiven);
    int number = 0;
    for (const ReadingLine &reading : report.readings) {
        std::string text = "reading " + std::to_string(++number) + " at_min " +
                           std::to_string(reading.atMinute) + " level " + given(reading.level) +
                           " expected " + levelOrNone(reading.expectedLevel, unitGiven) +
                           " difference " + differenceOrNone(reading.difference, unitGiven);
        if (band)
            text += " band_low " +
                    (reading.band ? PlanOutput::levelText(reading.band->low, unit) : None) +
                    " band_high " +
                    (reading.band ? PlanOutput::levelText(reading.band->high, unit) : None);
        text += " ";
        text += readingNoteWord(reading.note);
        if (reading.implausibleFallFrom)
            text += " implausible_fall";
        text += "\n";
        output.put(text);
    }
}

void SessionOutput::warnOfSlips(std::FILE *errors, const SessionReport &report)
{
    const auto warn = [errors](const QString &warning) {
        std::fprintf(errors, "%s\n", warning.toUtf8().constData());
    };
    for (const ReadingLine &reading : report.readings) {
        if (report.likelySlip(reading.level))
            warn(highReadingWarning(QStringLiteral("minute %1").arg(reading.atMinute),
                                    reading.level, *report.slipReferenceBal(), report.placebo,
                                    report.setup.input.level, QLocale::c()));
        if (reading.implausibleFallFrom)
            warn(implausibleFallWarning(report, reading, QLocale::c()));
    }
}

void SessionOutput::printCourse(OutputBuffer &output, const SessionReport &report)
{
    const ReadingsOutcome &outcome = report.outcome;
    line(output, "observed_peak",
         outcome.observedPeak ? given(report.readings[*outcome.observedPeak].level) : None);
    line(output, "observed_peak_at_min", minuteOf(report, outcome.observedPeak));
    line(output, "descending_shown_at_min", minuteOf(report, outcome.limbShown));
    // Only while the limb is not shown again.
    line(output, "descending_withdrawn_at_min", minuteOf(report, outcome.limbWithdrawnBy));
    line(output, "release_reached_at_min", minuteOf(report, outcome.release));
    const bool fell = std::any_of(
        report.readings.cbegin(), report.readings.cend(),
        [](const ReadingLine &reading) { return reading.implausibleFallFrom.has_value(); });
    if (report.release.confirmingReadings > 1 || fell)
        line(output, "release_waits_for_confirmation_at_min",
             minuteOf(report, outcome.releaseWaiting));
}

void SessionOutput::printPersonal(OutputBuffer &output, const SessionReport &report)
{
    const bool applies = report.personal.has_value();
    const PersonalForecast forecast = report.personal.value_or(PersonalForecast{});
    const auto rate = [applies](double value) {
        return applies ? PlanOutput::levelInUnitText(value, false) : None;
    };
    const auto minute = [](const std::optional<int> &value) {
        return value ? std::to_string(*value) : None;
    };
    line(output, "personal_readings", applies ? std::to_string(forecast.readings) : None);
    line(output, "personal_elimination", rate(forecast.rate));
    line(output, "personal_elimination_low", rate(forecast.rateInterval.low));
    line(output, "personal_elimination_high", rate(forecast.rateInterval.high));
    line(output, "personal_release_at_min", minute(forecast.releaseAtMinute));
    line(output, "personal_release_band_from_min", minute(forecast.releaseFromMinute));
    line(output, "personal_release_band_to_min", minute(forecast.releaseToMinute));
}

void SessionOutput::printBooster(OutputBuffer &output, const BoosterOffer &booster,
                                 const LevelScale &level)
{
    const DosingState &state = booster.report.dose.state;
    line(output, "booster_alcohol_ml", number(state.AlcDose));
    line(output, "booster_mixer_ml", number(state.MixDose));
    line(output, "booster_total_ml", number(state.TotDose));
    line(output, "booster_from_level", given(level.shownLevel(booster.fromBal)));
}

void SessionOutput::printBoosterServed(OutputBuffer &output, const SessionReport &report,
                                       bool unitGiven, bool band)
{
    const BoosterLine *booster = report.booster();
    if (!booster)
        return;
    line(output, "booster_served_at_min", std::to_string(booster->atMinute));
    const std::optional<BoosterCourse> &course = booster->course;
    const std::optional<LevelScale> unit = unitOf(report, unitGiven);
    line(output, "booster_peak", course ? PlanOutput::levelText(course->peakBal(), unit) : None);
    line(output, "booster_peak_after_min", course ? std::to_string(course->peakAtMinute()) : None);
    if (band) {
        const std::optional<BandEdges> peak = report.band ? report.band->boosterPeak : std::nullopt;
        line(output, "booster_peak_band_low", peak ? PlanOutput::levelText(peak->low, unit) : None);
        line(output, "booster_peak_band_high",
             peak ? PlanOutput::levelText(peak->high, unit) : None);
    }
    line(output, "booster_release_after_min",
         course ? std::to_string(course->releaseAtMinute()) : None);
    line(output, "booster_zero_after_min", course ? std::to_string(course->zeroAtMinute()) : None);
}
