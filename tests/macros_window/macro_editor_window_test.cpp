#include "macros/macro_editor_window.h"
#include "platform/win32/wide.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lang/constants.h"
#include "tests/macros/fake_launcher.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"
#include "widgets/window_text.h"

namespace orv::macros {
namespace {

using orv::test::At;
using orv::test::Pump;
using test::LaunchCall;
using test::LaunchRecorder;

namespace pic = widgets::macros;

TEST(LargeButtonPictures, ByLanguageHoverAndPress) {
    struct Row {
        EditorButton button;
        int english[3];
        int russian[3];
    };
    const Row rows[] = {{EditorButton::Apply, {0, 1, 2}, {3, 4, 5}},
                        {EditorButton::Reset, {12, 13, 14}, {15, 16, 17}},
                        {EditorButton::Run, {18, 19, 20}, {21, 22, 23}},
                        {EditorButton::Close, {24, 25, 26}, {27, 28, 29}}};
    for (const Row& row : rows) {
        for (int32_t language : {lang::kEnglish, lang::kRussian}) {
            const int* expected = language == lang::kEnglish ? row.english : row.russian;
            EXPECT_EQ(LargeButtonPicture(row.button, language, false, false), expected[0]);
            EXPECT_EQ(LargeButtonPicture(row.button, language, true, false), expected[1]);
            EXPECT_EQ(LargeButtonPicture(row.button, language, true, true), expected[2]);
            // Pressed but dragged out of the button: the normal picture.
            EXPECT_EQ(LargeButtonPicture(row.button, language, false, true), expected[0]);
        }
    }
    // A damaged language value never borrows another button's picture.
    EXPECT_EQ(LargeButtonPicture(EditorButton::Run, 7, true, false), 19);
}

class MacroEditorWindowTest : public ::testing::Test {
  public:
    void SetUp() override {
        root_.MakeFolder("Bat");
        ASSERT_TRUE(
            editor_.Create(::GetModuleHandleW(nullptr), table_, language_, orv::test::SharedPictures()));
        editor_.onShownChanged = [this](bool open) { shownChanges_.push_back(open); };
        editor_.onApplied = [this] { ++applied_; };
    }
    void TearDown() override { editor_.Hide(); }

    void AddBatch(const std::string& name) { root_.WriteFile("Bat/" + name, "@echo off\r\n"); }

    void Open(int macro) {
        editor_.Show(host_.Handle(), macro);
        Pump();
    }

    HWND Control(EditorControl name) {
        HWND control = editor_.Control(name);
        EXPECT_NE(control, nullptr) << static_cast<int>(name);
        return control;
    }
    std::string Text(EditorControl name) { return widgets::GetWindowTextUtf8(Control(name)); }
    void Type(EditorControl name, const std::string& text) {
        widgets::SetWindowTextUtf8(Control(name), text);
    }
    void Click(EditorControl name) {
        HWND control = Control(name);
        ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
        ::SendMessageW(control, WM_LBUTTONUP, 0, At(3, 3));
        Pump();
    }
    // The list as the list box holds it, and the text of its selected entry ("" for none).
    std::vector<std::string> ListEntries() {
        HWND list = Control(EditorControl::ListBoxt_BAT_File);
        std::vector<std::string> entries;
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            entries.push_back(EntryText(static_cast<int>(i)));
        }
        return entries;
    }
    std::string EntryText(int index) {
        HWND list = Control(EditorControl::ListBoxt_BAT_File);
        const auto length = ::SendMessageW(list, LB_GETTEXTLEN, index, 0);
        if (length < 0) {
            return {};
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return win32::Narrow(text);
    }
    int Selected() {
        return static_cast<int>(
            ::SendMessageW(Control(EditorControl::ListBoxt_BAT_File), LB_GETCURSEL, 0, 0));
    }
    std::string SelectedText() { return Selected() < 0 ? std::string() : EntryText(Selected()); }
    int IndexOf(const std::string& entry) {
        const auto entries = ListEntries();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] == entry) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    std::array<int, 3> Boxes() {
        return {editor_.MethodBoxPicture(0), editor_.MethodBoxPicture(1), editor_.MethodBoxPicture(2)};
    }

