#include "calc/RecordCsv.h"
#include "calc/RecordReader.h"
#include "calc/StudyColumns.h"
#include "calc/StudyTables.h"
#include "tests/support/ReferenceFiles.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(StudyTableKind)

namespace {

// A reference record as a study reads it, named by the file it comes from.
StudyRecord referenceRecord(const QString &spec)
{
    const QString file = ReferenceFiles::fileOf(spec);
    return studyRecord(file, RecordReader::read(ReferenceFiles::bytes(spec), file));
}

template <std::size_t N>
qsizetype indexOf(const std::array<std::string_view, N> &columns, const QString &name)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (QLatin1String(columns[i].data(), qsizetype(columns[i].size())) == name)
            return qsizetype(i);
    }
    return -1;
}

// The cells of `columns` of a row, joined by "|".
template <std::size_t N>
QString selected(const QList<QByteArray> &row, const std::array<std::string_view, N> &all,
                 const QStringList &columns)
{
    QStringList cells;
    for (const QString &column : columns)
        cells << QString::fromUtf8(row.value(indexOf(all, column), "?"));
    return cells.join(QLatin1Char('|'));
}

// "Arm A|alcohol|m|0.08|0.072|0.9|300|booster": protocol, beverage, gender, target, observed peak
// in g/100 ml, peak / target, release minute and "booster" or "-"; "-" for none.
AchievementSession sessionOf(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    const auto number = [](const QString &part) {
        return part == QLatin1String("-") ? std::nullopt : std::optional(part.toFloat());
    };
    AchievementSession session;
    session.protocol = parts[0];
    session.placebo = parts[1] == QLatin1String("placebo");
    session.gender = parts[2].toLatin1();
    session.targetBal = parts[3].toFloat();
    session.peakBal = number(parts[4]);
    session.peakVsTarget = number(parts[5]);
    if (parts[6] != QLatin1String("-"))
        session.releaseAtMinute = parts[6].toInt();
    session.booster = parts[7] == QLatin1String("booster");
    return session;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <std::size_t N> QStringList namesOf(const std::array<std::string_view, N> &columns)
{
    QStringList names;
    for (std::string_view column : columns)
        names << QString::fromLatin1(column.data(), qsizetype(column.size()));
    return names;
}

} // namespace

class TestStudyTables : public QObject {
    Q_OBJECT

private slots:
    void sessionCells_data();
    void sessionCells();
    void readingCells_data();
    void readingCells();
    void overflowIsNoNumber();
    void achievementSessions_data();
    void achievementSessions();
    void achievement_data();
    void achievement();
    void tableText_data();
    void tableText();
    void documentedColumns_data();
    void documentedColumns();
};

