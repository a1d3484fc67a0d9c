#include "calc/RecordFile.h"
#include "calc/RecordLock.h"
#include "tests/support/SessionEntries.h"
#include "tests/support/SmallDisk.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Every entry below `folder` with its size and time of change, to tell whether anything was
// written.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.isSymLink() ? 0 : info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

} // namespace

// A session record on the disk: only a regular file of a sane size is opened, opening writes
// nothing, a save that fails says why, and one window at a time records into a file.
class TestRecordStorage : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void opened_data();
    void opened();
    void saveRefused();
    void locked_data();
    void locked();

private:
    QString path() const { return m_folder->filePath(QStringLiteral("P-017-2026-12-08.csv")); }
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestRecordStorage::opened_data()
{
    QTest::addColumn<QString>("place");    // what stands at the record's path
    QTest::addColumn<QString>("mentions"); // in the error; empty: opened

    const auto row = [](const char *name, const char *place, const char *mentions) {
        QTest::newRow(name) << QString::fromLatin1(place) << QString::fromLatin1(mentions);
    };
    row("a record", "record", "");
    row("a link to a record", "link to record", "");
#ifdef Q_OS_UNIX
    // Opened, a pipe would wait for a writer for ever, and /dev/zero never ends.
    row("a named pipe", "pipe", "it is a named pipe, not a regular file");
    row("a link to /dev/zero", "link to /dev/zero", "it is a device, not a regular file");
#endif
    row("a folder", "folder", "it is a folder, not a regular file");
    row("a link to a folder", "link to folder", "it is a folder, not a regular file");
    row("nothing", "nothing", "No such file or directory");
    row("a file of 64 MB and a byte", "large", "larger than 64 MB");
}

// Saved as RecordFile saves it, a record opens as it was; anything but a regular file of a sane
// size is refused without writing anything.
void TestRecordStorage::opened()
{
    QFETCH(QString, place);
    QFETCH(QString, mentions);
    const QString record = m_folder->filePath(QStringLiteral("record.csv"));
    QCOMPARE(RecordFile::save(record, workedSession()), QString());
    const QString folder = m_folder->filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkpath(folder));
    if (place == QLatin1String("record"))
        QVERIFY(QFile::copy(record, path()));
    else if (place == QLatin1String("link to record"))
        QVERIFY(QFile::link(record, path()));
    else if (place == QLatin1String("link to /dev/zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path()));
    else if (place == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path()));
    else if (place == QLatin1String("link to folder"))
        QVERIFY(QFile::link(folder, path()));
    else if (place == QLatin1String("large")) {
        QFile large(path());
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(RecordFile::LargestFile + 1)); // sparse: no disk taken
    }
#ifdef Q_OS_UNIX
    else if (place == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
#endif
    const QStringList before = snapshot(m_folder->path());

    const RecordReading reading = RecordFile::open(path());
    QCOMPARE(snapshot(m_folder->path()), before); // opening writes nothing
    if (mentions.isEmpty()) {
        QVERIFY2(reading.record, qPrintable(reading.error));
        QCOMPARE(reading.check, RecordCheck::Ok);
        QVERIFY(*reading.record == workedSession());
        return;
    }
    QVERIFY(!reading.record);
    QVERIFY2(reading.error.startsWith(QStringLiteral("ERROR: %1: ").arg(path())),
             qPrintable(reading.error));
    QVERIFY2(reading.error.contains(mentions), qPrintable(reading.error));
}

// A save that fails names the file and the system's reason; that the file stays as it was is
// the verified save's own rule, tested with it.
void TestRecordStorage::saveRefused()
{
    const QString file = m_folder->filePath(QStringLiteral("missing/P-017.csv"));
    QCOMPARE(RecordFile::save(file, workedSession()),
             QStringLiteral("ERROR: The session record could not be saved as %1: No such file or "
                            "directory. The file is as it was before.")
                 .arg(file));
}

void TestRecordStorage::locked_data()
{
    QTest::addColumn<QString>("holder"); // who took the lock before
    QTest::addColumn<bool>("taken");     // whether this window then takes it

    QTest::newRow("no one") << "no one" << true;
    QTest::newRow("another process") << "process" << false;
    QTest::newRow("another window of this process") << "window" << false;
    QTest::newRow("a process that was killed") << "killed" << true;
    QTest::newRow("a process that ended") << "ended" << true;
    QTest::newRow("a folder that cannot be written") << "read-only" << false;
}

void TestRecordStorage::locked()
{
    QFETCH(QString, holder);
    QFETCH(bool, taken);
    QString record = path();
    std::optional<SmallDisk> disk;
    if (holder == QLatin1String("read-only")) {
        record = m_folder->filePath(QStringLiteral("disk/P-017.csv"));
        disk.emplace(QFileInfo(record).absolutePath(), "64k", true);
        if (!disk->mounted())
            QSKIP(SmallDisk::skipReason);
    }
    QProcess other;
    std::optional<RecordLock> window;
    if (holder == QLatin1String("process") || holder == QLatin1String("killed") ||
        holder == QLatin1String("ended")) {
        other.start(QStringLiteral(RECORD_LOCKER), {record});
        QVERIFY(other.waitForReadyRead(10000));
        QCOMPARE(other.readLine().trimmed(), QByteArray("locked"));
        if (holder == QLatin1String("killed"))
            other.kill();
        else if (holder == QLatin1String("ended"))
            other.closeWriteChannel();
        if (holder != QLatin1String("process"))
            QVERIFY(other.waitForFinished(10000));
    } else if (holder == QLatin1String("window")) {
        window.emplace(record);
        QVERIFY(window->tryLock());
    }

    RecordLock lock(record);
    QCOMPARE(lock.tryLock(), taken);
    QCOMPARE(lock.isLocked(), taken);
    if (!taken) {
        const QString message = lock.message();
        QVERIFY2(message.startsWith(QStringLiteral("WARNING: ") + record), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("read-only")), qPrintable(message));
        if (holder != QLatin1String("read-only")) {
            // It names the computer and the process that hold the lock.
            const qint64 pid = holder == QLatin1String("window")
                                   ? QCoreApplication::applicationPid()
                                   : other.processId();
            QCOMPARE(lock.holderPid(), pid);
            QCOMPARE(lock.holderHost(), QSysInfo::machineHostName());
            const QString holderText =
                QStringLiteral("%1 (process %2)").arg(QSysInfo::machineHostName()).arg(pid);
            QVERIFY2(message.contains(holderText), qPrintable(message));
            QVERIFY2(lock.reason().contains(holderText), qPrintable(lock.reason()));
        } else {
            QVERIFY2(message.contains(RecordLock::lockPath(record)), qPrintable(message));
        }
    }
    if (other.state() != QProcess::NotRunning) {
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(10000));
    }
}

QTEST_GUILESS_MAIN(TestRecordStorage)
#include "tst_recordstorage.moc"
