#include "calc/dose/ControlCharacters.h"
#include "calc/record/RecordColumns.h"
#include "calc/record/RecordPlace.h"
#include "calc/record/RecordReader.h"
#include "calc/record/RecordText.h"
#include "calc/record/RecordWriter.h"
#include "tests/support/DamagedRecords.h"
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

using DamagedRecords::withCell;
using ReferenceFiles::bytes;

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
    for (const DamagedRecords::Refused &copy : DamagedRecords::refused())
        QTest::newRow(copy.name) << copy.file << copy.line << copy.mentions;
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
    for (const DamagedRecords::Read &copy : DamagedRecords::read())
        QTest::newRow(copy.name) << copy.file << copy.check << copy.mentions;
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