    orv::test::Host host_;
    orv::test::TempDirectory root_{"orv editor window"};
    LaunchRecorder recorder_;
    MacroTable table_{root_.Join("Bat/"), recorder_.MakeLauncher()};
    lang::LanguageState language_;
    MacroEditorWindow editor_;
    std::vector<bool> shownChanges_;
    int applied_ = 0;
};

using Ticks = std::array<int, 3>;
constexpr Ticks kFirstTicked{pic::kMethodOn, pic::kMethodOff, pic::kMethodOff};
constexpr Ticks kSecondTicked{pic::kMethodOff, pic::kMethodOn, pic::kMethodOff};
constexpr Ticks kThirdTicked{pic::kMethodOff, pic::kMethodOff, pic::kMethodOn};

TEST_F(MacroEditorWindowTest, OpensOnTheMacroWithItsNameFileAndMethod) {
    AddBatch("alpha.bat");
    AddBatch("backup.bat");
    AddBatch("clean.bat");
    ASSERT_TRUE(table_.SetSlot(3, MacroSlot{"Nightly copy", "BACKUP.bat", kMethodCreateProcess}));

    Open(3);

    ASSERT_TRUE(editor_.Visible());
    EXPECT_EQ(Text(EditorControl::Edit_Macros_Name), "Nightly copy");
    // The field shows the stored name; the list highlights the entry that matches it in any case.
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), "BACKUP.bat");
    EXPECT_EQ(ListEntries().size(), 3u);
    EXPECT_EQ(SelectedText(), "backup.bat");
    EXPECT_EQ(Boxes(), kThirdTicked);
    EXPECT_EQ(table_.CurrentMacro(), 3);
    EXPECT_EQ(shownChanges_, std::vector<bool>{true});

    // Beside the main window: one pixel right of its left edge, 60 from the top, 800 x 527.
    RECT main{}, box{};
    ::GetWindowRect(host_.Handle(), &main);
    ::GetWindowRect(editor_.Handle(), &box);
    EXPECT_EQ(box.left, main.left + 1);
    EXPECT_EQ(box.top, 60);
    EXPECT_EQ(box.right - box.left, 800);
    EXPECT_EQ(box.bottom - box.top, 527);
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl_Macros_Regime_BAT_2), "ShellExecute");
}

TEST_F(MacroEditorWindowTest, StoredFileNotListedHighlightsTheFirstEntryButFieldKeepsIt) {
    AddBatch("only.bat");
    Open(1);
    EXPECT_EQ(Text(EditorControl::Edit_Macros_Name), "Macros_1");
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), "Not Selected");
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(SelectedText(), "only.bat");
}

TEST_F(MacroEditorWindowTest, EmptyBatFolderListsFileNotFoundAndApplyStoresItWithWinExec) {
    ASSERT_TRUE(table_.SetSlot(4, MacroSlot{"Mail", "mail.bat", kMethodShellExecute}));
    Open(4);
    // The field shows the stored file, the list the placeholder.
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), "mail.bat");
    EXPECT_EQ(ListEntries(), std::vector<std::string>{"File not found"});
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Boxes(), kFirstTicked);

    Click(EditorControl::Sb_Apple);
    EXPECT_EQ(table_.Slot(4), (MacroSlot{"Mail", "mail.bat", kMethodWinExec}));
    // Whatever the field holds is stored, the placeholder too.
    Type(EditorControl::Edit_BAT_File, "File not found");
    Click(EditorControl::Sb_Apple);
    EXPECT_EQ(table_.Slot(4).batFile, "File not found");
    EXPECT_EQ(applied_, 2);
}

