#pragma once

#include "calc/CalcDose.h"
#include "tools/pourwise-dose/ParticipantReader.h"

#include <string>

// The roster's error column: why a row has no volumes, in a few words and without commas, so
// that it reads well in a spreadsheet cell. Problems are separated by "; ".
namespace RowErrorText {

// "height is not a number; no gender" for every problem of the reading, in column order.
void appendInputProblems(const ParticipantReading &reading, std::string &text);

// "proof is 0 (division by zero)", "dose out of range: ...", "arithmetic fault: overflow computing
// body water"
void appendDoseFault(const DoseOutcome &outcome, std::string &text);

// "row has 7 fields but the header has 9"
void appendFieldCount(std::size_t rowFields, std::size_t headerFields, std::string &text);

} // namespace RowErrorText
