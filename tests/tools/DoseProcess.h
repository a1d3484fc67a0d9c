#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <unistd.h>

// Runs the built pourwise-dose (its path comes from the build) and collects what it says.
struct DoseRun {
    int exitCode = -1; // -1 when it did not start or did not end normally
    QByteArray output;
    QByteArray errors;
};

// Where the program's standard output goes: to the test, to a disk that is always full, or
// nowhere, with the descriptor closed before the program starts.
enum class DoseOutput { Read, FullDisk, Closed };

inline DoseRun runDose(const QStringList &arguments, const QByteArray &input = {},
                       const QStringList &extraEnvironment = {},
                       DoseOutput outputTo = DoseOutput::Read)
{
    QProcess process;
    if (!extraEnvironment.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() + extraEnvironment);
    if (outputTo == DoseOutput::FullDisk)
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    else if (outputTo == DoseOutput::Closed)
        process.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    process.start(QStringLiteral(POURWISE_DOSE_PATH), arguments);
    DoseRun run;
    if (!process.waitForStarted())
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}
