#include "macros/macro_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/macros/fake_launcher.h"
#include "tests/support/test_support.h"

namespace orv::macros {
namespace {

using test::LaunchCall;
using test::LaunchRecorder;

reg::Key OpenKey(const std::string& path) {
    reg::Key key;
    EXPECT_TRUE(reg::Key::Open(path, true, key));
    return key;
}

std::string ReadString(const reg::Key& key, const std::string& name) {
    std::string value;
    EXPECT_EQ(key.ReadString(name, value), reg::Status::Ok) << name;
    return value;
}

int32_t ReadInt(const reg::Key& key, const std::string& name) {
    int32_t value = -12345;
    EXPECT_EQ(key.ReadInt(name, value), reg::Status::Ok) << name;
    return value;
}

TEST(MacroStorage, FreshRegistryGivesEightDefaultMacrosAndSavesAll24Values) {
    orv::test::ScratchKey scratch("macros");
    MacroTable table("bat" + std::string(1, fs::kSeparator), LaunchRecorder().MakeLauncher());
    EXPECT_TRUE(table.Load(scratch.Path()).empty());
    for (int n = 1; n <= kObjectCount; ++n) {
        const MacroSlot slot = table.Slot(n);
        EXPECT_EQ(slot.name, "Macros_" + std::to_string(n));
        EXPECT_EQ(slot.batFile, "Not Selected");
        EXPECT_EQ(slot.callMethod, kMethodWinExec);
    }
    // Loading creates the key, without values.
    reg::Key probe;
    ASSERT_TRUE(reg::Key::Open(scratch.Path(), false, probe));
    EXPECT_TRUE(probe.ValueNames().empty());

    EXPECT_TRUE(table.Save(scratch.Path()).empty());
    const reg::Key key = OpenKey(scratch.Path());
    for (int n = 1; n <= kObjectCount; ++n) {
        const std::string digit = std::to_string(n);
        EXPECT_EQ(key.TypeOf("Macros_" + digit + "_Name"), reg::ValueType::String);
        EXPECT_EQ(key.TypeOf("Macros_" + digit + "_File_BAT"), reg::ValueType::String);
        EXPECT_EQ(key.TypeOf("Macros_" + digit + "_Regime_BAT"), reg::ValueType::Dword);
        EXPECT_EQ(ReadString(key, "Macros_" + digit + "_Name"), "Macros_" + digit);
        EXPECT_EQ(ReadString(key, "Macros_" + digit + "_File_BAT"), "Not Selected");
        EXPECT_EQ(ReadInt(key, "Macros_" + digit + "_Regime_BAT"), 0);
    }
    // Exactly these 24 names, spelt as above, and nothing else.
    std::vector<std::string> expected;
    for (int n = 1; n <= kObjectCount; ++n) {
        for (const char* suffix : {"_Name", "_File_BAT", "_Regime_BAT"}) {
            expected.push_back("Macros_" + std::to_string(n) + suffix);
        }
    }
    std::vector<std::string> names = key.ValueNames();
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

TEST(MacroStorage, SavedMacrosLoadBackUnchanged) {
    orv::test::ScratchKey scratch("macros");
    std::array<MacroSlot, kObjectCount> slots;
    {
        MacroTable table("", LaunchRecorder().MakeLauncher());
        for (int n = 1; n <= kObjectCount; ++n) {
            // Method 7 is no call method but is kept as stored; names with blanks and Cyrillic survive.
            slots[n - 1] = MacroSlot{"Макрос " + std::to_string(n), "file " + std::to_string(n) + ".bat",
                                     n == 8 ? 7 : (n % 3)};
            ASSERT_TRUE(table.SetSlot(n, slots[n - 1]));
        }
        slots[1].name = "";  // an empty name is a value like any other
        ASSERT_TRUE(table.SetSlot(2, slots[1]));
        EXPECT_TRUE(table.Save(scratch.Path()).empty());
    }
    MacroTable reloaded("", LaunchRecorder().MakeLauncher());
    EXPECT_TRUE(reloaded.Load(scratch.Path()).empty());
    EXPECT_EQ(reloaded.Slots(), slots);
}

TEST(MacroStorage, LoadReplacesEarlierEditsAndTakesDefaultsForMissingValues) {
    orv::test::ScratchKey scratch("macros");
    {
        reg::Key key = OpenKey(scratch.Path());
        ASSERT_EQ(key.WriteString("Macros_5_File_BAT", "five.bat"), reg::Status::Ok);
        ASSERT_EQ(key.WriteInt("Macros_6_Regime_BAT", 2), reg::Status::Ok);
        ASSERT_EQ(key.WriteExpandString("Macros_7_Name", "%TEMP%"), reg::Status::Ok);
    }
    MacroTable table("", LaunchRecorder().MakeLauncher());
    ASSERT_TRUE(table.SetSlot(1, MacroSlot{"edited", "edited.bat", 2}));
    table.SetCurrentMacro(3);
    EXPECT_TRUE(table.Load(scratch.Path()).empty());
    EXPECT_EQ(table.Slot(1), DefaultMacroSlot(1));
    EXPECT_EQ(table.Slot(5), (MacroSlot{"Macros_5", "five.bat", 0}));
    EXPECT_EQ(table.Slot(6), (MacroSlot{"Macros_6", "Not Selected", 2}));
    EXPECT_EQ(table.Slot(7).name, "%TEMP%");  // read as stored, not expanded
    EXPECT_EQ(table.CurrentMacro(), 0);
}

TEST(MacroStorage, ValueOfWrongTypeTakesItsDefaultAndTheRestStillLoads) {
    orv::test::ScratchKey scratch("macros");
    {
        MacroTable writer("", LaunchRecorder().MakeLauncher());
        for (int n = 1; n <= kObjectCount; ++n) {
            ASSERT_TRUE(writer.SetSlot(n, MacroSlot{"name" + std::to_string(n), "f.bat", 1}));
        }
        ASSERT_TRUE(writer.Save(scratch.Path()).empty());
        reg::Key key = OpenKey(scratch.Path());
        ASSERT_EQ(key.WriteInt("Macros_2_Name", 5), reg::Status::Ok);
        ASSERT_EQ(key.WriteBinary("Macros_2_File_BAT", "xy"), reg::Status::Ok);
        ASSERT_EQ(key.WriteString("Macros_4_Regime_BAT", "2"), reg::Status::Ok);
    }
    MacroTable table("", LaunchRecorder().MakeLauncher());
    const std::vector<std::string> failed = table.Load(scratch.Path());
    EXPECT_EQ(failed,
              (std::vector<std::string>{"Macros_2_Name", "Macros_2_File_BAT", "Macros_4_Regime_BAT"}));
    EXPECT_EQ(table.Slot(2), (MacroSlot{"Macros_2", "Not Selected", 1}));
    EXPECT_EQ(table.Slot(4), (MacroSlot{"name4", "f.bat", 0}));
    for (int n : {1, 3, 5, 6, 7, 8}) {
        EXPECT_EQ(table.Slot(n), (MacroSlot{"name" + std::to_string(n), "f.bat", 1})) << n;
    }
    // The next save repairs the stored types.
    EXPECT_TRUE(table.Save(scratch.Path()).empty());
    const reg::Key key = OpenKey(scratch.Path());
    EXPECT_EQ(key.TypeOf("Macros_2_File_BAT"), reg::ValueType::String);
    EXPECT_EQ(key.TypeOf("Macros_4_Regime_BAT"), reg::ValueType::Dword);
}

TEST(MacroStorage, KeyThatCannotBeCreatedReportsEveryValueAsNotWritten) {
    orv::test::ScratchKey scratch("macros");
    // The registry refuses key names longer than 255 characters.
    const std::string unusable = scratch.Path() + std::string(300, 'k') + "\\";
    MacroTable table("", LaunchRecorder().MakeLauncher());
    ASSERT_TRUE(table.SetSlot(3, MacroSlot{"kept", "kept.bat", 2}));
    const std::vector<std::string> failed = table.Save(unusable);
    ASSERT_EQ(failed.size(), 24u);
    EXPECT_EQ(failed.front(), "Macros_1_Name");
    EXPECT_EQ(failed[7], "Macros_3_File_BAT");
    EXPECT_EQ(failed.back(), "Macros_8_Regime_BAT");
    // Nothing is lost in the table, and loading from such a key gives the defaults without complaint.
    EXPECT_EQ(table.Slot(3), (MacroSlot{"kept", "kept.bat", 2}));
    EXPECT_TRUE(table.Load(unusable).empty());
    EXPECT_EQ(table.Slot(3), DefaultMacroSlot(3));
}

TEST(MacroStorage, SaveResetsTheCurrentMacro) {
    orv::test::ScratchKey scratch("macros");
    MacroTable table("", LaunchRecorder().MakeLauncher());
    table.SetCurrentMacro(6);
    table.Save(scratch.Path());
    EXPECT_EQ(table.CurrentMacro(), 0);
}

class RunMacroTest : public ::testing::Test {
  protected:
    const std::string folder_ = std::string("D:\\Tools\\Bat") + fs::kSeparator;
    LaunchRecorder recorder_;
    MacroTable table_{folder_, recorder_.MakeLauncher()};
};

TEST_F(RunMacroTest, StartsTheSlotsFileByItsMethodAndBecomesTheWorkingState) {
    ASSERT_TRUE(table_.SetSlot(3, MacroSlot{"three", "three.bat", kMethodShellExecute}));
    ASSERT_TRUE(table_.SetSlot(7, MacroSlot{"seven", "seven.bat", kMethodCreateProcess}));
    ASSERT_TRUE(table_.SetSlot(1, MacroSlot{"one", "one.bat", kMethodWinExec}));
    table_.RunMacro(3);
    table_.RunMacro(7);
    table_.RunMacro(1);
    const std::vector<LaunchCall> expected{
        {kMethodShellExecute, folder_ + "three.bat"},
        {kMethodCreateProcess, folder_ + "seven.bat"},
        {kMethodWinExec, "\"" + folder_ + "one.bat\""},
    };
    EXPECT_EQ(recorder_.Calls(), expected);
    EXPECT_EQ(table_.Working(), (WorkingState{1, kMethodWinExec, "one.bat"}));
    EXPECT_EQ(table_.Slot(1), (MacroSlot{"one", "one.bat", kMethodWinExec}));
}

TEST_F(RunMacroTest, NothingIsStartedForPlaceholdersForeignPathsOrUnknownMethods) {
    const std::vector<MacroSlot> slots{
        {"a", "Not Selected", kMethodWinExec},
        {"b", "File not found", kMethodShellExecute},
        {"c", "..\\x.bat", kMethodCreateProcess},
        {"d", "C:\\x.bat", kMethodWinExec},
        {"e", "ok.bat", 3},
        {"f", "", kMethodShellExecute},
        {"g", "../x.bat", kMethodShellExecute},
        {"h", "ok.bat", -1},
    };
    for (int n = 1; n <= kObjectCount; ++n) {
        ASSERT_TRUE(table_.SetSlot(n, slots[n - 1]));
        table_.RunMacro(n);
        // The attempt still becomes the working state, like any launch.
        EXPECT_EQ(table_.Working(), (WorkingState{n, slots[n - 1].callMethod, slots[n - 1].batFile}));
    }
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(RunMacroTest, NumbersOutsideTheTableDoNothing) {
    ASSERT_TRUE(table_.SetSlot(1, MacroSlot{"one", "one.bat", kMethodWinExec}));
    table_.SetCurrentMacro(2);
    for (int n : {0, 9, -1}) {
        table_.RunMacro(n);
        EXPECT_FALSE(table_.SetSlot(n, MacroSlot{}));
        EXPECT_EQ(table_.Slot(n), MacroSlot{});
    }
    EXPECT_TRUE(recorder_.Calls().empty());
    EXPECT_EQ(table_.CurrentMacro(), 2);
}

TEST_F(RunMacroTest, LaunchWhileTheEditorIsOpenLeavesTheWorkingStateAlone) {
    ASSERT_TRUE(table_.SetSlot(2, MacroSlot{"two", "two.bat", kMethodShellExecute}));
    ASSERT_TRUE(table_.SetSlot(5, MacroSlot{"five", "five.bat", kMethodCreateProcess}));
    table_.BeginEditing(2);
    table_.LoadCurrentMacro();
    table_.SetWorkingMethod(kMethodWinExec);  // the user ticked another box
    table_.RunMacro(5);
    EXPECT_EQ(table_.Working(), (WorkingState{2, kMethodWinExec, "two.bat"}));
    EXPECT_EQ(recorder_.Calls(), (std::vector<LaunchCall>{{kMethodCreateProcess, folder_ + "five.bat"}}));

    table_.EndEditing();
    table_.RunMacro(5);
    EXPECT_EQ(table_.Working(), (WorkingState{5, kMethodCreateProcess, "five.bat"}));
}

TEST_F(RunMacroTest, EditorRunUsesTheWorkingFileAndMethod) {
    ASSERT_TRUE(table_.SetSlot(4, MacroSlot{"four", "four.bat", kMethodWinExec}));
    table_.BeginEditing(4);
    table_.LoadCurrentMacro();
    table_.SetWorkingMethod(kMethodCreateProcess);
    table_.RunWorking();
    table_.SetWorkingMethod(9);
    table_.RunWorking();
    EXPECT_EQ(recorder_.Calls(), (std::vector<LaunchCall>{{kMethodCreateProcess, folder_ + "four.bat"}}));
    EXPECT_EQ(table_.Slot(4).callMethod, kMethodWinExec);
}

TEST(MacroIndicators, OkNotSelectedAndNotFound) {
    orv::test::TempDirectory root("orv indicators");
    root.WriteFile("Bat/ok.bat", "rem\n");
    root.WriteFile("Other/Not Selected", "rem\n");
    root.WriteFile("outside.bat", "rem\n");
    root.MakeFolder("Bat/folder.bat");
    const std::string folder = root.Join("Bat/");
    const MacroIndicator ok{"BAT-file OK", Rgb(192, 192, 192)};
    const MacroIndicator notSelected{"BAT-file not Selected", Rgb(0, 128, 0)};
    const MacroIndicator notFound{"BAT-file not found", Rgb(255, 0, 0)};

    EXPECT_EQ(BatFileIndicator(folder, "ok.bat"), ok);
    EXPECT_EQ(BatFileIndicator(folder, "missing.bat"), notFound);
    EXPECT_EQ(BatFileIndicator(folder, "not selected"), notFound);
    EXPECT_EQ(BatFileIndicator(folder, "folder.bat"), notFound);
    EXPECT_EQ(BatFileIndicator(folder, ".." + std::string(1, fs::kSeparator) + "outside.bat"), notFound);
    EXPECT_EQ(BatFileIndicator(folder, root.Join("outside.bat")), notFound);
    // An existing file is tested first, even one named like the placeholder.
    EXPECT_EQ(BatFileIndicator(root.Join("Other/"), "Not Selected"), ok);
    EXPECT_EQ(BatFileIndicator(root.Join("Nowhere/"), "Not Selected"), notSelected);

    MacroTable table(folder, LaunchRecorder().MakeLauncher());
    ASSERT_TRUE(table.SetSlot(8, MacroSlot{"x", "ok.bat", 1}));
    EXPECT_EQ(table.Indicator(8), ok);
    ASSERT_TRUE(fs::RemoveFile(root.Join("Bat/ok.bat")));
    EXPECT_EQ(table.Indicator(8), notFound);
}

TEST(MacroIndicators, AFileWinExecCannotBeGivenIsUnusableAndNeverStarted) {
    orv::test::TempDirectory root("orv unusable");
    root.WriteFile("Bat/far.bat", "rem\n");
    const std::string folder = root.Join("Bat/");
    LaunchRecorder recorder;
    recorder.MakeUnusable(folder + "far.bat");
    MacroTable table(folder, recorder.MakeLauncher());
    ASSERT_TRUE(table.SetSlot(1, MacroSlot{"x", "far.bat", kMethodWinExec}));
    ASSERT_TRUE(table.SetSlot(2, MacroSlot{"x", "far.bat", kMethodShellExecute}));

    // Red, with a hint in the interface's language that says why.
    const MacroIndicator russian = table.Indicator(1, lang::kRussian);
    EXPECT_EQ(russian.colour, kBatFileNotFoundColour);
    EXPECT_EQ(russian.hint, lang::LanguageTable::Russian(lang::TextId::BatFileUnusableHint));
    EXPECT_EQ(table.Indicator(1, lang::kEnglish).hint,
              lang::LanguageTable::English(lang::TextId::BatFileUnusableHint));
    // The wide-character methods are not limited by the code page.
    EXPECT_EQ(table.Indicator(2).colour, kBatFileOkColour);

    table.RunMacro(1);
    table.RunMacro(2);
    EXPECT_EQ(recorder.Calls(), (std::vector<LaunchCall>{{kMethodShellExecute, folder + "far.bat"}}));
}

}  // namespace
}  // namespace orv::macros
