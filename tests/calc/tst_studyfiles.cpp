#include "calc/FaultTexts.h"
#include "calc/StudyFiles.h"
#include "tests/support/WithoutFileRights.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Which records a study's paths name, and in which order.
class TestStudyFiles : public QObject {
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void folderWithoutRecords_data();
    void folderWithoutRecords();
};

void TestStudyFiles::records_data()
{
    QTest::addColumn<QStringList>("layout"); // files made, "link -> target" for a link
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("emptyFolders");

    QTest::newRow("a folder and its subfolders, in name order at every level")
        << QStringList{"study/b.csv",     "study/sub/deeper/d.csv", "study/A.csv",
                       "study/sub/c.csv", "study/Sub2/e.csv",       "study/a.csv"}
        << QStringList{"study"}
        << QStringList{"study/A.csv", "study/Sub2/e.csv", "study/a.csv",
                       "study/b.csv", "study/sub/c.csv",  "study/sub/deeper/d.csv"}
        << QStringList();
    QTest::newRow("only *.csv, in any letter case")
        << QStringList{"study/P-1.CSV", "study/notes.txt", "study/P-2.csv.lock", "study/P-3.csv"}
        << QStringList{"study"} << QStringList{"study/P-1.CSV", "study/P-3.csv"} << QStringList();
    QTest::newRow("hidden files and folders, and links to folders, left out")
        << QStringList{"study/.P-1.csv", "study/.old/P-2.csv", "other/P-3.csv",
                       "study/other -> ../other", "study/P-4.csv"}
        << QStringList{"study"} << QStringList{"study/P-4.csv"} << QStringList();
    QTest::newRow("a link to a record is a record")
        << QStringList{"other/P-1.csv", "study/P-1.csv -> ../other/P-1.csv"} << QStringList{"study"}
        << QStringList{"study/P-1.csv"} << QStringList();
    QTest::newRow("files as given, in the order given, whatever their names")
        << QStringList{"b.csv", "a.txt"} << QStringList{"b.csv", "a.txt", "missing.csv"}
        << QStringList{"b.csv", "a.txt", "missing.csv"} << QStringList();
    QTest::newRow("folders and files in the order given")
        << QStringList{"day2/P-3.csv", "day1/P-1.csv", "P-2.csv"}
        << QStringList{"day2", "P-2.csv", "day1"}
        << QStringList{"day2/P-3.csv", "P-2.csv", "day1/P-1.csv"} << QStringList();
    QTest::newRow("a folder without records")
        << QStringList{"empty/notes.txt", "empty/sub/notes.txt", "full/P-1.csv"}
        << QStringList{"empty", "full"} << QStringList{"full/P-1.csv"} << QStringList{"empty"};
}

void TestStudyFiles::records()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, given);
    QFETCH(QStringList, records);
    QFETCH(QStringList, emptyFolders);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir folder(root.path());
    for (const QString &made : layout) {
        const QString path = made.section(QStringLiteral(" -> "), 0, 0);
        QVERIFY(folder.mkpath(QFileInfo(path).path()));
        if (made.contains(QStringLiteral(" -> "))) {
            QVERIFY(QFile::link(made.section(QStringLiteral(" -> "), 1), folder.filePath(path)));
            continue;
        }
        QFile file(folder.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QStringList paths;
    for (const QString &path : given)
        paths << folder.filePath(path);
    QStringList found;
    QStringList empty;
    const qsizetype prefix = root.path().size() + 1;
    StudyFiles::forEach(
        paths, [&found, prefix](const QString &file) { found << file.mid(prefix); },
        [&empty, prefix](const QString &path) { empty << path.mid(prefix); });
    QCOMPARE(found, records);
    QCOMPARE(empty, emptyFolders);
}

void TestStudyFiles::folderWithoutRecords_data()
{
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("message"); // %1: the folder
    QTest::newRow("an empty folder")
        << true
        << "ERROR: %1 holds no session record: no file named *.csv in it or in its subfolders.";
    QTest::newRow("a folder that cannot be read")
        << false
        << "ERROR: %1 cannot be read (Permission denied), so no session record in it can be found. "
           "Give your user the right to read it, or copy its records to a folder you can read.";
}

// A folder given that yields no record is named, and why: empty, or not readable at all, which
// is told apart from empty.
void TestStudyFiles::folderWithoutRecords()
{
    QFETCH(bool, readable);
    QFETCH(QString, message);
    QTemporaryDir root;
    const QString study = root.filePath(QStringLiteral("study"));
    QVERIFY(QDir().mkpath(study));
    QFile record(study + QStringLiteral("/P-1.csv"));
    QVERIFY(readable || (record.open(QIODevice::WriteOnly) &&
                         QFile::setPermissions(study, QFileDevice::Permissions())));
    WithoutFileRights user;
    if (!user.applies())
        QSKIP(WithoutFileRights::skipReason);
    QStringList empty;
    StudyFiles::forEach(
        {study}, [](const QString &) {}, [&empty](const QString &folder) { empty << folder; });
    const QString told = empty.isEmpty() ? QString() : studyFolderEmptyMessage(empty[0]);
    QFile::setPermissions(study, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(empty, QStringList{study});
    QCOMPARE(told, message.arg(study));
}

QTEST_GUILESS_MAIN(TestStudyFiles)
#include "tst_studyfiles.moc"
