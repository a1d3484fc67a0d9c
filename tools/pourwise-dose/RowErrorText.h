#pragma once

#include "tools/pourwise-dose/ParticipantReader.h"

#include <string>
#include <string_view>

// The roster's error column: why a row has no volumes or no plan, in the brief words of each
// fault (calc/dose/DoseFaultTexts.h). Problems are separated by "; ".
namespace RowErrorText {

// One problem more.
void append(std::string_view problem, std::string &text);

// "height is not a number; no gender" for every problem of the reading, in column order.
void appendInputProblems(const ParticipantReading &reading, const ReadingUnits &units,
                         std::string &text);

// "row has 7 fields but the header has 9"
void appendFieldCount(std::size_t rowFields, std::size_t headerFields, std::string &text);

} // namespace RowErrorText
