// Makes studies of the given numbers of session records (20 readings each) in a temporary folder,
// writes each of the three tables of pourwise-dose from it and reports records per second and
// the peak resident memory of the run.

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Placebo.h"
#include "calc/record/RecordWriter.h"
#include "calc/session/Session.h"

#include "bench/MeasuredRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int ReadingsPerRecord = 20;
constexpr int RecordsPerFolder = 500; // a study kept in folders of a few hundred records each

SessionEntry stamped(SessionEntry entry, const SessionSetup &setup, int minute)
{
    entry.enteredAt = setup.start.toUTC().addSecs(qint64(minute) * 60);
    entry.operatorInitials = setup.operatorInitials;
    return entry;
}

// A plausible session: its dose and portions as the model gives them, every portion served on
// time, a baseline and 19 readings every 15 minutes about the plan's course, one placebo in five,
// two protocols and a correction in one record in ten.
std::optional<SessionRecord> makeRecord(int number, std::mt19937 &random)
{
    std::uniform_real_distribution<float> height(60, 76), weight(120, 240), age(21, 60),
        noise(0.85f, 1.15f);
    SessionRecord record;
    SessionSetup &setup = record.setup;
    setup.sessionCode = QStringLiteral("S-%1").arg(number, 5, 10, QLatin1Char('0'));
    setup.programVersion = QStringLiteral("2.1.0");
    setup.operatorInitials = QStringLiteral("JS");
    setup.start =
        QDateTime(QDate(2026, 1, 5).addDays(number / 8), QTime(9, 0).addSecs((number % 8) * 3600));
    setup.enteredAt = setup.start.toUTC().addSecs(-600);
    DosingState &s = setup.input.state;
    s.Gender = number % 2 == 0 ? Gender::Male : Gender::Female;
    s.Height = std::round(height(random));
    s.Weight = std::round(weight(random));
    s.Age = std::round(age(random));
    s.BAL = number % 3 == 0 ? 0.06f : 0.08f;
    s.DD = 40;
    s.Proof = 80;
    s.Ratio = 3;
    setup.placebo = number % 5 == 0;
    setup.floatMl = setup.placebo ? 5 : 0;
    if (number % 2 == 0) {
        setup.protocolName = number % 4 == 0 ? QStringLiteral("Arm A") : QStringLiteral("Arm B");
        setup.protocolSha256 =
            QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    }
    const DoseReport dose = evaluateDose(setup.input, {setup.plan, std::nullopt});
    if (!dose.ok() || !dose.plan || !dose.plan->ok())
        return std::nullopt;
    setup.alcoholMl = dose.dose.state.AlcDose;
    setup.mixerMl = dose.dose.state.MixDose;
    setup.totalMl = dose.dose.state.TotDose;

    const SessionPlan &plan = *dose.plan;
    const QList<ServedPortion> portions =
        setup.placebo ? placeboPortions(plan, setup.floatMl) : plan.portions;
    int entry = 1;
    for (const ServedPortion &portion : portions) {
        SessionEntry poured = plannedPortionEntry(++entry, portion);
        record.entries << stamped(poured, setup, -10);
    }
    qsizetype nextPortion = 0;
    for (int i = 0; i < ReadingsPerRecord; ++i) {
        const int minute = i == 0 ? -5 : 10 + 15 * i;
        for (; nextPortion < portions.size() && portions[nextPortion].atMinute <= minute;
             ++nextPortion) {
            SessionEntry served;
            served.entry = ++entry;
            served.event = EntryEvent::Served;
            served.number = portions[nextPortion].number;
            served.values.servedAtMinute = portions[nextPortion].atMinute;
            record.entries << stamped(served, setup, portions[nextPortion].atMinute);
        }
        const double expected = setup.placebo || i == 0 ? 0.002 : plan.expectedBal(minute / 60.0);
        SessionEntry reading;
        reading.entry = ++entry;
        reading.event = EntryEvent::Reading;
        reading.values.atMinute = minute;
        reading.values.level = std::round(float(expected) * noise(random) * 1000) / 1000;
        record.entries << stamped(reading, setup, minute);
    }
    if (number % 10 == 0) {
        SessionEntry correction;
        correction.entry = ++entry;
        correction.event = EntryEvent::Correction;
        correction.corrects = entry - 1;
        correction.values = record.entries.constLast().values;
        *correction.values.level += 0.001f;
        correction.reason = QStringLiteral("mistyped value");
        record.entries << stamped(correction, setup, 10 + 15 * ReadingsPerRecord);
    }
    return record;
}