TEST_F(MacroEditorWindowTest, MethodLabelTicksItsBoxAndCloseDropsTheEdit) {
    AddBatch("a.bat");
    const MacroSlot stored{"Report", "a.bat", kMethodWinExec};
    ASSERT_TRUE(table_.SetSlot(5, stored));
    Open(5);
    ASSERT_EQ(Boxes(), kFirstTicked);

    Click(EditorControl::Lbl_Macros_Regime_BAT_2);
    EXPECT_EQ(Boxes(), kSecondTicked);
    Click(EditorControl::Cb_Macros_Regime_BAT_3);
    EXPECT_EQ(Boxes(), kThirdTicked);
    Click(EditorControl::Lbl_Macros_Regime_BAT_2);
    EXPECT_EQ(Boxes(), kSecondTicked);
    Type(EditorControl::Edit_Macros_Name, "Changed but not applied");

    Click(EditorControl::Sb_Close);
    EXPECT_FALSE(editor_.Visible());
    EXPECT_EQ(table_.Slot(5), stored);
    EXPECT_EQ(applied_, 0);
    EXPECT_EQ(shownChanges_, (std::vector<bool>{true, false}));
    EXPECT_FALSE(table_.EditorOpen());

    // Opening again shows the slot, not the dropped edit.
    Open(5);
    EXPECT_EQ(Text(EditorControl::Edit_Macros_Name), "Report");
    EXPECT_EQ(Boxes(), kFirstTicked);
    EXPECT_EQ(shownChanges_, (std::vector<bool>{true, false, true}));
}

TEST_F(MacroEditorWindowTest, EscClosesAsTheCloseButtonDoes) {
    AddBatch("a.bat");
    const MacroSlot stored{"Report", "a.bat", kMethodWinExec};
    ASSERT_TRUE(table_.SetSlot(2, stored));
    Open(2);
    Type(EditorControl::Edit_Macros_Name, "Changed but not applied");
    HWND name = Control(EditorControl::Edit_Macros_Name);
    ::SetFocus(name);
    // Through the message loop, as the user's key comes.
    ::PostMessageW(name, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump();
    EXPECT_FALSE(editor_.Visible());
    EXPECT_EQ(table_.Slot(2), stored);
    EXPECT_EQ(shownChanges_, (std::vector<bool>{true, false}));
    EXPECT_FALSE(table_.EditorOpen());
}

TEST_F(MacroEditorWindowTest, ApplyStoresWhatTheFieldsHoldIncludingTypedText) {
    AddBatch("one.bat");
    AddBatch("two.bat");
    Open(6);
    Type(EditorControl::Edit_Macros_Name, "Свой макрос");
    Click(EditorControl::ListBoxt_BAT_File);  // a press at the top of the list: the first entry
    const std::string first = EntryText(0);
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), first);
    Click(EditorControl::Cb_Macros_Regime_BAT_2);
    Click(EditorControl::Sb_Apple);
    EXPECT_EQ(table_.Slot(6), (MacroSlot{"Свой макрос", first, kMethodShellExecute}));
    EXPECT_EQ(applied_, 1);

    // A name typed into the file field is stored as it is.
    Type(EditorControl::Edit_BAT_File, "typed.bat");
    Click(EditorControl::Sb_Apple);
    EXPECT_EQ(table_.Slot(6).batFile, "typed.bat");
    EXPECT_EQ(table_.WorkingBatFile(), "typed.bat");
    EXPECT_EQ(applied_, 2);
}

TEST_F(MacroEditorWindowTest, ClickingAListEntryPutsItIntoTheField) {
    AddBatch("a.bat");
    AddBatch("b.bat");
    AddBatch("c.bat");
    Open(1);
    // A real press on the third entry (16 pixels each): the list box reports the change itself.
    HWND list = Control(EditorControl::ListBoxt_BAT_File);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 2 * 16 + 8));
    ::SendMessageW(list, WM_LBUTTONUP, 0, At(20, 2 * 16 + 8));
    Pump();
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), EntryText(2));
}

TEST_F(MacroEditorWindowTest, ResetThenApplyStoresTheDefaults) {
    AddBatch("x.bat");
    ASSERT_TRUE(table_.SetSlot(2, MacroSlot{"Custom", "x.bat", kMethodCreateProcess}));
    Open(2);
    ASSERT_EQ(Selected(), 0);

    Click(EditorControl::Sb_Reset);
    EXPECT_EQ(Text(EditorControl::Edit_Macros_Name), "Macros_2");
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), "Not Selected");
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(Boxes(), kFirstTicked);
    // Nothing stored yet.
    EXPECT_EQ(table_.Slot(2).name, "Custom");
    EXPECT_EQ(applied_, 0);

    Click(EditorControl::Sb_Apple);
    EXPECT_EQ(table_.Slot(2), DefaultMacroSlot(2));
    EXPECT_EQ(applied_, 1);
    EXPECT_EQ(table_.Indicator(2).hint, lang::kBatFileNotSelected);
}

