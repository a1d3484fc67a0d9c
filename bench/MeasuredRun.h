#pragma once

// One run of a program, timed, with the peak resident memory of exactly that run.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

struct RunFigures {
    bool ran = false;
    int exitCode = -1;
    double seconds = 0;
    long peakKilobytes = 0;
};

// Runs `arguments` (the program first) with `input` as standard input (none when empty),
// `output` as standard output and, when `quietErrors`, its standard error thrown away. wait4
// reports the resource use of exactly this run, peak resident memory included.
inline RunFigures measuredRun(QList<QByteArray> arguments, const QString &input,
                              const QString &output, bool quietErrors)
{
    RunFigures figures;
    const QByteArray inputPath = QFile::encodeName(input);
    const QByteArray outputPath = QFile::encodeName(output);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (!input.isEmpty())
        posix_spawn_file_actions_addopen(&files, 0, inputPath.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, outputPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (quietErrors)
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    QList<char *> argv;
    for (QByteArray &argument : arguments)
        argv.append(argument.data());
    argv.append(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawnError = posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawnError != 0)
        return figures;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status))
        return figures;
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.ran = true;
    figures.exitCode = WEXITSTATUS(status);
    figures.peakKilobytes = usage.ru_maxrss; // kilobytes on Linux
    return figures;
}
