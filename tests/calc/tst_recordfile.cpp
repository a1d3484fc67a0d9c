#include "calc/RecordColumns.h"
#include "calc/RecordReader.h"
#include "calc/RecordWriter.h"
#include "tests/support/ReferenceRecords.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(SessionRecord)
Q_DECLARE_METATYPE(RecordCheck)

namespace {

const QString FileName = QStringLiteral("P-017.csv");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray referenceFile(const char *name)
{
    return contentOf(QStringLiteral(POURWISE_TEST_DATA "/") + QLatin1String(name));
}

// Where two records first differ, for a failure's message; empty when they are the same.
QString firstDifference(const SessionRecord &read, const SessionRecord &expected)
{
    if (read.version != expected.version)
        return QStringLiteral("version %1, not %2").arg(read.version).arg(expected.version);
    if (!(read.setup == expected.setup))
        return QStringLiteral("the setup differs");
    for (qsizetype i = 0; i < std::max(read.entries.size(), expected.entries.size()); ++i) {
        if (i >= read.entries.size() || i >= expected.entries.size() ||
            !(read.entries[i] == expected.entries[i]))
            return QStringLiteral("entry %1 differs").arg(i + 2);
    }
    return {};
}

// `file` with the cell of `column` on line `line` (from 1) set to `text`. The lines changed hold
// no quoted cells.
QByteArray withCell(const QByteArray &file, int line, const char *column, const QByteArray &text)
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

// The first `rows` lines of `file`, each with its line end.
QByteArray firstLines(const QByteArray &file, int rows)
{
    return file.split('\n').mid(0, rows).join('\n') + '\n';
}

} // namespace

// A session record's file: what the writer writes the reader reads back to the bit, the reference
// files of both versions read entry for entry, every fault of a file named by its line, and the
// end row telling a file cut short or changed from one as it was written.
class TestRecordFile : public QObject {
    Q_OBJECT

private slots:
    void referenceFiles_data();
    void referenceFiles();
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void verified_data();
    void verified();
    void documentedColumns_data();
    void documentedColumns();
};

void TestRecordFile::referenceFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<SessionRecord>("expected");
    QTest::addColumn<RecordCheck>("check");
    for (const ReferenceRecord &reference : ReferenceRecords::all())
        QTest::newRow(reference.file)
            << referenceFile(reference.file) << reference.record << reference.check;
}

void TestRecordFile::referenceFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(SessionRecord, expected);
    QFETCH(RecordCheck, check);
    QVERIFY(!file.isEmpty());

    const RecordReading reading = RecordReader::read(file, FileName);
    QVERIFY2(reading.record, qPrintable(reading.error));
    QVERIFY2(firstDifference(*reading.record, expected).isEmpty(),
             qPrintable(firstDifference(*reading.record, expected)));
    QCOMPARE(reading.check, check);
    QVERIFY(reading.warning.isEmpty());
    // Each session's dose is the worked example's, computed again from its values.
    const SessionSetup &setup = reading.record->setup;
    QVERIFY(recordedDoseMatches(setup, evaluateDose(setup.input, {setup.plan, std::nullopt})));
    // A version-2 file is written byte for byte as it was; a version-1 file becomes version 2.
    const QByteArray written = RecordWriter::text(*reading.record);
    if (check == RecordCheck::Ok)
        QCOMPARE(written, file);
    const RecordReading again = RecordReader::read(written, FileName);
    QCOMPARE(again.check, RecordCheck::Ok);
    QCOMPARE(again.version(), RecordVersion::Current);
    QCOMPARE(again.record->entries, expected.entries);
}

