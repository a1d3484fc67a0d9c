#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/Protocol.h"

#include <QString>

#include <optional>

// What the run keeps beside the dosing state, shared by the windows until the program ends.
struct RunValues {
    // The participant's height in cm and weight in kg, beside the state's inches and pounds, so
    // that in metric units the input window shows the centimetres and kilograms as they were
    // typed. Every reading of the height and weight sets both: typed inches and pounds give the
    // calculation's own cm = in / 0.3937 and kg = lb / 2.2046, typed centimetres and kilograms
    // are kept as typed and give the state in = cm x 0.3937 and lb = kg x 2.2046.
    BodyInCm bodyInCm;
    // The target as last typed, in the lab's unit, beside the state's BAL in g/100 ml.
    std::optional<TypedLevel> typedTarget;
    // The values of the last dose calculated successfully, which a session plan is made from.
    std::optional<DoseInput> lastDose;
    // The protocol in use and its file; its limits judge every dose. A protocol without a name is
    // the current values with limits set but not yet saved as a protocol.
    std::optional<Protocol> protocol;
    QString protocolPath;
    // The SHA-256 of the protocol's file as it was read or written (lower-case hex), which a new
    // session records beside the protocol's name; empty without a file.
    QByteArray protocolSha256;
};