// One cell of a record's session row: `value`, or with a leading "*" a text the cell contains.
void TestStudyTables::sessionCells_data()
{
    QTest::addColumn<QString>("record"); // as ReferenceFiles names it
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");

    const auto row = [](const char *name, const char *record, const char *column,
                        const char *value) {
        QTest::newRow(name) << QString::fromLatin1(record) << QString::fromLatin1(column)
                            << QString::fromUtf8(value);
    };
    // What the record is worth, and why.
    row("ok", "v2-alcohol.csv", "status", "ok");
    row("ok: no problem", "v2-alcohol.csv", "problem", "");
    row("version 1", "v1-alcohol.csv", "status", "unverified");
    row("version 1: why", "v1-alcohol.csv", "problem", "*version-1 record: it has no end row");
    row("cut", "cut:v2-alcohol.csv", "status", "cut");
    row("cut: why, without WARNING", "cut:v2-alcohol.csv", "problem",
        "*v2-alcohol.csv has no end row");
    row("cut: its values all the same", "cut:v2-alcohol.csv", "observed_peak", "0.06");
    row("changed", "changed:v2-alcohol.csv", "status", "changed");
    row("changed: why", "changed:v2-alcohol.csv", "problem", "*changed outside Pourwise");
    row("dose differs", "older:v1-alcohol.csv", "status", "dose differs");
    row("dose differs: both doses", "older:v1-alcohol.csv", "problem",
        "*(alcohol 68 ml, mixer 408 ml, total 476 ml)");
    row("unreadable", "garbage:v2-alcohol.csv", "status", "unreadable");
    row("unreadable: why, without ERROR", "garbage:v2-alcohol.csv", "problem",
        "*v2-alcohol.csv line 1:");
    row("unreadable: nothing else", "garbage:v2-alcohol.csv", "session_code", "");

    // The session, the participant and the dose.
    row("session code", "v2-breath.csv", "session_code", "P-019");
    row("date of the start", "v2-alcohol.csv", "date", "2026-12-08");
    row("date of the start as corrected", "restarted:v2-alcohol.csv", "date", "2026-12-09");
    row("operator who set it up", "v2-alcohol.csv", "operator", "JS");
    row("version 1 has no operator", "v1-alcohol.csv", "operator", "");
    row("protocol", "v2-alcohol.csv", "protocol", "Arm A");
    row("protocol's SHA-256", "v2-alcohol.csv", "protocol_sha256",
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    row("no protocol", "v2-breath.csv", "protocol", "");
    row("alcohol", "v2-alcohol.csv", "beverage", "alcohol");
    row("placebo", "v2-placebo.csv", "beverage", "placebo");
    row("gender", "v2-alcohol.csv", "gender", "m");
    row("age", "v2-alcohol.csv", "age", "25");
    // 70 in / 0.3937 and 160 lb / 2.2046, as the model converts them, as 32-bit floats.
    row("height in cm", "v2-alcohol.csv", "height_cm", "177.80035");
    row("weight in kg", "v2-alcohol.csv", "weight_kg", "72.57552");
    row("unit of levels", "v2-breath.csv", "level_unit", "mg/L");
    row("breath ratio", "v2-breath.csv", "breath_ratio", "2000");
    row("target as typed in the lab's unit", "v2-breath.csv", "target", "0.4");
    row("target in g/100 ml", "v2-alcohol.csv", "target", "0.08");
    row("alcohol", "v2-alcohol.csv", "alcohol_ml", "68");
    row("mixer", "v2-alcohol.csv", "mixer_ml", "408");
    row("total", "v2-alcohol.csv", "total_ml", "476");
    // 68 ml x 0.7861 g/ml over 72.57552 kg.
    row("ethanol per kg", "v2-alcohol.csv", "ethanol_g_per_kg", "0.7365403");
    // Three floats of 5 ml, and the rest of 159 + 159 + 158 ml mixer.
    row("placebo: the floats poured", "v2-placebo.csv", "alcohol_ml", "15");
    row("placebo: the mixer poured", "v2-placebo.csv", "mixer_ml", "461");
    row("placebo: ethanol of the floats per kg", "v2-placebo.csv", "ethanol_g_per_kg",
        "0.16247213");
    row("portions planned", "v2-alcohol.csv", "portions_planned", "3");
    row("portions served", "v2-alcohol.csv", "portions_served", "3");
    row("version 1: portions served in their own rows", "v1-alcohol.csv", "portions_served", "3");
    row("drinking ends with the drinking period", "v2-alcohol.csv", "drinking_end_min", "40");

    // What the readings show. In v2-alcohol.csv the reading at 130 is corrected from 0.6 to 0.06
    // and lies within 15 minutes of the booster's drinking; the 0.061 at 131 is voided.
    row("observed peak, corrected and voided readings left out", "v2-alcohol.csv", "observed_peak",
        "0.06");
    row("observed peak's minute, the earliest of equal ones", "v2-alcohol.csv",
        "observed_peak_at_min", "70");
    row("observed peak in the lab's unit", "v2-breath.csv", "observed_peak", "0.3");
    row("peak over target", "v2-alcohol.csv", "peak_vs_target", "0.75");
    row("peak over target in the lab's unit", "v2-breath.csv", "peak_vs_target", "0.75");
    row("placebo: no peak over target", "v2-placebo.csv", "peak_vs_target", "");
    // The worked example's plan and band, as pourwise-dose --plan --band writes them.
    row("expected peak", "v2-alcohol.csv", "expected_peak", "0.0807");
    row("peak band, low", "v2-alcohol.csv", "peak_band_low", "0.0585");
    row("peak band, high", "v2-alcohol.csv", "peak_band_high", "0.1029");
    row("placebo: no expected peak", "v2-placebo.csv", "expected_peak", "");
    row("placebo: no band", "v2-placebo.csv", "peak_band_high", "");
    row("descending limb", "v2-breath.csv", "descending_shown_at_min", "100");
    row("after a booster, its phase's limb", "v2-alcohol.csv", "descending_shown_at_min", "");
    row("not yet released", "v2-alcohol.csv", "release_reached_at_min", "");
    row("placebo released", "v2-placebo.csv", "release_reached_at_min", "70");
    row("booster's spirit", "v2-alcohol.csv", "booster_alcohol_ml", "25");
    row("booster's minute", "v2-alcohol.csv", "booster_served_at_min", "112");
    row("no booster", "v2-breath.csv", "booster_served_at_min", "");
    row("corrections", "v2-alcohol.csv", "corrections", "3");
    row("voids", "v2-alcohol.csv", "voids", "1");
}

void TestStudyTables::sessionCells()
{
    QFETCH(QString, record);
    QFETCH(QString, column);
    QFETCH(QString, value);
    const QList<QByteArray> cells = ::sessionCells(referenceRecord(record));
    QCOMPARE(cells.size(), qsizetype(SessionColumns.size()));
    const qsizetype index = indexOf(SessionColumns, column);
    QVERIFY2(index >= 0, qPrintable(column));
    QCOMPARE(cells[0], ReferenceFiles::fileOf(record).toUtf8());
    const QString cell = QString::fromUtf8(cells[index]);
    if (value.startsWith(QLatin1Char('*')))
        QVERIFY2(cell.contains(value.mid(1)), qPrintable(cell));
    else
        QCOMPARE(cell, value);
}

// The cells of `columns` of every row of a record's readings, joined by "|".
void TestStudyTables::readingCells_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("in time order, corrected marked, voided left out, each with its note")
        << "v2-alcohol.csv"
        << QStringList{"entry", "at_min", "clock_time", "level", "note", "corrected"}
        << QStringList{"5|-5|2026-12-08T14:00|0|baseline|no", "10|70|2026-12-08T15:15|0.06|counts|no",
                       "11|85|2026-12-08T15:30|0.057|counts|no", "12|100|2026-12-08T15:45|0.054|counts|no",
                       "14|130|2026-12-08T16:15|0.06|mouth_alcohol|yes"};
    QTest::newRow("the session of each row")
        << "v2-alcohol.csv" << QStringList{"file", "session_code", "beverage", "protocol", "gender"}
        << QStringList(5, "v2-alcohol.csv|P-017|alcohol|Arm A|m");
    // The plan peaks at 0.0807 at 70 minutes and falls by 0.015 an hour.
    QTest::newRow("expected level and difference, as the plan writes levels")
        << "v1-alcohol.csv" << QStringList{"at_min", "expected", "difference"}
        << QStringList{"-5|0.0000|0.0000", "70|0.0807|-0.0207", "85|0.0769|-0.0199",
                       "100|0.0732|-0.0192"};
    // 0.3 mg/L of breath at 2000:1 is float(0.3 x 2000 / 10000) g/100 ml of blood.
    QTest::newRow("a breath unit: the level as read, and in g/100 ml")
        << "v2-breath.csv" << QStringList{"level", "level_unit", "level_bal"}
        << QStringList{"0|mg/L|0", "0.3|mg/L|0.060000002", "0.285|mg/L|0.057", "0.27|mg/L|0.054"};
    QTest::newRow("placebo: nothing expected")
        << "v2-placebo.csv" << QStringList{"beverage", "expected", "difference"}
        << QStringList{"placebo||", "placebo||"};
    QTest::newRow("a record that cannot be read has none")
        << "garbage:v2-alcohol.csv" << QStringList{"entry"} << QStringList();
}

