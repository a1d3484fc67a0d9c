#include "calc/record/RecordFaultTexts.h"
#include "calc/study/StudyFiles.h"
#include "tests/support/WithoutFileRights.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const std::map<StudyFiles::Skip, QString> SkipWords{
    {StudyFiles::Skip::FolderNotListed, "not listed"},
    {StudyFiles::Skip::NotARegularFile, "not regular"},
    {StudyFiles::Skip::NameNotUtf8, "not utf-8"},
    {StudyFiles::Skip::PathTooLong, "too long"},
    {StudyFiles::Skip::SameFile, "same"},
};

// A path as a row names it: inside the test's folder, one too long to read cut to 20 characters.
QString shown(const QString &path, qsizetype prefix)
{
    const QString inside = path.mid(prefix);
    return inside.size() > 100 ? inside.left(20) + QStringLiteral("...") : inside;
}

#ifdef Q_OS_UNIX
const QString DeepName = QString(200, QLatin1Char('d'));

// Folders of 200-letter names one in another below `top`, until a path is longer than the system
// opens, with a record at the bottom; made from each folder down, as no path reaches the bottom.
bool makeDeep(const QString &top)
{
    int folder = ::open(QFile::encodeName(top).constData(), O_DIRECTORY);
    const QByteArray name = QFile::encodeName(DeepName);
    for (qsizetype length = top.size(); folder >= 0 && length <= PATH_MAX; length += 201) {
        const int next = ::mkdirat(folder, name.constData(), 0755) == 0
                             ? ::openat(folder, name.constData(), O_DIRECTORY)
                             : -1;
        ::close(folder);
        folder = next;
    }
    const int record = folder < 0 ? -1 : ::openat(folder, "P-1.csv", O_CREAT | O_WRONLY, 0644);
    if (folder >= 0)
        ::close(folder);
    if (record < 0)
        return false;
    ::close(record);
    return true;
}

// Removes what `folder` (open) holds, however deep and whatever its names, each step from its
// own folder.
void emptyAt(int folder)
{
    DIR *listing = ::fdopendir(folder);
    if (!listing)
        return;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const int inner = ::openat(::dirfd(listing), entry->d_name, O_DIRECTORY | O_NOFOLLOW);
        if (inner >= 0) {
            emptyAt(inner);
            ::unlinkat(::dirfd(listing), entry->d_name, AT_REMOVEDIR);
        } else {
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

// A file or folder named in Latin-1 bytes, as a system of another encoding writes names.
bool makeLatin1(const QString &root, const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    QByteArray made = QFile::encodeName(root);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        made += '/' + parts[i].toLatin1();
        if (i + 1 < parts.size()) {
            if (::mkdir(made.constData(), 0755) != 0 && errno != EEXIST)
                return false;
        } else {
            const int file = ::open(made.constData(), O_CREAT | O_WRONLY, 0644);
            if (file < 0)
                return false;
            ::close(file);
        }
    }
    return true;
}

// Runs `walk` as a user who is not root, for whom a folder without permissions cannot be listed:
// root lists every folder.
template <typename Walk> void withoutRoot(const QString &root, Walk walk)
{
    if (::geteuid() != 0) {
        walk();
        return;
    }
    ::chmod(QFile::encodeName(root).constData(), 0755);
    const uid_t nobody = 65534;
    QVERIFY(::setresgid(nobody, nobody, 0) == 0 && ::setresuid(nobody, nobody, 0) == 0);
    walk();
    QVERIFY(::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0);
}
#endif

} // namespace

