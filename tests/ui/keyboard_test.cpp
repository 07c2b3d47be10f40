// The main window from the keyboard, under Wine: Tab and Shift+Tab through the controls, Space and
// Enter on a picture button, Up and Down on the type and language fields, Alt+F4, the focus outline
// and the buttons' names. Keys are posted to the focused control and go through the message loop, as
// the user's would.
#include <gtest/gtest.h>

#include "tests/ui/main_window_fixture.h"
#include "widgets/canvas.h"
#include "widgets/pictures.h"
#include "widgets/window_text.h"

namespace orv::ui::test {
namespace {

namespace btn = widgets::btn;

class KeyboardTest : public MainWindowTest {
  protected:
    void Focus(HWND control) {
        ::SetFocus(control);
        Pump();
        ASSERT_EQ(::GetFocus(), control);
    }
    void Shift(bool down) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    void Key(WPARAM virtualKey) {
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, virtualKey, 1);
        ::PostMessageW(::GetFocus(), WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
        Pump();
    }
    HWND Tab(bool backward = false) {
        Shift(backward);
        Key(VK_TAB);
        Shift(false);
        return ::GetFocus();
    }
    HWND Row(int number, lang::PanelControl control) { return window->Panel(number).Handle(control); }
};

using P = lang::PanelControl;

TEST_F(KeyboardTest, TabFollowsTheRowsThenTheSettingsInReadingOrderAndShiftTabGoesBack) {
    StoreInt("Razr_Obj2", 0);
    StoreInt("Razr_Obj8", 0);
    StartShown();
    // Row 1 is switched on (as every row is at first): its fields and buttons in reading order.
    Focus(Row(1, P::Cb_Razr_Obj));
    EXPECT_EQ(Tab(), Row(1, P::Edit_Type_Obj));
    EXPECT_EQ(Tab(), Row(1, P::Sb_Type_Obj_Up));
    EXPECT_EQ(Tab(), Row(1, P::Sb_Type_Obj_Down));
    EXPECT_EQ(Tab(), Row(1, P::Edit_Path_Obj));
    EXPECT_EQ(Tab(), Row(1, P::Sb_Path_Obj));
    EXPECT_EQ(Tab(), Row(1, P::Edit_Param_Obj));
    EXPECT_EQ(Tab(true), Row(1, P::Sb_Path_Obj));
    // Rows switched off show only their box: the hidden fields are passed over.
    Focus(Row(2, P::Cb_Razr_Obj));
    EXPECT_EQ(Tab(), Row(3, P::Cb_Razr_Obj));
    // A row that holds the focus itself (its focused field was hidden) goes on from its first control.
    Focus(Row(3, P::Panel_Obj));
    EXPECT_EQ(Tab(), Row(3, P::Cb_Razr_Obj));
    // After the last row: the options row by row, the language, the large buttons, round to row 1.
    Focus(Row(8, P::Cb_Razr_Obj));
    const HWND expected[] = {
        window->Settings().OptionBox(0).Handle(),         window->Settings().OptionBox(2).Handle(),
        window->Settings().OptionBox(1).Handle(),         window->Settings().OptionBox(3).Handle(),
        window->Settings().OptionBox(4).Handle(),         window->Settings().LanguageField().FieldHandle(),
        window->Settings().LanguageField().Up().Handle(), window->Settings().LanguageField().Down().Handle(),
        window->Settings().StartButton().Handle(),        window->Settings().ResetButton().Handle(),
        window->Settings().LogKeep().FieldHandle(),       window->Settings().LogKeep().Up().Handle(),
        window->Settings().LogKeep().Down().Handle(),     Row(1, P::Cb_Razr_Obj)};
    for (HWND next : expected) {
        EXPECT_EQ(Tab(), next);
    }
    EXPECT_EQ(Tab(true), window->Settings().LogKeep().Down().Handle());
    EXPECT_TRUE(window->Exists());
}

TEST_F(KeyboardTest, TheLogKeepFieldStepsByArrowsAndKeysInBothLanguagesAndExitSavesIt) {
    StoreInt("LogKeepDays", 30);
    StartShown();
    UpDownField& field = window->Settings().LogKeep();
    EXPECT_EQ(field.Text(), "30 days");
    EXPECT_EQ(window->CaptionOf(lang::MainControl::Lbl_LogKeep), "Keep log files:");
    EXPECT_EQ(window->HintOf(lang::MainControl::Edit_LogKeep),
              "How long log files are kept: older ones are deleted");
    Focus(field.FieldHandle());
    Key(VK_UP);
    EXPECT_EQ(field.Text(), "365 days");
    Key(VK_UP);
    EXPECT_EQ(field.Text(), "forever");
    EXPECT_EQ(engine->LogKeepDays(), 0);
    ::SendMessageW(field.Up().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(field.Up().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Pump();
    EXPECT_EQ(field.Text(), "1 day");
    EXPECT_EQ(engine->LogKeepDays(), 1) << "the scan thread uses it at once";
    window->Settings().Sb_Lang_UpClick();
    EXPECT_EQ(field.Text(), "1 день");
    EXPECT_EQ(window->CaptionOf(lang::MainControl::Lbl_LogKeep), "Хранить лог-файлы:");
    Key(VK_DOWN);
    EXPECT_EQ(field.Text(), "всегда");
    Key(VK_DOWN);
    EXPECT_EQ(field.Text(), "365 дней");

    window.reset();
    Pump();
    reg::Key programKey;
    ASSERT_TRUE(reg::Key::Open(ProgramKey(), false, programKey));
    int32_t stored = 0;
    EXPECT_EQ(programKey.ReadInt("LogKeepDays", stored), reg::Status::Ok);
    EXPECT_EQ(stored, 365);
}

TEST_F(KeyboardTest, SpaceAndEnterOnAPictureButtonDoWhatAClickDoes) {
    StoreInt("Razr_Obj4", 0);
    StartShown();
    widgets::PictureButton& log = window->Settings().OptionBox(3);
    const int before = log.Picture();
    // The click, for comparison.
    ::SendMessageW(log.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(log.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Pump();
    const int clicked = log.Picture();
    ASSERT_NE(clicked, before);
    ::SendMessageW(log.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(log.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Pump();
    ASSERT_EQ(log.Picture(), before);

    Focus(log.Handle());
    Key(VK_RETURN);
    EXPECT_EQ(log.Picture(), clicked);
    // A held Enter repeats its key-down: no second press.
    ::PostMessageW(log.Handle(), WM_KEYDOWN, VK_RETURN, 1 | (1u << 30));
    Pump();
    EXPECT_EQ(log.Picture(), clicked);
    Key(VK_SPACE);
    EXPECT_EQ(log.Picture(), before);
    // The enable box of a row toggles by Space too, and its row follows as after a click.
    Focus(Row(4, P::Cb_Razr_Obj));
    Key(VK_SPACE);
    EXPECT_TRUE(window->Panel(4).RazrChecked());
    EXPECT_TRUE(window->Panel(4).FieldsVisible());
}

TEST_F(KeyboardTest, UpAndDownOnTheTypeAndLanguageFieldsStepThemAsTheirArrows) {
    StartShown();
    ObjectPanel& row = window->Panel(2);
    const std::string first = row.TypeField();
    row.Sb_Type_UpClick();
    const std::string byArrow = row.TypeField();
    row.Sb_Type_DownClick();
    ASSERT_EQ(row.TypeField(), first);
    ASSERT_NE(byArrow, first);

    Focus(Row(2, P::Edit_Type_Obj));
    Key(VK_UP);
    EXPECT_EQ(row.TypeField(), byArrow);
    Key(VK_DOWN);
    EXPECT_EQ(row.TypeField(), first);
    // Up on a text field that does not step is the field's own (the caret), and changes nothing.
    Focus(row.SearchFieldHandle());
    Key(VK_UP);
    EXPECT_EQ(row.TypeField(), first);

    const std::string english = window->Settings().LanguageField().Text();
    Focus(window->Settings().LanguageField().FieldHandle());
    Key(VK_DOWN);
    EXPECT_NE(window->Settings().LanguageField().Text(), english);
    EXPECT_EQ(StoredInt("Languare"), 1);
}

TEST_F(KeyboardTest, AltF4ClosesTheMainWindowAndEverythingIsSaved) {
    StoreString("String_Obj1", "stored");
    StartShown();
    ::SetWindowTextW(window->Panel(1).SearchFieldHandle(), L"typed");
    Focus(Row(1, P::Cb_Razr_Obj));
    ::PostMessageW(::GetFocus(), WM_SYSKEYDOWN, VK_F4, 1 | (1u << 29));
    Pump();
    EXPECT_FALSE(window->Exists());
    EXPECT_TRUE(state->Saved());
    EXPECT_EQ(StoredString("String_Obj1"), "typed");
}

TEST_F(KeyboardTest, FocusOutlineIsPaintedWhenFocusMovesNotAtEveryTick) {
    StartShown();
    widgets::PictureButton& box = window->Settings().OptionBox(0);
    const COLORREF outline = widgets::ToColorRef(kTitleNameColour);
    Focus(box.Handle());
    ::UpdateWindow(box.Handle());
    EXPECT_EQ(orv::test::ScreenPixel(box.Handle(), 0, 0), outline);
    const int paints = box.PaintCount();
    Tick();
    Tick();
    EXPECT_EQ(box.PaintCount(), paints);
    Tab();
    ::UpdateWindow(box.Handle());
    EXPECT_NE(orv::test::ScreenPixel(box.Handle(), 0, 0), outline);
}

TEST_F(KeyboardTest, ButtonsAndBoxesCarryTheirHintAsWindowText) {
    Start();
    const HWND controls[] = {window->Panel(1).Button(0).Handle(), Row(5, P::Cb_Razr_Obj),
                             window->Settings().OptionBox(2).Handle(),
                             window->Settings().StartButton().Handle(), window->TitleButton(3).Handle()};
    std::vector<std::string> english;
    for (HWND control : controls) {
        const std::string* hint = SharedHints().Find(control);
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(widgets::GetWindowTextUtf8(control), *hint);
        english.push_back(*hint);
    }
    window->Settings().Sb_Lang_UpClick();
    for (size_t i = 0; i < std::size(controls); ++i) {
        EXPECT_EQ(widgets::GetWindowTextUtf8(controls[i]), *SharedHints().Find(controls[i]));
        EXPECT_NE(widgets::GetWindowTextUtf8(controls[i]), english[i]);
    }
}

}  // namespace
}  // namespace orv::ui::test
