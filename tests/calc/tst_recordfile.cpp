#include "calc/dose/ControlCharacters.h"
#include "calc/record/RecordColumns.h"
#include "calc/record/RecordPlace.h"
#include "calc/record/RecordReader.h"
#include "calc/record/RecordText.h"
#include "calc/record/RecordWriter.h"
#include "tests/support/ReferenceFiles.h"
#include "tests/support/ReferenceRecords.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(SessionRecord)
Q_DECLARE_METATYPE(RecordCheck)

namespace {

const QString FileName = QStringLiteral("P-017.csv");

using ReferenceFiles::bytes;

// `file` with the cell of `column` on line `line` (from 1) set to `text`. The lines changed hold
// no quoted cells.
QByteArray withCell(const QByteArray &file, int line, const QByteArray &column,
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
QByteArray withLine(const QByteArray &file, int line, const std::optional<QByteArray> &text)
{
    QList<QByteArray> lines = file.split('\n');
    if (text)
        lines[line - 1] = *text + '\r';
    else
        lines.removeAt(line - 1);
    return lines.join('\n');
}

} // namespace

// A session record's file: what the writer writes the reader reads back to the bit, the reference
// files of both versions read entry for entry, every fault of a file named by its line, and the
// end row telling a file cut short or changed from one as it was written.
class TestRecordFile : public QObject {
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void refused_data();
    void refused();
    void verified_data();
    void verified();
    void readInParts_data();
    void readInParts();
    void documentedColumns_data();
    void documentedColumns();
    void recordPlace_data();
    void recordPlace();
};

// The reference files read entry for entry, and records written and read back to the bit.
void TestRecordFile::records_data()
{
    QTest::addColumn<QByteArray>("file"); // the record's reference file; none for one made here
    QTest::addColumn<SessionRecord>("record");
    QTest::addColumn<RecordCheck>("check"); // the file's

    const QList<ReferenceRecord> references = ReferenceRecords::all();
    for (const ReferenceRecord &reference : references)
        QTest::newRow(reference.file)
            << bytes(reference.file) << reference.record << reference.check;

    // A version-1 session goes on in version 2: its entries have no time or operator.
    SessionRecord carriedOver = references[0].record;
    carriedOver.version = RecordVersion::Current;
    carriedOver.entries << readingEntry(10, 130, 0.05f, stampAt("16:15:00"))
                        << correctionEntry(11, 3, servedValues(14), QStringLiteral("wrong time"),
                                           stampAt("16:16:00"));
    QTest::newRow("carried over from version 1") << QByteArray() << carriedOver << RecordCheck::Ok;

    // Version 1 keeps its readings in time order; two at one minute are in order.
    SessionRecord sameMinute = references[0].record;
    sameMinute.entries[6].values.atMinute = 85; // the reading at 100
    QTest::newRow("version 1: two readings at one minute")
        << withCell(bytes("v1-alcohol.csv"), 9, "at_min", "85") << sameMinute
        << RecordCheck::Unverified;

    SessionRecord metric = workedSession();
    DoseInput &input = metric.setup.input;
    input.units = BodyUnits::CentimetresKilograms;
    input.state.Height = 0;
    input.state.Weight = 0;
    input.bodyInCm = {177.8004f, 72.57552f};
    input.level = {LevelUnit::MicrogramsPer100Ml, 2300};
    input.typedTarget = 38.1f;
    QTest::newRow("metric, a breath unit, a typed target")
        << QByteArray() << metric << RecordCheck::Ok;

    // Floats that need every digit or an exponent, and texts a CSV cell must quote.
    SessionRecord exact = references[3].record;
    exact.setup.programVersion = QStringLiteral("2.0 \"beta, \u00e9t\u00e9\"");
    exact.setup.plan.releaseLevel = 0.020000001f;
    exact.setup.input.state.Age = 1.0f / 3.0f;
    exact.setup.input.state.Ratio = std::numeric_limits<float>::denorm_min();
    exact.setup.input.state.Proof = -0.0f;
    exact.setup.protocolName = QStringLiteral("Arm \"A\", second site");
    exact.entries[3].values.level = 1e-30f;
    exact.entries[9].values.level = 0.1f + 0.2f;
    exact.entries[14].operatorInitials = QStringLiteral("\u00c5\u00d6");
    exact.entries[14].values.level = 3.4028235e38f;
    exact.entries[15].reason = QStringLiteral("typed \"0,61\",\r\nnot 0.061");
    QTest::newRow("exact floats, quoted texts") << QByteArray() << exact << RecordCheck::Ok;
}

void TestRecordFile::records()
{
    QFETCH(QByteArray, file);
    QFETCH(SessionRecord, record);
    QFETCH(RecordCheck, check);
    if (!file.isEmpty()) {
        const RecordReading reading = RecordReader::read(file, FileName);
        QVERIFY2(reading.record, qPrintable(reading.error));
        QCOMPARE(reading.record->version, record.version);
        QVERIFY(reading.record->setup == record.setup);
        QCOMPARE(reading.record->entries, record.entries);
        QCOMPARE(reading.check, check);
        QVERIFY(reading.warning.isEmpty());
        // Each session's dose is the worked example's, computed again from its values.
        const SessionSetup &setup = reading.record->setup;
        QVERIFY(recordedDoseMatches(setup, evaluateDose(setup.input, {setup.plan, std::nullopt})));
    }
    // Written in the current version, a version-2 file byte for byte as it was.
    const QByteArray text = RecordWriter::text(record);
    if (check == RecordCheck::Ok && !file.isEmpty())
        QCOMPARE(text, file);
    const RecordReading read = RecordReader::read(text, FileName);
    QVERIFY2(read.record, qPrintable(read.error));
    QCOMPARE(read.check, RecordCheck::Ok);
    QCOMPARE(read.version(), RecordVersion::Current);
    QVERIFY(read.record->setup == record.setup);
    QCOMPARE(read.record->entries, record.entries);
    QCOMPARE(RecordWriter::text(*read.record), text);
    // The shortest text of each float, never one that merely rounds to it.
    QCOMPARE(text.contains(",0.020000001,"), record.setup.plan.releaseLevel == 0.020000001f);
}

void TestRecordFile::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line"); // 0: the file as a whole
    QTest::addColumn<QString>("mentions");

