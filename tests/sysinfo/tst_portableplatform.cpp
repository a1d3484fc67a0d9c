#include "sysinfo/PortableSysInfoPlatform.h"
#include "sysinfo/SysInfoLauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray ToolSection = R"([SOFTWARE\Microsoft\Shared Tools\MSINFO])";
const QByteArray LocationSection = R"([SOFTWARE\Microsoft\Shared Tools Location])";

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TestPortablePlatform : public QObject {
    Q_OBJECT

private:
    QString at(const QString &relative) const { return dir.filePath(relative); }
    // A program that leaves "<its path>.ran" behind, so a test can see that it really ran.
    void writeProgram(const QString &relative);

    QTemporaryDir dir;
    std::vector<std::string> messages;
    PortableSysInfoPlatform platformFor(const QString &registryFile);

private slots:
    void initTestCase();
    void lookup_data();
    void lookup();
    void findFile_data();
    void findFile();
    void startProgram_data();
    void startProgram();
    void relativePathIsNotSearchedFor();
    void startSysInfo_data();
    void startSysInfo();
    void defaultRegistryFile_data();
    void defaultRegistryFile();
};

void TestPortablePlatform::writeProgram(const QString &relative)
{
    writeFile(at(relative), "#!/bin/sh\n: > \"$0.ran\"\n");
    QVERIFY(QFile::setPermissions(at(relative),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

PortableSysInfoPlatform TestPortablePlatform::platformFor(const QString &registryFile)
{
    messages.clear();
    return PortableSysInfoPlatform(registryFile,
                                   [this](const std::string &text) { messages.push_back(text); });
}

void TestPortablePlatform::initTestCase()
{
    QVERIFY(dir.isValid());
    writeProgram("Tool Box/run tool");
    writeProgram("Tool"); // what a command line split at the space would start instead
    writeProgram("Tools/MSINFO32.EXE");
    writeFile(at("Tool Box/notes.txt"), "not a program\n");
    writeFile(at("Tools/.hidden"), "");
    QVERIFY(QDir().mkpath(at("Tools/folder")));
    QVERIFY(QFile::link(at("Tools/MSINFO32.EXE"), at("Tools/link")));
}

void TestPortablePlatform::lookup_data()
{
    QTest::addColumn<QByteArray>("registry"); // null: no registry file at all
    QTest::addColumn<uint>("root");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("text");

    const uint machine = SysInfo::LocalMachineRoot;
    QTest::newRow("text entry") << ToolSection + "\nPATH=/opt/sysinfo/run\n"
                                << machine << true << QByteArray("/opt/sysinfo/run");
    QTest::newRow("names ignore letter case")
        << QByteArray(R"([software\microsoft\shared tools\msinfo])") + "\npath=/opt/x\n"
        << machine << true << QByteArray("/opt/x");
    QTest::newRow("quoted text keeps commas and semicolons")
        << ToolSection + "\nPATH=\"/opt/a,b;c\"\n"
        << machine << true << QByteArray("/opt/a,b;c");
    QTest::newRow("doubled backslashes give one") << ToolSection + R"(
PATH=C:\\Tools\\)" << machine << true << QByteArray(R"(C:\Tools\)");
    QTest::newRow("non-ASCII text") << ToolSection + "\nPATH=/opt/w\xc3\xa9rk/run\n"
                                    << machine << true << QByteArray("/opt/w\xc3\xa9rk/run");
    QTest::newRow("unquoted comma makes a list, not text")
        << ToolSection + "\nPATH=/opt/a,b\n"
        << machine << true << QByteArray("on entry");
    QTest::newRow("longest text that fits")
        << ToolSection + "\nPATH=" + QByteArray(1023, 'a') + "\n"
        << machine << true << QByteArray(1023, 'a');
    QTest::newRow("text too long") << ToolSection + "\nPATH=" + QByteArray(1024, 'a') + "\n"
                                   << machine << false << QByteArray();
    QTest::newRow("missing value") << ToolSection + "\nOTHER=/opt/x\n"
                                   << machine << false << QByteArray();
    QTest::newRow("a subkey's values are not the key's")
        << QByteArray(R"([SOFTWARE\Microsoft\Shared Tools\MSINFO\Sub])") + "\nPATH=/opt/x\n"
        << machine << false << QByteArray();
    QTest::newRow("malformed file is not trusted")
        << "# comment\n" + ToolSection + "\nPATH=/opt/x\n"
        << machine << false << QByteArray();
    QTest::newRow("other roots do not exist") << ToolSection + "\nPATH=/opt/x\n"
                                              << 0x80000001u << false << QByteArray();
    QTest::newRow("empty file") << QByteArray("") << machine << false << QByteArray();
    QTest::newRow("no file") << QByteArray() << machine << false << QByteArray();
}

void TestPortablePlatform::lookup()
{
    QFETCH(QByteArray, registry);
    QFETCH(uint, root);
    QFETCH(bool, found);
    QFETCH(QByteArray, text);

    const QString file = at(QStringLiteral("lookup/%1.ini").arg(QTest::currentDataTag()));
    if (!registry.isNull())
        writeFile(file, registry);
    PortableSysInfoPlatform platform = platformFor(file);
    std::string value = "on entry";
    QCOMPARE(GetKeyValue(platform, root, SysInfo::ToolKey, "PATH", value), found);
    QCOMPARE(QByteArray::fromStdString(value), text);
}

void TestPortablePlatform::findFile_data()
{
    QTest::addColumn<QString>("path"); // below the test folder
    QTest::addColumn<QString>("name");

    QTest::newRow("normal file") << "Tools/MSINFO32.EXE"
                                 << "MSINFO32.EXE";
    QTest::newRow("backslash separates folders") << R"(Tools\MSINFO32.EXE)"
                                                 << "MSINFO32.EXE";
    QTest::newRow("doubled separator") << R"(Tools/\MSINFO32.EXE)"
                                       << "MSINFO32.EXE";
    QTest::newRow("link to a file") << "Tools/link"
                                    << "link";
    QTest::newRow("hidden file") << "Tools/.hidden"
                                 << "";
    QTest::newRow("folder") << "Tools/folder"
                            << "";
    QTest::newRow("missing file") << "Tools/missing.exe"
                                  << "";
}

void TestPortablePlatform::findFile()
{
    QFETCH(QString, path);
    QFETCH(QString, name);

    PortableSysInfoPlatform platform = platformFor(at("none.ini"));
    QCOMPARE(QString::fromStdString(platform.findFile(at(path).toStdString())), name);
}

void TestPortablePlatform::startProgram_data()
{
    QTest::addColumn<QString>("path"); // below the test folder
    QTest::addColumn<QString>("ran");  // the program expected to run; empty: the start fails

    QTest::newRow("space in the path") << "Tool Box/run tool"
                                       << "Tool Box/run tool";
    QTest::newRow("backslash separates folders") << R"(Tool Box\run tool)"
                                                 << "Tool Box/run tool";
    QTest::newRow("file that is not a program") << "Tool Box/notes.txt"
                                                << "";
    QTest::newRow("folder") << "Tool Box"
                            << "";
    QTest::newRow("missing file") << "Tool Box/missing"
                                  << "";
}

void TestPortablePlatform::startProgram()
{
    QFETCH(QString, path);
    QFETCH(QString, ran);

    QFile::remove(at("Tool Box/run tool.ran"));
    QFile::remove(at("Tool.ran"));
    PortableSysInfoPlatform platform = platformFor(at("none.ini"));
    if (ran.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, platform.startProgram(at(path).toStdString()));
        return;
    }
    platform.startProgram(at(path).toStdString());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(at(ran + ".ran")), 10000);
    QVERIFY(!QFile::exists(at("Tool.ran")));
}

