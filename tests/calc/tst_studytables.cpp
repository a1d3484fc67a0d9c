#include "calc/record/RecordCsv.h"
#include "calc/record/RecordReader.h"
#include "calc/record/RecordWriter.h"
#include "calc/study/StudyColumns.h"
#include "calc/study/StudyLeftOut.h"
#include "calc/study/StudyTables.h"
#include "tests/support/ReferenceFiles.h"

#include <map>

#include <QTest>

Q_DECLARE_METATYPE(StudyTableKind)

namespace {

// A reference record as a study reads it, named by the file it comes from.
StudyRecord referenceRecord(const QString &source)
{
    const QString file = ReferenceFiles::fileOf(source);
    return studyRecord(file, RecordReader::read(ReferenceFiles::bytes(source), file));
}

template <std::size_t N> QStringList namesOf(const std::array<std::string_view, N> &columns)
{
    QStringList names;
    for (std::string_view column : columns)
        names << QString::fromLatin1(column.data(), qsizetype(column.size()));
    return names;
}

// The cells of `columns` of each of `rows` of a table of `all` columns, joined by "|", each
// row checked to have every column.
template <std::size_t N>
QStringList selected(const QList<QList<QByteArray>> &rows,
                     const std::array<std::string_view, N> &all, const QStringList &columns)
{
    QStringList selection;
    for (const QList<QByteArray> &row : rows) {
        QStringList cells;
        for (const QString &column : columns)
            cells << (row.size() == qsizetype(N)
                          ? QString::fromUtf8(row.value(namesOf(all).indexOf(column), "?"))
                          : "?");
        selection << cells.join(QLatin1Char('|'));
    }
    return selection;
}

// "Arm A|alcohol|m|0.08|0.072|0.9|300|booster": protocol, beverage, gender, target, the dose's
// own peak in g/100 ml, peak / target, release minute and "booster" or "-"; "-" for none.
AchievementSession sessionOf(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    const auto given = [](const QString &part) { return part != QLatin1String("-"); };
    AchievementSession session;
    session.protocol = parts[0];
    session.placebo = parts[1] == QLatin1String("placebo");
    session.gender = parts[2].toLatin1();
    session.targetBal = parts[3].toDouble();
    if (given(parts[4]))
        session.peakBal = parts[4].toDouble();
    if (given(parts[5]))
        session.peakVsTarget = parts[5].toFloat();
    if (parts[6] != QLatin1String("-"))
        session.releaseAtMinute = parts[6].toInt();
    session.booster = parts[7] == QLatin1String("booster");
    return session;
}

} // namespace

class TestStudyTables : public QObject {
    Q_OBJECT

private slots:
    void cells_data();
    void cells();
    void overflowIsNoNumber();
    void achievement_data();
    void achievement();
    void achievementGroups_data();
    void achievementGroups();
    void leftOut_data();
    void leftOut();
    void countLine_data();
    void countLine();
    void tableText_data();
    void tableText();
    void formulaCells_data();
    void formulaCells();
    void spreadsheetSafeTable_data();
    void spreadsheetSafeTable();
};

