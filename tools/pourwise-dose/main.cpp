#include "tools/pourwise-dose/DoseCommandLine.h"
#include "tools/pourwise-dose/ExitStatus.h"
#include "tools/pourwise-dose/OneParticipant.h"
#include "tools/pourwise-dose/RecordCheckRun.h"
#include "tools/pourwise-dose/RosterRun.h"
#include "tools/pourwise-dose/StudyTableRun.h"
#include "tools/pourwise-dose/output/StandardStreams.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void printError(const QString &text)
{
    std::fprintf(stderr, "ERROR: %s\n", text.toUtf8().constData());
}

// A run that wrote to standard output ends with an error if any of it could not be written.
int finishedOutput(OutputBuffer &output, int status)
{
    if (output.flush())
        return status;
    printError(QString::fromLocal8Bit(output.errorText().c_str()));
    return ExitStatus::UsageOrFileError;
}

int runRoster(const QString &path, const RosterOptions &options)
{
    const bool standardInput = path == QLatin1String("-");
    const QString shownName = standardInput ? QStringLiteral("standard input") : path;
    std::FILE *input =
        standardInput ? stdin : std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!input) {
        printError(QStringLiteral("cannot open %1: %2")
                       .arg(shownName, QString::fromLocal8Bit(std::strerror(errno))));
        return ExitStatus::UsageOrFileError;
    }
    RosterRun roster(input, stdout, options);
    const int status = roster.run();
    if (!standardInput)
        std::fclose(input);
    if (status == ExitStatus::UsageOrFileError)
        printError(
            QStringLiteral("%1: %2").arg(shownName, QString::fromStdString(roster.errorText())));
    else if (status == ExitStatus::SomeNotComputed)
        printError(QStringLiteral("%1 of %2 rows could not be computed%3; see their error column")
                       .arg(roster.failedRowCount())
                       .arg(roster.rowCount())
                       .arg(options.plan ? QStringLiteral(" or have no session plan") : QString()));
    // Without the warning column the operator still learns that some rows need a look.
    if (status != ExitStatus::UsageOrFileError && !options.hasWarningColumn() &&
        roster.rowsToCheck() > 0)
        std::fprintf(
            stderr, "WARNING: %s; run with --check to see them\n",
            (roster.rowsToCheck() == 1
                 ? QStringLiteral("1 row has values to check")
                 : QStringLiteral("%1 rows have values to check").arg(roster.rowsToCheck()))
                .toUtf8()
                .constData());
    else if (status == ExitStatus::OverProtocolLimit)
        std::fprintf(stderr,
                     "WARNING: %lld of %lld rows are over a limit of the protocol; see "
                     "their warning column\n",
                     roster.rowsOverALimit(), roster.rowCount());
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    prepareStandardStreams();
    QCoreApplication application(argc, argv);
    DoseCommandLine commandLine;
    if (!commandLine.parse(QCoreApplication::arguments())) {
        printError(commandLine.errorText());
        std::fputs("Try \"pourwise-dose --help\" for more information.\n", stderr);
        return ExitStatus::UsageOrFileError;
    }
    const DoseRequest &request = commandLine.request();
    if (request.mode == DoseRequest::Mode::Roster)
        return runRoster(request.rosterPath, {.check = request.check,
                                              .plan = request.plan,
                                              .band = request.band,
                                              .spreadsheetSafe = request.spreadsheetSafe,
                                              .level = request.level.scale,
                                              .levelUnitGiven = request.level.unitGiven,
                                              .protocol = request.protocol});
    OutputBuffer output(stdout);
    int status = ExitStatus::AllComputed;
    if (request.mode == DoseRequest::Mode::Help)
        output.put(DoseCommandLine::helpText().toStdString());
    else if (request.mode == DoseRequest::Mode::Version)
        output.put(DoseCommandLine::versionText().toStdString());
    else if (request.mode == DoseRequest::Mode::CheckRecords)
        status = RecordCheckRun::run(request.recordFiles, output, stderr);
    else if (request.mode == DoseRequest::Mode::StudyTable)
        status = StudyTableRun::run(
            request.studyTable, request.recordFiles, output, stderr, request.counting,
            request.spreadsheetSafe ? StudyCellGuard::SpreadsheetSafe : StudyCellGuard::Exact);
    else
        status = OneParticipant::run(request, output, stderr);
    return finishedOutput(output, status);
}
