#include "calc/files/FileFaultTexts.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/dose/ControlCharacters.h"
#include "calc/files/RecordLock.h"
#include "calc/record/RecordFile.h"
#include "calc/record/RecordWriter.h"
#include "tests/support/RecordPlaces.h"
#include "tests/support/SessionEntries.h"
#include "tests/support/SmallDisk.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(SessionRecord)

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
    void readBackAsARecord_data();
    void readBackAsARecord();
    void locked_data();
    void locked();
    void stillHeld_data();
    void stillHeld();
    void notAsStamped_data();
    void notAsStamped();

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
    QVERIFY(RecordPlaces::make(place, record, path(), folder));
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
                            "directory. The file is as it was before, and what was not saved stays "
                            "in this window: make room on the disk or choose another folder to "
                            "save it in.")
                 .arg(file));
}

void TestRecordStorage::readBackAsARecord_data()
{
    QTest::addColumn<SessionRecord>("record");
    QTest::addColumn<QString>("refusal"); // part of it; empty: saved

    QTest::newRow("as entered") << workedSession() << "";
    SessionRecord quoted = workedSession();
    quoted.setup.protocolName = QStringLiteral("Arm \"A\", site 2 \u00e9t\u00e9");
    quoted.setup.protocolSha256 =
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    QTest::newRow("a protocol's name a cell must quote") << quoted << "";
    // Written byte for byte, read back byte for byte, yet no record: only the reader tells.
    SessionRecord nul = workedSession();
    nul.setup.protocolName = QString::fromUtf16(u"Arm\u0000A", 5);
    nul.setup.protocolSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    QTest::newRow("a protocol named with a NUL")
        << nul
        << "does not read back as a session record (" + QStringLiteral("%1: it is not UTF-8");
    SessionRecord code = workedSession();
    code.setup.sessionCode = QStringLiteral("P 017");
    QTest::newRow("a session code the reader refuses")
        << code << "does not read back as a session record (%1 line 2: session_code";
    SessionRecord level = workedSession();
    level.entries << readingEntry(5, 70, std::numeric_limits<float>::quiet_NaN(),
                                  stampAt("15:15:00"));
    QTest::newRow("a reading that is no number")
        << level << "does not read back as a session record (%1 line 6: level";
}

// A record is saved only once its file, read back from the disk, gives the very same record; else
// the file stays as it was.
void TestRecordStorage::readBackAsARecord()
{
    QFETCH(SessionRecord, record);
    QFETCH(QString, refusal);
    const QByteArray before = RecordWriter::text(workedSession());
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    file.close();

    RecordStamp stamp;
    const QString said = RecordFile::save(path(), record, &stamp);
    if (refusal.isEmpty()) {
        QVERIFY2(said.isEmpty(), qPrintable(said));
        const RecordReading reading = RecordFile::open(path());
        QVERIFY2(reading.record, qPrintable(reading.error));
        QVERIFY(*reading.record == record);
        QCOMPARE(stamp, reading.stamp); // the file as written is the file as read
        return;
    }
    QVERIFY2(said.startsWith(QStringLiteral("ERROR: The session record could not be saved as ")),
             qPrintable(said));
    QVERIFY2(said.contains(refusal.arg(path())), qPrintable(said));
    QVERIFY2(!holdsControlCharacter(said), qPrintable(said));
    QCOMPARE(snapshot(m_folder->path()).size(), 1); // no temporary file left
    QFile kept(path());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);
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
    QTest::newRow("a full disk") << "full" << false;
    QTest::newRow("another window, through a link to the record") << "link" << false;
    QTest::newRow("another window, through another spelling of its folder") << "spelling" << false;
    QTest::newRow("a folder in the lock's place") << "folder" << false;
    // A copy killed while it made its lock leaves one that names no one.
    QTest::newRow("a lock that names no one, made two minutes ago") << "silent, old" << true;
    QTest::newRow("a lock that names no one, just made") << "silent" << false;
}