void TestStudyTables::readingCells()
{
    QFETCH(QString, record);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, rows);
    QStringList actual;
    for (const QList<QByteArray> &row : ::readingCells(referenceRecord(record))) {
        QCOMPARE(row.size(), qsizetype(ReadingColumns.size()));
        actual << selected(row, ReadingColumns, columns);
    }
    QCOMPARE(actual, rows);
}

// A value derived from an extreme one that overflows is left empty, never written "inf": here a
// reading of 3e38 g/210 L of breath at 4000:1, which is above the largest float in g/100 ml.
void TestStudyTables::overflowIsNoNumber()
{
    RecordReading reading = RecordReader::read(ReferenceFiles::bytes("v2-breath.csv"), "b.csv");
    QVERIFY(reading.record);
    reading.record->setup.input.level = {LevelUnit::GramsPer210Litres, 4000};
    for (SessionEntry &entry : reading.record->entries) {
        if (entry.entry == 9)
            entry.values.level = 3e38f;
    }
    const StudyRecord record = studyRecord(QStringLiteral("b.csv"), reading);
    const QList<QList<QByteArray>> readings = ::readingCells(record);
    QCOMPARE(selected(readings.value(1), ReadingColumns, {"entry", "level", "level_bal"}),
             QStringLiteral("9|3e+38|"));
    QCOMPARE(selected(::sessionCells(record), SessionColumns, {"observed_peak", "peak_vs_target"}),
             QStringLiteral("3e+38|"));
}

