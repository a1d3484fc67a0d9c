#pragma once

#include "calc/dose/DosingState.h"
#include "calc/session/SessionReport.h"
#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <cstdio>

// How pourwise-dose writes a session's report beside its plan, as "name value" lines. Levels of
// the model are written as the plan writes peak_level in the lab's unit (`unitGiven`) or peak_bal
// without one; times are minutes after the start of drinking; "none" stands for what is not shown
// yet, or for a placebo, which has no curve.
namespace SessionOutput {

// One "placebo_portion" line per portion as poured, in the shape of the plan's portion lines.
void printPlacebo(OutputBuffer &output, const SessionReport &report);

// One "reading" line per reading, in time order: its number from 1, minute, level as given,
// expected level, difference, with `band` the band's edges at its time, and its note.
void printReadings(OutputBuffer &output, const SessionReport &report, bool unitGiven, bool band);

// A "WARNING: " line on `errors` for each reading that is likely a slip: far above the expected
// peak, or fallen faster than a body eliminates.
void warnOfSlips(std::FILE *errors, const SessionReport &report);

// The observed peak, the descending limb shown and withdrawn, and the release reading; when the
// release asks for more than one reading or a reading fell faster than a body eliminates, also the
// first reading at or below the release level that has not released the participant.
void printCourse(OutputBuffer &output, const SessionReport &report);

// The personal forecast: how many readings it learnt from, the rate with its 80 % interval in
// g/100 ml per hour, the minute expected below the release level and the 80 % band of it; each
// "none" while it does not apply.
void printPersonal(OutputBuffer &output, const SessionReport &report);

// The booster's three volumes and the level it starts from, in the lab's unit as a reading is
// written.
void printBooster(OutputBuffer &output, const BoosterOffer &booster, const LevelScale &level);

// The booster served: when, and its expected peak (with `band` the peak's band), release and
// zero.
void printBoosterServed(OutputBuffer &output, const SessionReport &report, bool unitGiven,
                        bool band);

} // namespace SessionOutput
