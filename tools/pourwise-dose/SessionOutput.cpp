#include "tools/pourwise-dose/SessionOutput.h"

#include "calc/NumberText.h"

#include <string>

namespace {

void line(OutputBuffer &output, std::string_view name, std::string_view value)
{
    output.put(name);
    output.put(" ");
    output.put(value);
    output.put("\n");
}

void number(OutputBuffer &output, std::string_view name, float value)
{
    char buffer[32];
    line(output, name, SingleToText(value, buffer));
}

void minuteOf(OutputBuffer &output, std::string_view name, const QList<LevelReading> &readings,
              const std::optional<qsizetype> &index)
{
    line(output, name, index ? std::to_string(readings[*index].atMinute) : std::string("none"));
}

} // namespace

void SessionOutput::printPlacebo(OutputBuffer &output, const QList<ServedPortion> &portions)
{
    for (const ServedPortion &portion : portions)
        output.put("placebo_portion " + std::to_string(portion.number) + " at_min " +
                   std::to_string(portion.atMinute) + " alcohol_ml " +
                   std::to_string(portion.alcoholMl) + " mixer_ml " +
                   std::to_string(portion.mixerMl) + " total_ml " +
                   std::to_string(portion.totalMl) + "\n");
}

void SessionOutput::printCourse(OutputBuffer &output, const QList<LevelReading> &readings,
                                const ReadingsCourse &course)
{
    if (!course.peak)
        return;
    number(output, "observed_peak", readings[*course.peak].level);
    minuteOf(output, "observed_peak_at_min", readings, course.peak);
    minuteOf(output, "descending_shown_at_min", readings, course.descendingShown);
    minuteOf(output, "release_reached_at_min", readings, course.releaseReached);
}

void SessionOutput::printBooster(OutputBuffer &output, const DosingState &booster)
{
    number(output, "booster_alcohol_ml", booster.AlcDose);
    number(output, "booster_mixer_ml", booster.MixDose);
    number(output, "booster_total_ml", booster.TotDose);
}