// The cells of `columns` of every row a record gives a table, joined by "|".
void TestStudyTables::cells_data()
{
    QTest::addColumn<QString>("record"); // as ReferenceFiles names it
    QTest::addColumn<StudyTableKind>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("rows");

    const auto session = [](const char *name, const char *record, const QString &columns,
                            const QString &cells) {
        QTest::newRow(name) << QString::fromLatin1(record) << StudyTableKind::Sessions
                            << columns.split(' ') << QStringList{cells};
    };
    // What a record is worth, and why, in words that begin without "WARNING" or "ERROR".
    const QString status = QStringLiteral("file status problem");
    session("ok", "v2-alcohol.csv", status, "v2-alcohol.csv|ok|");
    session("version 1", "v1-alcohol.csv", status,
            "v1-alcohol.csv|unverified|v1-alcohol.csv: version 1: it has no end row, so whether it "
            "is whole cannot be checked.");
    session("cut", "cut:v2-alcohol.csv", status,
            "v2-alcohol.csv|cut|v2-alcohol.csv has no end row: it was cut short, and entries may "
            "be missing at its end. It opens read-only.");
    session("changed", "changed:v2-alcohol.csv", status,
            "v2-alcohol.csv|changed|v2-alcohol.csv was changed outside Pourwise: the rows before "
            "its end row are not as they were written (their SHA-256 differs from the end row's). "
            "It opens read-only.");
    session("dose differs", "older:v1-alcohol.csv", status,
            "v1-alcohol.csv|dose differs|The dose computed again from the values in "
            "v1-alcohol.csv (alcohol 65 ml, mixer 390 ml, total 455 ml) differs from the dose the "
            "record saved (alcohol 68 ml, mixer 408 ml, total 476 ml). The record opens "
            "read-only; neither dose is taken for the other.");
    session("unreadable", "garbage:v2-alcohol.csv", status + " session_code",
            "v2-alcohol.csv|unreadable|v2-alcohol.csv line 1: the header's column 1 is \"not\", "
            "not \"entry\".|");

    // In v2-alcohol.csv the reading at 130 is corrected from 0.6 to 0.06 and lies within 15
    // minutes of the booster's drinking; the 0.061 at 131 is voided; the release level and a
    // serving are corrected too. 70 in / 0.3937 and 160 lb / 2.2046 are the height and weight in
    // cm and kg to 7 significant digits; 68 ml x 0.7861 g/ml over 72.57552 kg (the float the
    // calculation took) the ethanol per kg.
    session("the session, the participant and the dose", "v2-alcohol.csv",
            "session_code date operator protocol protocol_sha256 beverage gender age height_cm "
            "weight_kg target alcohol_ml mixer_ml total_ml ethanol_g_per_kg",
            "P-017|2026-12-08|JS|Arm A|"
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad|alcohol|m|25|"
            "177.8004|72.57552|0.08|68|408|476|0.7365403");
    // The worked example's plan and band, as pourwise-dose --plan --band writes them; after the
    // booster, the limb of its phase.
    session("what the readings show", "v2-alcohol.csv",
            "portions_planned portions_served drinking_end_min observed_peak observed_peak_at_min "
            "peak_vs_target expected_peak peak_band_low peak_band_high descending_shown_at_min "
            "release_reached_at_min booster_alcohol_ml booster_served_at_min corrections voids",
            "3|3|40|0.06|70|0.75|0.0807|0.0585|0.1029|||25|112|3|1");
    // The booster at 112 minutes: the dose's own peak is the highest counting reading before it.
    session("a booster: the peak before it", "v2-alcohol.csv",
            "observed_peak observed_peak_at_min peak_before_booster peak_before_booster_at_min "
            "boosted",
            "0.06|70|0.06|70|1");
    session("boosted above the dose's own peak", "boosted:v2-alcohol.csv",
            "status observed_peak observed_peak_at_min peak_vs_target peak_before_booster "
            "peak_before_booster_at_min boosted",
            "ok|0.08|150|1|0.07|70|1");
    session("no booster: no peak before one", "v2-breath.csv",
            "observed_peak peak_before_booster peak_before_booster_at_min boosted", "0.3|||0");
    session("a breath unit: levels as typed", "v2-breath.csv",
            "session_code protocol level_unit breath_ratio target observed_peak peak_vs_target "
            "descending_shown_at_min booster_served_at_min",
            "P-019||mg/L|2000|0.4|0.3|0.75|100|");
    // Three floats of 5 ml, and the rest of 159 + 159 + 158 ml mixer.
    session("a placebo: the floats poured, nothing expected", "v2-placebo.csv",
            "beverage alcohol_ml mixer_ml ethanol_g_per_kg peak_vs_target expected_peak "
            "peak_band_high release_reached_at_min",
            "placebo|15|461|0.16247213||||70");
    session("version 1: no operator, portions served in their own rows", "v1-alcohol.csv",
            "operator portions_served", "|3");
    session("a portion not served", "unserved:v1-alcohol.csv", "portions_planned portions_served",
            "3|2");
    session("the start of drinking as corrected", "restarted:v2-alcohol.csv", "date", "2026-12-09");
    session("cut: its values all the same", "cut:v2-alcohol.csv", "observed_peak", "0.06");

    QTest::newRow("readings in time order, corrected marked, voided left out, each with its note")
        << "v2-alcohol.csv" << StudyTableKind::Readings
        << QStringList{"entry", "at_min", "clock_time", "level", "note", "corrected"}
        << QStringList{
               "5|-5|2026-12-08T14:00|0|baseline|no", "10|70|2026-12-08T15:15|0.06|counts|no",
               "11|85|2026-12-08T15:30|0.057|counts|no", "12|100|2026-12-08T15:45|0.054|counts|no",
               "14|130|2026-12-08T16:15|0.06|mouth_alcohol|yes"};
    QTest::newRow("the session of each reading")
        << "v2-alcohol.csv" << StudyTableKind::Readings
        << QStringList{"file", "session_code", "beverage", "protocol", "gender"}
        << QStringList(5, "v2-alcohol.csv|P-017|alcohol|Arm A|m");
    // The plan peaks at 0.0807 at 70 minutes and falls by 0.015 an hour.
    QTest::newRow("expected level and difference, as the plan writes levels")
        << "v1-alcohol.csv" << StudyTableKind::Readings
        << QStringList{"at_min", "expected", "difference"}
        << QStringList{"-5|0.0000|0.0000", "70|0.0807|-0.0207", "85|0.0769|-0.0199",
                       "100|0.0732|-0.0192"};
    // 0.3 mg/L of breath at 2000:1 is 0.3 x 2000 / 10000 g/100 ml of blood, worked in double
    // from the 0.3 typed, not from its float 0.30000001.
    QTest::newRow("a breath unit: the level as read, and in g/100 ml")
        << "v2-breath.csv" << StudyTableKind::Readings
        << QStringList{"level", "level_unit", "level_bal"}
        << QStringList{"0|mg/L|0", "0.3|mg/L|0.06", "0.285|mg/L|0.057", "0.27|mg/L|0.054"};
    QTest::newRow("a placebo's readings: nothing expected")
        << "v2-placebo.csv" << StudyTableKind::Readings
        << QStringList{"beverage", "expected", "difference"}
        << QStringList{"placebo||", "placebo||"};
    QTest::newRow("a record that cannot be read has no readings")
        << "garbage:v2-alcohol.csv" << StudyTableKind::Readings << QStringList{"entry"}
        << QStringList();
}