TEST_F(MacroEditorWindowTest, RunStartsTheStoredFileByTheTickedMethod) {
    AddBatch("stored.bat");
    AddBatch("other.bat");
    ASSERT_TRUE(table_.SetSlot(7, MacroSlot{"Try", "stored.bat", kMethodWinExec}));
    Open(7);

    Click(EditorControl::Lbl_Macros_Regime_BAT_3);
    // Another file picked in the list without Apply: Run still starts the stored one.
    ::SendMessageW(Control(EditorControl::ListBoxt_BAT_File), LB_SETCURSEL, IndexOf("other.bat"), 0);
    editor_.ListBoxt_BAT_FileClick();
    ASSERT_EQ(Text(EditorControl::Edit_BAT_File), "other.bat");

    Click(EditorControl::Sb_Run);
    const std::string path = table_.BatFolder() + "stored.bat";
    EXPECT_EQ(recorder_.Calls(), (std::vector<LaunchCall>{{kMethodCreateProcess, path}}));
    // Trying it changes nothing stored.
    EXPECT_EQ(table_.Slot(7), (MacroSlot{"Try", "stored.bat", kMethodWinExec}));
}

TEST_F(MacroEditorWindowTest, ArrowsWalkTheListAndUpStaysOnTheFirstEntry) {
    AddBatch("a.bat");
    AddBatch("b.bat");
    Open(1);
    ASSERT_EQ(Selected(), 0);
    Click(EditorControl::Sb_BAT_File_Up);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), EntryText(0));
    Click(EditorControl::Sb_BAT_File_Down);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), EntryText(1));
    Click(EditorControl::Sb_BAT_File_Down);
    EXPECT_EQ(Selected(), 1);
    Click(EditorControl::Sb_BAT_File_Up);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Text(EditorControl::Edit_BAT_File), EntryText(0));
}

// Closing gives the editor's pictures back; the next opening shows the selected file's frame again.
TEST_F(MacroEditorWindowTest, ReopenedEditorShowsTheFieldFrameAgain) {
    Open(1);
    HWND frame = Control(EditorControl::Img_BAT_File_Fon);
    const COLORREF border = orv::test::ScreenPixel(frame, 1, 10);
    editor_.Hide();
    Pump();
    Open(2);
    EXPECT_EQ(orv::test::ScreenPixel(frame, 1, 10), border);
}

TEST_F(MacroEditorWindowTest, LanguageSwitchChangesLabelsAndButtonsAtOnce) {
    // The controls are made at the first opening: a switch before it reaches them then.
    EXPECT_EQ(editor_.Control(EditorControl::Lbl1), nullptr);
    language_.Set(lang::kRussian);
    editor_.ShowLanguage(*language_.Table());
    Open(1);
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl1), "Имя Макроса");
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 3);

    editor_.cursorPosition = [] { return POINT{-10, -10}; };
    const auto shown = [this] {
        return std::array<int, 4>{
            editor_.LargeButtonShown(EditorButton::Apply), editor_.LargeButtonShown(EditorButton::Reset),
            editor_.LargeButtonShown(EditorButton::Run), editor_.LargeButtonShown(EditorButton::Close)};
    };
    language_.Set(lang::kEnglish);
    editor_.ShowLanguage(*language_.Table());
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl_Title_1), "Macros");
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl1), "Macro name");
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl4), "Call method:");
    EXPECT_EQ(shown(), (std::array<int, 4>{0, 12, 18, 24}));

    language_.Set(lang::kRussian);
    editor_.ShowLanguage(*language_.Table());
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl_Title_1), "Макрос");
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl1), "Имя Макроса");
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl2), "Выбранный BAT-файл:");
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl3), "Доступные BAT-файлы:");
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl4), "Метод вызова:");
    // The method labels are the same in both languages.
    EXPECT_EQ(editor_.LabelText(EditorControl::Lbl_Macros_Regime_BAT_1), "WinExec");
    // The pictures change with the labels, without waiting for a tick.
    EXPECT_EQ(shown(), (std::array<int, 4>{3, 15, 21, 27}));

    // A label grows with its longer text, so no word is cut off.
    RECT box{};
    ::GetWindowRect(Control(EditorControl::Lbl3), &box);
    EXPECT_GE(box.right - box.left, 100);

    // Nothing polls for the language: a tick keeps what the last push showed.
    language_.Set(lang::kEnglish);
    editor_.Timer1Timer();
    EXPECT_EQ(shown(), (std::array<int, 4>{3, 15, 21, 27}));
}

