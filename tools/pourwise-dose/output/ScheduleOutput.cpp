#include "tools/pourwise-dose/output/ScheduleOutput.h"

#include <string>

void ScheduleOutput::print(OutputBuffer &output, const SessionSchedule &schedule, int nowMinute)
{
    for (const DueItem &item : schedule.items) {
        output.put(item.kind == DueKind::Portion ? "due portion " + std::to_string(item.portion)
                                                 : std::string("due reading"));
        output.put(" at_min " + std::to_string(item.atMinute) + "\n");
    }
    const std::optional<DueItem> next = schedule.next();
    output.put("next_due_at_min " + (next ? std::to_string(next->atMinute) : "none") + "\n");
    output.put("overdue " + std::to_string(schedule.overdueAt(nowMinute)) + "\n");
}