    const QByteArray v2 = bytes("v2-alcohol.csv");
    const QByteArray v1 = bytes("v1-alcohol.csv");
    const QByteArray placebo = bytes("v2-placebo.csv");
    const QList<QByteArray> lines = v2.split('\n');
    // A file with cells changed on one line, "column=text;column=text", refused at that line.
    const auto cells = [](const char *name, const QByteArray &file, int line,
                          const QString &changes, const char *mentions) {
        QByteArray changed = file;
        for (const QString &change : changes.split(QLatin1Char(';')))
            changed = withCell(changed, line, change.section(QLatin1Char('='), 0, 0).toLatin1(),
                               change.section(QLatin1Char('='), 1).toUtf8());
        QTest::newRow(name) << changed << line << QString::fromUtf8(mentions);
    };
    // Line 2 is the plan, 3 to 5 the portions, 6 a reading, 7 a served portion, 10 a correction
    // of a served portion, 14 the booster, 16 a correction of a reading, 18 a void.

    QTest::newRow("empty") << QByteArray() << 0 << "the file is empty";
    QTest::newRow("a byte order mark alone")
        << QByteArray("\xEF\xBB\xBF") << 0 << "the file is empty";
    QTest::newRow("a blank line") << QByteArray("\r\n") << 1 << "header's column 1";
    QTest::newRow("a column renamed") << QByteArray(v2).replace("at_min,", "at_minute,") << 1
                                      << "column 8 is \"at_minute\", not \"at_min\"";
    QTest::newRow("a column more")
        << QByteArray(v2).replace("sha256\r\n", "sha256,note\r\n") << 1 << "37 columns, not 36";
    QTest::newRow("NUL bytes") << QByteArray(v2).replace("P-017", QByteArray("P\0"
                                                                             "017",
                                                                             5))
                               << 0 << "save it as UTF-8";
    QTest::newRow("unclosed quote")
        << withLine(v2, 20, "\"" + lines[19].trimmed()) << 20 << "quoted";
    QTest::newRow("a cell short") << withLine(v2, 7, lines[6].left(lines[6].lastIndexOf(','))) << 7
                                  << "35 cells, not 36";
    QTest::newRow("no plan row") << lines[0] + '\n' << 2 << "no plan row";
    cells("an unknown event", v2, 7, "event=serve",
          "\"serve\" is not one of plan, portion, served");
    cells("an end row in version 1", v1, 10, "event=end",
          "\"end\" is not one of plan, portion, reading");
    QTest::newRow("the plan not first")
        << withLine(v2, 2, lines[2].trimmed()) << 2 << "starts with its plan row";
    QTest::newRow("a second plan") << withLine(v2, 6, lines[1].trimmed()) << 6 << "one plan row";
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
    QTest::newRow("a portion missing")
        << withLine(v2, 5, std::nullopt) << 5 << "the plan has 3 portions";
    QTest::newRow("a portion too many")
        << withLine(v2, 6, lines[4].trimmed()) << 6 << "the plan has 3 portions";
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
    QTest::newRow("version 1: two boosters") << v1 + v1.split('\n')[9] + '\n'
                                             << 11 << "not in the order";
}