TEST_F(MacroEditorWindowTest, HoverAndPressPicturesFollowTheCursorAndTheLeftButton) {
    Open(1);
    RECT window{};
    ::GetWindowRect(editor_.Handle(), &window);
    POINT cursor{window.left + 20, window.top + 460};  // Sb_Apple's top-left corner: not inside
    editor_.cursorPosition = [&cursor] { return cursor; };

    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 0);
    cursor = POINT{window.left + 21, window.top + 461};
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 1);
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Reset), 12);

    // A right press is no press; a left press is, until its release.
    HWND apply = Control(EditorControl::Sb_Apple);
    ::SendMessageW(apply, WM_RBUTTONDOWN, MK_RBUTTON, At(3, 3));
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 1);
    ::SendMessageW(apply, WM_RBUTTONUP, 0, At(3, 3));
    ::SendMessageW(apply, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 2);
    // Dragged out while held: normal; back in: pressed again.
    cursor = POINT{window.left + 10, window.top + 10};
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 0);
    cursor = POINT{window.left + 100, window.top + 500};
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 2);
    // Released outside the button: no click, no Apply.
    ::SendMessageW(apply, WM_LBUTTONUP, 0, At(500, 3));
    EXPECT_FALSE(editor_.LargeButtonPressed(EditorButton::Apply));
    EXPECT_EQ(applied_, 0);
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Apply), 1);

    // The arrows light up too, with the same strict test.
    cursor = POINT{window.left + 413 + 1, window.top + 148 + 1};
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.ArrowPicture(true), pic::kArrowNextHot);
    EXPECT_EQ(editor_.ArrowPicture(false), pic::kArrowPrevious);
    cursor = POINT{window.left + 413, window.top + 150};
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.ArrowPicture(true), pic::kArrowNext);

    // Hidden: nothing is hovered, wherever the cursor is.
    cursor = POINT{window.left + 700, window.top + 480};
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Close), 25);
    editor_.Hide();
    editor_.Timer1Timer();
    EXPECT_EQ(editor_.LargeButtonShown(EditorButton::Close), 24);
}

