#pragma once

#include "calc/session/SessionRecord.h"

#include <QHash>
#include <QList>
#include <QSet>

// What the entries of a session's record say now. Every entry keeps the values it was made with;
// the latest correction of an entry gives its values in force, and a void takes it out of every
// rule while it stays on the record.

// The values an entry of `event` records, which a correction of it gives all of: a reading's time
// and level, a served portion's time, a booster's time and drinking period, the setup's start of
// drinking and release level. None for the others.
bool recordsValues(EntryEvent event);
// Whether `values` holds exactly the values an entry of `event` records.
bool fitsEvent(const EntryValues &values, EntryEvent event);
// What `entry` is to a correction or a void: its event, except that a version-1 record marks a
// portion served in the portion's own row, which is then a serving (Served) as well.
EntryEvent changedAs(const SessionEntry &entry);

struct EntryInForce {
    SessionEntry entry;  // as it was made; the setup as entry 1, event Plan
    EntryValues values;  // with the latest correction
    int correctedBy = 0; // the latest correction's entry, 0 for none
    int voidedBy = 0;    // the void's entry, 0 for none

    bool corrected() const { return correctedBy != 0; }
    bool voided() const { return voidedBy != 0; }
};

// A correction or a void as it changed the entry it names.
struct EntryChange {
    SessionEntry change;  // the Correction or Void entry
    EntryInForce target;  // the entry it names, as it was before the change
    EntryValues after;    // a correction's values in force after it
    bool applied = false; // a change a record holds against the rules changes nothing
};

class SessionEntries {
public:
    explicit SessionEntries(const SessionRecord &record);

    // Entry 1: the start of drinking and the release level in force.
    const EntryInForce &setup() const { return m_entries.constFirst(); }
    // The entry numbered `entry`, or none.
    const EntryInForce *find(int entry) const;
    // Whether `entry` is a correction or a void.
    bool isChange(int entry) const { return m_changeEntries.contains(entry); }
    // Every entry of `event`, in the order made.
    QList<EntryInForce> of(EntryEvent event) const;
    // Every correction and void, in the order made.
    const QList<EntryChange> &changes() const { return m_changes; }
    // The number the next entry takes: one above every number used.
    int nextEntry() const { return m_nextEntry; }

private:
    void apply(const SessionEntry &change);

    QList<EntryInForce> m_entries; // the setup first, then the record's entries in order
    QHash<int, qsizetype> m_index;
    QList<EntryChange> m_changes;
    QSet<int> m_changeEntries;
    int m_nextEntry = 2;
};
