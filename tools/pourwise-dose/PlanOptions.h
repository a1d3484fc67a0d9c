#pragma once

#include "calc/dose/LevelUnits.h"
#include "calc/dose/SessionPlan.h"

#include <QString>
#include <optional>

class QCommandLineParser;

// The command line's session plan: --plan, with --portions N, --release L and --band.
namespace PlanOptions {

void add(QCommandLineParser &parser);

// The plan asked for, if any, into `plan`, starting from `defaults`, with --release read in
// `level` and kept in g/100 ml, and whether its band is asked for into `band`.
// False for a usage error, described in `errorText`. A roster's plan has no portions, so
// --portions is refused with --csv.
bool read(const QCommandLineParser &parser, bool roster, const LevelScale &level,
          const SessionPlanSettings &defaults, std::optional<SessionPlanSettings> &plan, bool &band,
          QString &errorText);

// The options' part of --help, with the worked example.
QString helpText();

} // namespace PlanOptions
