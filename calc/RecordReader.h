#pragma once

#include "calc/SessionRecord.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// What a record's end row says of the rows before it.
enum class RecordCheck {
    Ok,         // version 2, and its end row matches: the file is as Pourwise wrote it
    Unverified, // version 1, which has no end row
    Cut,        // version 2 without an end row: cut short, entries may be missing
    Changed,    // version 2 whose end row does not match the rows before it
};

// What reading a record's file gave.
struct RecordReading {
    std::optional<SessionRecord> record; // none: the file cannot be read (see error)
    RecordCheck check = RecordCheck::Ok;
    QString error;   // "ERROR: r.csv line 4: ..." when there is no record
    QString warning; // "WARNING: r.csv ..." for a record that is cut or changed

    // The file's version (RecordVersion); 0 when it could not be read. The front end asks before
    // it saves a version-1 record, which always becomes version 2.
    int version() const { return record ? record->version : 0; }
    // A record its end row does not vouch for is only shown, never added to.
    bool readOnly() const { return check == RecordCheck::Cut || check == RecordCheck::Changed; }
};

// Reads a session record's file (docs/record.md) of either version, strictly: the header of its
// version, the rows in their order, every cell as the table of RecordEvents says and every value
// checked as if it were typed. A file with any fault gives no record, only the message naming
// the file, the line and what is wrong there. A byte order mark and LF line ends are accepted; a
// UTF-16 file is told to be saved as UTF-8. Every value reads back to the bit.
namespace RecordReader {

// `fileName` names the file in the messages.
RecordReading read(QByteArrayView bytes, const QString &fileName);

} // namespace RecordReader
