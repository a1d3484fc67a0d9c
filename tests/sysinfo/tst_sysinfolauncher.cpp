#include "sysinfo/SysInfoLauncher.h"
#include "tests/sysinfo/FakeSysInfoPlatform.h"

#include <QTest>

namespace {

struct Entry {
    QString key;
    QString name; // empty: the key exists without values
    uint type = 0;
    QByteArray data;
};
using Registry = QList<Entry>;

const QString ToolKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
const QString LocationKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";

// The calls the launcher is expected to make, in the fake's notation. Every key is opened with
// options 0 and the query-value right alone (0x1): reading needs nothing more, and asking for
// write rights makes the open fail for standard users. Wine does not check access, so only these
// rows can show it.
const QString OpenTool =
    R"(open 0x80000002 SOFTWARE\Microsoft\Shared Tools\MSINFO options=0 access=0x1)";
const QString QueryPath = "query PATH size=1024";
const QString CloseTool = R"(close SOFTWARE\Microsoft\Shared Tools\MSINFO)";
const QString OpenLocation =
    R"(open 0x80000002 SOFTWARE\Microsoft\Shared Tools Location options=0 access=0x1)";
const QString QueryFolder = "query MSINFO size=1024";
const QString CloseLocation = R"(close SOFTWARE\Microsoft\Shared Tools Location)";
const QString Message = "message System Information Is Unavailable At This Time";

// Text as the registry usually holds it: with its terminating NUL.
QByteArray stored(const QByteArray &text)
{
    return text + '\0';
}

Entry toolPath(const QByteArray &data, uint type = 1)
{
    return {ToolKey, "PATH", type, data};
}
Entry toolFolder(const QByteArray &data, uint type = 1)
{
    return {LocationKey, "MSINFO", type, data};
}
Entry keyOnly(const QString &key)
{
    return {key, {}, 0, {}};
}

void fill(FakeSysInfoPlatform &platform, const Registry &registry)
{
    for (const Entry &entry : registry) {
        platform.addKey(entry.key);
        if (!entry.name.isEmpty())
            platform.setValue(entry.key, entry.name, {entry.type, entry.data});
    }
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class TestSysInfoLauncher : public QObject {
    Q_OBJECT

private slots:
    void startSysInfo_data();
    void startSysInfo();
    void readValue_data();
    void readValue();
    void platformErrors_data();
    void platformErrors();
    void searchesAfreshEachTime();
};

void TestSysInfoLauncher::startSysInfo_data()
{
    QTest::addColumn<Registry>("registry");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QStringList>("calls");

    const QString spaced = R"(C:\Program Files\Tools\MSINFO32.EXE)";
    QTest::newRow("path names a program; the folder is not read")
        << Registry{toolPath(stored(spaced.toLatin1())), toolFolder(stored(R"(C:\Tools)"))}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{spaced, R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{OpenTool, QueryPath, CloseTool, "start " + spaced};
    QTest::newRow("path names nothing startable; the folder is not tried")
        << Registry{toolPath(stored(R"(C:\Gone\tool.exe)")), toolFolder(stored(R"(C:\Tools)"))}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"} << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{OpenTool, QueryPath, CloseTool, R"(start C:\Gone\tool.exe)", Message};
    QTest::newRow("path absent, folder holds the tool")
        << Registry{keyOnly(ToolKey), toolFolder(stored(R"(C:\Tools)"))}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"} << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{OpenTool,
                       QueryPath,
                       CloseTool,
                       OpenLocation,
                       QueryFolder,
                       CloseLocation,
                       R"(find C:\Tools\MSINFO32.EXE)",
                       R"(start C:\Tools\MSINFO32.EXE)"};
    QTest::newRow("folder ending in a backslash gives a doubled one")
        << Registry{toolFolder(stored(R"(C:\Tools\)"))} << QStringList{R"(C:\Tools\\MSINFO32.EXE)"}
        << QStringList{R"(C:\Tools\\MSINFO32.EXE)"}
        << QStringList{OpenTool,
                       OpenLocation,
                       QueryFolder,
                       CloseLocation,
                       R"(find C:\Tools\\MSINFO32.EXE)",
                       R"(start C:\Tools\\MSINFO32.EXE)"};
    QTest::newRow("tool missing from the folder")
        << Registry{toolFolder(stored(R"(C:\Tools)"))} << QStringList{}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{
               OpenTool, OpenLocation, QueryFolder, CloseLocation, R"(find C:\Tools\MSINFO32.EXE)",
               Message};
    QTest::newRow("both values absent")
        << Registry{keyOnly(ToolKey), keyOnly(LocationKey)} << QStringList{} << QStringList{}
        << QStringList{OpenTool,    QueryPath,     CloseTool, OpenLocation,
                       QueryFolder, CloseLocation, Message};
    QTest::newRow("both keys absent") << Registry{} << QStringList{} << QStringList{}
                                      << QStringList{OpenTool, OpenLocation, Message};
    QTest::newRow("path of another type counts as found and starts nothing")
        << Registry{toolPath(stored(R"(%SystemRoot%\MSINFO32.EXE)"), 2),
                    toolFolder(stored(R"(C:\Tools)"))}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"} << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{OpenTool, QueryPath, CloseTool, "start ", Message};
    QTest::newRow("folder of another type leaves the file name alone")
        << Registry{toolFolder(stored(R"(%ProgramFiles%\Tools)"), 2)} << QStringList{}
        << QStringList{}
        << QStringList{OpenTool, OpenLocation, QueryFolder, CloseLocation, R"(find \MSINFO32.EXE)",
                       Message};
    QTest::newRow("path stored without its NUL is taken whole")
        << Registry{toolPath(R"(C:\Tools\tool.exe)")} << QStringList{}
        << QStringList{R"(C:\Tools\tool.exe)"}
        << QStringList{OpenTool, QueryPath, CloseTool, R"(start C:\Tools\tool.exe)"};
    QTest::newRow("path longer than the buffer falls back to the folder")
        << Registry{toolPath(stored(QByteArray(1024, 'p'))), toolFolder(stored(R"(C:\Tools)"))}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"} << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{OpenTool,
                       QueryPath,
                       CloseTool,
                       OpenLocation,
                       QueryFolder,
                       CloseLocation,
                       R"(find C:\Tools\MSINFO32.EXE)",
                       R"(start C:\Tools\MSINFO32.EXE)"};
    QTest::newRow("empty path text starts nothing")
        << Registry{toolPath(stored("")), toolFolder(stored(R"(C:\Tools)"))}
        << QStringList{R"(C:\Tools\MSINFO32.EXE)"} << QStringList{R"(C:\Tools\MSINFO32.EXE)"}
        << QStringList{OpenTool, QueryPath, CloseTool, "start ", Message};
}

void TestSysInfoLauncher::startSysInfo()
{
    QFETCH(Registry, registry);
    QFETCH(QStringList, files);
    QFETCH(QStringList, programs);
    QFETCH(QStringList, calls);

    FakeSysInfoPlatform platform;
    fill(platform, registry);
    for (const QString &file : files)
        platform.addFile(file);
    for (const QString &program : programs)
        platform.addProgram(program);

    StartSysInfo(platform);
    QCOMPARE(platform.calls, calls);
}

void TestSysInfoLauncher::readValue_data()
{
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<uint>("type"); // 0: the key has no such value
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("text");

    const QByteArray longest(1023, 'x');
    QTest::newRow("text loses its terminating NUL")
        << true << 1u << QByteArray("abc\0", 4) << true << QByteArray("abc");
    QTest::newRow("text without NUL is whole")
        << true << 1u << QByteArray("abc") << true << QByteArray("abc");
    QTest::newRow("only one of two NULs is cut")
        << true << 1u << QByteArray("abc\0\0", 5) << true << QByteArray("abc\0", 4);
    QTest::newRow("inner NUL is data")
        << true << 1u << QByteArray("a\0bc", 4) << true << QByteArray("a\0bc", 4);
    QTest::newRow("no data gives empty text") << true << 1u << QByteArray() << true << QByteArray();
    QTest::newRow("1023 characters and NUL fill the buffer")
        << true << 1u << stored(longest) << true << longest;
    QTest::newRow("1024 characters without NUL fill the buffer")
        << true << 1u << QByteArray(1024, 'y') << true << QByteArray(1024, 'y');
    QTest::newRow("1025 bytes do not fit")
        << true << 1u << stored(QByteArray(1024, 'z')) << false << QByteArray();
    QTest::newRow("number reads little-endian in decimal")
        << true << 4u << QByteArray("\x78\x56\x34\x12", 4) << true << QByteArray("305419896");
    QTest::newRow("number is unsigned")
        << true << 4u << QByteArray("\xff\xff\xff\xff", 4) << true << QByteArray("4294967295");
    QTest::newRow("number's zero bytes are not a terminator")
        << true << 4u << QByteArray("\x05\0\0\0", 4) << true << QByteArray("5");
    QTest::newRow("expandable text keeps the text on entry")
        << true << 2u << stored("%SystemRoot%") << true << QByteArray("on entry");
    QTest::newRow("binary keeps the text on entry")
        << true << 3u << QByteArray("\x01\x02", 2) << true << QByteArray("on entry");
    QTest::newRow("missing value empties the text")
        << true << 0u << QByteArray() << false << QByteArray();
    QTest::newRow("missing key empties the text")
        << false << 0u << QByteArray() << false << QByteArray();
}

void TestSysInfoLauncher::readValue()
{
    QFETCH(bool, keyExists);
    QFETCH(uint, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, found);
    QFETCH(QByteArray, text);

    FakeSysInfoPlatform platform;
    if (keyExists)
        platform.addKey("Key");
    if (type != 0)
        platform.setValue("Key", "Value", {type, data});

    std::string value = "on entry";
    QCOMPARE(GetKeyValue(platform, SysInfo::LocalMachineRoot, "Key", "Value", value), found);
    QCOMPARE(QByteArray::fromStdString(value), text);
    // An opened key is closed exactly once, after the one query.
    const QStringList expected = keyExists
                                     ? QStringList{"open 0x80000002 Key options=0 access=0x1",
                                                   "query Value size=1024", "close Key"}
                                     : QStringList{"open 0x80000002 Key options=0 access=0x1"};
    QCOMPARE(platform.calls, expected);
}

void TestSysInfoLauncher::platformErrors_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("calls");

