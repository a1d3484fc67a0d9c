// Generates rosters of the given sizes, streams each through pourwise-dose --csv and reports
// rows per second and the peak resident memory of the run.

#include "bench/MeasuredRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

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

// Streams the roster through pourwise-dose --csv - into the result. Its closing summary of rows
// with errors would only interleave with the figures.
RunFigures runDose(const QString &roster, const QString &result)
{
    return measuredRun({POURWISE_DOSE_PATH, "--csv", "-"}, roster, result, true);
}

bool measure(const QString &folder, long long rows)
{
    const QString roster = folder + QStringLiteral("/roster-%1.csv").arg(rows);
    const QString result = folder + QStringLiteral("/result-%1.csv").arg(rows);
    if (!writeRoster(roster, rows)) {
        std::fprintf(stderr, "ERROR: cannot write %s\n", qPrintable(roster));
        return false;
    }
    const RunFigures figures = runDose(roster, result);
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