// What a record gives the achievement, as sessionOf writes it; "none" for a record not counted.
void TestStudyTables::achievementSessions_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("session");

    QTest::newRow("ok, with its protocol and booster")
        << "v2-alcohol.csv"
        << "Arm A|alcohol|m|0.08|0.06|0.75|-|booster";
    // 0.3 mg/L of breath at 2000:1, in g/100 ml; its target typed as 0.4 mg/L.
    QTest::newRow("breath: the peak in g/100 ml") << "v2-breath.csv"
                                                  << "|alcohol|m|0.08|0.060000002|0.75|-|-";
    QTest::newRow("placebo: a peak, no ratio, a release") << "v2-placebo.csv"
                                                          << "|placebo|m|0.08|0.004|-|70|-";
    QTest::newRow("version 1 is not counted") << "v1-alcohol.csv"
                                              << "none";
    QTest::newRow("cut is not counted") << "cut:v2-alcohol.csv"
                                        << "none";
    QTest::newRow("changed is not counted") << "changed:v2-alcohol.csv"
                                            << "none";
    QTest::newRow("unreadable is not counted") << "garbage:v2-alcohol.csv"
                                               << "none";
}

void TestStudyTables::achievementSessions()
{
    QFETCH(QString, record);
    QFETCH(QString, session);
    const std::optional<AchievementSession> given = achievementSession(referenceRecord(record));
    if (session == QLatin1String("none")) {
        QVERIFY(!given);
        return;
    }
    QVERIFY(given);
    const AchievementSession expected = sessionOf(session);
    QCOMPARE(given->protocol, expected.protocol);
    QCOMPARE(given->placebo, expected.placebo);
    QCOMPARE(given->gender, expected.gender);
    QCOMPARE(given->targetBal, expected.targetBal);
    QCOMPARE(given->peakBal, expected.peakBal);
    QCOMPARE(given->peakVsTarget, expected.peakVsTarget);
    QCOMPARE(given->releaseAtMinute, expected.releaseAtMinute);
    QCOMPARE(given->booster, expected.booster);
}

