// Generates rosters of the given sizes, streams each through pourwise-dose --csv and reports
// rows per second and the peak resident memory of the run.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Plausible participants with the mix of forms a real roster has: both gender spellings,
// whole and decimal numbers, a few quoted notes and a few rows that cannot be computed.
bool writeRoster(const QString &path, long long rows)
{
    std::FILE *file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        return false;
    std::mt19937 random(20240501);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_real_distribution<double> height(55, 80), weight(100, 260), age(21, 65);
    const char *genders[] = {"male", "female", "m", "F", "1", "0"};
    const char *proofs[] = {"80", "86", "100", "200"};
    std::fputs("id,session,gender,height,weight,age,bal,dd,proof,ratio,note\n", file);
    for (long long row = 1; row <= rows; ++row) {
        const int chance = percent(random);
        std::fprintf(file, "P%07lld,S%d,%s,%.1f,%.1f,%.0f,0.%02d,%d,%s,%d,%s\n", row, int(row % 40),
                     chance == 0 ? "" : genders[row % 6], height(random), weight(random),
                     age(random), 4 + percent(random) % 7, 20 + 10 * (percent(random) % 5),
                     proofs[percent(random) % 4], percent(random) % 7,
                     chance < 10 ? "\"late, \"\"tired\"\"\"" : "");
    }
    return std::fclose(file) == 0;
}

struct DoseRunFigures {
    bool ran = false;
    int exitCode = -1;
    double seconds = 0;
    long peakKilobytes = 0;
};

// Runs pourwise-dose --csv - with the roster as standard input and the result as standard
// output. wait4 reports the resource use of exactly this run, peak resident memory included.
DoseRunFigures runDose(const QString &roster, const QString &result)
{
    DoseRunFigures figures;
    const QByteArray rosterPath = QFile::encodeName(roster);
    const QByteArray resultPath = QFile::encodeName(result);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, rosterPath.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, resultPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Its closing summary of rows with errors would only interleave with the figures.
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    char program[] = POURWISE_DOSE_PATH;
    char csvOption[] = "--csv";
    char standardInput[] = "-";
    char *arguments[] = {program, csvOption, standardInput, nullptr};
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawnError = posix_spawn(&child, program, &files, nullptr, arguments, environ);
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

bool measure(const QString &folder, long long rows)
{
    const QString roster = folder + QStringLiteral("/roster-%1.csv").arg(rows);
    const QString result = folder + QStringLiteral("/result-%1.csv").arg(rows);
    if (!writeRoster(roster, rows)) {
        std::fprintf(stderr, "ERROR: cannot write %s\n", qPrintable(roster));
        return false;
    }
    const DoseRunFigures figures = runDose(roster, result);
    QFile::remove(roster);
    QFile::remove(result);
    if (!figures.ran) {
        std::fprintf(stderr, "ERROR: %s did not run to its end\n", POURWISE_DOSE_PATH);
        return false;
    }
    // Status 1 is expected: about one row in a hundred has no gender.
    std::printf("%10lld rows  %6.3f s  %10.0f rows/s  peak RSS %5.1f MB  exit %d\n", rows,
                figures.seconds, double(rows) / figures.seconds, figures.peakKilobytes / 1024.0,
                figures.exitCode);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList sizes = QCoreApplication::arguments().mid(1);
    if (sizes.isEmpty())
        sizes << QStringLiteral("1000000");
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "ERROR: cannot create a temporary folder\n");
        return 2;
    }
    std::printf("pourwise-dose --csv -, roster from a file, result to a file\n");
    for (const QString &size : sizes) {
        bool ok = false;
        const long long rows = size.toLongLong(&ok);
        if (!ok || rows < 1) {
            std::fprintf(stderr, "ERROR: \"%s\" is not a row count\n", qPrintable(size));
            return 2;
        }
        if (!measure(folder.path(), rows))
            return 2;
    }
    return 0;
}