void TestStudyTables::cells()
{
    QFETCH(QString, record);
    QFETCH(StudyTableKind, table);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, rows);
    const StudyRecord study = referenceRecord(record);
    QCOMPARE(table == StudyTableKind::Sessions
                 ? selected({::sessionCells(study)}, SessionColumns, columns)
                 : selected(::readingCells(study), ReadingColumns, columns),
             rows);
}

// A value derived from an extreme one that overflows is left empty, never written "inf": here a
// reading of 3e38 g/210 L of breath at 4000:1, which is above the largest float in g/100 ml.
void TestStudyTables::overflowIsNoNumber()
{
    RecordReading reading = RecordReader::read(ReferenceFiles::bytes("v2-breath.csv"), "b.csv");
    QVERIFY(reading.record);
    reading.record->setup.input.level = {LevelUnit::GramsPer210Litres, 4000};
    reading.record->entries[7].values.level = 3e38f; // entry 9
    const StudyRecord record = studyRecord(QStringLiteral("b.csv"), reading);
    QCOMPARE(
        selected(::readingCells(record), ReadingColumns, {"entry", "level", "level_bal"}).value(1),
        QStringLiteral("9|3e+38|"));
    QCOMPARE(
        selected({::sessionCells(record)}, SessionColumns, {"observed_peak", "peak_vs_target"}),
        QStringList{"3e+38|"});
}

