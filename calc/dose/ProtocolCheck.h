#pragma once

#include "calc/dose/Protocol.h"
#include "calc/dose/SessionPlan.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// A dose over one of its protocol's limits. It is computed and shown all the same; the operator
// is told which limit it passes.
struct LimitBreach {
    enum class Kind { EthanolPerKg, TotalMl, Target };
    Kind kind = Kind::EthanolPerKg;
    double value = 0; // g/kg, ml, or the target in the protocol's unit
    float limit = 0;
};

// Where a calculation's values differ from its protocol's: a value as given beside the
// protocol's, each with its unit.
struct ProtocolDifference {
    QString name; // "drinking period", "target BrAC"
    float given = 0;
    float protocol = 0;
    QString givenUnit = {}; // empty: none
    QString protocolUnit = {};
};

// The limits of `protocol` that `dose` passes, in the order ethanol per kg, total, target.
QList<LimitBreach> limitBreaches(const CalculatedDose &dose, const Protocol &protocol);

// The values of `dose` and of the session plan's choices that differ from `protocol`, in the
// order they are entered: the target, drinking period, proof, mixer ratio, portions, release.
QList<ProtocolDifference> protocolDifferences(const CalculatedDose &dose,
                                              const std::optional<SessionPlanSettings> &plan,
                                              const Protocol &protocol);

// "over the protocol's limit: 1.12 g ethanol per kg (limit 1.00)"; a limit is shown with the
// decimals it was given, at least two, and the value with as many: "0.747 ... (limit 0.684)".
QString limitBreachText(const LimitBreach &breach, const Protocol &protocol,
                        const QLocale &locale = QLocale());
// "differs from protocol Arm A: drinking period 20 (protocol 15)"; empty without differences.
QString protocolDifferencesText(const QList<ProtocolDifference> &differences,
                                const Protocol &protocol, const QLocale &locale = QLocale());