TEST_F(MacroEditorWindowTest, TheTimerPaintsTheButtonOnTheScreen) {
    Open(1);
    RECT window{};
    ::GetWindowRect(editor_.Handle(), &window);
    POINT cursor{-10, -10};
    editor_.cursorPosition = [&cursor] { return cursor; };
    HWND run = Control(EditorControl::Sb_Run);
    auto screen = [run](int x, int y) { return orv::test::ScreenPixel(run, x, y); };
    auto picture = [](int index, int x, int y) {
        widgets::WorkImage image(widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
        image.SetBackdrop(&orv::test::SharedPictures().editorBackground, kLargeButtonLefts[2],
                          kLargeButtonTop);
        image.Draw(orv::test::SharedPictures().macros, index);
        const uint32_t pixel = image.Image().PixelAt(x, y);
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    };
    // A point of the face where the normal and the hover picture differ.
    int px = -1, py = -1;
    for (int y = 10; y < 40 && px < 0; ++y) {
        for (int x = 60; x < 150 && px < 0; ++x) {
            if (picture(18, x, y) != picture(19, x, y)) {
                px = x;
                py = y;
            }
        }
    }
    ASSERT_GE(px, 0) << "normal and hover pictures of Run look the same";
    editor_.Timer1Timer();
    EXPECT_EQ(screen(px, py), picture(18, px, py));
    cursor = POINT{window.left + 400, window.top + 480};
    editor_.Timer1Timer();
    EXPECT_EQ(screen(px, py), picture(19, px, py));
    // A repaint of the window shows the last drawn picture, not an empty place.
    ::RedrawWindow(editor_.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(screen(px, py), picture(19, px, py));
}

// The editor is hidden for most of the run: closed, it holds no background or button picture, and its
// ticks make none; opening it draws them again.
TEST_F(MacroEditorWindowTest, ClosedEditorHoldsNoPicturesAndItsTicksMakeNone) {
    widgets::ProgramPictures& pictures = orv::test::SharedPictures();
    // Its timer runs only while it shows: a hidden editor wakes nobody.
    EXPECT_FALSE(editor_.TimerRunning());
    Open(1);
    EXPECT_TRUE(editor_.TimerRunning());
    editor_.Timer1Timer();
    EXPECT_TRUE(pictures.editorBackground.Built());
    editor_.Sb_CloseClick();
    EXPECT_FALSE(editor_.TimerRunning());
    EXPECT_FALSE(pictures.editorBackground.Built());
    const int kept = pictures.macros.Made();  // the places that share one empty picture
    editor_.Timer1Timer();
    EXPECT_FALSE(pictures.editorBackground.Built());
    EXPECT_EQ(pictures.macros.Made(), kept);
    Open(2);
    EXPECT_TRUE(editor_.TimerRunning());
    editor_.Timer1Timer();
    EXPECT_TRUE(pictures.editorBackground.Built());
    EXPECT_GT(pictures.macros.Made(), kept);
}

TEST_F(MacroEditorWindowTest, RealCursorOverCloseLightsItAtTheNextTick) {
    Open(1);
    RECT window{};
    ::GetWindowRect(editor_.Handle(), &window);
    POINT target{window.left + 616 + 80, window.top + 460 + 25};
    if (!::SetCursorPos(target.x, target.y)) {
        GTEST_SKIP() << "no cursor to move here";
    }
    POINT now{};
    ::GetCursorPos(&now);
    if (now.x != target.x || now.y != target.y) {
        GTEST_SKIP() << "the cursor did not move";
    }
    // Timer1 runs by itself; within a few ticks it has seen the cursor.
    EXPECT_TRUE(orv::test::WaitFor([&] {
        Pump();
        return editor_.LargeButtonShown(EditorButton::Close) == 25;
    }));
    ::SetCursorPos(0, 0);
}

TEST_F(MacroEditorWindowTest, ModalShowDisablesTheMainWindowUntilClosed) {
    AddBatch("a.bat");
    ASSERT_TRUE(::IsWindowEnabled(host_.Handle()));
    struct Probe {
        MacroEditorWindowTest* test;
        bool mainEnabledWhileOpen = true;
        bool visibleWhileOpen = false;
    };
    static Probe probe{};
    probe = Probe{this};
    // The user presses Close a little after the window appears.
    ::SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        probe.mainEnabledWhileOpen = ::IsWindowEnabled(probe.test->host_.Handle()) != FALSE;
        probe.visibleWhileOpen = probe.test->editor_.Visible();
        probe.test->Click(EditorControl::Sb_Close);
    });
    editor_.ShowModalFor(host_.Handle(), 8);
    EXPECT_FALSE(probe.mainEnabledWhileOpen);
    EXPECT_TRUE(probe.visibleWhileOpen);
    EXPECT_FALSE(editor_.Visible());
    EXPECT_TRUE(::IsWindowEnabled(host_.Handle()));
    EXPECT_EQ(shownChanges_, (std::vector<bool>{true, false}));
    EXPECT_EQ(table_.CurrentMacro(), 8);
}

TEST_F(MacroEditorWindowTest, OffersNoMinimiseWhileItsOwnerIsDisabled) {
    // Minimised, the editor would leave the disabled main window with nothing to reach.
    Open(1);
    EXPECT_EQ(::GetWindowLongPtrW(editor_.Handle(), GWL_STYLE) & WS_MINIMIZEBOX, 0);
}

TEST_F(MacroEditorWindowTest, SystemCloseHidesLikeTheCloseButton) {
    Open(2);
    ::SendMessageW(editor_.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(editor_.Visible());
    EXPECT_TRUE(editor_.Exists());
    EXPECT_EQ(shownChanges_, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace orv::macros
