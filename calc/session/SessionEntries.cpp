#include "calc/session/SessionEntries.h"

#include <algorithm>

namespace {

// The values of EntryValues each event records.
bool usesAtMinute(EntryEvent event)
{
    return event == EntryEvent::Reading;
}

bool usesServedAt(EntryEvent event)
{
    return event == EntryEvent::Served || event == EntryEvent::Booster;
}

bool usesSetup(EntryEvent event)
{
    return event == EntryEvent::Plan;
}

// `current` with the values `correction` gives for what `event` records.
EntryValues corrected(EntryValues current, const EntryValues &correction, EntryEvent event)
{
    const auto take = [](auto &value, const auto &given, bool used) {
        if (used && given)
            value = given;
    };
    take(current.atMinute, correction.atMinute, usesAtMinute(event));
    take(current.level, correction.level, usesAtMinute(event));
    take(current.servedAtMinute, correction.servedAtMinute, usesServedAt(event));
    take(current.drinkingMinutes, correction.drinkingMinutes, event == EntryEvent::Booster);
    take(current.start, correction.start, usesSetup(event));
    take(current.releaseBal, correction.releaseBal, usesSetup(event));
    return current;
}

} // namespace

bool recordsValues(EntryEvent event)
{
    return usesAtMinute(event) || usesServedAt(event) || usesSetup(event);
}

bool fitsEvent(const EntryValues &values, EntryEvent event)
{
    return values.atMinute.has_value() == usesAtMinute(event) &&
           values.level.has_value() == usesAtMinute(event) &&
           values.servedAtMinute.has_value() == usesServedAt(event) &&
           values.drinkingMinutes.has_value() == (event == EntryEvent::Booster) &&
           values.start.has_value() == usesSetup(event) &&
           values.releaseBal.has_value() == usesSetup(event);
}

EntryEvent changedAs(const SessionEntry &entry)
{
    const bool servedInItsRow =
        entry.event == EntryEvent::Portion && entry.values.servedAtMinute.has_value();
    return servedInItsRow ? EntryEvent::Served : entry.event;
}

SessionEntries::SessionEntries(const SessionRecord &record)
{
    EntryInForce setup;
    setup.entry.entry = 1;
    setup.entry.event = EntryEvent::Plan;
    setup.entry.enteredAt = record.setup.enteredAt;
    setup.entry.operatorInitials = record.setup.operatorInitials;
    setup.entry.values.start = record.setup.start;
    setup.entry.values.releaseBal = record.setup.plan.releaseLevel;
    setup.values = setup.entry.values;
    m_entries.reserve(record.entries.size() + 1);
    m_index.reserve(record.entries.size() + 1);
    m_entries.append(setup);
    m_index.insert(1, 0);
    for (const SessionEntry &entry : record.entries) {
        m_nextEntry = std::max(m_nextEntry, entry.entry + 1);
        if (entry.event == EntryEvent::Correction || entry.event == EntryEvent::Void) {
            m_changeEntries.insert(entry.entry);
            apply(entry);
            continue;
        }
        if (!m_index.contains(entry.entry))
            m_index.insert(entry.entry, m_entries.size());
        m_entries.append({entry, entry.values});
    }
}

void SessionEntries::apply(const SessionEntry &change)
{
    EntryChange made;
    made.change = change;
    const auto found = m_index.constFind(change.corrects);
    if (found == m_index.constEnd()) {
        m_changes.append(made);
        return;
    }
    EntryInForce &target = m_entries[*found];
    made.target = target;
    const EntryEvent event = changedAs(target.entry);
    const bool voidable =
        event == EntryEvent::Served || event == EntryEvent::Reading || event == EntryEvent::Booster;
    if (!target.voided() && change.event == EntryEvent::Void && voidable) {
        target.voidedBy = change.entry;
        made.applied = true;
    } else if (!target.voided() && change.event == EntryEvent::Correction &&
               (voidable || event == EntryEvent::Plan)) {
        target.values = corrected(target.values, change.values, event);
        target.correctedBy = change.entry;
        made.after = target.values;
        made.applied = true;
    }
    m_changes.append(made);
}

const EntryInForce *SessionEntries::find(int entry) const
{
    const auto found = m_index.constFind(entry);
    return found == m_index.constEnd() ? nullptr : &m_entries[*found];
}

QList<EntryInForce> SessionEntries::of(EntryEvent event) const
{
    QList<EntryInForce> entries;
    entries.reserve(std::count_if(m_entries.cbegin(), m_entries.cend(),
                                  [event](const auto &each) { return each.entry.event == event; }));
    for (const EntryInForce &each : m_entries) {
        if (each.entry.event == event)
            entries.append(each);
    }
    return entries;
}