void TestRecordFile::roundTrip_data()
{
    QTest::addColumn<SessionRecord>("record");

    const QList<ReferenceRecord> references = ReferenceRecords::all();
    const SessionRecord &everyKind = references[3].record;
    QTest::newRow("every kind of entry") << everyKind;

    // A version-1 session goes on in version 2: its entries have no time or operator.
    SessionRecord carriedOver = references[0].record;
    carriedOver.version = RecordVersion::Current;
    EntryValues servedLater;
    servedLater.servedAtMinute = 14;
    carriedOver.entries << readingEntry(10, 130, 0.05f, stampAt("16:15:00"))
                        << correctionEntry(11, 3, servedLater, QStringLiteral("wrong time"),
                                           stampAt("16:16:00"));
    QTest::newRow("carried over from version 1") << carriedOver;

    SessionRecord metric = workedSession();
    DoseInput &input = metric.setup.input;
    input.units = BodyUnits::CentimetresKilograms;
    input.state.Height = 0;
    input.state.Weight = 0;
    input.bodyInCm = {177.8004f, 72.57552f};
    input.level = {LevelUnit::MicrogramsPer100Ml, 2300};
    input.typedTarget = 38.1f;
    QTest::newRow("metric, a breath unit, a typed target") << metric;

    // Floats that need every digit or an exponent, and texts a CSV cell must quote.
    SessionRecord exact = everyKind;
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
    QTest::newRow("exact floats, quoted texts") << exact;
}

void TestRecordFile::roundTrip()
{
    QFETCH(SessionRecord, record);
    const QByteArray text = RecordWriter::text(record);
    const RecordReading read = RecordReader::read(text, FileName);
    QVERIFY2(read.record, qPrintable(read.error));
    QCOMPARE(read.check, RecordCheck::Ok);
    QVERIFY2(firstDifference(*read.record, record).isEmpty(),
             qPrintable(firstDifference(*read.record, record)));
    QCOMPARE(RecordWriter::text(*read.record), text);
    // The shortest text of each float, never one that merely rounds to it.
    QCOMPARE(text.contains(",0.020000001,"), record.setup.plan.releaseLevel == 0.020000001f);
}