void TestRecordStorage::locked()
{
    QFETCH(QString, holder);
    QFETCH(bool, taken);
    QString record = path();
    std::optional<SmallDisk> disk;
    if (holder == QLatin1String("read-only") || holder == QLatin1String("full")) {
        record = m_folder->filePath(QStringLiteral("disk/P-017.csv"));
        disk.emplace(QFileInfo(record).absolutePath(), "64k", holder == QLatin1String("read-only"));
        if (!disk->mounted())
            QSKIP(SmallDisk::skipReason);
        if (holder == QLatin1String("full"))
            disk->fill();
    }
    std::optional<RecordLock> otherName;
    if (holder == QLatin1String("link") || holder == QLatin1String("spelling")) {
        QFile made(record);
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.close();
        const QString name =
            holder == QLatin1String("link")
                ? m_folder->filePath(QStringLiteral("link.csv"))
                : m_folder->path() + QStringLiteral("/./sub/../P-017-2026-12-08.csv");
        QVERIFY(holder == QLatin1String("spelling") ? QDir().mkpath(m_folder->filePath("sub"))
                                                    : QFile::link(record, name));
        otherName.emplace(name);
        QVERIFY(otherName->tryLock());
    } else if (holder == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(RecordLock::lockPath(record)));
    } else if (holder.startsWith(QLatin1String("silent"))) {
        QFile silent(RecordLock::lockPath(record));
        QVERIFY(silent.open(QIODevice::WriteOnly));
        if (holder.endsWith(QLatin1String("old")))
            QVERIFY(silent.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                       QFileDevice::FileModificationTime));
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
        const QString lockFile = RecordLock::lockPath(record);
        if (holder == QLatin1String("read-only") || holder == QLatin1String("full")) {
            // The system's reason, which the lock itself does not pass on.
            const QString reason = holder == QLatin1String("full")
                                       ? QStringLiteral("No space left on device")
                                       : QStringLiteral("Read-only file system");
            QCOMPARE(lock.reason(), recordLockNotMadeReason(lockFile, reason));
            QVERIFY2(message.contains(lockFile + QStringLiteral(" cannot be made (") + reason),
                     qPrintable(message));
        } else if (holder == QLatin1String("folder")) {
            QCOMPARE(message,
                     recordLockNotAFileMessage(record, lockFile, QStringLiteral("a folder")));
            QVERIFY2(!message.contains(QLatin1String("being recorded")), qPrintable(message));
        } else if (holder == QLatin1String("silent")) {
            QCOMPARE(lock.holderHost(), QString());
            QVERIFY2(message.contains(QLatin1String("does not say which")), qPrintable(message));
        } else {
            // It names the computer and the process that hold the lock.
            const qint64 pid = holder == QLatin1String("process")
                                   ? other.processId()
                                   : QCoreApplication::applicationPid();
            QCOMPARE(lock.holderPid(), pid);
            QCOMPARE(lock.holderHost(), QSysInfo::machineHostName());
            const QString holderText =
                QStringLiteral("%1 (process %2)").arg(QSysInfo::machineHostName()).arg(pid);
            QVERIFY2(message.contains(holderText), qPrintable(message));
            QVERIFY2(lock.reason().contains(holderText), qPrintable(lock.reason()));
            // Never an invitation to delete the lock: it is taken over once its copy is gone.
            QVERIFY2(message.endsWith(
                         QStringLiteral("If no copy of Pourwise is running on %1, the lock is "
                                        "taken over when the record is opened again.")
                             .arg(QSysInfo::machineHostName())),
                     qPrintable(message));
        }
    }
    if (other.state() != QProcess::NotRunning) {
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(10000));
    }
}

void TestRecordStorage::stillHeld_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("held");

    QTest::newRow("nothing") << "nothing" << true;
    QTest::newRow("its file deleted") << "deleted" << false;
    QTest::newRow("its file deleted and taken by another window") << "taken" << false;
}

// A window learns before it saves whether the lock it took is still its own: a lock file deleted
// while it records (as an old message invited) lets another window in.
void TestRecordStorage::stillHeld()
{
    QFETCH(QString, meanwhile);
    QFETCH(bool, held);
    auto lock = std::make_unique<RecordLock>(path());
    QVERIFY(lock->tryLock());
    std::optional<RecordLock> other;
    if (meanwhile != QLatin1String("nothing"))
        QVERIFY(QFile::remove(RecordLock::lockPath(path())));
    if (meanwhile == QLatin1String("taken")) {
        QTest::qWait(20); // a lock made later is told apart by its time
        other.emplace(path());
        QVERIFY(other->tryLock());
    }
    QCOMPARE(lock->stillHeld(), held);
    if (!held) {
        lock->abandon(); // its file, if any, is the other window's
        lock.reset();
    }
    QCOMPARE(QFileInfo::exists(RecordLock::lockPath(path())),
             meanwhile != QLatin1String("deleted"));
}

void TestRecordStorage::notAsStamped_data()
{
    QTest::addColumn<QString>("meanwhile"); // what happened to the file since it was saved
    QTest::addColumn<QString>("reason");    // empty: still as saved

    QTest::newRow("nothing") << "nothing"
                             << "";
    QTest::newRow("saved again by another window") << "saved" << recordChangedUnderReason();
    QTest::newRow("a row added by another program") << "appended" << recordChangedUnderReason();
    QTest::newRow("another record of its size written, the time of change kept")
        << "changed" << recordChangedUnderReason();
    QTest::newRow("deleted") << "deleted" << recordGoneReason();
    QTest::newRow("given another name (a hard link)") << "linked" << recordHardLinkedReason(2);
    QTest::newRow("marked read-only") << "read-only" << recordReadOnlyFileReason();
}

// A window writes a record's file again only when it is as the window last read or wrote it.
void TestRecordStorage::notAsStamped()
{
    QFETCH(QString, meanwhile);
    QFETCH(QString, reason);
    SessionRecord record = workedSession();
    RecordStamp stamp;
    QCOMPARE(RecordFile::save(path(), record, &stamp), QString());
    QCOMPARE(RecordFile::notAsStamped(path(), stamp), QString());
    if (meanwhile == QLatin1String("saved")) {
        record.entries << readingEntry(5, 70, 0.06f, stampAt("15:15:00"));
        QCOMPARE(RecordFile::save(path(), record), QString());
    } else if (meanwhile == QLatin1String("appended") || meanwhile == QLatin1String("changed")) {
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QDateTime modified = file.fileTime(QFileDevice::FileModificationTime);
        QByteArray bytes = file.readAll();
        SessionRecord another = record;
        another.setup.sessionCode = QStringLiteral("P-018");
        bytes =
            meanwhile == QLatin1String("appended") ? bytes + "\r\n" : RecordWriter::text(another);
        QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    } else if (meanwhile == QLatin1String("deleted")) {
        QVERIFY(QFile::remove(path()));
    } else if (meanwhile == QLatin1String("linked")) {
        if (!RecordPlaces::HardLinks)
            QSKIP("Hard links are made here on Unix only.");
        QVERIFY(RecordPlaces::hardLink(path()));
    } else if (meanwhile == QLatin1String("read-only")) {
        QVERIFY(RecordPlaces::markReadOnly(path()));
    }
    QCOMPARE(RecordFile::notAsStamped(path(), stamp), reason);
}

QTEST_GUILESS_MAIN(TestRecordStorage)
#include "tst_recordstorage.moc"
