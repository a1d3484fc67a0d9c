// Makes session records of the given numbers of readings (10k, 100k and 1M unless told) in both
// versions of the file, and for each measures, in a run of its own so that the peak resident
// memory (VmHWM) is that step's: reading the file as a record (in parts, as RecordFile::open reads
// it), evaluating the session (evaluateSession), writing its text (RecordWriter) and saving it over
// itself (RecordFile::save, the verified save, which reads the new file back as a record).
// Not a test: run it by hand with   ninja run-record-bench   or   bench/pourwise-record-bench
// [N...] One step alone:   pourwise-record-bench --make READINGS VERSION FILE, then
//                   pourwise-record-bench --step read|evaluate|write|save FILE

#include "calc/dose/DoseEvaluation.h"
#include "calc/record/RecordColumns.h"
#include "calc/record/RecordCsv.h"
#include "calc/record/RecordFile.h"
#include "calc/record/RecordWriter.h"
#include "calc/session/Session.h"
#include "calc/session/SessionReport.h"
#include "calc/study/StudyRecord.h"

#include "bench/MeasuredRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

constexpr qint64 PartBytes = qint64(1) << 20; // as RecordFile::open reads a file

// The worked example's session, its portions served as planned, then `readings` readings, one a
// minute from 10 minutes after the start, falling slowly. Version 2 also holds a correction of
// every 50th reading and a void of every 200th, each entered a minute after it.
SessionRecord makeRecord(int readings, int version)
{
    SessionRecord record;
    record.version = version;
    SessionSetup &setup = record.setup;
    setup.sessionCode = QStringLiteral("B-001");
    setup.programVersion = QStringLiteral("2.1.0");
    setup.start = QDateTime(QDate(2026, 12, 8), QTime(14, 5));
    DosingState &s = setup.input.state;
    s.Gender = Gender::Male;
    s.Height = 70;
    s.Weight = 160;
    s.Age = 25;
    s.BAL = 0.08f;
    s.DD = 40;
    s.Proof = 80;
    s.Ratio = 3;
    setup.plan = {3, 0.02f};
    const DoseReport dose = evaluateDose(setup.input, {setup.plan, std::nullopt});
    setup.alcoholMl = dose.dose.state.AlcDose;
    setup.mixerMl = dose.dose.state.MixDose;
    setup.totalMl = dose.dose.state.TotDose;
    const bool stamped = version == RecordVersion::Current;
    const QDateTime utcStart = setup.start.toUTC();
    const auto stamp = [&](SessionEntry &entry, int minute) {
        if (stamped) {
            entry.enteredAt = utcStart.addSecs(qint64(minute) * 60 + 30);
            entry.operatorInitials = QStringLiteral("JS");
        }
    };
    if (stamped) {
        setup.enteredAt = utcStart.addSecs(-600);
        setup.operatorInitials = QStringLiteral("JS");
    }
    record.entries.reserve(readings + readings / 40 + 8);
    int entry = 1;
    for (const ServedPortion &portion : dose.plan->portions) {
        SessionEntry poured = plannedPortionEntry(++entry, portion);
        if (!stamped)
            poured.values.servedAtMinute = portion.atMinute; // version 1 marks it in its own row
        stamp(poured, -10);
        record.entries << poured;
    }
    for (int i = 0; i < readings; ++i) {
        const int minute = 10 + i;
        SessionEntry reading;
        reading.entry = ++entry;
        reading.event = EntryEvent::Reading;
        reading.values.atMinute = minute;
        reading.values.level = float(std::max(0.0, 0.08 - 0.00001 * i));
        stamp(reading, minute);
        record.entries << reading;
        if (stamped && i % 50 == 49) {
            SessionEntry change;
            change.entry = ++entry;
            change.event = i % 200 == 199 ? EntryEvent::Void : EntryEvent::Correction;
            change.corrects = reading.entry;
            if (change.event == EntryEvent::Correction) {
                change.values = reading.values;
                *change.values.level += 0.001f;
            }
            change.reason = QStringLiteral("mistyped value");
            stamp(change, minute + 1);
            record.entries << change;
        }
    }
    return record;
}

