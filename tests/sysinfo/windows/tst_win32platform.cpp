// The launcher over the real Win32 implementation, against Wine's registry, file system and
// process start. The rows follow the launcher's native table tests.
#include "sysinfo/SysInfoLauncher.h"
#include "tests/sysinfo/windows/RecordingPlatform.h"
#include "tests/sysinfo/windows/RegistryScratch.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <windows.h>

namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

const std::string ToolKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
const std::string LocationKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";
// access=1 is the query-value right alone. Wine checks no access rights, so only the recorded
// call can show that the keys are opened for reading only.
const std::string OpenTool = "open " + ToolKey + " access=1";
const std::string OpenLocation = "open " + LocationKey + " access=1";
const std::vector<std::string> Unavailable{"System Information Is Unavailable At This Time"};

std::string stored(const std::string &text)
{
    return text + '\0';
}

std::string folderOfThisTest()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(std::string(path, length)).parent_path().string();
}

// The marker tool's report, "name=value" lines, once it has run; empty after 10 s without.
std::map<std::string, std::string> waitForRun(const std::string &program)
{
    std::map<std::string, std::string> report;
    for (int attempt = 0; attempt < 200 && report.empty(); ++attempt) {
        std::ifstream marker(program + ".ran");
        for (std::string line; std::getline(marker, line);) {
            const auto equals = line.find('=');
            report[line.substr(0, equals)] = line.substr(equals + 1);
        }
        if (report.empty())
            Sleep(50);
    }
    return report;
}

class Win32Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry.createKey(ToolKey);
        registry.createKey(LocationKey);
        registry.removeValue(ToolKey, "PATH");
        registry.removeValue(LocationKey, "MSINFO");
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        folder = std::string(temp) + "pourwise-launcher-" + std::to_string(GetCurrentProcessId());
        fs::remove_all(folder);
        ASSERT_TRUE(fs::create_directories(folder));
    }

    void TearDown() override
    {
        // A started tool may still be ending, and Windows keeps a running program's file.
        std::error_code error;
        for (int attempt = 0; attempt < 50 && fs::exists(folder); ++attempt) {
            fs::remove_all(folder, error);
            if (fs::exists(folder))
                Sleep(100);
        }
    }

    std::string at(const std::string &relative) const { return folder + '\\' + relative; }

    // Puts a copy of the marker tool at `relative` below the test folder.
    std::string placeTool(const std::string &relative)
    {
        const fs::path target = at(relative);
        fs::create_directories(target.parent_path());
        fs::copy_file(folderOfThisTest() + "\\marker_tool.exe", target);
        return target.string();
    }

    RegistryScratch registry;
    RecordingPlatform platform;
    std::string folder;
};

TEST_F(Win32Launcher, RecordedPathStartsAsOneProgramInANormalWindow)
{
    const std::string tool = placeTool(R"(Tool Box\run tool.exe)");
    // What Windows would run if the path were split at its space as a command line.
    const std::string planted = placeTool("Tool.exe");
    const std::string folderTool = placeTool(R"(Tools\MSINFO32.EXE)");
    registry.setValue(ToolKey, "PATH", REG_SZ, stored(tool));
    registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at("Tools")));

    StartSysInfo(platform);

    EXPECT_EQ(platform.calls, (Calls{OpenTool, "query PATH", "close", "start " + tool}));
    EXPECT_TRUE(platform.messages.empty());
    auto report = waitForRun(tool);
    ASSERT_FALSE(report.empty()) << "the recorded program did not run";
    EXPECT_EQ(report["command"], '"' + tool + '"');
    EXPECT_TRUE(std::stoul(report["flags"]) & STARTF_USESHOWWINDOW);
    EXPECT_EQ(report["show"], std::to_string(SW_SHOWNORMAL));
    EXPECT_FALSE(fs::exists(planted + ".ran"));
    EXPECT_FALSE(fs::exists(folderTool + ".ran"));
}

TEST_F(Win32Launcher, RecordedPathThatCannotStartShowsTheMessage)
{
    placeTool(R"(Tools\MSINFO32.EXE)");
    registry.setValue(ToolKey, "PATH", REG_SZ, stored(at("missing.exe")));
    registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at("Tools")));

    StartSysInfo(platform);

    EXPECT_EQ(platform.calls,
              (Calls{OpenTool, "query PATH", "close", "start " + at("missing.exe")}));
    EXPECT_EQ(platform.messages, Unavailable);
}

TEST_F(Win32Launcher, FolderHoldingTheToolIsUsedWhenNoPathIsRecorded)
{
    const std::string tool = placeTool(R"(Tools\MSINFO32.EXE)");
    registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at("Tools")));

    StartSysInfo(platform);

    EXPECT_EQ(platform.calls, (Calls{OpenTool, "query PATH", "close", OpenLocation, "query MSINFO",
                                     "close", "find " + tool, "start " + tool}));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(waitForRun(tool).empty());
}

TEST_F(Win32Launcher, FolderEndingInABackslashIsUsedUnchanged)
{
    const std::string tool = placeTool(R"(Tools\MSINFO32.EXE)");
    registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at("Tools") + '\\'));

    StartSysInfo(platform);

    const std::string doubled = at(R"(Tools\\MSINFO32.EXE)");
    EXPECT_EQ(platform.calls, (Calls{OpenTool, "query PATH", "close", OpenLocation, "query MSINFO",
                                     "close", "find " + doubled, "start " + doubled}));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(waitForRun(tool).empty());
}

