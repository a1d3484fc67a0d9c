#pragma once

#include "calc/dose/DoseEvaluation.h"
#include "calc/session/SessionReport.h"
#include "tools/pourwise-dose/DoseCommandLine.h"

#include <optional>

// The session the command line describes, entered as the window enters one: the dose's setup
// with the plan's choices and the beverage, each reading at its minute and the booster served;
// then the session's one report. It lives while the command runs and is never saved.
struct CommandLineSession {
    // A value the session refuses as the window would (a negative reading, a booster's drinking
    // period out of its range, a float no portion holds): a usage error.
    SessionRefusal refusal;
    SessionReport report;
    // With --booster-dd: the booster estimated at --booster-served, or after the last reading
    // when none is served; refused, it says why.
    std::optional<BoosterOffer> booster;
};

// `request` asks for a session (SessionRequest::any) with a plan that `input` can have.
CommandLineSession enterSession(const DoseInput &input, const DoseRequest &request);
