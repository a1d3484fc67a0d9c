#pragma once

#include "calc/Booster.h"
#include "calc/SessionReadings.h"
#include "tools/pourwise-dose/OutputBuffer.h"

// How pourwise-dose writes a session beside its plan, as "name value" lines.
namespace SessionOutput {

// One "placebo_portion" line per portion, in the shape of the plan's portion lines.
void printPlacebo(OutputBuffer &output, const QList<ServedPortion> &portions);

// The observed peak, when the descending limb was shown and the release reading; times in
// minutes after the start of drinking, "none" for what is not yet shown.
void printCourse(OutputBuffer &output, const QList<LevelReading> &readings,
                 const ReadingsCourse &course);

// The booster's three volumes.
void printBooster(OutputBuffer &output, const DosingState &booster);

} // namespace SessionOutput