// A version-1 file of `record`, its rows as version 2 writes them with the columns of version 1:
// no end row, the gender as 1 or 0, the readings numbered 1, 2, 3 ...
QByteArray firstVersionText(const SessionRecord &record)
{
    const QByteArray current = RecordWriter::text(record);
    const auto first = headerColumns(RecordVersion::First);
    QByteArray text;
    QList<QByteArray> cells;
    for (const auto &column : first) {
        if (column)
            cells << QByteArray(recordColumnName(*column).data(),
                                qsizetype(recordColumnName(*column).size()));
    }
    appendCsvRow(text, cells);
    CsvRowReader reader;
    qsizetype pos = current.indexOf('\n') + 1;
    qsizetype line = 2;
    int readings = 0;
    while (pos < current.size() &&
           reader.read(current, pos, line, true) == CsvRowReader::Step::Row) {
        const QList<QByteArrayView> &row = reader.cells();
        const QByteArrayView event = row[qsizetype(RecordColumn::Event)];
        if (event == "end")
            break;
        cells.clear();
        for (const auto &column : first) {
            if (!column)
                continue;
            QByteArray cell = row[qsizetype(*column)].toByteArray();
            if (*column == RecordColumn::Gender && !cell.isEmpty())
                cell = cell == "m" ? "1" : "0";
            else if (*column == RecordColumn::Number && event == "reading")
                cell = QByteArray::number(++readings);
            cells << cell;
        }
        appendCsvRow(text, cells);
        pos = reader.next();
        line = reader.nextLine();
    }
    return text;
}

// The record of the file at `path`, read in parts as RecordFile::open reads one; a file beyond
// RecordFile::LargestFile, which the program refuses, is read the same way.
RecordReading readRecord(const QString &path)
{
    if (QFileInfo(path).size() <= RecordFile::LargestFile)
        return RecordFile::open(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    qsizetype lines = 0;
    while (!file.atEnd())
        lines += file.read(PartBytes).count('\n');
    file.seek(0);
    RecordReader reader(path);
    reader.reserve(lines);
    while (!file.atEnd())
        reader.add(file.read(PartBytes));
    return reader.finish();
}

// The time of one step: on the clock, and on the processor (this process's own, which the other
// programs of a busy machine do not add to).
class StepTimer {
public:
    StepTimer() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu = std::clock();
    }
    QByteArray figures() const
    {
        return QByteArray::number(m_wall.nsecsElapsed() / 1e9, 'f', 3) + ' ' +
               QByteArray::number(double(std::clock() - m_cpu) / CLOCKS_PER_SEC, 'f', 3);
    }

private:
    QElapsedTimer m_wall;
    std::clock_t m_cpu = 0;
};

// The peak resident memory of this process since it started its program, in kilobytes: the
// high-water mark of its own memory, which a process started by vfork does not share with its
// parent, as the resource use wait4 reports does.
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// One step, run in a process of its own: prints its seconds on the clock and on the processor
// and its peak memory in kilobytes, or "-1 -1 0" when it failed.
int runStep(const QString &step, const QString &path)
{
    StepTimer timer;
    if (step == QLatin1String("nothing")) {
        std::printf("0 0 %ld\n", peakKilobytes());
        return 0;
    }
    const RecordReading reading = readRecord(path);
    if (!reading.record) {
        std::fprintf(stderr, "%s\n", qPrintable(reading.error));
        std::printf("-1 -1 0\n");
        return 1;
    }
    QByteArray figures = timer.figures();
    timer.restart();
    bool done = true;
    if (step == QLatin1String("evaluate")) {
        const SessionReport report = evaluateSession(*reading.record, studyMoment(*reading.record));
        figures = timer.figures();
        done = !report.readings.isEmpty();
    } else if (step == QLatin1String("write")) {
        const QByteArray text = RecordWriter::text(*reading.record);
        figures = timer.figures();
        done = !text.isEmpty();
    } else if (step == QLatin1String("save")) {
        const QString copy = path + QStringLiteral(".saved.csv");
        QString error = RecordFile::save(copy, *reading.record); // a new file first
        timer.restart();
        if (error.isEmpty())
            error = RecordFile::save(copy, *reading.record); // then over it, as every entry does
        figures = timer.figures();
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        done = error.isEmpty();
        QFile::remove(copy);
    }
    std::printf("%s %ld\n", done ? figures.constData() : "-1 -1", peakKilobytes());
    return done ? 0 : 1;
}

struct StepFigures {
    double seconds = -1; // on the clock
    double cpuSeconds = -1;
    double peakMb = 0;

