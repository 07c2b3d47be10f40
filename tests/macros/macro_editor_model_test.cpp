#include "macros/macro_editor_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/macros/fake_launcher.h"
#include "tests/support/test_support.h"

namespace orv::macros {
namespace {

using test::LaunchCall;
using test::LaunchRecorder;

using Boxes = std::array<bool, 3>;

TEST(SameFileName, IgnoresLetterCaseOnly) {
    EXPECT_TRUE(SameFileName("Run.BAT", "run.bat"));
    EXPECT_TRUE(SameFileName("ПРИМЕР.bat", "пример.BAT"));
    EXPECT_TRUE(SameFileName("Ёж.bat", "ёж.bat"));
    EXPECT_FALSE(SameFileName("run.bat", "run.bat "));
    EXPECT_FALSE(SameFileName("run.bat", "run.cmd"));
    EXPECT_FALSE(SameFileName("", "a"));
    EXPECT_TRUE(SameFileName("", ""));
    // Broken UTF-8 compares byte for byte and never matches a letter by accident.
    EXPECT_TRUE(SameFileName("\xD0", "\xD0"));
    EXPECT_FALSE(SameFileName("\xD0", "\xD0\x90"));
}

class MacroEditorTest : public ::testing::Test {
  protected:
    void AddBatch(const std::string& name) { root_.WriteFile("Bat/" + name, "rem\n"); }
    std::string Folder() const { return root_.Join("Bat/"); }
    // Opened on a macro and shown, as the main window opens the editor.
    static void Show(MacroEditorModel& editor, int number) {
        editor.OpenOn(number);
        editor.FormShow();
    }

    std::vector<std::string> SortedList(const MacroEditorModel& editor) {
        std::vector<std::string> list = editor.View().batList;
        std::sort(list.begin(), list.end());
        return list;
    }

    int IndexOf(const MacroEditorModel& editor, const std::string& name) {
        const auto& list = editor.View().batList;
        const auto found = std::find(list.begin(), list.end(), name);
        return found == list.end() ? -1 : static_cast<int>(found - list.begin());
    }

