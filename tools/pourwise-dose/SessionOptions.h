#pragma once

#include "calc/LevelUnits.h"
#include "calc/SessionReadings.h"

#include <QList>
#include <QString>
#include <optional>

class QCommandLineParser;

// The session on the command line, beside its plan: --reading MIN=LEVEL (repeatable, in time
// order), --booster-dd MIN, and --placebo with --float ML.
struct SessionRequest {
    QList<LevelReading> readings; // in the unit of --level-unit
    std::optional<float> boosterMinutes;
    bool placebo = false;
    float floatMl = 0;
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