void TestPortablePlatform::relativePathIsNotSearchedFor()
{
    // "sh" exists on the search path but not in the current folder, and an empty path names
    // nothing at all.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(at("Tools")));
    PortableSysInfoPlatform platform = platformFor(at("none.ini"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, platform.startProgram("sh"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, platform.startProgram(""));
    QVERIFY(QDir::setCurrent(previous));
}

void TestPortablePlatform::startSysInfo_data()
{
    QTest::addColumn<QByteArray>("registry"); // %1 stands for the test folder
    QTest::addColumn<QString>("ran");         // empty: the message is shown instead

    QTest::newRow("path recorded") << ToolSection + "\nPATH=%1/Tool Box/run tool\n"
                                   << "Tool Box/run tool";
    QTest::newRow("folder recorded") << LocationSection + "\nMSINFO=%1/Tools\n"
                                     << "Tools/MSINFO32.EXE";
    QTest::newRow("folder ending in a backslash") << LocationSection + R"(
MSINFO=%1/Tools\\)"
                                                  << "Tools/MSINFO32.EXE";
    QTest::newRow("recorded path is not a program; the folder is not tried")
        << ToolSection + "\nPATH=%1/Tool Box/notes.txt\n" + LocationSection + "\nMSINFO=%1/Tools\n"
        << "";
    QTest::newRow("folder without the tool") << LocationSection + "\nMSINFO=%1/Tool Box\n"
                                             << "";
    QTest::newRow("nothing recorded") << QByteArray("; no tool recorded for %1\n") << "";
}

void TestPortablePlatform::startSysInfo()
{
    QFETCH(QByteArray, registry);
    QFETCH(QString, ran);

    QFile::remove(at("Tool Box/run tool.ran"));
    QFile::remove(at("Tools/MSINFO32.EXE.ran"));
    const QString file = at(QStringLiteral("start/%1.ini").arg(QTest::currentDataTag()));
    writeFile(file, QString::fromUtf8(registry).arg(dir.path()).toUtf8());
    PortableSysInfoPlatform platform = platformFor(file);

    StartSysInfo(platform);
    if (ran.isEmpty()) {
        QCOMPARE(messages, std::vector<std::string>{SysInfo::UnavailableMessage});
        // Give a wrongly started program the time to show itself.
        QTest::qWait(200);
        QVERIFY(!QFile::exists(at("Tools/MSINFO32.EXE.ran")));
    } else {
        QVERIFY(messages.empty());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(at(ran + ".ran")), 10000);
    }
}