TEST_F(Win32Launcher, FolderWithoutTheToolShowsTheMessage)
{
    fs::create_directories(at("Empty"));
    registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at("Empty")));

    StartSysInfo(platform);

    EXPECT_EQ(platform.calls, (Calls{OpenTool, "query PATH", "close", OpenLocation, "query MSINFO",
                                     "close", "find " + at(R"(Empty\MSINFO32.EXE)")}));
    EXPECT_EQ(platform.messages, Unavailable);
}

TEST_F(Win32Launcher, OnlyANormalFileCountsAsTheTool)
{
    struct Variant {
        std::string folder;
        DWORD attribute;
    };
    for (const Variant &variant :
         {Variant{"Hidden", FILE_ATTRIBUTE_HIDDEN}, Variant{"System", FILE_ATTRIBUTE_SYSTEM},
          Variant{"Folder", FILE_ATTRIBUTE_DIRECTORY}}) {
        SCOPED_TRACE(variant.folder);
        const std::string tool = at(variant.folder + R"(\MSINFO32.EXE)");
        if (variant.attribute == FILE_ATTRIBUTE_DIRECTORY) {
            fs::create_directories(tool);
        } else {
            placeTool(variant.folder + R"(\MSINFO32.EXE)");
            ASSERT_TRUE(SetFileAttributesA(tool.c_str(), variant.attribute));
        }
        const DWORD attributes = GetFileAttributesA(tool.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & variant.attribute))
            GTEST_SKIP() << "this file system keeps no " << variant.folder << " attribute";
        registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at(variant.folder)));
        platform.calls.clear();
        platform.messages.clear();

        StartSysInfo(platform);

        EXPECT_EQ(platform.calls.back(), "find " + tool);
        EXPECT_EQ(platform.messages, Unavailable);
        SetFileAttributesA(tool.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Win32Launcher, BothValuesAbsentShowsTheMessage)
{
    StartSysInfo(platform);

    EXPECT_EQ(platform.calls,
              (Calls{OpenTool, "query PATH", "close", OpenLocation, "query MSINFO", "close"}));
    EXPECT_EQ(platform.messages, Unavailable);
}

TEST_F(Win32Launcher, MissingFolderKeyShowsTheMessage)
{
    if (!registry.removeCreatedKey(LocationKey))
        GTEST_SKIP() << "the folder key belongs to this Wine prefix";

    StartSysInfo(platform);

    EXPECT_EQ(platform.calls, (Calls{OpenTool, "query PATH", "close", OpenLocation}));
    EXPECT_EQ(platform.messages, Unavailable);
}

TEST_F(Win32Launcher, PathOfAnotherTypeCountsAsFoundAndStartsNothing)
{
    const std::string tool = placeTool(R"(Tools\MSINFO32.EXE)");
    registry.setValue(ToolKey, "PATH", REG_EXPAND_SZ, stored(tool));
    registry.setValue(LocationKey, "MSINFO", REG_SZ, stored(at("Tools")));

    StartSysInfo(platform);

    EXPECT_EQ(platform.calls, (Calls{OpenTool, "query PATH", "close", "start "}));
    EXPECT_EQ(platform.messages, Unavailable);
}

struct ValueRow {
    std::string name;
    bool present;
    DWORD type;
    std::string data;
    bool found;
    std::string text;
};

class Win32ValueRead : public ::testing::TestWithParam<ValueRow> {
protected:
    RegistryScratch registry;
};

TEST_P(Win32ValueRead, ReadsTheValueAsText)
{
    const ValueRow &row = GetParam();
    const std::string key = R"(SOFTWARE\Pourwise Launcher Test)";
    registry.createKey(key);
    if (row.present)
        registry.setValue(key, "Value", row.type, row.data);
    Win32SysInfoPlatform platform([](const std::string &) {});

    std::string text = "on entry";
    EXPECT_EQ(GetKeyValue(platform, SysInfo::LocalMachineRoot, key, "Value", text), row.found);
    EXPECT_EQ(text, row.text);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Rows, Win32ValueRead,
    ::testing::Values(
        ValueRow{"TextLosesItsNul", true, REG_SZ, "abc\0"s, true, "abc"},
        ValueRow{"TextWithoutNulIsWhole", true, REG_SZ, "abc", true, "abc"},
        ValueRow{"OnlyOneOfTwoNulsIsCut", true, REG_SZ, "abc\0\0"s, true, "abc\0"s},
        ValueRow{"LongestTextFits", true, REG_SZ, stored(std::string(1023, 'x')), true,
                 std::string(1023, 'x')},
        ValueRow{"LongerTextFails", true, REG_SZ, stored(std::string(1024, 'x')), false, ""},
        ValueRow{"NumberInDecimal", true, REG_DWORD, "\x78\x56\x34\x12"s, true, "305419896"},
        ValueRow{"NumberIsUnsigned", true, REG_DWORD, "\xff\xff\xff\xff"s, true, "4294967295"},
        ValueRow{"ExpandableTextKeepsTheEntryText", true, REG_EXPAND_SZ, stored("%TEMP%"), true,
                 "on entry"},
        ValueRow{"MultiTextKeepsTheEntryText", true, REG_MULTI_SZ, "a\0b\0\0"s, true, "on entry"},
        ValueRow{"MissingValueEmptiesTheText", false, REG_NONE, "", false, ""}),
    [](const ::testing::TestParamInfo<ValueRow> &info) { return info.param.name; });

TEST(Win32KeyRead, MissingKeyEmptiesTheText)
{
    Win32SysInfoPlatform platform([](const std::string &) {});
    std::string text = "on entry";
    EXPECT_FALSE(GetKeyValue(platform, SysInfo::LocalMachineRoot,
                             R"(SOFTWARE\Pourwise No Such Key)", "Value", text));
    EXPECT_EQ(text, "");
}

} // namespace