void TestRecordFile::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line"); // 0: the file as a whole
    QTest::addColumn<QString>("mentions");

    const QByteArray v2 = referenceFile("v2-alcohol.csv");
    const QByteArray v1 = referenceFile("v1-alcohol.csv");
    const QByteArray placebo = referenceFile("v2-placebo.csv");
    const QList<QByteArray> lines = v2.split('\n');
    // Line 2 is the plan, 3 to 5 the portions, 6 a reading, 7 a served portion, 10 a correction
    // of a served portion, 14 the booster, 16 a correction of a reading, 18 a void.

    QTest::newRow("empty") << QByteArray() << 1 << "header's column 1";
    QTest::newRow("a column renamed") << QByteArray(v2).replace("at_min,", "at_minute,") << 1
                                      << "column 8 is \"at_minute\", not \"at_min\"";
    QTest::newRow("a version-1 column renamed")
        << QByteArray(v1).replace(",at_min,", ",at_minute,") << 1 << "\"at_min\"";
    QTest::newRow("a column more")
        << QByteArray(v2).replace("sha256\r\n", "sha256,note\r\n") << 1 << "37 columns, not 36";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE"
                                          "e\0n\0",
                                          6)
                            << 0 << "save it as UTF-8";
    QTest::newRow("NUL bytes") << QByteArray(v2).replace("P-017", QByteArray("P\0"
                                                                             "017",
                                                                             5))
                               << 0 << "save it as UTF-8";
    QTest::newRow("unclosed quote")
        << withLine(v2, 20, "\"" + lines[19].trimmed()) << 20 << "quoted";
    QTest::newRow("a cell short") << withLine(v2, 7, lines[6].left(lines[6].lastIndexOf(','))) << 7
                                  << "35 cells, not 36";
    QTest::newRow("no plan row") << lines[0] + '\n' << 2 << "no plan row";
    QTest::newRow("an unknown event") << withCell(v2, 7, "event", "serve") << 7
                                      << "\"serve\" is not one of plan, portion, served";
    QTest::newRow("an end row in version 1")
        << withCell(v1, 10, "event", "end") << 10 << "\"end\" is not one of plan, portion, reading";
    QTest::newRow("the plan not first")
        << withLine(v2, 2, lines[2].trimmed()) << 2 << "starts with its plan row";
    QTest::newRow("a second plan") << withLine(v2, 6, lines[1].trimmed()) << 6 << "one plan row";
    QTest::newRow("an entry number skipped")
        << withCell(v2, 8, "entry", "8") << 8 << "entry 8 should be 7";
    QTest::newRow("a time of entry not UTC")
        << withCell(v2, 7, "entered_at", "2026-12-08T14:05:30+01:00") << 7 << "entered_at";
    QTest::newRow("an operator with a digit")
        << withCell(v2, 7, "operator", "J5") << 7 << "operator \"J5\" is not 1 to 8 letters";
    QTest::newRow("an operator of 9 letters")
        << withCell(v2, 7, "operator", "ABCDEFGHI") << 7 << "operator";
    QTest::newRow("a time of entry without its operator")
        << withCell(v2, 7, "operator", "") << 7 << "given together";
    QTest::newRow("an entry without time after one with")
        << withCell(withCell(v2, 7, "operator", ""), 7, "entered_at", "") << 7
        << "a row after one with entered_at needs";
    QTest::newRow("an empty start")
        << withCell(v2, 2, "start", "") << 2 << "a plan row needs start";
    QTest::newRow("a start without minutes")
        << withCell(v2, 2, "start", "2026-12-08T14") << 2 << "start \"2026-12-08T14\"";
    QTest::newRow("a session code with a blank")
        << withCell(v2, 2, "session_code", "P 017") << 2 << "session_code";
    QTest::newRow("gender 7") << withCell(v2, 2, "gender", "7") << 2
                              << "gender \"7\" is not m or f";
    QTest::newRow("gender m in version 1")
        << withCell(v1, 2, "gender", "m") << 2 << "gender \"m\" is not 1 or 0";
    QTest::newRow("an unknown unit") << withCell(v2, 2, "level_unit", "g/dl") << 2 << "level_unit";
    QTest::newRow("a ratio out of range")
        << withCell(v2, 2, "breath_ratio", "500") << 2 << "breath_ratio";
    QTest::newRow("height in inches, weight in kg")
        << withCell(withCell(v2, 2, "weight", ""), 2, "weight_kg", "72") << 2 << "height_cm";
    QTest::newRow("13 portions") << withCell(v2, 2, "portions", "13") << 2 << "portions";
    QTest::newRow("a release level of 0")
        << withCell(v2, 2, "release_bal", "0") << 2 << "release_bal 0 is not above 0";
    QTest::newRow("placebo 2") << withCell(v2, 2, "placebo", "2") << 2 << "placebo";
    QTest::newRow("a float of -1 ml") << withCell(placebo, 2, "float_ml", "-1") << 2 << "float_ml";
    QTest::newRow("a dose of half a ml")
        << withCell(v2, 2, "alcohol_ml", "68.5") << 2 << "alcohol_ml";
    QTest::newRow("a protocol without its digest")
        << withCell(v2, 2, "protocol_sha256", "") << 2 << "given together";
    QTest::newRow("a protocol digest in capitals")
        << withCell(v2, 2, "protocol_sha256",
                    "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD")
        << 2 << "lower-case hex";
    QTest::newRow("a portion of 220 ml when the dose is 68")
        << withCell(withCell(v2, 5, "alcohol_ml", "220"), 5, "total_ml", "356") << 5
        << "add up to 266 ml of spirit";
    QTest::newRow("a negative portion") << withCell(v2, 5, "alcohol_ml", "-22") << 5
                                        << "alcohol_ml \"-22\" is not a whole number of at least 0";
    QTest::newRow("a portion's total not its parts")
        << withCell(v2, 5, "total_ml", "160") << 5 << "not its total_ml 160";
    QTest::newRow("a placebo portion without the float")
        << withCell(withCell(placebo, 4, "alcohol_ml", "4"), 4, "mixer_ml", "155") << 4
        << "not the float of 5 ml";
    QTest::newRow("a portion missing")
        << withLine(v2, 5, std::nullopt) << 5 << "the plan has 3 portions";
    QTest::newRow("a portion too many")
        << withLine(v2, 6, lines[4].trimmed()) << 6 << "the plan has 3 portions";
    QTest::newRow("portion 4 served")
        << withCell(v2, 7, "number", "4") << 7 << "number \"4\" is not a whole number from 1 to 3";
    QTest::newRow("a negative reading")
        << withCell(v2, 6, "level", "-0.01") << 6 << "level -0.01 is below 0";
    QTest::newRow("a reading with a decimal comma")
        << withCell(v2, 6, "level", "\"0,06\"") << 6 << "level \"0,06\" is not a number";
    QTest::newRow("half a minute")
        << withCell(v2, 6, "at_min", "-4.5") << 6 << "at_min \"-4.5\" is not a whole number";
    QTest::newRow("a booster period of 1e30 minutes") << withCell(v2, 14, "dd", "1e30") << 14
                                                      << "dd \"1e30\" is not a whole number from "
                                                         "1 to 120";
    QTest::newRow("a booster period of 1e20 minutes")
        << withCell(v2, 14, "dd", "1e20") << 14 << "dd \"1e20\"";
    QTest::newRow("a booster period of 121 minutes")
        << withCell(v2, 14, "dd", "121") << 14 << "dd \"121\"";
    QTest::newRow("a booster period of 0 minutes")
        << withCell(v2, 14, "dd", "0") << 14 << "dd \"0\"";
    QTest::newRow("a negative booster")
        << withCell(v2, 14, "mixer_ml", "-150") << 14 << "mixer_ml \"-150\"";
    QTest::newRow("a booster without a target")
        << withCell(v2, 14, "bal", "0") << 14 << "bal 0 is not above 0";
    QTest::newRow("a cell its event has no use for")
        << withCell(v2, 6, "alcohol_ml", "1") << 6 << "a reading row has no alcohol_ml";
    QTest::newRow("a reading numbered in version 2")
        << withCell(v2, 6, "number", "1") << 6 << "a reading row has no number";
    QTest::newRow("a correction of a later entry")
        << withCell(v2, 10, "corrects", "12") << 10 << "corrects 12 is not an earlier entry";
    QTest::newRow("a correction of a correction")
        << withCell(v2, 16, "corrects", "9") << 16 << "which is itself a correction";
    QTest::newRow("a correction without a reason")
        << withCell(v2, 10, "reason", "") << 10 << "a correction row needs reason";
    QTest::newRow("a reason of 201 characters")
        << withCell(v2, 10, "reason", QByteArray(201, 'x')) << 10 << "1 to 200 characters";
    QTest::newRow("a correction without the corrected value")
        << withCell(v2, 16, "level", "") << 16 << "a correction row needs level";
    QTest::newRow("a correction with a value its entry has not")
        << withCell(v2, 10, "level", "0.1") << 10 << "a correction row has no level";
    QTest::newRow("a void of the plan")
        << withCell(v2, 18, "corrects", "1") << 18 << "the plan cannot be voided";
    QTest::newRow("version 1: a reading out of time order")
        << withCell(v1, 8, "at_min", "60") << 8 << "earlier than the one before";
    QTest::newRow("version 1: readings numbered out of order")
        << withCell(v1, 7, "number", "3") << 7 << "number \"3\"";
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
}

