#include "calc/files/SafeWrite.h"
#include "tests/support/FaultyDisk.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// A save either replaces the file with exactly the bytes given or leaves it as it was and says
// why in the system's words.
class TestSafeWrite : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void save_data();
    void save();
    void leftOverTemporaries_data();
    void leftOverTemporaries();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestSafeWrite::save_data()
{
    QTest::addColumn<QString>("place");  // what the save meets
    QTest::addColumn<QByteArray>("old"); // the file before; empty: none
    QTest::addColumn<int>("size");       // of the new file
    QTest::addColumn<QString>("reason"); // empty: saved

    QTest::newRow("a new file") << "folder" << QByteArray() << 3000 << "";
    QTest::newRow("a file replaced") << "folder" << QByteArray("old\r\n") << 3000 << "";
    QTest::newRow("an empty file") << "folder" << QByteArray("old\r\n") << 0 << "";
    QTest::newRow("a file through its link") << "link" << QByteArray("old\r\n") << 3000 << "";
    // The system says such a disk took a file it cut short; the room is checked first.
    QTest::newRow("3000 bytes on a full disk")
        << "full disk" << QByteArray("old\r\n") << 3000 << "No space left on device";
    QTest::newRow("too large for the room left")
        << "small disk" << QByteArray(30000, 'o') << 40000 << "No space left on device";
    QTest::newRow("a disk that cannot be written")
        << "read-only disk" << QByteArray() << 3000 << "Read-only file system";
    QTest::newRow("no such folder")
        << "no folder" << QByteArray() << 3000 << "No such file or directory";
    QTest::newRow("a folder in the file's place")
        << "folder in place" << QByteArray() << 3000 << "it is a folder, not a regular file";
    // A disk that keeps less than it was given and says it was done, as a full one has: only the
    // file read back tells.
    const QString notSame = QStringLiteral("what was written did not read back the same");
    QTest::newRow("a disk that cuts the file short, yet says it was done")
        << "cut short" << QByteArray("old\r\n") << 3000 << notSame;
    QTest::newRow("a disk that keeps it empty, yet says it was done")
        << "emptied" << QByteArray("old\r\n") << 3000 << notSame;
    QTest::newRow("a disk that changes a byte, yet says it was done")
        << "byte flipped" << QByteArray("old\r\n") << 3000 << notSame;
    QTest::newRow("a new file cut short, yet said to be done")
        << "cut short" << QByteArray() << 3000 << notSame;
    QTest::newRow("read back whole, but refused by its reader")
        << "refused by its reader" << QByteArray("old\r\n") << 3000 << "not what it should be";
}

void TestSafeWrite::save()
{
    QFETCH(QString, place);
    QFETCH(QByteArray, old);
    QFETCH(int, size);
    QFETCH(QString, reason);

    QString folder = m_folder->filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<SmallDisk> disk;
    if (place.endsWith(QLatin1String("disk"))) {
        disk = std::make_unique<SmallDisk>(folder, "64k", place == QLatin1String("read-only disk"));
        if (!disk->mounted())
            QSKIP(SmallDisk::skipReason);
    }
    if (place == QLatin1String("no folder"))
        folder += QStringLiteral("/missing");
    const QString path = folder + QStringLiteral("/r.csv");
    if (place == QLatin1String("folder in place"))
        QVERIFY(QDir().mkpath(path));
    if (!old.isEmpty())
        QVERIFY(writeFile(path, old));
    if (place == QLatin1String("full disk"))
        disk->fill();
    QString savedAs = path;
    if (place == QLatin1String("link")) {
        savedAs = m_folder->filePath(QStringLiteral("link.csv"));
        QVERIFY(QFile::link(path, savedAs));
    }
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    const auto fault = place == QLatin1String("cut short")      ? FaultyDisk::Fault::CutShort
                       : place == QLatin1String("emptied")      ? FaultyDisk::Fault::Emptied
                       : place == QLatin1String("byte flipped") ? FaultyDisk::Fault::ByteFlipped
                                                                : FaultyDisk::Fault::None;
    FaultyDisk faulty(fault);
    SafeWrite::ReadBackCheck check;
    if (place == QLatin1String("refused by its reader"))
        check = [&bytes](const QByteArray &readBack) {
            return readBack == bytes ? QStringLiteral("not what it should be") : QString();
        };
    const QString said = SafeWrite::write(savedAs, bytes, check);
    if (reason.isEmpty()) {
        QVERIFY2(said.isEmpty(), qPrintable(said));
        QCOMPARE(contentOf(savedAs), bytes);
        QCOMPARE(QFileInfo(savedAs).isSymLink(), place == QLatin1String("link"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("r.csv")});
        return;
    }
    QVERIFY2(said.contains(reason), qPrintable(said));
    QVERIFY2(!said.contains(QLatin1String("Unknown error")), qPrintable(said));
    // Nothing changed: the old file as it was, no temporary file beside it.
    if (QFileInfo(path).isFile())
        QCOMPARE(contentOf(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestSafeWrite::leftOverTemporaries_data()
{
    QTest::addColumn<QString>("suffix"); // after "r.csv."
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("removed");

    QTest::newRow("a save's, left an hour ago") << "qWxErT" << 3600 << true;
    QTest::newRow("a save's, maybe still going on") << "qWxErT" << 0 << false;
    QTest::newRow("a backup") << "backup" << 3600 << false;
    QTest::newRow("a word") << "Before" << 3600 << false;
    QTest::newRow("in capitals") << "BEFORE" << 3600 << false;
    QTest::newRow("seven letters") << "qWxErTy" << 3600 << false;
}

void TestSafeWrite::leftOverTemporaries()
{
    QFETCH(QString, suffix);
    QFETCH(int, ageSeconds);
    QFETCH(bool, removed);

    const QString path = m_folder->filePath(QStringLiteral("r.csv"));
    const QString other = path + QLatin1Char('.') + suffix;
    QVERIFY(writeFile(other, "entry,event\r\n"));
    QFile file(other);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime));
    file.close();

    QCOMPARE(SafeWrite::write(path, "entry,event\r\n"), QString());
    QCOMPARE(QFileInfo::exists(other), !removed);
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safewrite.moc"
