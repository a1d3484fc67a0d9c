#pragma once

#include "calc/session/SessionSchedule.h"
#include "tools/pourwise-dose/output/OutputBuffer.h"

// How pourwise-dose writes a session's schedule: one "due" line per item, earliest first, then
// "next_due_at_min" (or none) and "overdue", the items before `nowMinute`.
namespace ScheduleOutput {

void print(OutputBuffer &output, const SessionSchedule &schedule, int nowMinute);

} // namespace ScheduleOutput