    QByteArray text() const
    {
        return seconds < 0 ? QByteArray("failed")
                           : QByteArray::number(seconds, 'f', 2) + " (" +
                                 QByteArray::number(cpuSeconds, 'f', 2) + ")";
    }
};

StepFigures measureStep(const char *program, const char *step, const QString &path,
                        const QString &output)
{
    const RunFigures run =
        measuredRun({program, "--step", step, QFile::encodeName(path)}, QString(), output, false);
    StepFigures figures;
    QFile result(output);
    if (run.ran && run.exitCode == 0 && result.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> said = result.readAll().trimmed().split(' ');
        figures.seconds = said.value(0).toDouble();
        figures.cpuSeconds = said.value(1).toDouble();
        figures.peakMb = said.value(2).toDouble() / 1024.0;
    }
    return figures;
}

bool makeFile(const QString &path, const SessionRecord &record)
{
    QFile file(path);
    const QByteArray text = record.version == RecordVersion::Current ? RecordWriter::text(record)
                                                                     : firstVersionText(record);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size())
        return true;
    std::fprintf(stderr, "ERROR: cannot write %s\n", qPrintable(path));
    return false;
}

bool measure(const char *program, const QString &folder, int readings, int version, double emptyMb)
{
    const QString path = QStringLiteral("%1/v%2-%3.csv").arg(folder).arg(version).arg(readings);
    qsizetype entries = 0;
    {
        const SessionRecord record = makeRecord(readings, version);
        entries = record.entries.size() + 1;
        if (!makeFile(path, record))
            return false;
    }
    const double fileMb = QFileInfo(path).size() / 1048576.0;
    const QString output = folder + QStringLiteral("/step.txt");
    const StepFigures read = measureStep(program, "read", path, output);
    const StepFigures evaluate = measureStep(program, "evaluate", path, output);
    const StepFigures write = measureStep(program, "write", path, output);
    const StepFigures save = measureStep(program, "save", path, output);
    QFile::remove(path);
    std::printf("%9d  v%d  %8zu  %7.1f%s  %12s  %8.1f  %5.2f  %12s  %12s  %12s\n", readings,
                version, size_t(entries), fileMb,
                fileMb * 1048576 > RecordFile::LargestFile ? "*" : " ", read.text().constData(),
                read.peakMb, (read.peakMb - emptyMb) / fileMb, evaluate.text().constData(),
                write.text().constData(), save.text().constData());
    std::fflush(stdout);
    return read.seconds >= 0 && evaluate.seconds >= 0 && write.seconds >= 0 && save.seconds >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--step"))
        return runStep(arguments[2], arguments[3]);
    // The file of a step kept, to look at or to profile a step with.
    if (arguments.size() == 5 && arguments[1] == QLatin1String("--make"))
        return makeFile(arguments[4], makeRecord(arguments[2].toInt(), arguments[3].toInt())) ? 0
                                                                                              : 1;

    QList<int> sizes;
    for (const QString &argument : arguments.mid(1)) {
        bool ok = false;
        const int readings = argument.toInt(&ok);
        if (!ok || readings < 1) {
            std::fprintf(stderr, "usage: pourwise-record-bench [READINGS...]\n");
            return 2;
        }
        sizes << readings;
    }
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    const StepFigures empty = measureStep(program.constData(), "nothing", QString(),
                                          folder.filePath(QStringLiteral("step.txt")));
    std::printf("Each step in a run of its own; an empty run's peak is %.1f MB.\n"
                "read: the file read as a record, in parts; x file: the read's peak above an "
                "empty run's, over the file's size;\nevaluate: evaluateSession; write: "
                "RecordWriter::text; save: RecordFile::save over the file, read back as a "
                "record.\nSeconds on the clock (and on the processor, which a busy machine does "
                "not add to).\n* beyond the %lld MB a record's file may have: read by the same "
                "reader in parts, which RecordFile::open refuses.\n\n",
                empty.peakMb, RecordFile::LargestFile >> 20);
    std::printf(" readings  ver   entries  file MB            read   peak MB  x file"
                "      evaluate         write          save\n");
    bool allRan = true;
    for (const int readings : sizes) {
        for (const int version : {RecordVersion::First, RecordVersion::Current})
            allRan = measure(program.constData(), folder.path(), readings, version, empty.peakMb) &&
                     allRan;
    }
    return allRan ? 0 : 1;
}