void TestRecordFile::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, mentions);
    const RecordReading read = RecordReader::read(file, FileName);
    QVERIFY(!read.record);
    const QString where = line > 0 ? QStringLiteral("ERROR: %1 line %2: ").arg(FileName).arg(line)
                                   : QStringLiteral("ERROR: %1: ").arg(FileName);
    QVERIFY2(read.error.startsWith(where), qPrintable(read.error));
    QVERIFY2(read.error.contains(mentions), qPrintable(read.error));
    // What a message quotes from the file reaches no terminal as a command.
    QVERIFY2(!holdsControlCharacter(read.error), qPrintable(read.error));
}

void TestRecordFile::verified_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<RecordCheck>("check");
    QTest::addColumn<QString>("mentions"); // in the warning

    const QByteArray v2 = bytes("v2-alcohol.csv");
    const int rows = int(v2.count('\n'));
    const QList<QByteArray> lines = v2.split('\n');
    QTest::newRow("as written") << v2 << RecordCheck::Ok << "";
    QTest::newRow("version 1") << bytes("v1-alcohol.csv") << RecordCheck::Unverified << "";
    QTest::newRow("cut before the end row")
        << bytes("cut:v2-alcohol.csv") << RecordCheck::Cut << "cut short";
    QTest::newRow("a reading changed")
        << bytes("changed:v2-alcohol.csv") << RecordCheck::Changed << "SHA-256";
    QTest::newRow("the end row's count changed")
        << withCell(v2, rows, "number", "17") << RecordCheck::Changed << "counts 17 rows";
    QTest::newRow("a row after the end row")
        << v2 + QByteArray(lines[rows - 4]).replace("16,reading", "19,reading") + '\n'
        << RecordCheck::Changed << "rows follow its end row";
    QTest::newRow("saved with a byte order mark")
        << "\xEF\xBB\xBF" + v2 << RecordCheck::Changed << "SHA-256";
    QTest::newRow("saved with LF line ends")
        << QByteArray(v2).replace("\r\n", "\n") << RecordCheck::Changed << "SHA-256";
    QTest::newRow("a blank line after the end row")
        << v2 + "\r\n"
        << RecordCheck::Changed << "changed after its end row";
    QTest::newRow("blank lines after the end row, LF")
        << v2 + "\n\n"
        << RecordCheck::Changed << "a blank line follows its end row";
    QTest::newRow("a second end row") << v2 + lines[rows - 1] + '\n'
                                      << RecordCheck::Changed << "rows follow its end row";
}

