#pragma once

#include "calc/record/RecordReader.h"
#include "tests/support/ReferenceFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Copies of the reference records of tests/data (ReferenceFiles) damaged as a file may be: those
// the reader refuses, each naming its line, and those it reads but its end row does not vouch
// for. The reader's tests and the test of a record's opening take every one of them.
namespace DamagedRecords {

using ReferenceFiles::bytes;

// `file` with the cell of `column` on line `line` (from 1) set to `text`. The lines changed hold
// no quoted cells.
inline QByteArray withCell(const QByteArray &file, int line, const QByteArray &column,
                           const QByteArray &text)
{
    QList<QByteArray> lines = file.split('\n');
    const QList<QByteArray> header = lines[0].trimmed().split(',');
    QList<QByteArray> cells = lines[line - 1].chopped(1).split(',');
    cells[header.indexOf(column)] = text;
    lines[line - 1] = cells.join(',') + '\r';
    return lines.join('\n');
}

// `file` with line `line` (from 1) replaced by `text`, or removed for none.
inline QByteArray withLine(const QByteArray &file, int line, const std::optional<QByteArray> &text)
{
    QList<QByteArray> lines = file.split('\n');
    if (text)
        lines[line - 1] = *text + '\r';
    else
        lines.removeAt(line - 1);
    return lines.join('\n');
}

// A copy the reader refuses: its message names `line` (0: the file as a whole) and mentions
// `mentions`.
struct Refused {
    const char *name;
    QByteArray file;
    int line;
    QString mentions;
};

// A copy the reader reads: its end row says `check`, and the warning mentions `mentions` (empty:
// no warning).
struct Read {
    const char *name;
    QByteArray file;
    RecordCheck check;
    QString mentions;
};

inline QList<Refused> refused()
{
    QList<Refused> copies;
    const QByteArray v2 = bytes("v2-alcohol.csv");
    const QByteArray v1 = bytes("v1-alcohol.csv");
    const QByteArray placebo = bytes("v2-placebo.csv");
    const QList<QByteArray> lines = v2.split('\n');
    // A file with cells changed on one line, "column=text;column=text", refused at that line.
    const auto cells = [&copies](const char *name, const QByteArray &file, int line,
                                 const QString &changes, const char *mentions) {
        QByteArray changed = file;
        for (const QString &change : changes.split(QLatin1Char(';')))
            changed = withCell(changed, line, change.section(QLatin1Char('='), 0, 0).toLatin1(),
                               change.section(QLatin1Char('='), 1).toUtf8());
        copies.append({name, changed, line, QString::fromUtf8(mentions)});
    };
    // Line 2 is the plan, 3 to 5 the portions, 6 a reading, 7 a served portion, 10 a correction
    // of a served portion, 14 the booster, 16 a correction of a reading, 18 a void.

    copies.append({"empty", QByteArray(), 0, "the file is empty"});
    copies.append({"a byte order mark alone", QByteArray("\xEF\xBB\xBF"), 0, "the file is empty"});
    copies.append({"a blank line", QByteArray("\r\n"), 1, "header's column 1"});
    copies.append({"a column renamed", QByteArray(v2).replace("at_min,", "at_minute,"), 1,
                   "column 8 is \"at_minute\", not \"at_min\""});
    copies.append({"a column more", QByteArray(v2).replace("sha256\r\n", "sha256,note\r\n"), 1,
                   "37 columns, not 36"});
    copies.append({"NUL bytes",
                   QByteArray(v2).replace("P-017", QByteArray("P\0"
                                                              "017",
                                                              5)),
                   0, "save it as UTF-8"});
    copies.append({"unclosed quote", withLine(v2, 20, "\"" + lines[19].trimmed()), 20, "quoted"});
    copies.append({"a cell short", withLine(v2, 7, lines[6].left(lines[6].lastIndexOf(','))), 7,
                   "35 cells, not 36"});
    copies.append({"no plan row", lines[0] + '\n', 2, "no plan row"});
    cells("an unknown event", v2, 7, "event=serve",
          "\"serve\" is not one of plan, portion, served");
    cells("an end row in version 1", v1, 10, "event=end",
          "\"end\" is not one of plan, portion, reading");
    copies.append(
        {"the plan not first", withLine(v2, 2, lines[2].trimmed()), 2, "starts with its plan row"});
    copies.append({"a second plan", withLine(v2, 6, lines[1].trimmed()), 6, "one plan row"});
    cells("an entry number skipped", v2, 8, "entry=8", "entry 8 should be 7");
    cells("a time of entry not UTC", v2, 7, "entered_at=2026-12-08T14:05:30+01:00", "entered_at");
    cells("an operator with a digit", v2, 7, "operator=J5",
          "operator \"J5\" is not 1 to 8 letters");
    cells("a time of entry without its operator", v2, 7, "operator=", "given together");
    cells("an entry without time after one with", v2, 7,
          "operator=;entered_at=", "a row after one with entered_at needs");
    cells("an empty start", v2, 2, "start=", "a plan row needs start");
    cells("a start without minutes", v2, 2, "start=2026-12-08T14", "start \"2026-12-08T14\"");
    cells("a session code with a blank", v2, 2, "session_code=P 017", "session_code");
    cells("gender 7", v2, 2, "gender=7", "gender \"7\" is not m or f");
    cells("gender m in version 1", v1, 2, "gender=m", "gender \"m\" is not 1 or 0");
    cells("an unknown unit", v2, 2, "level_unit=g/dl", "level_unit");
    cells("a ratio out of range", v2, 2, "breath_ratio=500", "breath_ratio");
    cells("height in inches, weight in kg", v2, 2, "weight=;weight_kg=72", "height_cm");
    cells("13 portions", v2, 2, "portions=13", "portions");
    cells("a release level of 0", v2, 2, "release_bal=0", "release_bal 0 is not above 0");
    cells("a protocol without its digest", v2, 2, "protocol_sha256=", "given together");
    cells("a protocol digest in capitals", v2, 2,
          "protocol_sha256=BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
          "lower-case hex");
    cells("a portion of 220 ml when the dose is 68", v2, 5, "alcohol_ml=220;total_ml=356",
          "add up to 266 ml of spirit");
    cells("a negative portion", v2, 5, "alcohol_ml=-22",
          "alcohol_ml \"-22\" is not a whole number of at least 0");
    cells("a portion's total not its parts", v2, 5, "total_ml=160", "not its total_ml 160");
    cells("portions with more mixer than the dose", v2, 5, "mixer_ml=137;total_ml=159",
          "68 ml of spirit and 409 ml of mixer");
    cells("a placebo's portions over its total", placebo, 5, "mixer_ml=154;total_ml=159",
          "add up to 477 ml in all, not the dose's 476 ml");
    cells("a placebo portion without the float", placebo, 4, "alcohol_ml=4;mixer_ml=155",
          "not the float of 5 ml");
    copies.append(
        {"a portion missing", withLine(v2, 5, std::nullopt), 5, "the plan has 3 portions"});
    copies.append(
        {"a portion too many", withLine(v2, 6, lines[4].trimmed()), 6, "the plan has 3 portions"});
    cells("portion 4 served", v2, 7, "number=4", "number \"4\" is not a whole number from 1 to 3");
    cells("a negative reading", v2, 6, "level=-0.01", "level -0.01 is below 0");
    cells("a reading with a decimal comma", v2, 6, "level=\"0,06\"",
          "level \"0,06\" is not a number");
    cells("half a minute", v2, 6, "at_min=-4.5", "at_min \"-4.5\" is not a whole number");
    cells("a booster period of 1e30 minutes", v2, 14, "dd=1e30",
          "dd \"1e30\" is not a whole number from 1 to 120");
    cells("a cell its event has no use for", v2, 6, "alcohol_ml=1",
          "a reading row has no alcohol_ml");
    cells("a correction of a later entry", v2, 10, "corrects=12",
          "corrects 12 is not an earlier entry");
    cells("a correction of a correction", v2, 16, "corrects=9", "which is itself a correction");
    cells("a reason of 201 characters", v2, 10, "reason=" + QString(201, 'x'),
          "1 to 200 characters");
    cells("a correction without the corrected value", v2, 16,
          "level=", "a correction row needs level");
    cells("a correction with a value its entry has not", v2, 10, "level=0.1",
          "a correction row has no level");
    cells("a void of the plan", v2, 18, "corrects=1", "the plan cannot be voided");
    cells("an end row without its digest", v2, int(lines.size()) - 1,
          "sha256=", "an end row needs sha256");
    cells("a reading with an escape sequence", v2, 6, "level=\x1b[2J\x1b[31mred\x07",
          "level \"\\x1b[2J\\x1b[31mred\\x07\" is not a number");
    cells("a session code with a tab", v2, 2, "session_code=P\t017",
          "session_code \"P\\x09017\" is not 1 to 32");
    cells("an operator with an escape", v2, 7, "operator=J\x1bS", "operator \"J\\x1bS\"");
    cells("version 1: a reading out of time order", v1, 8, "at_min=60",
          "earlier than the one before");
    cells("version 1: readings numbered out of order", v1, 7, "number=3", "number \"3\"");
    copies.append(
        {"version 1: two boosters", v1 + v1.split('\n')[9] + '\n', 11, "not in the order"});
    return copies;
}

inline QList<Read> read()
{
    QList<Read> copies;
    const QByteArray v2 = bytes("v2-alcohol.csv");
    const int rows = int(v2.count('\n'));
    const QList<QByteArray> lines = v2.split('\n');
    copies.append({"as written", v2, RecordCheck::Ok, ""});
    copies.append({"version 1", bytes("v1-alcohol.csv"), RecordCheck::Unverified, ""});
    copies.append(
        {"cut before the end row", bytes("cut:v2-alcohol.csv"), RecordCheck::Cut, "cut short"});
    copies.append(
        {"a reading changed", bytes("changed:v2-alcohol.csv"), RecordCheck::Changed, "SHA-256"});
    copies.append({"the end row's count changed", withCell(v2, rows, "number", "17"),
                   RecordCheck::Changed, "counts 17 rows"});
    copies.append({"a row after the end row",
                   v2 + QByteArray(lines[rows - 4]).replace("16,reading", "19,reading") + '\n',
                   RecordCheck::Changed, "rows follow its end row"});
    copies.append(
        {"saved with a byte order mark", "\xEF\xBB\xBF" + v2, RecordCheck::Changed, "SHA-256"});
    copies.append({"saved with LF line ends", QByteArray(v2).replace("\r\n", "\n"),
                   RecordCheck::Changed, "SHA-256"});
    copies.append({"a blank line after the end row", v2 + "\r\n", RecordCheck::Changed,
                   "changed after its end row"});
    copies.append({"blank lines after the end row, LF", v2 + "\n\n", RecordCheck::Changed,
                   "a blank line follows its end row"});
    copies.append({"a second end row", v2 + lines[rows - 1] + '\n', RecordCheck::Changed,
                   "rows follow its end row"});
    return copies;
}

} // namespace DamagedRecords