// The achievement of sessions as sessionOf reads them, or as a reference record gives one
// ("record:" and the record as ReferenceFiles names it): every row, its cells joined by ",".
void TestStudyTables::achievement_data()
{
    QTest::addColumn<QStringList>("sessions");
    QTest::addColumn<QStringList>("rows");

    // Only a record that is ok counts: v2-alcohol.csv under Arm A with its booster, v2-breath.csv
    // with its peak of 0.3 mg/L at 2000:1 in g/100 ml, v2-placebo.csv released at 70 minutes.
    QTest::newRow("the reference records")
        << QStringList{"record:v2-alcohol.csv", "record:v2-breath.csv", "record:v2-placebo.csv",
                       "record:v1-alcohol.csv", "record:cut:v2-alcohol.csv"}
        << QStringList{",alcohol,m,1,0.08,0.0600,,0.06,0.06,0.7500,0.0000,0.0000,,0,0",
                       ",placebo,m,1,0.08,0.0040,,0.004,0.004,,,,70,0,0",
                       "Arm A,alcohol,m,1,0.08,0.0600,,0.06,0.06,0.7500,0.0000,0.0000,,1,1",
                       "all,alcohol,all,2,0.08,0.0600,0.0000,0.06,0.06,0.7500,0.0000,0.0000,,1,1",
                       "all,placebo,all,1,0.08,0.0040,,0.004,0.004,,,,70,0,0"};
    // Boosted from 0.07 to 0.08: the dose reached 0.07 / 0.08 = 0.875 of its target, outside
    // 10 % of it, whatever the booster added.
    QTest::newRow("a boosted session is judged by its peak before the booster")
        << QStringList{"record:boosted:v2-alcohol.csv"}
        << QStringList{"Arm A,alcohol,m,1,0.08,0.0700,,0.07,0.07,0.8750,0.0000,1.0000,,1,1",
                       "all,alcohol,all,1,0.08,0.0700,,0.07,0.07,0.8750,0.0000,1.0000,,1,1",
                       "all,placebo,all,0,,,,,,,,,,0,0"};

    QTest::newRow("no sessions") << QStringList()
                                 << QStringList{"all,alcohol,all,0,,,,,,,,,,0,0",
                                                "all,placebo,all,0,,,,,,,,,,0,0"};
    QTest::newRow("groups by protocol, beverage and gender in that order, then all")
        << QStringList{"B|alcohol|m|0.08|-|-|-|-", "A|placebo|f|0.08|-|-|-|-",
                       "A|alcohol|m|0.08|-|-|-|-", "A|alcohol|f|0.08|-|-|-|-",
                       "A|alcohol|m|0.08|-|-|-|-", "|alcohol|m|0.08|-|-|-|-"}
        << QStringList{",alcohol,m,1,0.08,,,,,,,,,0,0",     "A,alcohol,f,1,0.08,,,,,,,,,0,0",
                       "A,alcohol,m,2,0.08,,,,,,,,,0,0",    "A,placebo,f,1,0.08,,,,,,,,,0,0",
                       "B,alcohol,m,1,0.08,,,,,,,,,0,0",    "all,alcohol,all,5,0.08,,,,,,,,,0,0",
                       "all,placebo,all,1,0.08,,,,,,,,,0,0"};
    QTest::newRow("targets that differ are mixed")
        << QStringList{"A|alcohol|m|0.08|-|-|-|-", "A|alcohol|m|0.06|-|-|-|-",
                       "A|alcohol|f|0.06|-|-|-|-"}
        << QStringList{"A,alcohol,f,1,0.06,,,,,,,,,0,0", "A,alcohol,m,2,mixed,,,,,,,,,0,0",
                       "all,alcohol,all,3,mixed,,,,,,,,,0,0", "all,placebo,all,0,,,,,,,,,,0,0"};
    // Sample standard deviation: 0.06, 0.08 and 0.1 lie 0.02 apart.
    QTest::newRow("peaks: mean, standard deviation, lowest and highest")
        << QStringList{"A|alcohol|m|0.08|0.06|-|-|-", "A|alcohol|m|0.08|0.1|-|-|-",
                       "A|alcohol|m|0.08|0.08|-|-|-"}
        << QStringList{"A,alcohol,m,3,0.08,0.0800,0.0200,0.06,0.1,,,,,0,0",
                       "all,alcohol,all,3,0.08,0.0800,0.0200,0.06,0.1,,,,,0,0",
                       "all,placebo,all,0,,,,,,,,,,0,0"};
    QTest::newRow("one peak has no standard deviation; a session without one counts only itself")
        << QStringList{"A|alcohol|m|0.08|0.07|-|-|-", "A|alcohol|m|0.08|-|-|-|-"}
        << QStringList{"A,alcohol,m,2,0.08,0.0700,,0.07,0.07,,,,,0,0",
                       "all,alcohol,all,2,0.08,0.0700,,0.07,0.07,,,,,0,0",
                       "all,placebo,all,0,,,,,,,,,,0,0"};
    // Within 10 %: 0.9 and 1.1 themselves; within 20 %: also the float just below 0.9, and 1.2.
    // Their mean is 4.89 / 5.
    QTest::newRow("shares within 10 and 20 % of the target, their edges included")
        << QStringList{"A|alcohol|m|0.08|-|0.9|-|-", "A|alcohol|m|0.08|-|1.1|-|-",
                       "A|alcohol|m|0.08|-|0.8999999|-|-", "A|alcohol|m|0.08|-|1.2|-|-",
                       "A|alcohol|m|0.08|-|0.79|-|-"}
        << QStringList{"A,alcohol,m,5,0.08,,,,,0.9780,0.4000,0.8000,,0,0",
                       "all,alcohol,all,5,0.08,,,,,0.9780,0.4000,0.8000,,0,0",
                       "all,placebo,all,0,,,,,,,,,,0,0"};
    // The placebo sessions' peaks are not pooled with the alcohol sessions' in a row for all.
    QTest::newRow("a placebo group: peaks as measured, no ratio to the target")
        << QStringList{"A|placebo|f|0.08|0.004|-|60|-", "A|placebo|f|0.08|0.006|-|80|-",
                       "A|alcohol|f|0.08|0.08|1|-|-"}
        << QStringList{"A,alcohol,f,1,0.08,0.0800,,0.08,0.08,1.0000,1.0000,1.0000,,0,0",
                       "A,placebo,f,2,0.08,0.0050,0.0014,0.004,0.006,,,,70,0,0",
                       "all,alcohol,all,1,0.08,0.0800,,0.08,0.08,1.0000,1.0000,1.0000,,0,0",
                       "all,placebo,all,2,0.08,0.0050,0.0014,0.004,0.006,,,,70,0,0"};
    QTest::newRow("median minute of release: odd, even, and the middle of two minutes")
        << QStringList{"A|alcohol|m|0.08|-|-|400|-", "A|alcohol|m|0.08|-|-|300|-",
                       "A|alcohol|m|0.08|-|-|320|-", "B|alcohol|m|0.08|-|-|300|-",
                       "B|alcohol|m|0.08|-|-|301|-", "B|alcohol|m|0.08|-|-|-|-"}
        << QStringList{"A,alcohol,m,3,0.08,,,,,,,,320,0,0", "B,alcohol,m,3,0.08,,,,,,,,300.5,0,0",
                       "all,alcohol,all,6,0.08,,,,,,,,301,0,0", "all,placebo,all,0,,,,,,,,,,0,0"};
    QTest::newRow("boosted sessions")
        << QStringList{"A|alcohol|m|0.08|-|-|-|booster", "A|alcohol|m|0.08|-|-|-|-",
                       "A|alcohol|f|0.08|-|-|-|booster"}
        << QStringList{"A,alcohol,f,1,0.08,,,,,,,,,1,1", "A,alcohol,m,2,0.08,,,,,,,,,1,1",
                       "all,alcohol,all,3,0.08,,,,,,,,,2,2", "all,placebo,all,0,,,,,,,,,,0,0"};
}

