#include "macros/macro_launch.h"

#include <gtest/gtest.h>

#include <string>

#include "macros/macro_table.h"
#include "platform/files.h"
#include "tests/macros/fake_launcher.h"
#include "tests/support/test_support.h"

namespace orv::macros {
namespace {

using test::LaunchCall;
using test::LaunchRecorder;

const std::string kFolder = std::string("C:\\Users\\Some One\\Orvanter\\Bat") + fs::kSeparator;

TEST(BatFileNames, BareNamesAreAccepted) {
    for (const char* name : {"run.bat", "Run It.BAT", "a", "x.y.bat", "пример.bat", "-.bat", " lead.bat"}) {
        EXPECT_TRUE(IsBareFileName(name)) << name;
        EXPECT_TRUE(IsStartableBatFile(name)) << name;
    }
}

TEST(BatFileNames, AnythingThatCouldLeaveTheFolderIsRefused) {
    for (const char* name : {"", ".", "..", "..\\x.bat", "../x.bat", "C:\\x.bat", "C:x.bat", "sub\\x.bat",
                             "sub/x.bat", "\\\\server\\share\\x.bat", "*.bat", "x?.bat", "x\".bat",
                             "x.bat\" other", "a<b.bat", "a>b.bat", "a|b.bat", "tab\t.bat"}) {
        EXPECT_FALSE(IsBareFileName(name)) << name;
        EXPECT_FALSE(IsStartableBatFile(name)) << name;
    }
}

TEST(BatFileNames, PlaceholdersAreNotFiles) {
    EXPECT_FALSE(IsStartableBatFile("Not Selected"));
    EXPECT_FALSE(IsStartableBatFile("File not found"));
    // Only the exact placeholders: another spelling could be a real file.
    EXPECT_TRUE(IsStartableBatFile("not selected"));
}

TEST(StartBatFile, EachMethodGetsThePathInItsOwnForm) {
    LaunchRecorder recorder;
    const Launcher launcher = recorder.MakeLauncher();
    StartBatFile(launcher, kFolder, "go.bat", kMethodWinExec);
    StartBatFile(launcher, kFolder, "go.bat", kMethodShellExecute);
    StartBatFile(launcher, kFolder, "go.bat", kMethodCreateProcess);
    const std::string path = kFolder + "go.bat";
    const std::vector<LaunchCall> expected{
        {kMethodWinExec, "\"" + path + "\""},
        {kMethodShellExecute, path},
        {kMethodCreateProcess, path},
    };
    EXPECT_EQ(recorder.Calls(), expected);
}

TEST(StartBatFile, UnknownMethodsAndUnstartableFilesStartNothing) {
    LaunchRecorder recorder;
    const Launcher launcher = recorder.MakeLauncher();
    for (CallMethod method : {-1, 3, 100}) {
        StartBatFile(launcher, kFolder, "go.bat", method);
    }
    for (const char* file : {"Not Selected", "File not found", "..\\x.bat", "C:\\x.bat", ""}) {
        for (CallMethod method : {kMethodWinExec, kMethodShellExecute, kMethodCreateProcess}) {
            StartBatFile(launcher, kFolder, file, method);
        }
    }
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST(StartBatFile, MissingOrThrowingLauncherIsSwallowed) {
    StartBatFile(Launcher{}, kFolder, "go.bat", kMethodShellExecute);
    Launcher throwing{
        [](const std::string&, const launch::Environment&) -> bool { throw std::runtime_error("refused"); },
        [](const std::string&, const launch::Environment&) -> bool { throw std::runtime_error("refused"); },
        [](const std::string&, const launch::Environment&) -> bool { throw std::runtime_error("refused"); },
        [](const std::string&) -> std::optional<std::string> { throw std::runtime_error("refused"); },
    };
    for (CallMethod method : {kMethodWinExec, kMethodShellExecute, kMethodCreateProcess}) {
        StartBatFile(throwing, kFolder, "go.bat", method);
    }
    SUCCEED();
}

// Real starts: a batch file in a Bat folder whose path has a blank writes a marker file. On Windows
// the command interpreter runs it, elsewhere /bin/sh does; the one line suits both.
class RealLaunch : public ::testing::Test {
  protected:
    std::string WriteMarkerBatch(const std::string& name, const std::string& marker) {
#ifdef _WIN32
        const char* lineEnd = "\r\n";
#else
        const char* lineEnd = "\n";
#endif
        return root_.WriteFile("Program Files/Bat/" + name, "echo ran> \"" + marker + "\"" + lineEnd);
    }
    std::string BatFolder() const {
        return root_.Join("Program Files/Bat/");
    }
    std::string Marker(const std::string& name) const {
        return root_.Join(name);
    }

    orv::test::TempDirectory root_{"orv macros"};
};

TEST_F(RealLaunch, EveryCallMethodRunsTheBatchFile) {
    const CallMethod methods[] = {kMethodWinExec, kMethodShellExecute, kMethodCreateProcess};
    MacroTable table(BatFolder());
    for (CallMethod method : methods) {
        const std::string index = std::to_string(method);
        const std::string marker = Marker("marker " + index + ".txt");
        WriteMarkerBatch("write " + index + ".bat", marker);
        ASSERT_TRUE(table.SetSlot(method + 1, MacroSlot{"m", "write " + index + ".bat", method}));
        table.RunMacro(method + 1);
        EXPECT_TRUE(orv::test::WaitFor([&] { return fs::IsFile(marker); })) << "method " << method;
    }
}

TEST_F(RealLaunch, NamesReachingOutsideTheBatFolderStartNothing) {
    const std::string outsideMarker = Marker("outside marker.txt");
    const std::string outside =
        root_.WriteFile("Program Files/outside.bat", "echo ran> \"" + outsideMarker + "\"\n");
    const std::string sentinelMarker = Marker("sentinel marker.txt");
    WriteMarkerBatch("sentinel.bat", sentinelMarker);
    const std::string up = std::string("..") + fs::kSeparator + "outside.bat";
    MacroTable table(BatFolder());
    ASSERT_TRUE(table.SetSlot(1, MacroSlot{"up", up, kMethodWinExec}));
    ASSERT_TRUE(table.SetSlot(2, MacroSlot{"up", up, kMethodShellExecute}));
    ASSERT_TRUE(table.SetSlot(3, MacroSlot{"up", up, kMethodCreateProcess}));
    ASSERT_TRUE(table.SetSlot(4, MacroSlot{"full", outside, kMethodShellExecute}));
    ASSERT_TRUE(table.SetSlot(5, MacroSlot{"sentinel", "sentinel.bat", kMethodShellExecute}));
    for (int n = 1; n <= 5; ++n) {
        table.RunMacro(n);
    }
    // The sentinel was started last; by the time it has run, a start of the others would have too.
    ASSERT_TRUE(orv::test::WaitFor([&] { return fs::IsFile(sentinelMarker); }));
    EXPECT_FALSE(fs::IsFile(outsideMarker));
}

TEST_F(RealLaunch, EditorRunStartsTheWorkingFile) {
    const std::string marker = Marker("editor marker.txt");
    WriteMarkerBatch("try.bat", marker);
    MacroTable table(BatFolder());
    ASSERT_TRUE(table.SetSlot(4, MacroSlot{"m", "try.bat", kMethodShellExecute}));
    table.SetCurrentMacro(4);
    table.LoadCurrentMacro();
    table.RunWorking();
    EXPECT_TRUE(orv::test::WaitFor([&] { return fs::IsFile(marker); }));
}

}  // namespace
}  // namespace orv::macros