void TestRecordFile::verified_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<RecordCheck>("check");
    QTest::addColumn<QString>("mentions"); // in the warning

    const QByteArray v2 = referenceFile("v2-alcohol.csv");
    const int rows = int(v2.count('\n'));
    const QList<QByteArray> lines = v2.split('\n');
    QTest::newRow("as written") << v2 << RecordCheck::Ok << "";
    QTest::newRow("version 1") << referenceFile("v1-alcohol.csv") << RecordCheck::Unverified << "";
    QTest::newRow("cut before the end row")
        << firstLines(v2, rows - 1) << RecordCheck::Cut << "cut short";
    QTest::newRow("cut before the last entries")
        << firstLines(v2, rows - 3) << RecordCheck::Cut << "cut short";
    QTest::newRow("a reading changed")
        << QByteArray(v2).replace(",0.057,", ",0.058,") << RecordCheck::Changed << "SHA-256";
    QTest::newRow("the end row's count changed")
        << withCell(v2, rows, "number", "17") << RecordCheck::Changed << "counts 17 rows";
    QTest::newRow("a row after the end row")
        << v2 + QByteArray(lines[rows - 4]).replace("16,reading", "19,reading") + '\n'
        << RecordCheck::Changed << "rows follow its end row";
    QTest::newRow("saved with a byte order mark")
        << "\xEF\xBB\xBF" + v2 << RecordCheck::Changed << "SHA-256";
    QTest::newRow("saved with LF line ends")
        << QByteArray(v2).replace("\r\n", "\n") << RecordCheck::Changed << "SHA-256";
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