void TestRecordFile::verified()
{
    QFETCH(QByteArray, file);
    QFETCH(RecordCheck, check);
    QFETCH(QString, mentions);
    const RecordReading read = RecordReader::read(file, FileName);
    QVERIFY2(read.record, qPrintable(read.error));
    QCOMPARE(read.check, check);
    QCOMPARE(read.readOnly(), check == RecordCheck::Cut || check == RecordCheck::Changed);
    QCOMPARE(read.warning.isEmpty(), mentions.isEmpty());
    if (!mentions.isEmpty()) {
        QVERIFY2(read.warning.startsWith(QStringLiteral("WARNING: ") + FileName),
                 qPrintable(read.warning));
        QVERIFY2(read.warning.contains(mentions), qPrintable(read.warning));
        QVERIFY2(read.warning.contains(QLatin1String("read-only")), qPrintable(read.warning));
    }
}

void TestRecordFile::readInParts_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("part"); // bytes given at a time

    QSet<QByteArray> files;
    for (const char *name :
         {"v1-alcohol.csv", "v2-alcohol.csv", "v2-placebo.csv", "v2-breath.csv",
          "cut:v2-alcohol.csv", "changed:v2-alcohol.csv", "garbage:v2-alcohol.csv"})
        files << bytes(QString::fromLatin1(name));
    const QByteArray v2 = bytes("v2-alcohol.csv");
    SessionRecord quoted = ReferenceRecords::all()[3].record;
    quoted.setup.protocolName = QStringLiteral("Arm \"A\",\r\nsecond \"\"site\"\"");
    files << RecordWriter::text(quoted) << "\xEF\xBB\xBF" + v2 << v2 + "\r\n"
          << v2.chopped(1) << v2.left(v2.indexOf('\n') + 1) << v2.left(700)
          << QByteArray("\xFF\xFE"
                        "e\0n\0",
                        6)
          << QByteArray(v2).insert(900, '\0')
          // A broken header, then a NUL: no text, however far the header was read.
          << QByteArray(v2).replace(",gender,", ",geerved,").insert(900, '\0')
          << QByteArray("\"entry") << QByteArray();
    int i = 0;
    for (const QByteArray &file : std::as_const(files)) {
        ++i;
        for (const int part : {1, 2, 3, 7, 64, 4096})
            QTest::addRow("file %d, %d bytes at a time", i, part) << file << part;
    }
}

// However its bytes come, a file reads as it reads whole: the same record, check, messages and
// end row.
void TestRecordFile::readInParts()
{
    QFETCH(QByteArray, file);
    QFETCH(int, part);
    const RecordReading whole = RecordReader::read(file, FileName);
    RecordReader reader(FileName);
    for (qsizetype at = 0; at < file.size(); at += part)
        reader.add(QByteArrayView(file).sliced(at, std::min<qsizetype>(part, file.size() - at)));
    const RecordReading parts = reader.finish();
    QCOMPARE(parts.error, whole.error);
    QCOMPARE(parts.warning, whole.warning);
    QCOMPARE(parts.check, whole.check);
    QCOMPARE(parts.stamp, whole.stamp);
    QCOMPARE(parts.record.has_value(), whole.record.has_value());
    if (whole.record)
        QVERIFY(*parts.record == *whole.record);
}

