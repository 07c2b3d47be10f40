// The object panel's decisions without a window: presence by type, the display invariant, and what a
// confirmed browse does to an object.
#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "ui/panel_logic.h"

namespace orv::ui {
namespace {

using lang::TextId;

TEST(PanelLogic, PresenceDependsOnTheType) {
    orv::test::TempDirectory folder("panel");
    const std::string file = folder.WriteFile("a.txt", "x");
    const std::string exe = folder.WriteFile("tool.exe", "MZ");
    const std::string upperExe = folder.WriteFile("Tool2.EXE", "MZ");
    const std::string exeFolder = folder.MakeFolder("dir.exe");
    EXPECT_TRUE(ItemPresent(0, file));
    EXPECT_FALSE(ItemPresent(0, folder.Path()));
    EXPECT_FALSE(ItemPresent(0, ""));
    EXPECT_FALSE(ItemPresent(0, folder.Join("missing.txt")));
    EXPECT_TRUE(ItemPresent(1, folder.Path()));
    EXPECT_FALSE(ItemPresent(1, file));
    EXPECT_TRUE(ItemPresent(2, exe));
    EXPECT_FALSE(ItemPresent(2, upperExe));
    EXPECT_FALSE(ItemPresent(2, exeFolder));
    EXPECT_FALSE(ItemPresent(2, file));
    EXPECT_TRUE(ContainsExe("C:\\a.exe\\b"));
    EXPECT_FALSE(ContainsExe("C:\\App.EXE"));
}

TEST(PanelLogic, DisplayInvariant) {
    EXPECT_EQ(VisibleControls(false, 0, 3), (RowVisibility{false, false}));
    EXPECT_EQ(VisibleControls(true, 0, 3), (RowVisibility{true, true}));
    EXPECT_EQ(VisibleControls(true, 0, 2), (RowVisibility{true, false}));
    EXPECT_EQ(VisibleControls(true, 1, 3), (RowVisibility{true, false}));
    EXPECT_EQ(VisibleControls(true, 2, 3), (RowVisibility{true, false}));
}

TEST(PanelLogic, TextsByTypeAndParameter) {
    EXPECT_EQ(TypeText(1), TextId::TypeDirectory);
    EXPECT_EQ(ParamText(0, 3), TextId::ParamString);
    EXPECT_EQ(ParamText(1, 2), TextId::ParamDate);
    EXPECT_EQ(ParamText(2, 0), TextId::ParamActivity);
    EXPECT_EQ(AbsentText(2), TextId::ApplicationAbsent);
    EXPECT_EQ(PresentText(1), TextId::DirectoryPresent);
    engine::ObjectSettings settings;
    settings.Path_File = "f";
    settings.Path_Dir = "d";
    settings.Path_Prog = "p";
    EXPECT_EQ(KeptPath(settings, 0), "f");
    EXPECT_EQ(KeptPath(settings, 1), "d");
    EXPECT_EQ(KeptPath(settings, 2), "p");
}

TEST(PanelLogic, BrowseOfAFileSetsPathNameAndBaseline) {
    engine::ObjectSettings settings;
    engine::Baseline baseline;
    baseline.Dir_OK_Old = true;
    EXPECT_TRUE(ApplyBrowse(2, 0, BrowseChoice{"C:\\a.txt", "a.txt"}, true, settings, baseline));
    EXPECT_EQ(settings.Path_File, "C:\\a.txt");
    EXPECT_EQ(settings.Name_File, "a.txt");
    EXPECT_TRUE(baseline.File_OK_Old);
    EXPECT_TRUE(baseline.Dir_OK_Old);  // only object 1 resets the others

    EXPECT_FALSE(ApplyBrowse(2, 0, BrowseChoice{"C:\\folder", "folder"}, false, settings, baseline));
    EXPECT_EQ(settings.Path_File, "");
    EXPECT_FALSE(baseline.File_OK_Old);
}

TEST(PanelLogic, BrowseOfADirectoryAndOfAnApplication) {
    engine::ObjectSettings settings;
    engine::Baseline baseline;
    settings.Path_File = "kept";
    EXPECT_TRUE(ApplyBrowse(3, 1, BrowseChoice{"C:\\logs", "logs"}, true, settings, baseline));
    EXPECT_EQ(settings.Path_Dir, "C:\\logs");
    EXPECT_TRUE(baseline.Dir_OK_Old);
    EXPECT_EQ(settings.Path_File, "kept");

    // Where Windows hides known extensions the shell's display name is "notepad": the process is
    // found by its executable's name.
    EXPECT_TRUE(
        ApplyBrowse(3, 2, BrowseChoice{"C:\\Tools\\notepad.exe", "notepad"}, true, settings, baseline));
    EXPECT_EQ(settings.Path_Prog, "C:\\Tools\\notepad.exe");
    EXPECT_EQ(settings.Name_Prog, "notepad.exe");

    settings.Path_Prog = "C:\\old.exe";
    settings.Name_Prog = "old.exe";
    EXPECT_FALSE(ApplyBrowse(3, 2, BrowseChoice{"C:\\App.EXE", "App.EXE"}, false, settings, baseline));
    EXPECT_EQ(settings.Path_Prog, "");
    EXPECT_EQ(settings.Name_Prog, "");
    EXPECT_FALSE(baseline.Prog_Active_Old);
}

TEST(PanelLogic, ObjectOneStartsItsDirectoryAndApplicationBaselinesAfresh) {
    engine::ObjectSettings settings;
    engine::Baseline baseline;
    baseline.Size_Dir_Old = "99";
    baseline.Dir_Data_Old = "2020";
    baseline.Prog_Active_Old = true;
    baseline.Size_File_Old = "12";
    EXPECT_TRUE(ApplyBrowse(1, 1, BrowseChoice{"C:\\logs", "logs"}, true, settings, baseline));
    EXPECT_FALSE(baseline.Dir_OK_Old);  // even for a directory just accepted
    EXPECT_EQ(baseline.Size_Dir_Old, "0");
    EXPECT_EQ(baseline.Dir_Data_Old, "");
    EXPECT_FALSE(baseline.Prog_Active_Old);
    EXPECT_EQ(baseline.Size_File_Old, "12");
}

}  // namespace
}  // namespace orv::ui
