#pragma once

// What a record's end row says of the rows before it.
enum class RecordCheck {
    Ok,         // version 2, and its end row matches: the file is as Pourwise wrote it
    Unverified, // version 1, which has no end row
    Cut,        // version 2 without an end row: cut short, entries may be missing
    Changed,    // version 2 whose end row does not match the rows before it, or is followed
};
