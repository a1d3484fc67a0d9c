#pragma once

#include "calc/record/RecordCheck.h"
#include "calc/session/SessionRecord.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

// What a record's file was when it was last read or written. A window that records into the
// file checks before every save that it still is: another program, or another window through
// another name of the file, may have written it meanwhile.
struct RecordStamp {
    qint64 size = -1;
    QDateTime modified;   // as the disk gives it, to the millisecond
    QByteArray endDigest; // the end row's sha256; empty without an end row
    int names = 1;        // how many names (hard links) the file has

    bool operator==(const RecordStamp &) const = default;
};

// What reading a record's file gave.
struct RecordReading {
    std::optional<SessionRecord> record; // none: the file cannot be read (see error)
    RecordCheck check = RecordCheck::Ok;
    QString error;     // "ERROR: r.csv line 4: ..." when there is no record
    QString warning;   // "WARNING: r.csv ..." for a record that is cut or changed
    RecordStamp stamp; // the file as it was read

    // The file's version (RecordVersion); 0 when it could not be read. The front end asks before
    // it saves a version-1 record, which always becomes version 2.
    int version() const { return record ? record->version : 0; }
    // A record its end row does not vouch for is only shown, never added to.
    bool readOnly() const { return check == RecordCheck::Cut || check == RecordCheck::Changed; }
};

class RecordFileReader;

// Reads a session record's file (docs/record.md) of either version, strictly: the header of its
// version, the rows in their order, every cell as the table of RecordEvents says and every value
// checked as if it were typed. A file with any fault gives no record, only the message naming
// the file, the line and what is wrong there. A byte order mark and LF line ends are accepted; a
// UTF-16 file is told to be saved as UTF-8. Every value reads back to the bit. Anything after
// the end row leaves the record changed, not unreadable. The time and the memory taken grow in
// step with the file: its bytes may come in parts, each row is read as it comes, and no row is
// kept but as the entry it gives.
class RecordReader {
public:
    // `fileName` names the file in the messages.
    explicit RecordReader(const QString &fileName);
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    // The number of the file's lines, when it is known before its bytes come: the entries are then
    // never moved as they grow.
    void reserve(qsizetype lines);
    // The next bytes of the file.
    void add(QByteArrayView bytes);
    // What the file gave, once all its bytes were added.
    RecordReading finish();

    // The whole file at once.
    static RecordReading read(QByteArrayView bytes, const QString &fileName);

private:
    std::unique_ptr<RecordFileReader> m_reader;
};
