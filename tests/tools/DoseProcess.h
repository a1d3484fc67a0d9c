#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// Runs the built pourwise-dose (its path comes from the build) and collects what it says.
struct DoseRun {
    int exitCode = -1; // -1 when it did not start or did not end normally
    QByteArray output;
    QByteArray errors;
};

inline DoseRun runDose(const QStringList &arguments, const QByteArray &input = {},
                       const QStringList &extraEnvironment = {})
{
    QProcess process;
    if (!extraEnvironment.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() + extraEnvironment);
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
