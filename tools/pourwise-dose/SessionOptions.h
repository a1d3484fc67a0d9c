#pragma once

#include "tools/pourwise-dose/ScheduleOptions.h"

#include <QList>
#include <QString>
#include <optional>

class QCommandLineParser;

// A reading as given: whole minutes after the start of drinking and the level in the unit of
// --level-unit.
struct GivenReading {
    int atMinute = 0;
    float level = 0;
};

// The session on the command line, beside its plan: --reading MIN=LEVEL (repeatable, in time
// order), --booster-dd MIN with --booster-served MIN, --placebo with --float ML, and
// --reading-sd SD.
struct SessionRequest {
    QList<GivenReading> readings;
    std::optional<float> boosterMinutes;
    std::optional<int> boosterServedAt;
    bool placebo = false;
    float floatMl = 0;
    std::optional<float> readingSd; // in the unit of --level-unit
    ScheduleRequest schedule; // the portions served, and the schedule asked for

    // Any of the session's options: without one, only the plan is printed.
    bool any() const { return !readings.isEmpty() || boosterMinutes || placebo || schedule.any(); }
};

namespace SessionOptions {

void add(QCommandLineParser &parser);

// The session asked for into `session`. Every option belongs to the plan of one participant:
// without `plan`, or in a roster, it is a usage error, described in `errorText`.
bool read(const QCommandLineParser &parser, bool roster, bool plan, SessionRequest &session,
          QString &errorText);

// The options that may be given more than once.
bool repeatable(const QString &option);

// The options' part of --help, with the worked example.
QString helpText();

} // namespace SessionOptions