void TestStudyTables::achievement()
{
    QFETCH(QStringList, sessions);
    QFETCH(QStringList, rows);
    AchievementTable table;
    for (const QString &session : sessions) {
        if (!session.startsWith(QLatin1String("record:")))
            table.add(sessionOf(session));
        else if (const auto given = achievementSession(referenceRecord(session.mid(7))))
            table.add(*given);
    }
    QStringList actual;
    for (const QList<QByteArray> &row : table.rows()) {
        QCOMPARE(row.size(), qsizetype(AchievementColumns.size()));
        actual << QString::fromUtf8(QByteArrayList(row).join(','));
    }
    QCOMPARE(actual, rows);
}

// The groups as a picture of the study takes them: in the rows' order, each with its sessions and
// how many are within 10 % and within 20 % of their target, counted as the rows count them.
void TestStudyTables::achievementGroups_data()
{
    QTest::addColumn<QStringList>("sessions");
    QTest::addColumn<QStringList>("groups"); // protocol|beverage|gender|sessions|within 10|20 %

    QTest::newRow("no sessions") << QStringList() << QStringList();
    QTest::newRow("in the rows' order, a placebo apart")
        << QStringList{"B|alcohol|m|0.08|-|1|-|-", "A|placebo|f|0.08|0.004|-|-|-",
                       "|alcohol|m|0.08|-|0.85|-|-", "A|alcohol|m|0.08|-|1.3|-|-"}
        << QStringList{"|alcohol|m|1|0|1", "A|alcohol|m|1|0|0", "A|placebo|f|1|0|0",
                       "B|alcohol|m|1|1|1"};
    QTest::newRow("the shares' edges included; a session without a ratio counted only")
        << QStringList{"A|alcohol|f|0.08|-|0.9|-|-", "A|alcohol|f|0.08|-|1.2|-|-",
                       "A|alcohol|f|0.08|-|0.79|-|-", "A|alcohol|f|0.08|-|0.8|-|booster",
                       "A|alcohol|f|0.08|0.07|-|-|-"}
        << QStringList{"A|alcohol|f|5|1|3"};
}

