#include "calc/RecordReader.h"
#include "calc/RecordWriter.h"

#include <QTemporaryDir>
#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(SessionRecord)

namespace {

// The worked example's session as the window would save it: three portions, two served.
SessionRecord workedSession()
{
    SessionRecord record;
    record.sessionCode = QStringLiteral("P-017");
    record.programVersion = QStringLiteral("1.4.0");
    record.startDate = QDate(2026, 12, 8);
    record.startTime = QTime(14, 5);
    DosingState &s = record.input.state;
    s = {70, 160, 25, Gender::Male, 0.08f, 40, 200, 6};
    const DoseReport report = evaluateDose(record.input, {record.plan, std::nullopt});
    record.alcoholMl = report.dose.state.AlcDose;
    record.mixerMl = report.dose.state.MixDose;
    record.totalMl = report.dose.state.TotDose;
    for (const ServedPortion &portion : report.plan->portions)
        record.portions.append({portion, std::nullopt});
    record.portions[0].servedAtMinute = 0;
    record.portions[1].servedAtMinute = 15;
    record.readings = {{-5, 0}, {70, 0.06f}, {85, 0.057f}, {100, 0.054f}};
    return record;
}

} // namespace

class TestRecordFile : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
};

void TestRecordFile::roundTrip_data()
{
    QTest::addColumn<SessionRecord>("record");

    const SessionRecord worked = workedSession();
    QTest::newRow("worked example") << worked;

    SessionRecord bare = worked;
    bare.startDate = {};
    bare.startTime = {};
    bare.readings.clear();
    for (RecordedPortion &portion : bare.portions)
        portion.servedAtMinute.reset();
    QTest::newRow("no clock time, nothing served or read") << bare;

    SessionRecord breath = worked;
    breath.input.units = BodyUnits::CentimetresKilograms;
    breath.input.state.Height = 0;
    breath.input.state.Weight = 0;
    breath.input.bodyInCm = {177.8004f, 72.57552f};
    breath.input.level = {LevelUnit::MicrogramsPer100Ml, 2300};
    breath.input.typedTarget = 38.1f;
    breath.readings = {{60, 28.5f}, {75, 27.25f}, {90, 26.125f}};
    QTest::newRow("metric, breath in \u00b5g/100 ml at 2300:1, a typed target") << breath;

    SessionRecord placebo = worked;
    placebo.placebo = true;
    placebo.floatMl = 5;
    for (RecordedPortion &portion : placebo.portions) {
        portion.portion.alcoholMl = 5;
        portion.portion.mixerMl = portion.portion.totalMl - 5;
    }
    QTest::newRow("placebo with a float") << placebo;

    SessionRecord boosted = worked;
    boosted.booster = RecordedBooster{0.08f - 0.054f, 10, 25, 150, 175, 112};
    QTest::newRow("booster served") << boosted;

    // Floats that need every digit, or an exponent, and a version a CSV cell must quote.
    SessionRecord exact = worked;
    exact.programVersion = QStringLiteral("2.0 \"beta, \u00e9t\u00e9\"");
    exact.input.state.Age = 1.0f / 3.0f;
    exact.input.state.Ratio = std::numeric_limits<float>::denorm_min();
    exact.input.state.Proof = -0.0f;
    exact.input.state.Gender = -1;
    exact.readings = {{-30, 1e-30f}, {0, 0.1f + 0.2f}, {12, 3.4028235e38f}};
    QTest::newRow("exact floats, a quoted version") << exact;
}

void TestRecordFile::roundTrip()
{
    QFETCH(SessionRecord, record);
    const QByteArray text = RecordWriter::text(record);
    const RecordReader::Result read = RecordReader::read(text);
    QVERIFY2(read.record, qPrintable(read.errorText));
    QVERIFY(*read.record == record);
    QCOMPARE(RecordWriter::text(*read.record), text);

    // Saved and opened again, as the window does.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("P-017-2026-12-08.csv"));
    QString error;
    QVERIFY2(RecordWriter::save(path, record, error), qPrintable(error));
    const RecordReader::Result opened = RecordReader::open(path);
    QVERIFY2(opened.record, qPrintable(opened.errorText));
    QVERIFY(*opened.record == record);
}

void TestRecordFile::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("mentions");

    const QByteArray good = RecordWriter::text(workedSession());
    const QList<QByteArray> lines = good.split('\n');
    // The good file with line `number` (from 1) replaced.
    const auto with = [&lines](int number, const QByteArray &line) {
        QList<QByteArray> changed = lines;
        changed[number - 1] = line;
        return changed.join('\n');
    };
    const QByteArray plan = lines[1];
    const QByteArray reading = lines[6];

    QTest::newRow("empty") << QByteArray() << 1 << "header";
    QTest::newRow("another header") << with(1, "event,number\r") << 1 << "header";
    QTest::newRow("no plan") << lines[0] + '\n' << 2 << "plan";
    QTest::newRow("a cell short") << with(3, lines[2].left(lines[2].lastIndexOf(',')) + '\r') << 3
                                  << "cells";
    QTest::newRow("unknown event") << with(4, "x" + lines[3]) << 4 << "xportion";
    QTest::newRow("session code with a blank")
        << with(2, QByteArray(plan).replace("P-017", "P 017")) << 2 << "session_code";
    QTest::newRow("level not a number")
        << with(7, QByteArray(reading).replace(",0.06,", ",0,06,")) << 7 << "cells";
    QTest::newRow("level with a decimal comma, quoted")
        << with(7, QByteArray(reading).replace(",0.06,", ",\"0,06\",")) << 7 << "level";
    QTest::newRow("reading earlier than the one before")
        << with(8, QByteArray(lines[7]).replace(",85,", ",60,")) << 8 << "earlier";
    QTest::newRow("a cell its event has no use for")
        << with(7,
                QByteArray(reading).replace(",,,,,,,,,,,,,,,,,,,,,,,", ",,,,,,,,,,,,,,,,,,,,,,1,"))
        << 7 << "reading row has no";
    QTest::newRow("unknown unit") << with(2, QByteArray(plan).replace("g/100ml", "g/dl")) << 2
                                  << "level_unit";
    QTest::newRow("unclosed quote") << with(5, "\"portion" + lines[4]) << 5 << "quoted";
    QTest::newRow("a portion missing") << with(5, "").replace("\n\n", "\n") << 8 << "portions";
    QTest::newRow("portion after the readings") << good + lines[2] + '\n' << 10 << "order";
    QTest::newRow("half a minute")
        << with(3, QByteArray(lines[2]).replace(",0,", ",0.5,")) << 3 << "at_min";
}

void TestRecordFile::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, mentions);
    const RecordReader::Result read = RecordReader::read(file);
    QVERIFY(!read.record);
    QVERIFY2(read.errorText.startsWith(QStringLiteral("ERROR: ")), qPrintable(read.errorText));
    QVERIFY2(read.errorText.contains(QStringLiteral("line %1:").arg(line)),
             qPrintable(read.errorText));
    QVERIFY2(read.errorText.contains(mentions), qPrintable(read.errorText));
}

QTEST_APPLESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