void TestPortablePlatform::defaultRegistryFile_data()
{
    QTest::addColumn<QStringList>("holding"); // configuration folders that hold the file
    QTest::addColumn<QString>("expected");

    QTest::newRow("the user's own file is ignored") << QStringList{"home"} << "system1";
    QTest::newRow("first system folder that holds it")
        << QStringList{"home", "system2"} << "system2";
    QTest::newRow("system folders in order") << QStringList{"system1", "system2"} << "system1";
}

void TestPortablePlatform::defaultRegistryFile()
{
    QFETCH(QStringList, holding);
    QFETCH(QString, expected);

    const QString root = at(QStringLiteral("xdg/%1").arg(QTest::currentDataTag()));
    for (const QString &folder : holding)
        writeFile(QStringLiteral("%1/%2/Pourwise/registry.ini").arg(root, folder), "");
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    const QByteArray dirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + "/system1:" + root + "/system2"));
    const QString found = PortableSysInfoPlatform::defaultRegistryFile();
    qputenv("XDG_CONFIG_HOME", home);
    qputenv("XDG_CONFIG_DIRS", dirs);
    QCOMPARE(found, QStringLiteral("%1/%2/Pourwise/registry.ini").arg(root, expected));
}

QTEST_GUILESS_MAIN(TestPortablePlatform)
#include "tst_portableplatform.moc"