// docs/record.md shows the table of RecordEvents as a matrix, one row per column in the header's
// order: for each event R (required), O (optional) or nothing; under "correction", C marks a cell
// a correction fills for the entry it corrects. Its table of corrections lists those cells.
void TestRecordFile::documentedColumns_data()
{
    QTest::addColumn<QString>("documented"); // the docs' row, without the meaning
    QTest::addColumn<QString>("table");

    const QString docs =
        QString::fromUtf8(ReferenceFiles::contentOf(QStringLiteral(POURWISE_RECORD_DOCS)));
    const auto text = [](std::string_view name) {
        return QString::fromLatin1(name.data(), qsizetype(name.size()));
    };
    QStringList events;
    for (const RecordEventInfo &event : RecordEvents)
        events << text(event.name);
    const QStringList rows = docs.section(QStringLiteral("| column | ") + events.join(" | "), 1)
                                 .section(QStringLiteral("\n\n"), 0, 0)
                                 .split('\n')
                                 .mid(2);
    for (std::size_t i = 0; i < RecordColumnCount; ++i) {
        const QString column = QStringLiteral("`%1`").arg(text(RecordColumns[i].name));
        const bool corrected =
            std::any_of(RecordEvents.begin(), RecordEvents.end(),
                        [i](const RecordEventInfo &event) { return event.corrected[i]; });
        QStringList cells{column};
        for (const RecordEventInfo &event : RecordEvents)
            cells << (event.event == EntryEvent::Correction && corrected ? "C"
                      : event.cells[i] == Cell::Required                 ? "R"
                      : event.cells[i] == Cell::Optional                 ? "O"
                                                                         : "");
        QStringList documented;
        for (const QString &cell : rows.value(qsizetype(i)).section('|', 1, -3).split('|'))
            documented << cell.trimmed();
        QTest::newRow(qPrintable(column)) << documented.join('|') << cells.join('|');
    }
    // The cells a correction fills, for each event it may correct.
    for (const RecordEventInfo &event : RecordEvents) {
        QStringList cells;
        for (std::size_t i = 0; i < RecordColumnCount; ++i) {
            if (event.corrected[i])
                cells << QStringLiteral("`%1`").arg(text(RecordColumns[i].name));
        }
        const QString row = QStringLiteral("\n| %1 | ").arg(text(event.name));
        if (!cells.isEmpty())
            QTest::newRow(qPrintable("correcting a " + text(event.name)))
                << docs.section(row, 1).section(QStringLiteral(" |"), 0, 0) << cells.join(", ");
    }
    // Version 1's header, in a block of its own.
    QStringList first;
    for (const std::optional<RecordColumn> &column : headerColumns(RecordVersion::First)) {
        if (column)
            first << text(recordColumnName(*column));
    }
    const QString header = first.join(',');
    QTest::newRow("version 1's header")
        << (docs.contains("\n    " + header + '\n') ? header : QString()) << header;
}

void TestRecordFile::documentedColumns()
{
    QFETCH(QString, documented);
    QFETCH(QString, table);
    QCOMPARE(documented, table);
}

QTEST_GUILESS_MAIN(TestRecordFile)
// A new session's record is saved in the records folder, "Pourwise Records" in the documents
// until another is used, as "<code>-<yyyy-mm-dd>.csv" of its start as the record writes it.
void TestRecordFile::recordPlace_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("folder"); // last used; empty: none yet
    QTest::addColumn<QString>("path");
    const QDateTime late(QDate(2026, 3, 2), QTime(23, 55));
    const QDateTime early(QDate(2026, 3, 3), QTime(0, 5));
    QTest::newRow("default folder") << "P-017" << late << ""
                                    << "/docs/Pourwise Records/P-017-2026-03-02.csv";
    QTest::newRow("after midnight") << "P-017" << early << ""
                                    << "/docs/Pourwise Records/P-017-2026-03-03.csv";
    QTest::newRow("folder last used") << "a_B-9" << late << "/lab/records"
                                      << "/lab/records/a_B-9-2026-03-02.csv";
    QTest::newRow("a folder with a slash") << "P-1" << early << "/lab/records/"
                                           << "/lab/records/P-1-2026-03-03.csv";
}

void TestRecordFile::recordPlace()
{
    QFETCH(QString, code);
    QFETCH(QDateTime, start);
    QFETCH(QString, folder);
    QFETCH(QString, path);
    SessionRecord record;
    record.setup.sessionCode = code;
    record.setup.start = start;
    const QString in = RecordPlace::folderOr(folder, QStringLiteral("/docs"));
    QCOMPARE(RecordPlace::pathIn(in, record), path);
    // The date is the start's as the record's own start cell writes it.
    QCOMPARE(RecordPlace::baseName(record).right(10),
             QString::fromLatin1(RecordText::startText(start).left(10)));
}

#include "tst_recordfile.moc"