// The achievement of sessions as sessionOf reads them: every row, its cells joined by ",".
void TestStudyTables::achievement_data()
{
    QTest::addColumn<QStringList>("sessions");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("no sessions") << QStringList() << QStringList{"all,all,all,0,,,,,,,,,,0"};
    QTest::newRow("groups by protocol, beverage and gender in that order, then all")
        << QStringList{"B|alcohol|m|0.08|-|-|-|-", "A|placebo|f|0.08|-|-|-|-",
                       "A|alcohol|m|0.08|-|-|-|-", "A|alcohol|f|0.08|-|-|-|-",
                       "A|alcohol|m|0.08|-|-|-|-", "|alcohol|m|0.08|-|-|-|-"}
        << QStringList{",alcohol,m,1,0.08,,,,,,,,,0",  "A,alcohol,f,1,0.08,,,,,,,,,0",
                       "A,alcohol,m,2,0.08,,,,,,,,,0", "A,placebo,f,1,0.08,,,,,,,,,0",
                       "B,alcohol,m,1,0.08,,,,,,,,,0", "all,all,all,6,0.08,,,,,,,,,0"};
    QTest::newRow("targets that differ are mixed")
        << QStringList{"A|alcohol|m|0.08|-|-|-|-", "A|alcohol|m|0.06|-|-|-|-",
                       "A|alcohol|f|0.06|-|-|-|-"}
        << QStringList{"A,alcohol,f,1,0.06,,,,,,,,,0", "A,alcohol,m,2,mixed,,,,,,,,,0",
                       "all,all,all,3,mixed,,,,,,,,,0"};
    // Sample standard deviation: 0.06, 0.08 and 0.1 lie 0.02 apart.
    QTest::newRow("peaks: mean, standard deviation, lowest and highest")
        << QStringList{"A|alcohol|m|0.08|0.06|-|-|-", "A|alcohol|m|0.08|0.1|-|-|-",
                       "A|alcohol|m|0.08|0.08|-|-|-"}
        << QStringList{"A,alcohol,m,3,0.08,0.0800,0.0200,0.06,0.1,,,,,0",
                       "all,all,all,3,0.08,0.0800,0.0200,0.06,0.1,,,,,0"};
    QTest::newRow("one peak has no standard deviation; a session without one counts only itself")
        << QStringList{"A|alcohol|m|0.08|0.07|-|-|-", "A|alcohol|m|0.08|-|-|-|-"}
        << QStringList{"A,alcohol,m,2,0.08,0.0700,,0.07,0.07,,,,,0",
                       "all,all,all,2,0.08,0.0700,,0.07,0.07,,,,,0"};
    // Within 10 %: 0.9 and 1.1 themselves; within 20 %: also the float just below 0.9, and 1.2.
    // Their mean is 4.89 / 5.
    QTest::newRow("shares within 10 and 20 % of the target, their edges included")
        << QStringList{"A|alcohol|m|0.08|-|0.9|-|-", "A|alcohol|m|0.08|-|1.1|-|-",
                       "A|alcohol|m|0.08|-|0.8999999|-|-", "A|alcohol|m|0.08|-|1.2|-|-",
                       "A|alcohol|m|0.08|-|0.79|-|-"}
        << QStringList{"A,alcohol,m,5,0.08,,,,,0.9780,0.4000,0.8000,,0",
                       "all,all,all,5,0.08,,,,,0.9780,0.4000,0.8000,,0"};
    QTest::newRow("a placebo group: peaks as measured, no ratio to the target")
        << QStringList{"A|placebo|f|0.08|0.004|-|60|-", "A|placebo|f|0.08|0.006|-|80|-",
                       "A|alcohol|f|0.08|0.08|1|-|-"}
        << QStringList{"A,alcohol,f,1,0.08,0.0800,,0.08,0.08,1.0000,1.0000,1.0000,,0",
                       "A,placebo,f,2,0.08,0.0050,0.0014,0.004,0.006,,,,70,0",
                       "all,all,all,3,0.08,0.0300,0.0433,0.004,0.08,1.0000,1.0000,1.0000,70,0"};
    QTest::newRow("median minute of release: odd, even, and the middle of two minutes")
        << QStringList{"A|alcohol|m|0.08|-|-|400|-", "A|alcohol|m|0.08|-|-|300|-",
                       "A|alcohol|m|0.08|-|-|320|-", "B|alcohol|m|0.08|-|-|300|-",
                       "B|alcohol|m|0.08|-|-|301|-", "B|alcohol|m|0.08|-|-|-|-"}
        << QStringList{"A,alcohol,m,3,0.08,,,,,,,,320,0", "B,alcohol,m,3,0.08,,,,,,,,300.5,0",
                       "all,all,all,6,0.08,,,,,,,,301,0"};
    QTest::newRow("boosters") << QStringList{"A|alcohol|m|0.08|-|-|-|booster",
                                             "A|alcohol|m|0.08|-|-|-|-",
                                             "A|alcohol|f|0.08|-|-|-|booster"}
                              << QStringList{"A,alcohol,f,1,0.08,,,,,,,,,1",
                                             "A,alcohol,m,2,0.08,,,,,,,,,1",
                                             "all,all,all,3,0.08,,,,,,,,,2"};
}

