#include "calc/record/RecordCsv.h"
#include "tests/support/ReferenceFiles.h"
#include "tests/tools/DoseProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

Q_DECLARE_METATYPE(DoseOutput)

namespace {

// Each row of a table after its header, the first `count` cells joined by "|", with `folder`
// taken off the file's path.
QStringList leadingCells(const QByteArray &table, qsizetype count, const QString &folder)
{
    const CsvRows csv = readCsvRows(table);
    QStringList rows;
    for (const CsvRow &row : csv.rows.mid(1)) {
        QStringList cells;
        for (const QByteArray &cell : row.cells.mid(0, count))
            cells << QString::fromUtf8(cell).remove(folder + QLatin1Char('/'));
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

// pourwise-dose --sessions, --readings and --achievement: the records given or found, their rows
// in order, what standard error says and the exit status. The cells themselves are tested where
// the tables are made (tests/calc/tst_studytables.cpp).
class TestDoseStudy : public QObject {
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void sameBytesEverywhere_data();
    void sameBytesEverywhere();
    void usageErrors_data();
    void usageErrors();
};

void TestDoseStudy::tables_data()
{
    QTest::addColumn<QString>("option");     // with what follows it, if anything
    QTest::addColumn<QStringList>("layout"); // see ReferenceFiles::makeFiles; "path=(pipe)" a pipe
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<int>("cells"); // how many leading cells of each row `rows` gives
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("errors"); // part of what standard error says; empty for nothing

    const QStringList references{"v1-alcohol.csv=v1-alcohol.csv", "v1-breath.csv=v1-breath.csv",
                                 "v1-placebo.csv=v1-placebo.csv", "v2-alcohol.csv=v2-alcohol.csv",
                                 "v2-breath.csv=v2-breath.csv",   "v2-placebo.csv=v2-placebo.csv"};
    QTest::newRow("sessions of the reference records, in the order given")
        << "--sessions" << references
        << QStringList{"v2-placebo.csv", "v1-alcohol.csv", "v2-alcohol.csv", "v1-breath.csv"} << 3
        << QStringList{"v2-placebo.csv|ok|P-018", "v1-alcohol.csv|unverified|P-017",
                       "v2-alcohol.csv|ok|P-017", "v1-breath.csv|unverified|P-019"}
        << 0 << QByteArray();
    QTest::newRow("readings not voided, record by record")
        << "--readings" << references << QStringList{"v2-placebo.csv", "v2-alcohol.csv"} << 2
        << QStringList{"v2-placebo.csv|P-018", "v2-placebo.csv|P-018", "v2-alcohol.csv|P-017",
                       "v2-alcohol.csv|P-017", "v2-alcohol.csv|P-017", "v2-alcohol.csv|P-017",
                       "v2-alcohol.csv|P-017"}
        << 0 << QByteArray();
    const QStringList all{"v1-alcohol.csv", "v1-breath.csv", "v1-placebo.csv",
                          "v2-alcohol.csv", "v2-breath.csv", "v2-placebo.csv"};
    QTest::newRow("achievement of the records that are ok, by group, then all by beverage")
        << "--achievement" << references << all << 4
        << QStringList{"|alcohol|m|1", "|placebo|m|1", "Arm A|alcohol|m|1", "all|alcohol|all|2",
                       "all|placebo|all|1"}
        << 0 << QByteArray("WARNING: 3 records not counted: unverified (version 1): ");
    QTest::newRow("the version-1 records counted as well")
        << "--achievement --include-unverified" << references << all << 4
        << QStringList{"|alcohol|m|3", "|placebo|m|2", "Arm A|alcohol|m|1", "all|alcohol|all|4",
                       "all|placebo|all|2"}
        << 0 << QByteArray();

    const QStringList study{"study/day2/P-017.csv=changed:v2-alcohol.csv",
                            "study/day1/P-017.csv=v2-alcohol.csv",
                            "study/day1/P-017-cut.csv=cut:v2-alcohol.csv",
                            "study/day1/notes.txt=", "study/P-018.csv=v2-placebo.csv"};
    QTest::newRow("a folder with a cut and a changed record, its subfolders in name order")
        << "--sessions" << study << QStringList{"study"} << 2
        << QStringList{"study/P-018.csv|ok", "study/day1/P-017-cut.csv|cut",
                       "study/day1/P-017.csv|ok", "study/day2/P-017.csv|changed"}
        << 0 << QByteArray("WARNING: ");
    QTest::newRow("the readings of that folder")
        << "--readings" << study << QStringList{"study"} << 1
        << QStringList{"study/P-018.csv",          "study/P-018.csv",
                       "study/day1/P-017-cut.csv", "study/day1/P-017-cut.csv",
                       "study/day1/P-017-cut.csv", "study/day1/P-017-cut.csv",
                       "study/day1/P-017-cut.csv", "study/day1/P-017.csv",
                       "study/day1/P-017.csv",     "study/day1/P-017.csv",
                       "study/day1/P-017.csv",     "study/day1/P-017.csv",
                       "study/day2/P-017.csv",     "study/day2/P-017.csv",
                       "study/day2/P-017.csv",     "study/day2/P-017.csv",
                       "study/day2/P-017.csv"}
        << 0 << QByteArray("WARNING: ");
    QTest::newRow("the achievement of that folder counts neither")
        << "--achievement" << study << QStringList{"study"} << 4
        << QStringList{"|placebo|m|1", "Arm A|alcohol|m|1", "all|alcohol|all|1",
                       "all|placebo|all|1"}
        << 0 << QByteArray("WARNING: 1 record not counted: cut: ");

    QTest::newRow("a record that cannot be read keeps its row")
        << "--sessions" << QStringList{"a.csv=v2-alcohol.csv", "b.csv=garbage:v2-alcohol.csv"}
        << QStringList{"a.csv", "b.csv"} << 3 << QStringList{"a.csv|ok|P-017", "b.csv|unreadable|"}
        << 1 << QByteArray("ERROR: ");
    QTest::newRow("a record that is not there")
        << "--readings" << QStringList{"a.csv=v2-placebo.csv"}
        << QStringList{"missing.csv", "a.csv"} << 1 << QStringList{"a.csv", "a.csv"} << 1
        << QByteArray("missing.csv");
    QTest::newRow("a folder that holds no record")
        << "--achievement" << QStringList{"empty/notes.txt=", "a.csv=v2-placebo.csv"}
        << QStringList{"empty", "a.csv"} << 4
        << QStringList{"|placebo|m|1", "all|alcohol|all|0", "all|placebo|all|1"} << 1
        << QByteArray("holds no session record");
    // What a record quotes reaches the terminal escaped.
    QTest::newRow("a record whose reading is an escape sequence")
        << "--sessions" << QStringList{"a.csv=escape:v2-alcohol.csv"} << QStringList{"a.csv"} << 2
        << QStringList{"a.csv|unreadable"} << 1 << QByteArray("\\x1b[2J\\x1b]0;owned\\x07");
    // A protocol named as a formula: exact, or text to a spreadsheet.
    const QStringList formula{"a.csv=formula:v2-alcohol.csv"};
    QTest::newRow("a protocol named as a formula, exactly")
        << "--sessions" << formula << QStringList{"a.csv"} << 6
        << QStringList{"a.csv|changed|P-017|2026-12-08|JS|=cmd|' /C calc'!A0"} << 0
        << QByteArray("WARNING: ");
    QTest::newRow("a protocol named as a formula, spreadsheet-safe")
        << "--sessions --spreadsheet-safe" << formula << QStringList{"a.csv"} << 6
        << QStringList{"a.csv|changed|P-017|2026-12-08|JS|'=cmd|' /C calc'!A0"} << 0
        << QByteArray("WARNING: ");
    QTest::newRow("the readings, spreadsheet-safe: numbers stay numbers")
        << "--readings --spreadsheet-safe" << formula << QStringList{"a.csv"} << 7
        << QStringList{"a.csv|P-017|alcohol|'=cmd|' /C calc'!A0|m|5|-5",
                       "a.csv|P-017|alcohol|'=cmd|' /C calc'!A0|m|10|70",
                       "a.csv|P-017|alcohol|'=cmd|' /C calc'!A0|m|11|85",
                       "a.csv|P-017|alcohol|'=cmd|' /C calc'!A0|m|12|100",
                       "a.csv|P-017|alcohol|'=cmd|' /C calc'!A0|m|14|130"}
        << 0 << QByteArray("WARNING: ");
    QTest::newRow("a folder given twice: each record once, the other names told")
        << "--sessions" << QStringList{"study/a.csv=v2-placebo.csv"}
        << QStringList{"study", "study"} << 2 << QStringList{"study/a.csv|ok"} << 0
        << QByteArray(
               "WARNING: 1 path not tabled again: the same file as a record tabled before: ");
#ifdef Q_OS_UNIX
    QTest::newRow("a path that cannot be read: told, and exit status 1")
        << "--readings" << QStringList{"study/a.csv=v2-placebo.csv", "study/p.csv=(pipe)"}
        << QStringList{"study"} << 1 << QStringList{"study/a.csv", "study/a.csv"} << 1
        << QByteArray("WARNING: 1 path not read: not a regular file: ");
#endif
}

void TestDoseStudy::tables()
{
    QFETCH(QString, option);
    QFETCH(QStringList, layout);
    QFETCH(QStringList, given);
    QFETCH(int, cells);
    QFETCH(QStringList, rows);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, errors);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir folder(root.path());
    QStringList files;
    for (const QString &entry : layout) {
        if (!entry.endsWith(QLatin1String("=(pipe)"))) {
            files << entry;
            continue;
        }
#ifdef Q_OS_UNIX
        const QString pipe = folder.filePath(entry.section(QLatin1Char('='), 0, 0));
        QVERIFY(folder.mkpath(QFileInfo(pipe).path()));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
#endif
    }
    QVERIFY(ReferenceFiles::makeFiles(folder, files));
    QStringList arguments = option.split(QLatin1Char(' '));
    for (const QString &path : given)
        arguments << folder.filePath(path);
    const DoseRun run = runDose(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(leadingCells(run.output, cells, root.path()), rows);
    QCOMPARE(run.errors.isEmpty(), errors.isEmpty());
    QVERIFY2(run.errors.contains(errors), run.errors.constData());
    QVERIFY2(!run.errors.contains('\x1b'), run.errors.constData());
}

// The same records give the same bytes, run after run and whatever the locale.
void TestDoseStudy::sameBytesEverywhere_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("sessions") << "--sessions";
    QTest::newRow("readings") << "--readings";
    QTest::newRow("achievement") << "--achievement";
}

void TestDoseStudy::sameBytesEverywhere()
{
    QFETCH(QString, option);
    const QStringList arguments{option, QStringLiteral(POURWISE_TEST_DATA)};
    const DoseRun first = runDose(arguments);
    QCOMPARE(first.exitCode, 0);
    QVERIFY(first.output.count("\r\n") > 1);
    QCOMPARE(runDose(arguments).output, first.output);
    const DoseRun german = runDose(arguments, {},
                                   {QStringLiteral("LC_ALL=de_DE.UTF-8"),
                                    QStringLiteral("LANG=de_DE.UTF-8"), QStringLiteral("TZ=UTC")});
    QCOMPARE(german.exitCode, 0);
    QCOMPARE(german.output, first.output);
}

void TestDoseStudy::usageErrors_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QByteArray>("errorMentions");
    QTest::addColumn<DoseOutput>("outputTo");

    QTest::newRow("two tables") << "--sessions --readings r.csv"
                                << QByteArray("cannot be combined with --readings")
                                << DoseOutput::Read;
    QTest::newRow("a table and the records' check")
        << "--achievement --check-record r.csv" << QByteArray("cannot be combined")
        << DoseOutput::Read;
    QTest::newRow("a table with a participant's option")
        << "--readings --gender m r.csv" << QByteArray("cannot be combined with --gender")
        << DoseOutput::Read;
    QTest::newRow("version-1 records counted in no table")
        << "--include-unverified r.csv" << QByteArray("give it with --sessions")
        << DoseOutput::Read;
    QTest::newRow("version-1 records counted in the records' check")
        << "--check-record --include-unverified r.csv"
        << QByteArray("cannot be combined with --include-unverified") << DoseOutput::Read;
    QTest::newRow("a table of nothing")
        << "--sessions" << QByteArray("--sessions needs the session records") << DoseOutput::Read;
    QTest::newRow("the records' check made spreadsheet-safe")
        << "--check-record --spreadsheet-safe r.csv"
        << QByteArray("cannot be combined with --spreadsheet-safe") << DoseOutput::Read;
    QTest::newRow("a table to a full disk")
        << "--sessions " POURWISE_TEST_DATA << QByteArray("cannot write the output")
        << DoseOutput::FullDisk;
}

void TestDoseStudy::usageErrors()
{
    QFETCH(QString, commandLine);
    QFETCH(QByteArray, errorMentions);
    QFETCH(DoseOutput, outputTo);
    const DoseRun run = runDose(commandLine.split(QLatin1Char(' ')), {}, {}, outputTo);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.output, QByteArray());
    QVERIFY2(run.errors.startsWith("ERROR: "), run.errors.constData());
    QVERIFY2(run.errors.contains(errorMentions), run.errors.constData());
}

QTEST_GUILESS_MAIN(TestDoseStudy)
#include "tst_dosestudy.moc"