void TestStudyTables::achievementGroups()
{
    QFETCH(QStringList, sessions);
    QFETCH(QStringList, groups);
    AchievementTable table;
    for (const QString &session : sessions)
        table.add(sessionOf(session));
    QStringList actual;
    for (const AchievementGroup &group : table.groups())
        actual << QStringLiteral("%1|%2|%3|%4|%5|%6")
                      .arg(group.protocol, group.placebo ? "placebo" : "alcohol",
                           QString::fromLatin1(group.gender))
                      .arg(group.sessions)
                      .arg(group.withinCount(AchievementColumn::Within10Percent))
                      .arg(group.withinCount(AchievementColumn::Within20Percent));
    QCOMPARE(actual, groups);
}

// What a table leaves out, and why, one warning per reason: the records it does not count (each
// here named by its source, as ReferenceFiles reads it) and the paths skipped ("why:path").
// `counted` is how many sessions the achievement's rows for all count; -1 for the other tables.
void TestStudyTables::leftOut_data()
{
    QTest::addColumn<StudyTableKind>("kind");
    QTest::addColumn<bool>("includeUnverified");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QStringList>("warnings");

    const QStringList notOk{"v2-alcohol.csv",        "v1-alcohol.csv",     "v1-placebo.csv",
                            "older:v1-alcohol.csv",  "cut:v2-alcohol.csv", "changed:v2-alcohol.csv",
                            "garbage:v2-alcohol.csv"};
    QTest::newRow("the achievement: each status not counted, in the order of the statuses")
        << StudyTableKind::Achievement << false << notOk << QStringList() << 1
        << QStringList{"WARNING: 2 records not counted: unverified (version 1): v1-alcohol.csv, "
                       "v1-placebo.csv",
                       "WARNING: 1 record not counted: dose differs: older:v1-alcohol.csv",
                       "WARNING: 1 record not counted: cut: cut:v2-alcohol.csv",
                       "WARNING: 1 record not counted: changed: changed:v2-alcohol.csv",
                       "WARNING: 1 record not counted: unreadable: garbage:v2-alcohol.csv"};
    QTest::newRow("the achievement counting version-1 records")
        << StudyTableKind::Achievement << true
        << QStringList{"v1-alcohol.csv", "v2-alcohol.csv", "v1-placebo.csv"} << QStringList() << 3
        << QStringList();
    QTest::newRow("the sessions: every record has its row")
        << StudyTableKind::Sessions << false << notOk << QStringList() << -1 << QStringList();
    QTest::newRow("the readings: a record that cannot be read has none")
        << StudyTableKind::Readings << false << notOk << QStringList() << -1
        << QStringList{"WARNING: 1 record not counted: unreadable: garbage:v2-alcohol.csv"};
    QTest::newRow("paths not read, each reason once, then the names of a file tabled before")
        << StudyTableKind::Sessions << false << QStringList()
        << QStringList{"too long:deep",           "same:x.csv",
                       "not regular:p.csv",       "not listed:locked",
                       "not utf-8:caf\ufffd.csv", "not regular:q.csv"}
        << -1
        << QStringList{
               "WARNING: 1 path not read: a folder that cannot be listed: locked",
               "WARNING: 2 paths not read: not a regular file: p.csv, q.csv",
               "WARNING: 1 path not read: a name that is not UTF-8: caf\ufffd.csv",
               "WARNING: 1 path not read: a path too long to open: deep",
               "WARNING: 1 path not tabled again: the same file as a record tabled before: x.csv"};
}