    const QString find = R"(find C:\Tools\MSINFO32.EXE)";
    const QString start = R"(start C:\Tools\MSINFO32.EXE)";
    QTest::newRow("open") << "open" << QStringList{OpenTool, Message};
    QTest::newRow("query, the key still closed")
        << "query" << QStringList{OpenTool, QueryPath, CloseTool, Message};
    QTest::newRow("close") << "close" << QStringList{OpenTool, QueryPath, CloseTool, Message};
    QTest::newRow("find") << "find"
                          << QStringList{OpenTool,    QueryPath,     CloseTool, OpenLocation,
                                         QueryFolder, CloseLocation, find,      Message};
    QTest::newRow("start") << "start" << QStringList{OpenTool,     QueryPath,   CloseTool,
                                                     OpenLocation, QueryFolder, CloseLocation,
                                                     find,         start,       Message};
}

void TestSysInfoLauncher::platformErrors()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, calls);

    // Without the error the tool would be found through the folder and started.
    FakeSysInfoPlatform platform;
    fill(platform, Registry{keyOnly(ToolKey), toolFolder(stored(R"(C:\Tools)"))});
    platform.addFile(R"(C:\Tools\MSINFO32.EXE)");
    platform.addProgram(R"(C:\Tools\MSINFO32.EXE)");
    platform.throwOn(operation);

    StartSysInfo(platform);
    QCOMPARE(platform.calls, calls);
}

void TestSysInfoLauncher::searchesAfreshEachTime()
{
    FakeSysInfoPlatform platform;
    StartSysInfo(platform);
    QCOMPARE(platform.calls.last(), Message);

    // The tool installed while the program runs is found on the next press.
    platform.calls.clear();
    fill(platform, Registry{toolPath(stored(R"(C:\Tools\tool.exe)"))});
    platform.addProgram(R"(C:\Tools\tool.exe)");
    StartSysInfo(platform);
    QCOMPARE(platform.calls,
             (QStringList{OpenTool, QueryPath, CloseTool, R"(start C:\Tools\tool.exe)"}));
}

QTEST_APPLESS_MAIN(TestSysInfoLauncher)
#include "tst_sysinfolauncher.moc"