// docs/record.md shows the table of RecordEvents as a matrix, one row per column in the header's
// order: for each event R (required), O (optional) or nothing; under "correction", C marks a cell
// a correction fills for the entry it corrects. Its table of corrections lists those cells.
void TestRecordFile::documentedColumns_data()
{
    QTest::addColumn<QString>("documented"); // the docs' row, without the meaning
    QTest::addColumn<QString>("table");

    const QString docs = QString::fromUtf8(contentOf(QStringLiteral(POURWISE_RECORD_DOCS)));
    QVERIFY(!docs.isEmpty());
    QStringList header;
    for (const RecordEventInfo &event : RecordEvents)
        header << QString::fromLatin1(event.name.data(), qsizetype(event.name.size()));
    const QString matrixHeader = QStringLiteral("| column | ") + header.join(QStringLiteral(" | "));
    if (!docs.contains(matrixHeader)) {
        QTest::newRow("the docs' table of columns") << QString() << matrixHeader;
        return;
    }
    const QStringList rows =
        docs.section(matrixHeader, 1).section(QStringLiteral("\n\n"), 0, 0).split('\n').mid(2);

    // What the table says of each column, as the docs write it.
    const auto mark = [](Cell cell) {
        return cell == Cell::Required   ? QStringLiteral("R")
               : cell == Cell::Optional ? QStringLiteral("O")
                                        : QString();
    };
    for (std::size_t i = 0; i < RecordColumnCount; ++i) {
        const RecordColumnInfo &column = RecordColumns[i];
        QStringList cells{QStringLiteral("`%1`").arg(QLatin1String(column.name.data()))};
        for (const RecordEventInfo &event : RecordEvents) {
            bool corrected = false;
            for (const RecordEventInfo &other : RecordEvents)
                corrected = corrected || other.corrected[i];
            const bool correction = event.event == EntryEvent::Correction;
            cells << (correction && corrected ? QStringLiteral("C") : mark(event.cells[i]));
        }
        const QString name = QString::fromLatin1(column.name.data());
        const QString documented = qsizetype(i) < rows.size()
                                       ? rows[qsizetype(i)].section(QLatin1Char('|'), 1, -3)
                                       : QString();
        QStringList trimmed;
        for (const QString &cell : documented.split(QLatin1Char('|')))
            trimmed << cell.trimmed();
        QTest::newRow(qPrintable(name)) << trimmed.join(QLatin1Char('|')) << cells.join('|');
    }
    // The cells a correction fills, for each event it may correct.
    for (const RecordEventInfo &event : RecordEvents) {
        QStringList cells;
        for (std::size_t i = 0; i < RecordColumnCount; ++i) {
            if (event.corrected[i])
                cells << QStringLiteral("`%1`").arg(QLatin1String(RecordColumns[i].name.data()));
        }
        if (cells.isEmpty())
            continue;
        const QString row = QStringLiteral("| %1 | ").arg(QLatin1String(event.name.data()));
        const QString documented = docs.section(QLatin1Char('\n') + row, 1).section('\n', 0, 0);
        QTest::newRow(qPrintable(QStringLiteral("correcting a ") + event.name.data()))
            << documented.section(QStringLiteral(" |"), 0, 0) << cells.join(QStringLiteral(", "));
    }
    // Version 1's header, in a block of its own.
    QStringList first;
    for (const std::optional<RecordColumn> &column : headerColumns(RecordVersion::First)) {
        if (column)
            first << QLatin1String(recordColumnName(*column).data());
    }
    QTest::newRow("version 1's header")
        << (docs.contains(QStringLiteral("\n    ") + first.join(',') + '\n') ? first.join(',')
                                                                             : QString())
        << first.join(',');
}

void TestRecordFile::documentedColumns()
{
    QFETCH(QString, documented);
    QFETCH(QString, table);
    QCOMPARE(documented, table);
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