void TestStudyTables::leftOut()
{
    QFETCH(StudyTableKind, kind);
    QFETCH(bool, includeUnverified);
    QFETCH(QStringList, records);
    QFETCH(QStringList, skipped);
    QFETCH(int, counted);
    QFETCH(QStringList, warnings);
    const std::map<QString, StudyFiles::Skip> skips{
        {"not listed", StudyFiles::Skip::FolderNotListed},
        {"not regular", StudyFiles::Skip::NotARegularFile},
        {"not utf-8", StudyFiles::Skip::NameNotUtf8},
        {"too long", StudyFiles::Skip::PathTooLong},
        {"same", StudyFiles::Skip::SameFile}};
    StudyTable table(kind, {.includeUnverified = includeUnverified});
    for (const QString &source : records)
        table.add(studyRecord(source, RecordReader::read(ReferenceFiles::bytes(source), source)));
    for (const QString &skip : skipped)
        table.skip(skips.at(skip.section(':', 0, 0)), skip.section(':', 1));
    QCOMPARE(table.leftOut().warnings(), warnings);
    if (counted >= 0) {
        const QList<CsvRow> rows = readCsvRows(table.finish()).rows;
        QVERIFY(rows.size() >= 2);
        QCOMPARE(rows[rows.size() - 2].cells.value(3).toInt() + rows.last().cells.value(3).toInt(),
                 counted);
    }
}

// The Study Summary's count line: how many records of each status ("ok:10|unreadable:1").
void TestStudyTables::countLine_data()
{
    QTest::addColumn<QString>("statuses");
    QTest::addColumn<bool>("includeUnverified");
    QTest::addColumn<QString>("line");

    QTest::newRow("counted, not counted and unreadable")
        << "ok:10|unverified:1|unreadable:1" << false
        << "12 records: 10 counted, 1 unverified not counted, 1 unreadable";
    QTest::newRow("version-1 records counted")
        << "ok:10|unverified:1|unreadable:1" << true << "12 records: 11 counted, 1 unreadable";
    QTest::newRow("none counted, the statuses in their order")
        << "changed:2|cut:1|dose differs:1" << false
        << "4 records: 0 counted, 1 dose differs not counted, 1 cut not counted, 2 changed not "
           "counted";
    QTest::newRow("one record") << "ok:1" << false << "1 record: 1 counted";
    QTest::newRow("no record") << "" << false << "0 records";
}

void TestStudyTables::countLine()
{
    QFETCH(QString, statuses);
    QFETCH(bool, includeUnverified);
    QFETCH(QString, line);
    std::map<RecordStatus, qint64> counts;
    for (const QString &part : statuses.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        for (RecordStatus status :
             {RecordStatus::Ok, RecordStatus::Unverified, RecordStatus::DoseDiffers,
              RecordStatus::Cut, RecordStatus::Changed, RecordStatus::Unreadable}) {
            if (part.section(':', 0, 0).toStdString() == recordStatusWord(status))
                counts[status] = part.section(':', 1).toLongLong();
        }
    }
    QCOMPARE(qsizetype(counts.size()), statuses.count(QLatin1Char(':')));
    QCOMPARE(studyCountLine(counts, {.includeUnverified = includeUnverified}), line);
}

// A table as text: the header row of its columns as docs/study.md lists them (one per line of
// the table under its heading), then the rows each record gives at once, then those given at the
// end; every row as csvRow writes it.
void TestStudyTables::tableText_data()
{
    QTest::addColumn<StudyTableKind>("kind");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QList<int>>("rowsAtOnce"); // for v2-alcohol.csv, then v2-placebo.csv
    QTest::addColumn<int>("rowsAtTheEnd");

    QTest::newRow("sessions") << StudyTableKind::Sessions << namesOf(SessionColumns)
                              << "## The sessions table" << QList<int>{1, 1} << 0;
    QTest::newRow("readings") << StudyTableKind::Readings << namesOf(ReadingColumns)
                              << "## The readings table" << QList<int>{5, 2} << 0;
    QTest::newRow("achievement: two groups, all alcohol and all placebo")
        << StudyTableKind::Achievement << namesOf(AchievementColumns) << "## The achievement table"
        << QList<int>{0, 0} << 4;
}

