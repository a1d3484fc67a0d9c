#include "calc/session/SessionSchedule.h"

#include "calc/session/SessionRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Minutes as an int, a damaged record's far times kept within its range.
int clampedMinute(double minute)
{
    constexpr double Lowest = std::numeric_limits<int>::min();
    constexpr double Highest = std::numeric_limits<int>::max();
    if (std::isnan(minute))
        return 0;
    return int(std::clamp(minute, Lowest, Highest));
}

// When the next reading is due, released or not; none without a plan.
std::optional<int> readingDue(const SessionReport &report, const ProtocolSchedule &schedule)
{
    if (!report.hasPlan())
        return std::nullopt;
    const DrinkingTimes &drinking = report.drinking;
    const double every = std::max(1, schedule.readingEveryMinutes);
    std::optional<double> last;
    for (const ReadingLine &reading : report.readings) {
        if (!reading.voided)
            last = std::max(last.value_or(reading.atMinute), double(reading.atMinute));
    }
    double due = 0;
    if (schedule.readingsDuringDrinking) {
        due = (drinking.boosterAt ? double(*drinking.boosterAt) : 0) + every;
    } else {
        const double drinkingEnds = drinking.boosterAt
                                        ? double(*drinking.boosterAt) + drinking.boosterMinutes
                                        : drinking.drinkingEnds;
        // The first whole minute at which a reading counts.
        due = std::ceil(drinkingEnds + SessionRules::MouthAlcoholMinutes);
    }
    if (last)
        due = std::max(due, *last + every);
    return clampedMinute(due);
}

// The same, but none once the participant is released.
std::optional<int> nextReading(const SessionReport &report, const ProtocolSchedule &schedule)
{
    return report.outcome.release ? std::nullopt : readingDue(report, schedule);
}

} // namespace

std::optional<DueItem> SessionSchedule::next() const
{
    return items.isEmpty() ? std::nullopt : std::optional(items.constFirst());
}

qsizetype SessionSchedule::overdueAt(int minute) const
{
    return std::count_if(items.begin(), items.end(),
                         [minute](const DueItem &item) { return item.atMinute < minute; });
}

SessionSchedule scheduleOf(const SessionReport &report, const ProtocolSchedule &schedule)
{
    SessionSchedule due;
    const std::optional<int> reading = nextReading(report, schedule);
    if (!reading)
        return due;
    for (const PortionLine &line : report.portions) {
        if (!line.served())
            due.items.append({DueKind::Portion, line.portion.number, line.portion.atMinute});
    }
    due.items.append({DueKind::Reading, 0, *reading});
    std::stable_sort(due.items.begin(), due.items.end(),
                     [](const DueItem &a, const DueItem &b) { return a.atMinute < b.atMinute; });
    return due;
}

QList<int> readingTimes(const SessionReport &report, const ProtocolSchedule &schedule,
                        int untilMinute, qsizetype least)
{
    QList<int> times;
    const std::optional<int> first = readingDue(report, schedule);
    if (!first)
        return times;
    const int every = std::max(1, schedule.readingEveryMinutes);
    for (qint64 minute = *first; minute <= std::numeric_limits<int>::max() &&
                                 (minute <= untilMinute || times.size() < least);
         minute += every)
        times.append(int(minute));
    return times;
}
