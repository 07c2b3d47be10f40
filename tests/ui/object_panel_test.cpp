// The eight object panels on the real main window: cycling type and parameter, the presence test, the
// browse results, the search field, the enable box, the action button and the language switch.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/files.h"

#include "tests/ui/main_window_fixture.h"

namespace orv::ui::test {
namespace {

constexpr Colour kLit = Rgb(255, 0, 0);
constexpr Colour kDark = Rgb(54, 106, 179);

class ObjectPanelTest : public MainWindowTest {
  protected:
    engine::ControlObject Object(int number) { return *engine->Object(number); }
    // A click, and the answers to what it asked the engine for.
    void Click(widgets::PictureButton& button) {
        button.onClick();
        Settle();
    }
    void TypeInto(HWND field, std::string_view text) {
        for (char c : text) {
            ::SendMessageW(field, WM_CHAR, static_cast<WPARAM>(c), 1);
        }
        Pump();
    }
    void ClickBox(HWND box) {
        ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
    }
};

TEST_F(ObjectPanelTest, TypeCyclesBothWaysAndBringsBackEachTypesPath) {
    const std::string file = folder.WriteFile("watched.txt", "x");
    StoreString("Path_File1", file);
    Start();
    ObjectPanel& panel = window->Panel(1);
    EXPECT_EQ(panel.TypeField(), "File");
    EXPECT_EQ(panel.PathField(), file);
    EXPECT_EQ(panel.PathIndicator(), kLit);
    Click(panel.Button(0));
    EXPECT_EQ(panel.TypeField(), "Directory");
    EXPECT_EQ(panel.PathField(), "Directory doesnt exist");
    EXPECT_EQ(panel.PathIndicator(), kDark);
    EXPECT_EQ(panel.HintOf(panel.PathIndicatorHandle()), "Directory doesnt exist");
    Click(panel.Button(0));
    EXPECT_EQ(panel.TypeField(), "Application");
    EXPECT_EQ(panel.ParamField(), "Activity");
    Click(panel.Button(0));
    EXPECT_EQ(panel.TypeField(), "File");
    EXPECT_EQ(panel.PathField(), file);
    EXPECT_EQ(panel.HintOf(panel.PathFieldHandle()), file);
    EXPECT_EQ(panel.HintOf(panel.PathIndicatorHandle()), "This file is");
    Click(panel.Button(1));
    EXPECT_EQ(panel.TypeField(), "Application");
    EXPECT_EQ(Object(1).settings.Type, ObjectType::Application);
    EXPECT_EQ(Object(1).settings.Path_File, file);
}

TEST_F(ObjectPanelTest, ParameterCyclesByTypeAndTheSearchFieldFollows) {
    Start();
    ObjectPanel& panel = window->Panel(2);
    const char* fileParams[] = {"Size", "Date", "String", "Availability"};
    for (const char* expected : fileParams) {
        Click(panel.Button(3));
        EXPECT_EQ(panel.ParamField(), expected);
        EXPECT_EQ(panel.SearchVisible(), std::string(expected) == "String");
    }
    Click(panel.Button(4));
    EXPECT_EQ(panel.ParamField(), "String");
    EXPECT_TRUE(panel.SearchVisible());
    // A file object on "String" switched to a directory: 3 is above 2, so availability.
    Click(panel.Button(0));
    EXPECT_EQ(panel.ParamField(), "Availability");
    EXPECT_FALSE(panel.SearchVisible());
    EXPECT_EQ(Object(2).settings.Param, ControlParam::Availability);
    Click(panel.Button(4));
    EXPECT_EQ(panel.ParamField(), "Date");
    Click(panel.Button(0));
    Click(panel.Button(3));
    EXPECT_EQ(panel.ParamField(), "Activity");
    Click(panel.Button(4));
    EXPECT_EQ(panel.ParamField(), "Activity");
    EXPECT_EQ(Object(2).settings.Param, ControlParam::Availability);
}

TEST_F(ObjectPanelTest, OutOfRangeStoredValuesAreFoldedWhenFilled) {
    StoreInt("Type_Obj5", 7);
    StoreInt("Type_Obj6", -1);
    StoreInt("Type_Obj2", 1);
    StoreInt("Param_Obj2", 3);
    Start();
    EXPECT_EQ(window->Panel(5).TypeField(), "File");
    EXPECT_EQ(Object(5).settings.Type, ObjectType::File);
    EXPECT_EQ(window->Panel(6).TypeField(), "Application");
    EXPECT_EQ(Object(6).settings.Type, ObjectType::Application);
    EXPECT_EQ(window->Panel(2).ParamField(), "Availability");
    EXPECT_EQ(Object(2).settings.Param, ControlParam::Availability);
}

TEST_F(ObjectPanelTest, FillShowsTheStoredPathOfAMissingItemAndClearsTheFileBaseline) {
    const std::string missing = folder.Join("gone.txt");
    StoreString("Path_File3", missing);
    StoreInt("File3_OK_Old", 1);
    Start();
    ObjectPanel& panel = window->Panel(3);
    EXPECT_EQ(panel.PathField(), missing);
    EXPECT_EQ(panel.PathIndicator(), kDark);
    // The first fill's search-text change ran the file check, whose outcome is the hint now.
    EXPECT_NE(panel.HintOf(panel.PathIndicatorHandle()).find("File is missing and doesnt appear"),
              std::string::npos);
    EXPECT_FALSE(Object(3).baseline.File_OK_Old);
}

TEST_F(ObjectPanelTest, BrowseAcceptsAFileAndRefusesADirectory) {
    const std::string file = folder.WriteFile("data.bin", "1234");
    Start();
    ObjectPanel& panel = window->Panel(2);
    browseAnswers.push_back(BrowseChoice{file, "data.bin"});
    Click(panel.Button(2));
    ASSERT_EQ(browseTypes.size(), 1u);
    EXPECT_EQ(browseTypes[0], ObjectType::File);
    EXPECT_EQ(panel.PathField(), file);
    EXPECT_EQ(panel.PathIndicator(), kLit);
    EXPECT_EQ(panel.HintOf(panel.PathIndicatorHandle()), "This file is");
    EXPECT_EQ(Object(2).settings.Path_File, file);
    EXPECT_EQ(Object(2).settings.Name_File, "data.bin");
    EXPECT_TRUE(Object(2).baseline.File_OK_Old);

    browseAnswers.push_back(BrowseChoice{folder.Path(), "folder"});
    Click(panel.Button(2));
    EXPECT_EQ(panel.PathField(), "File doesnt exist");
    EXPECT_EQ(panel.PathIndicator(), kDark);
    EXPECT_EQ(Object(2).settings.Path_File, "");
    EXPECT_FALSE(Object(2).baseline.File_OK_Old);
}

TEST_F(ObjectPanelTest, CancelledBrowseChangesNothing) {
    Start();
    ObjectPanel& panel = window->Panel(4);
    const engine::ControlObject before = Object(4);
    browseAnswers.push_back(std::nullopt);
    Click(panel.Button(2));
    // The empty path is not taken for a file that is there.
    EXPECT_EQ(panel.PathIndicator(), kDark);
    EXPECT_EQ(Object(4).settings, before.settings);
    EXPECT_EQ(Object(4).baseline, before.baseline);
}

TEST_F(ObjectPanelTest, ApplicationNeedsLowerCaseExe) {
    const std::string upper = folder.WriteFile("Tools/App.EXE", "MZ");
    const std::string lower = folder.WriteFile("Tools/app.exe", "MZ");
    Start();
    ObjectPanel& panel = window->Panel(3);
    Click(panel.Button(1));  // file -> application
    browseAnswers.push_back(BrowseChoice{upper, "App.EXE"});
    Click(panel.Button(2));
    EXPECT_EQ(browseTypes.back(), ObjectType::Application);
    EXPECT_EQ(panel.PathField(), "Application doesnt exist");
    EXPECT_EQ(Object(3).settings.Path_Prog, "");
    EXPECT_EQ(Object(3).settings.Name_Prog, "");
    browseAnswers.push_back(BrowseChoice{lower, "app.exe"});
    Click(panel.Button(2));
    EXPECT_EQ(panel.PathField(), lower);
    EXPECT_EQ(panel.PathIndicator(), kLit);
    EXPECT_EQ(Object(3).settings.Name_Prog, "app.exe");
}

TEST_F(ObjectPanelTest, ObjectOneBrowseResetsItsDirectoryAndApplicationBaselines) {
    const std::string file = folder.WriteFile("one.txt", "1");
    for (const char* n : {"1", "2"}) {
        StoreInt(std::string("Dir") + n + "_OK_Old", 1);
        StoreString(std::string("Size_Dir") + n + "_Old", "77");
        StoreString(std::string("Dir_Data") + n + "_Old", "2024");
        StoreInt(std::string("Prog") + n + "_Active_Old", 1);
    }
    Start();
    browseAnswers.push_back(BrowseChoice{file, "one.txt"});
    Click(window->Panel(1).Button(2));
    browseAnswers.push_back(BrowseChoice{file, "one.txt"});
    Click(window->Panel(2).Button(2));
    const engine::Baseline one = Object(1).baseline;
    EXPECT_FALSE(one.Dir_OK_Old);
    EXPECT_EQ(one.Size_Dir_Old, "0");
    EXPECT_EQ(one.Dir_Data_Old, "");
    EXPECT_FALSE(one.Prog_Active_Old);
    const engine::Baseline two = Object(2).baseline;
    EXPECT_TRUE(two.Dir_OK_Old);
    EXPECT_EQ(two.Size_Dir_Old, "77");
    EXPECT_TRUE(two.Prog_Active_Old);
}

TEST_F(ObjectPanelTest, TypingRunsTheCheckWithTheTextHeldSoFar) {
    const std::string file = folder.WriteFile("log.txt", "ab ab abc a");
    StoreString("Path_File1", file);
    StoreInt("Param_Obj1", 3);
    Start();
    ObjectPanel& panel = window->Panel(1);
    ASSERT_TRUE(panel.SearchVisible());
    ::SetWindowTextW(panel.SearchFieldHandle(), L"");
    Pump();
    // The checks run on the engine's request thread; the window only hands the texts over.
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    EXPECT_EQ(Object(1).settings.String, "");
    TypeInto(panel.SearchFieldHandle(), "abc");
    EXPECT_EQ(panel.SearchField(), "abc");
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    EXPECT_EQ(Object(1).settings.String, "abc");
    // The last check counted "ab" (three times), not "abc" (once).
    EXPECT_EQ(Object(1).baseline.Povtor_File_Old, 3);
    EXPECT_FALSE(engine->ControlRunning());
}

TEST_F(ObjectPanelTest, SearchFieldTakesTwentyCharactersAndDoesNotStopControl) {
    StoreInt("Param_Obj1", 3);
    Start();
    window->Sb_StartClick();
    ObjectPanel& panel = window->Panel(1);
    ::SetWindowTextW(panel.SearchFieldHandle(), L"");
    TypeInto(panel.SearchFieldHandle(), "abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(panel.SearchField(), "abcdefghijklmnopqrst");
    EXPECT_TRUE(engine->ControlRunning());
    window->Sb_StartClick();
}

TEST_F(ObjectPanelTest, FirstFillRunsTheChangeOnlyWhereTheTextDiffersFromTheDesignText) {
    const std::string file = folder.WriteFile("count.txt", "ab ab ab");
    StoreString("Path_File3", file);
    StoreInt("Param_Obj3", 3);
    StoreString("String_Obj3", "ab");
    StoreString("Path_File4", file);
    StoreInt("Param_Obj4", 3);
    StoreString("String_Obj4", "'Error'");
    StoreInt("Povtor_File4_Old", 7);
    StoreInt("Type_Obj5", 1);
    StoreString("String_Obj5", "x");
    StoreInt("Povtor_File5_Old", 5);
    Start();
    // The checks run on the engine's request thread; their lamps reach the window through its queue.
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    Pump();
    EXPECT_EQ(Object(3).baseline.Povtor_File_Old, 3);
    EXPECT_EQ(window->Panel(3).StringIndicator(), kLit);
    EXPECT_EQ(Object(4).baseline.Povtor_File_Old, 7);
    EXPECT_EQ(window->Panel(4).SearchField(), "'Error'");
    // A directory object keeps its text and its count baseline.
    EXPECT_EQ(Object(5).settings.String, "x");
    EXPECT_EQ(Object(5).baseline.Povtor_File_Old, 5);
    EXPECT_EQ(Object(5).EventText, "");
}

// Restoring from the tray fills the rows again while the last keystrokes' checks still wait for a
// file the system holds: the search field keeps what was typed last, and that text is stored.
TEST_F(ObjectPanelTest, RestoringWhileTextChecksWaitKeepsWhatWasTypedLast) {
    const std::string file = folder.WriteFile("held.log", "a b c");
    StoreString("Path_File1", file);
    StoreInt("Param_Obj1", 3);
    StoreString("String_Obj1", "a");
    Start();
    std::atomic<bool> release{false};
    fs::InjectFaults([&](fs::SystemCall, std::string_view path) -> std::optional<uint32_t> {
        while (path == file && !release.load()) {
            ::Sleep(5);
        }
        return std::nullopt;
    });
    ObjectPanel& panel = window->Panel(1);
    ::SendMessageW(panel.SearchFieldHandle(), EM_SETSEL, 1, 1);
    TypeInto(panel.SearchFieldHandle(), "bc");
    ASSERT_EQ(panel.SearchField(), "abc");
    window->FormShow();
    Pump();
    EXPECT_EQ(panel.SearchField(), "abc");
    release = true;
    Settle();
    fs::InjectFaults({});
    EXPECT_EQ(Object(1).settings.String, "abc");
}

// Every look at a watched item that the window causes runs off the window thread: a server that holds
// its file-system calls can hold no click of the window, nor its start, show or language switch.
TEST_F(ObjectPanelTest, TheWindowThreadLooksAtNoWatchedItem) {
    const std::string exe = folder.WriteFile("watched/tool.exe", "MZ");
    for (int number = 1; number <= 8; ++number) {
        const std::string n = std::to_string(number);
        switch (number % 3) {
            case 0:
                StoreInt("Type_Obj" + n, 2);
                StoreString("Path_Prog" + n, exe);
                break;
            case 1:
                StoreString("Path_File" + n, folder.WriteFile("watched/file" + n + ".log", "x y x"));
                StoreInt("Param_Obj" + n, 3);
                StoreString("String_Obj" + n, "x");
                break;
            default:
                StoreInt("Type_Obj" + n, 1);
                StoreString("Path_Dir" + n, folder.MakeFolder("watched/dir" + n));
                break;
        }
    }
    const std::string watched = folder.Join("watched");
    std::mutex mutex;
    std::vector<std::pair<DWORD, std::string>> calls;
    fs::InjectFaults([&](fs::SystemCall, std::string_view path) -> std::optional<uint32_t> {
        if (path.substr(0, watched.size()) == watched) {
            std::lock_guard<std::mutex> lock(mutex);
            calls.emplace_back(::GetCurrentThreadId(), std::string(path));
        }
        return std::nullopt;
    });
    Start();
    window->Settings().Sb_Lang_UpClick();
    window->Settings().Sb_Lang_DownClick();
    window->Sb_MinClick();
    window->TrayIconDblClick();
    Settle();
    Click(window->Panel(2).Button(0));
    window->Sb_ResetClick();
    Settle();
    fs::InjectFaults({});

    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_GE(calls.size(), 16u) << "the items were looked at, at the start and at the restore";
    for (const auto& [thread, path] : calls) {
        EXPECT_NE(thread, ::GetCurrentThreadId()) << path;
    }
    EXPECT_EQ(window->Panel(2).PathField(), "File doesnt exist");
}

TEST_F(ObjectPanelTest, EnableBoxHidesTheRowAndStopsControl) {
    StoreInt("Razr_Obj4", 0);
    Start();
    ObjectPanel& panel = window->Panel(4);
    EXPECT_FALSE(panel.RazrChecked());
    EXPECT_FALSE(panel.FieldsVisible());
    EXPECT_FALSE(panel.SearchVisible());
    window->Sb_StartClick();
    ClickBox(panel.RazrHandle());
    EXPECT_TRUE(panel.RazrChecked());
    EXPECT_TRUE(Object(4).settings.Razr);
    EXPECT_TRUE(panel.FieldsVisible());
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    ClickBox(panel.RazrHandle());
    EXPECT_FALSE(panel.FieldsVisible());
    EXPECT_FALSE(Object(4).settings.Razr);
    // A language switch leaves a disabled row with its box alone.
    window->Settings().Sb_Lang_UpClick();
    EXPECT_FALSE(panel.FieldsVisible());
    EXPECT_FALSE(panel.SearchVisible());
    EXPECT_EQ(panel.TypeField(), "Файл");
}

TEST_F(ObjectPanelTest, EditsStopControlButAnUnchangedPathDoesNot) {
    const std::string file = folder.WriteFile("all.txt", "1");
    for (int number = 1; number <= 8; ++number) {
        StoreString("Path_File" + std::to_string(number), file);
    }
    Start();
    window->Sb_StartClick();
    // Every path is there: the switch rewrites no path field and control goes on.
    window->Settings().Sb_Lang_UpClick();
    EXPECT_TRUE(engine->ControlRunning());
    Click(window->Panel(6).Button(3));
    EXPECT_FALSE(engine->ControlRunning());
    window->Sb_StartClick();
    Click(window->Panel(6).Button(0));
    EXPECT_FALSE(engine->ControlRunning());
    window->Sb_StartClick();
    // A not-present text changes language: that path field's change stops control.
    window->Settings().Sb_Lang_UpClick();
    EXPECT_FALSE(engine->ControlRunning());
}

TEST_F(ObjectPanelTest, ActionButtonStopsControlAndOpensTheEditorOnItsMacro) {
    Start();
    std::vector<int> opened;
    window->children.showMacroEditor = [&](HWND, int number) { opened.push_back(number); };
    window->children.macroEditorVisible = [] { return false; };
    window->MoveTo(5, 200);
    window->Sb_StartClick();
    Click(window->Panel(7).Button(5));
    EXPECT_FALSE(engine->ControlRunning());
    ASSERT_EQ(opened, std::vector<int>{7});
    EXPECT_EQ(macroTable->CurrentMacro(), 7);
    RECT box{};
    ::GetWindowRect(window->Handle(), &box);
    EXPECT_EQ(box.top, 10);
}

TEST_F(ObjectPanelTest, MacroIndicatorsShowTheBatFileState) {
    folder.WriteFile("Bat/run.bat", "@echo off\r\n");
    macros::MacroSlot slot = macros::DefaultMacroSlot(2);
    slot.batFile = "run.bat";
    Make();
    macroTable->SetSlot(2, slot);
    slot.batFile = "missing.bat";
    slot.name = "Copy reports";
    macroTable->SetSlot(3, slot);
    window->ShowMain();
    Pump();
    EXPECT_EQ(window->Panel(1).MacroIndicatorColour(), Rgb(0, 128, 0));
    EXPECT_EQ(window->Panel(1).HintOf(window->Panel(1).MacroIndicatorHandle()), "BAT-file not Selected");
    EXPECT_EQ(window->Panel(2).MacroIndicatorColour(), Rgb(192, 192, 192));
    EXPECT_EQ(window->Panel(3).MacroIndicatorColour(), Rgb(255, 0, 0));
    EXPECT_EQ(window->Panel(3).ActionField(), "Copy reports");
}

}  // namespace
}  // namespace orv::ui::test