void TestStudyTables::tableText()
{
    QFETCH(StudyTableKind, kind);
    QFETCH(QStringList, columns);
    QFETCH(QString, heading);
    QFETCH(QList<int>, rowsAtOnce);
    QFETCH(int, rowsAtTheEnd);
    const QString docs =
        QString::fromUtf8(ReferenceFiles::contentOf(QStringLiteral(POURWISE_STUDY_DOCS)));
    QStringList documented;
    for (const QString &line :
         docs.section(heading, 1).section(QStringLiteral("\n## "), 0, 0).split('\n')) {
        if (line.startsWith(QLatin1String("| `")))
            documented << line.section(QLatin1Char('`'), 1, 1);
    }
    QCOMPARE(documented, columns);

    StudyTable table(kind);
    QCOMPARE(table.header(), columns.join(QLatin1Char(',')).toUtf8() + "\r\n");
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
        QCOMPARE(row.cells.size(), qsizetype(columns.size()));
}

// The cells a spreadsheet would take for a formula, which --spreadsheet-safe puts "'" before, as
// it does in a roster.
void TestStudyTables::formulaCells_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<bool>("formula");

    QTest::newRow("a command") << QByteArray("=cmd|' /C calc'!A0") << true;
    QTest::newRow("a sum") << QByteArray("@SUM(A1:A9)") << true;
    QTest::newRow("plus") << QByteArray("+1") << true;
    QTest::newRow("a negative minute") << QByteArray("-5") << false;
    QTest::newRow("a negative difference") << QByteArray("-0.0123") << false;
    QTest::newRow("minus and a word") << QByteArray("-x") << true;
    QTest::newRow("a tab first") << QByteArray("\tA") << true;
    QTest::newRow("a carriage return first") << QByteArray("\rA") << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("an equals sign inside") << QByteArray("a=b") << false;
}

void TestStudyTables::formulaCells()
{
    QFETCH(QByteArray, cell);
    QFETCH(bool, formula);
    QCOMPARE(readAsFormula(std::string_view(cell.constData(), std::size_t(cell.size()))), formula);
    QCOMPARE(spreadsheetSafe({cell, "0.06"}),
             (QList<QByteArray>{formula ? "'" + cell : cell, "0.06"}));
}

void TestStudyTables::spreadsheetSafeTable_data()
{
    QTest::addColumn<StudyTableKind>("kind");
    QTest::newRow("sessions") << StudyTableKind::Sessions;
    QTest::newRow("readings") << StudyTableKind::Readings;
    QTest::newRow("achievement") << StudyTableKind::Achievement;
}

// A protocol named as a formula reaches every table exactly as it is, unless the tables are made
// spreadsheet-safe: then that cell, and only it, is text to a spreadsheet.
void TestStudyTables::spreadsheetSafeTable()
{
    QFETCH(StudyTableKind, kind);
    const RecordReading reference =
        RecordReader::read(ReferenceFiles::bytes("v2-alcohol.csv"), "P-017.csv");
    SessionRecord named = *reference.record;
    named.setup.protocolName = QStringLiteral("=cmd|' /C calc'!A0");
    named.setup.protocolSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const StudyRecord record =
        studyRecord("P-017.csv", RecordReader::read(RecordWriter::text(named), "P-017.csv"));

    StudyTable exact(kind);
    StudyTable safe(kind, {}, StudyCellGuard::SpreadsheetSafe);
    QByteArray exactRows = exact.add(record);
    exactRows += exact.finish();
    QByteArray safeRows = safe.add(record);
    safeRows += safe.finish();
    QCOMPARE(safe.header(), exact.header());
    QVERIFY2(exactRows.contains("=cmd|' /C calc'!A0,"), exactRows.constData());
    QVERIFY(!exactRows.contains("'=cmd"));
    QCOMPARE(safeRows, QByteArray(exactRows).replace("=cmd|", "'=cmd|"));
    if (kind == StudyTableKind::Readings)
        QVERIFY(safeRows.contains(",-5,")); // the baseline's minute, a number still
}

QTEST_GUILESS_MAIN(TestStudyTables)
#include "tst_studytables.moc"