    orv::test::TempDirectory root_{"orv editor"};
    LaunchRecorder recorder_;
};

TEST_F(MacroEditorTest, OpeningShowsTheMacroAndHighlightsItsFile) {
    AddBatch("alpha.bat");
    AddBatch("Beta.bat");
    AddBatch("gamma.bat");
    root_.WriteFile("Bat/notes.txt", "x");
    root_.WriteFile("Bat/alpha.bat.bak", "x");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    ASSERT_TRUE(table.SetSlot(3, MacroSlot{"Backup", "BETA.BAT", kMethodShellExecute}));
    MacroEditorModel editor(table);
    Show(editor, 3);

    EXPECT_EQ(SortedList(editor), (std::vector<std::string>{"Beta.bat", "alpha.bat", "gamma.bat"}));
    EXPECT_EQ(editor.View().nameField, "Backup");
    EXPECT_EQ(editor.View().batFileField, "BETA.BAT");  // the stored spelling
    EXPECT_EQ(editor.View().selectedEntry, IndexOf(editor, "Beta.bat"));
    EXPECT_EQ(editor.View().methodTicked, (Boxes{false, true, false}));
    EXPECT_EQ(table.Working(), (WorkingState{3, kMethodShellExecute, "BETA.BAT"}));
    EXPECT_TRUE(table.EditorOpen());
    editor.FormClose();
    EXPECT_FALSE(table.EditorOpen());
}

TEST_F(MacroEditorTest, StoredFileNotListedSelectsTheFirstEntryButShowsTheStoredFile) {
    AddBatch("one.bat");
    AddBatch("two.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    MacroEditorModel editor(table);
    Show(editor, 1);
    EXPECT_EQ(editor.View().selectedEntry, 0);
    EXPECT_EQ(editor.View().batFileField, "Not Selected");
    EXPECT_EQ(editor.View().nameField, "Macros_1");
}

TEST_F(MacroEditorTest, EmptyOrMissingFolderListsFileNotFoundAndFallsBackToWinExec) {
    for (const std::string& folder : {root_.MakeFolder("Empty") + fs::kSeparator, root_.Join("Missing/")}) {
        MacroTable table(folder, recorder_.MakeLauncher());
        ASSERT_TRUE(table.SetSlot(5, MacroSlot{"five", "five.bat", kMethodCreateProcess}));
        MacroEditorModel editor(table);
        Show(editor, 5);
        EXPECT_EQ(editor.View().batList, std::vector<std::string>{"File not found"});
        EXPECT_EQ(editor.View().selectedEntry, 0);
        EXPECT_EQ(editor.View().batFileField, "five.bat");
        EXPECT_EQ(table.WorkingMethod(), kMethodWinExec);
        EXPECT_EQ(editor.View().methodTicked, (Boxes{true, false, false}));

        // Apply stores the field's text and WinExec; the slot's method changes only now.
        EXPECT_EQ(table.Slot(5).callMethod, kMethodCreateProcess);
        editor.ClickListEntry(0);
        EXPECT_TRUE(editor.Apply());
        EXPECT_EQ(table.Slot(5), (MacroSlot{"five", "File not found", kMethodWinExec}));
    }
}

TEST_F(MacroEditorTest, UpAndDownWalkTheListAndStopAtItsEnds) {
    AddBatch("a.bat");
    AddBatch("b.bat");
    AddBatch("c.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    MacroEditorModel editor(table);
    Show(editor, 2);
    const std::vector<std::string> list = editor.View().batList;
    ASSERT_EQ(list.size(), 3u);
    ASSERT_EQ(editor.View().selectedEntry, 0);

    editor.BatFileUp();  // on the first entry: stays there
    EXPECT_EQ(editor.View().selectedEntry, 0);
    EXPECT_EQ(editor.View().batFileField, list[0]);
    editor.BatFileDown();
    EXPECT_EQ(editor.View().selectedEntry, 1);
    EXPECT_EQ(editor.View().batFileField, list[1]);
    editor.BatFileDown();
    editor.BatFileDown();  // past the last: stays on the last
    EXPECT_EQ(editor.View().selectedEntry, 2);
    EXPECT_EQ(editor.View().batFileField, list[2]);
    editor.BatFileUp();
    EXPECT_EQ(editor.View().batFileField, list[1]);

    editor.Reset();  // the list loses its selection; up then lands on the first entry
    EXPECT_EQ(editor.View().selectedEntry, -1);
    editor.BatFileUp();
    EXPECT_EQ(editor.View().selectedEntry, 0);
    EXPECT_EQ(editor.View().batFileField, list[0]);

    editor.ClickListEntry(2);
    EXPECT_EQ(editor.View().batFileField, list[2]);
    editor.ClickListEntry(7);  // not an entry: nothing changes
    EXPECT_EQ(editor.View().selectedEntry, 2);
    // Walking the list never touches the working state.
    EXPECT_EQ(table.WorkingBatFile(), "Not Selected");
}

TEST_F(MacroEditorTest, MethodBoxesActAsOneGroupAndCloseDropsUnappliedEdits) {
    MacroTable table(Folder(), recorder_.MakeLauncher());
    MacroEditorModel editor(table);
    Show(editor, 6);
    editor.ChooseMethod(kMethodShellExecute);
    EXPECT_EQ(editor.View().methodTicked, (Boxes{false, true, false}));
    editor.ChooseMethod(kMethodCreateProcess);
    EXPECT_EQ(editor.View().methodTicked, (Boxes{false, false, true}));
    editor.SetNameField("changed");
    editor.FormClose();
    EXPECT_EQ(table.Slot(6), DefaultMacroSlot(6));

    Show(editor, 6);
    EXPECT_EQ(editor.View().nameField, "Macros_6");
    EXPECT_EQ(editor.View().methodTicked, (Boxes{true, false, false}));
}

TEST_F(MacroEditorTest, StoredMethodOutsideTheThreeLeavesTheBoxesAsTheyWere) {
    AddBatch("x.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    ASSERT_TRUE(table.SetSlot(1, MacroSlot{"one", "x.bat", kMethodCreateProcess}));
    ASSERT_TRUE(table.SetSlot(2, MacroSlot{"two", "x.bat", 3}));
    MacroEditorModel editor(table);
    Show(editor, 1);
    editor.FormClose();
    Show(editor, 2);
    EXPECT_EQ(editor.View().methodTicked, (Boxes{false, false, true}));
    EXPECT_EQ(table.WorkingMethod(), 3);
    // Apply without touching the boxes keeps the stored value.
    EXPECT_TRUE(editor.Apply());
    EXPECT_EQ(table.Slot(2).callMethod, 3);
}

TEST_F(MacroEditorTest, ApplyStoresTheFieldsAndTheTickedMethod) {
    AddBatch("first.bat");
    AddBatch("second.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    MacroEditorModel editor(table);
    Show(editor, 4);
    editor.SetNameField("Copy reports");
    editor.ClickListEntry(IndexOf(editor, "second.bat"));
    editor.ChooseMethod(kMethodCreateProcess);
    EXPECT_TRUE(editor.Apply());
    EXPECT_EQ(table.Slot(4), (MacroSlot{"Copy reports", "second.bat", kMethodCreateProcess}));
    EXPECT_EQ(table.WorkingBatFile(), "second.bat");
    EXPECT_EQ(table.Indicator(4).hint, "BAT-file OK");

    // A typed name that is no file is stored as typed.
    editor.SetBatFileField("typed.bat");
    EXPECT_TRUE(editor.Apply());
    EXPECT_EQ(table.Slot(4).batFile, "typed.bat");
    EXPECT_EQ(table.Indicator(4).hint, "BAT-file not found");
    // Other macros are untouched.
    for (int n : {1, 2, 3, 5, 6, 7, 8}) {
        EXPECT_EQ(table.Slot(n), DefaultMacroSlot(n)) << n;
    }
}

TEST_F(MacroEditorTest, ResetThenApplyRestoresTheDefaults) {
    AddBatch("job.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    ASSERT_TRUE(table.SetSlot(2, MacroSlot{"Job", "job.bat", kMethodShellExecute}));
    MacroEditorModel editor(table);
    Show(editor, 2);
    editor.Reset();
    EXPECT_EQ(editor.View().nameField, "Macros_2");
    EXPECT_EQ(editor.View().batFileField, "Not Selected");
    EXPECT_EQ(editor.View().selectedEntry, -1);
    EXPECT_EQ(editor.View().methodTicked, (Boxes{true, false, false}));
    EXPECT_EQ(table.Slot(2), (MacroSlot{"Job", "job.bat", kMethodShellExecute}));  // not before Apply

    EXPECT_TRUE(editor.Apply());
    EXPECT_EQ(table.Slot(2), DefaultMacroSlot(2));
    EXPECT_EQ(table.Indicator(2).hint, "BAT-file not Selected");
    EXPECT_EQ(table.Indicator(2).colour, (Rgb(0, 128, 0)));
}

TEST_F(MacroEditorTest, RunStartsTheStoredFileWithTheTickedMethod) {
    AddBatch("stored.bat");
    AddBatch("other.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    ASSERT_TRUE(table.SetSlot(7, MacroSlot{"seven", "stored.bat", kMethodWinExec}));
    MacroEditorModel editor(table);
    Show(editor, 7);
    editor.ChooseMethod(kMethodShellExecute);
    editor.ClickListEntry(IndexOf(editor, "other.bat"));
    editor.SetBatFileField("typed.bat");
    editor.Run();
    EXPECT_EQ(recorder_.Calls(), (std::vector<LaunchCall>{{kMethodShellExecute, Folder() + "stored.bat"}}));

    editor.Reset();  // the field says "Not Selected", the working file is still the stored one
    editor.Run();
    EXPECT_EQ(recorder_.Calls().back(), (LaunchCall{kMethodWinExec, "\"" + Folder() + "stored.bat\""}));
}

TEST_F(MacroEditorTest, ActionStepLaunchDoesNotDisturbTheOpenEditor) {
    AddBatch("mine.bat");
    MacroTable table(Folder(), recorder_.MakeLauncher());
    ASSERT_TRUE(table.SetSlot(1, MacroSlot{"one", "mine.bat", kMethodCreateProcess}));
    ASSERT_TRUE(table.SetSlot(8, MacroSlot{"eight", "theirs.bat", kMethodShellExecute}));
    MacroEditorModel editor(table);
    editor.OpenOn(1);
    table.RunMacro(8);  // the last pass of a stopping scan, between opening and showing
    editor.FormShow();
    table.RunMacro(8);
    EXPECT_EQ(editor.View().nameField, "one");
    EXPECT_EQ(table.Working(), (WorkingState{1, kMethodCreateProcess, "mine.bat"}));
    EXPECT_TRUE(editor.Apply());
    EXPECT_EQ(table.Slot(8), (MacroSlot{"eight", "theirs.bat", kMethodShellExecute}));
    editor.Run();
    EXPECT_EQ(recorder_.Calls().back(), (LaunchCall{kMethodCreateProcess, Folder() + "mine.bat"}));
}

}  // namespace
}  // namespace orv::macros