// Which records a study's paths name, and in which order; which paths are not read, and why.
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
    // Files made, "link -> target" for a link; on Unix also "path (pipe)" for a named pipe,
    // "path (latin1)" for a file whose path is written in Latin-1 bytes, "folder (locked)" for a
    // folder made before that cannot be listed, "folder (deep)" for folders in it deeper than a
    // path can be.
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("emptyFolders");
    QTest::addColumn<QStringList>("skipped"); // "why path", why as SkipWords says it

    QTest::newRow("a folder and its subfolders, in name order at every level")
        << QStringList{"study/b.csv",     "study/sub/deeper/d.csv", "study/A.csv",
                       "study/sub/c.csv", "study/Sub2/e.csv",       "study/a.csv"}
        << QStringList{"study"}
        << QStringList{"study/A.csv", "study/Sub2/e.csv", "study/a.csv",
                       "study/b.csv", "study/sub/c.csv",  "study/sub/deeper/d.csv"}
        << QStringList() << QStringList();
    QTest::newRow("only *.csv, in any letter case")
        << QStringList{"study/P-1.CSV", "study/notes.txt", "study/P-2.csv.lock", "study/P-3.csv"}
        << QStringList{"study"} << QStringList{"study/P-1.CSV", "study/P-3.csv"} << QStringList()
        << QStringList();
    QTest::newRow("hidden files and folders, and links to folders, left out")
        << QStringList{"study/.P-1.csv", "study/.old/P-2.csv", "other/P-3.csv",
                       "study/other -> ../other", "study/P-4.csv"}
        << QStringList{"study"} << QStringList{"study/P-4.csv"} << QStringList() << QStringList();
    QTest::newRow("a link to a record is a record")
        << QStringList{"other/P-1.csv", "study/P-1.csv -> ../other/P-1.csv"} << QStringList{"study"}
        << QStringList{"study/P-1.csv"} << QStringList() << QStringList();
    QTest::newRow("files as given, in the order given, whatever their names")
        << QStringList{"b.csv", "a.txt"} << QStringList{"b.csv", "a.txt", "missing.csv"}
        << QStringList{"b.csv", "a.txt", "missing.csv"} << QStringList() << QStringList();
    QTest::newRow("folders and files in the order given")
        << QStringList{"day2/P-3.csv", "day1/P-1.csv", "P-2.csv"}
        << QStringList{"day2", "P-2.csv", "day1"}
        << QStringList{"day2/P-3.csv", "P-2.csv", "day1/P-1.csv"} << QStringList() << QStringList();
    QTest::newRow("a folder without records")
        << QStringList{"empty/notes.txt", "empty/sub/notes.txt", "full/P-1.csv"}
        << QStringList{"empty", "full"} << QStringList{"full/P-1.csv"} << QStringList{"empty"}
        << QStringList();

    QTest::newRow("a folder given twice: each record once")
        << QStringList{"study/P-1.csv", "study/P-2.csv"} << QStringList{"study", "study"}
        << QStringList{"study/P-1.csv", "study/P-2.csv"} << QStringList()
        << QStringList{"same study/P-1.csv", "same study/P-2.csv"};
    QTest::newRow("a record and a link to it, both found")
        << QStringList{"other/P-1.csv", "study/P-1.csv -> ../other/P-1.csv"}
        << QStringList{"study", "other"} << QStringList{"study/P-1.csv"} << QStringList()
        << QStringList{"same other/P-1.csv"};
    QTest::newRow("a file given by two names, and in its folder")
        << QStringList{"study/P-1.csv"}
        << QStringList{"study/P-1.csv", "study/../study/P-1.csv", "study"}
        << QStringList{"study/P-1.csv"} << QStringList()
        << QStringList{"same study/../study/P-1.csv", "same study/P-1.csv"};