bool makeStudy(const QString &folder, int records)
{
    std::mt19937 random(20261208);
    for (int number = 1; number <= records; ++number) {
        const std::optional<SessionRecord> record = makeRecord(number, random);
        const QString subfolder = QStringLiteral("%1/part-%2")
                                      .arg(folder)
                                      .arg(number / RecordsPerFolder, 3, 10, QLatin1Char('0'));
        QFile file(QStringLiteral("%1/%2.csv").arg(subfolder, QString::number(number)));
        if (!record || !QDir().mkpath(subfolder) || !file.open(QIODevice::WriteOnly) ||
            file.write(RecordWriter::text(*record)) < 0)
            return false;
    }
    return true;
}

// Writes the table of pourwise-dose OPTION FOLDER into the result.
RunFigures runDose(const char *option, const QString &folder, const QString &result)
{
    return measuredRun({POURWISE_DOSE_PATH, option, QFile::encodeName(folder)}, QString(), result,
                       false);
}

struct TableFigures {
    qint64 rows = -1;           // after the header
    QList<QByteArray> lastRows; // the achievement's rows for all alcohol and all placebo sessions
};

TableFigures tableOf(const QString &path)
{
    TableFigures table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    while (!file.atEnd())
        table.rows += file.read(1 << 20).count('\n');
    file.seek(std::max<qint64>(0, file.size() - 4096));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    table.lastRows = lines.mid(std::max<qsizetype>(0, lines.size() - 2));
    return table;
}

bool measure(const QString &root, int records)
{
    const QString folder = QStringLiteral("%1/study-%2").arg(root).arg(records);
    QElapsedTimer making;
    making.start();
    if (!makeStudy(folder, records)) {
        std::fprintf(stderr, "ERROR: cannot make the study in %s\n", qPrintable(folder));
        return false;
    }
    std::printf("%d records of %d readings made in %.1f s\n", records, ReadingsPerRecord,
                making.nsecsElapsed() / 1e9);
    const QString result = root + QStringLiteral("/table.csv");
    for (const char *option : {"--sessions", "--readings", "--achievement"}) {
        const RunFigures figures = runDose(option, folder, result);
        const TableFigures table = tableOf(result);
        QFile::remove(result);
        if (!figures.ran) {
            std::fprintf(stderr, "ERROR: %s did not run to its end\n", POURWISE_DOSE_PATH);
            return false;
        }
        std::printf("  %-14s %7d records  %6.2f s  %8.0f records/s  %8lld rows  peak RSS "
                    "%5.1f MB  exit %d\n",
                    option, records, figures.seconds, records / figures.seconds, table.rows,
                    figures.peakKilobytes / 1024.0, figures.exitCode);
        // Every record made is ok, so the achievement's rows for all count them all.
        qint64 counted = 0;
        for (const QByteArray &row : table.lastRows)
            counted += row.split(',').value(3).toLongLong();
        if (QByteArray(option) == "--achievement" && counted != records) {
            std::fprintf(stderr, "ERROR: the achievement counts %lld, not every record\n", counted);
            return false;
        }
    }
    QDir(folder).removeRecursively();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList sizes = QCoreApplication::arguments().mid(1);
    if (sizes.isEmpty())
        sizes << QStringLiteral("10000");
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "ERROR: cannot create a temporary folder\n");
        return 2;
    }
    std::printf("pourwise-dose --sessions | --readings | --achievement FOLDER, table to a file\n");
    for (const QString &size : sizes) {
        bool ok = false;
        const int records = size.toInt(&ok);
        if (!ok || records < 1) {
            std::fprintf(stderr, "ERROR: \"%s\" is not a number of records\n", qPrintable(size));
            return 2;
        }
        if (!measure(folder.path(), records))
            return 2;
    }
    return 0;
}
