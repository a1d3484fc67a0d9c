#pragma once

#include "calc/dose/CalcDose.h"
#include "calc/dose/DoseInput.h"
#include "calc/dose/Plausibility.h"
#include "calc/dose/Protocol.h"
#include "calc/dose/ProtocolCheck.h"
#include "calc/dose/SessionPlan.h"

#include <QList>
#include <optional>

// What the operator asks for beside the dose.
struct DoseOptions {
    std::optional<SessionPlanSettings> plan;
    std::optional<Protocol> protocol; // its limits judge the dose, its values are compared
};

// Everything one evaluation found, for a front end to present.
struct DoseReport {
    DoseOutcome outcome;
    // The state as the calculation left it (on a fault, the results of the steps before it),
    // the intermediates and the units.
    CalculatedDose dose;
    // For a dose: the values outside their plausible range, and a dose of more ethanol per kg
    // than is plausible.
    QList<PlausibilityNotice> notices;
    std::optional<SessionPlan> plan; // asked for and a dose: the plan, or why there is none
    // With a protocol and a dose: the limits passed, and where its values differ.
    QList<LimitBreach> breaches;
    QList<ProtocolDifference> differences;

    bool ok() const { return outcome.ok(); }
};

// The one road from given values to what every front end shows: the dose, its plausibility
// notices and, when asked, its session plan.
DoseReport evaluateDose(const DoseInput &input, const DoseOptions &options = {});