#ifdef Q_OS_UNIX
    QTest::newRow("named *.csv, but a pipe or a link to nothing")
        << QStringList{"study/P-1.csv (pipe)", "study/P-2.csv -> nothing.csv", "study/fifo (pipe)",
                       "study/P-3.csv"}
        << QStringList{"study"} << QStringList{"study/P-3.csv"} << QStringList()
        << QStringList{"not regular study/P-1.csv", "not regular study/P-2.csv"};
    QTest::newRow("a folder given twice: what cannot be read told once")
        << QStringList{"study/P-1.csv", "study/P-2.csv (pipe)"} << QStringList{"study", "study"}
        << QStringList{"study/P-1.csv"} << QStringList()
        << QStringList{"not regular study/P-2.csv", "same study/P-1.csv"};
    QTest::newRow("names not in UTF-8: a record and a folder, not the notes")
        << QStringList{"study/caf\u00e9.csv (latin1)", "study/\u00e9t\u00e9/P-1.csv (latin1)",
                       "study/notes \u00e9.txt (latin1)", "study/P-2.csv"}
        << QStringList{"study"} << QStringList{"study/P-2.csv"} << QStringList()
        << QStringList{"not utf-8 study/caf\ufffd.csv", "not utf-8 study/\ufffdt\ufffd"};
    QTest::newRow("a subfolder that cannot be listed")
        << QStringList{"study/locked/P-1.csv", "study/locked (locked)", "study/P-2.csv"}
        << QStringList{"study"} << QStringList{"study/P-2.csv"} << QStringList()
        << QStringList{"not listed study/locked"};
    QTest::newRow("a folder given that cannot be listed holds no record it can tell of")
        << QStringList{"locked/P-1.csv", "locked (locked)"} << QStringList{"locked"}
        << QStringList() << QStringList() << QStringList{"not listed locked"};
    QTest::newRow("folders deeper than a path can be")
        << QStringList{"study/deep (deep)", "study/P-2.csv"} << QStringList{"study"}
        << QStringList{"study/P-2.csv"} << QStringList()
        << QStringList{"too long study/deep/ddddddddd..."};
#endif
}

void TestStudyFiles::records()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, given);
    QFETCH(QStringList, records);
    QFETCH(QStringList, emptyFolders);
    QFETCH(QStringList, skipped);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir folder(root.path());
    QStringList locked;
    for (const QString &made : layout) {
        const QString path = made.section(QStringLiteral(" -> "), 0, 0).section(" (", 0, 0);
        const QString kind = made.contains(QStringLiteral(" (")) ? made.section(" (", 1) : "";
        if (kind == QLatin1String("latin1)")) {
#ifdef Q_OS_UNIX
            QVERIFY(makeLatin1(root.path(), path));
#endif
            continue;
        }
        QVERIFY(folder.mkpath(
            kind.isEmpty() || kind == QLatin1String("pipe)") ? QFileInfo(path).path() : path));
        if (kind == QLatin1String("locked)")) {
            locked << folder.filePath(path);
            continue;
        }
#ifdef Q_OS_UNIX
        if (kind == QLatin1String("pipe)")) {
            QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(path)).constData(), 0644) == 0);
            continue;
        }
        if (kind == QLatin1String("deep)")) {
            QVERIFY(makeDeep(folder.filePath(path)));
            continue;
        }
#endif
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
    QStringList notRead;
    const qsizetype prefix = root.path().size() + 1;
    const auto walk = [&] {
        StudyFiles::forEach(
            paths, {.record = [&](const QString &file) { found << file.mid(prefix); },
                    .emptyFolder = [&](const QString &path) { empty << path.mid(prefix); },
                    .skipped =
                        [&](StudyFiles::Skip why, const QString &path) {
                            notRead << SkipWords.at(why) + QLatin1Char(' ') + shown(path, prefix);
                        }});
    };
#ifdef Q_OS_UNIX
    for (const QString &path : locked)
        QVERIFY(QFile::setPermissions(path, {}));
    if (locked.isEmpty())
        walk();
    else
        withoutRoot(root.path(), walk);
    for (const QString &path : locked)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Qt can neither list nor remove a name in Latin-1 or a path too long: the system can.
    emptyAt(::open(QFile::encodeName(root.path()).constData(), O_DIRECTORY));
#else
    walk();
#endif
    QCOMPARE(found, records);
    QCOMPARE(empty, emptyFolders);
    QCOMPARE(notRead, skipped);
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
    StudyFiles::forEach({study},
                        {.record = [](const QString &) {},
                         .emptyFolder = [&empty](const QString &folder) { empty << folder; },
                         .skipped = [](StudyFiles::Skip, const QString &) {}});
    const QString told = empty.isEmpty() ? QString() : studyFolderEmptyMessage(empty[0]);
    QFile::setPermissions(study, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(empty, QStringList{study});
    QCOMPARE(told, message.arg(study));
}

QTEST_GUILESS_MAIN(TestStudyFiles)
#include "tst_studyfiles.moc"