void TestStudyTables::achievement()
{
    QFETCH(QStringList, sessions);
    QFETCH(QStringList, rows);
    AchievementTable table;
    for (const QString &session : sessions)
        table.add(sessionOf(session));
    QStringList actual;
    for (const QList<QByteArray> &row : table.rows()) {
        QCOMPARE(row.size(), qsizetype(AchievementColumns.size()));
        actual << QString::fromUtf8(QByteArrayList(row).join(','));
    }
    QCOMPARE(actual, rows);
}

// A table as text: the header row, then the rows each record gives at once, then those given at
// the end; every row as csvRow writes it.
void TestStudyTables::tableText_data()
{
    QTest::addColumn<StudyTableKind>("kind");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QList<int>>("rowsAtOnce"); // for v2-alcohol.csv, then v2-placebo.csv
    QTest::addColumn<int>("rowsAtTheEnd");

    QTest::newRow("sessions") << StudyTableKind::Sessions << namesOf(SessionColumns)
                              << QList<int>{1, 1} << 0;
    QTest::newRow("readings") << StudyTableKind::Readings << namesOf(ReadingColumns)
                              << QList<int>{5, 2} << 0;
    QTest::newRow("achievement: two groups and all")
        << StudyTableKind::Achievement << namesOf(AchievementColumns) << QList<int>{0, 0} << 3;
}

void TestStudyTables::tableText()
{
    QFETCH(StudyTableKind, kind);
    QFETCH(QStringList, header);
    QFETCH(QList<int>, rowsAtOnce);
    QFETCH(int, rowsAtTheEnd);
    StudyTable table(kind);
    QCOMPARE(table.header(), header.join(QLatin1Char(',')).toUtf8() + "\r\n");
    const QStringList records{"v2-alcohol.csv", "v2-placebo.csv"};
    for (qsizetype i = 0; i < records.size(); ++i) {
        const StudyRecord record = referenceRecord(records[i]);
        const QByteArray rows = table.add(record);
        QCOMPARE(rows.count("\r\n"), qsizetype(rowsAtOnce[i]));
        QCOMPARE(readCsvRows(rows).rows.size(), qsizetype(rowsAtOnce[i]));
        if (kind == StudyTableKind::Sessions)
            QCOMPARE(rows, csvRow(::sessionCells(record)));
    }
    const QByteArray end = table.finish();
    QCOMPARE(end.count("\r\n"), qsizetype(rowsAtTheEnd));
    for (const CsvRow &row : readCsvRows(end).rows)
        QCOMPARE(row.cells.size(), qsizetype(header.size()));
}

// docs/study.md lists each table's columns in order, one per line of its table of columns.
void TestStudyTables::documentedColumns_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("columns");

    QTest::newRow("sessions") << "## The sessions table" << namesOf(SessionColumns);
    QTest::newRow("readings") << "## The readings table" << namesOf(ReadingColumns);
    QTest::newRow("achievement") << "## The achievement table" << namesOf(AchievementColumns);
}

void TestStudyTables::documentedColumns()
{
    QFETCH(QString, heading);
    QFETCH(QStringList, columns);
    const QString docs = QString::fromUtf8(contentOf(QStringLiteral(POURWISE_STUDY_DOCS)));
    QVERIFY2(docs.contains(heading), qPrintable(heading));
    const QString section = docs.section(heading, 1).section(QStringLiteral("\n## "), 0, 0);
    QStringList documented;
    for (const QString &line : section.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("| `")))
            documented << line.section(QLatin1Char('`'), 1, 1);
    }
    QCOMPARE(documented, columns);
}

QTEST_GUILESS_MAIN(TestStudyTables)
#include "tst_studytables.moc"
