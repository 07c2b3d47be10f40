// What a screen reader learns from the program's controls, asked as one asks: AccessibleObjectFromWindow
// on the control's window, then its name, role and state.
#include "widgets/accessible.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/window_support.h"
#include "widgets/check_box.h"
#include "widgets/edit_field.h"
#include "widgets/hints.h"
#include "widgets/indicator.h"
#include "widgets/label.h"
#include "widgets/large_button.h"
#include "widgets/picture_button.h"

namespace orv::widgets {
namespace {

struct Answer {
    std::wstring name;
    long role = 0;
    long state = 0;
    std::wstring value;
};

// What the client object of `window` answers; a role of 0 when there is no object. (The interface's id is
// taken from its declaration: oleacc's import library exports a symbol of the same name that is not it.)
Answer Ask(HWND window) {
    Answer answer;
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return answer;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK && text != nullptr) {
        answer.name = text;
    }
    ::SysFreeString(text);
    text = nullptr;
    if (object->get_accValue(self, &text) == S_OK && text != nullptr) {
        answer.value = text;
    }
    ::SysFreeString(text);
    VARIANT result{};
    if (object->get_accRole(self, &result) == S_OK && result.vt == VT_I4) {
        answer.role = result.lVal;
    }
    if (object->get_accState(self, &result) == S_OK && result.vt == VT_I4) {
        answer.state = result.lVal;
    }
    object->Release();
    return answer;
}

class AccessibleTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }
    void SetUp() override { ASSERT_TRUE(hints.Start()); }
    void TearDown() override { hints.Stop(); }

    test::Host host;
    Hints hints;
};

TEST_F(AccessibleTest, ACheckBoxIsACheckBoxNamedByItsHintWithItsMark) {
    CheckBox box;
    ASSERT_TRUE(box.Create({.place = {host.Handle(), 10, 10, 32, 18}, .caption = "3"}));
    EXPECT_EQ(Ask(box.Handle()).name, L"3");
    hints.Set(box.Handle(), "Activity of the thread 3");

    Answer answer = Ask(box.Handle());
    EXPECT_EQ(answer.name, L"Activity of the thread 3");
    EXPECT_EQ(answer.role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(answer.state & STATE_SYSTEM_CHECKED, 0);
    EXPECT_NE(answer.state & STATE_SYSTEM_FOCUSABLE, 0);

    box.SetChecked(true);
    EXPECT_NE(Ask(box.Handle()).state & STATE_SYSTEM_CHECKED, 0);
    hints.Remove(box.Handle());
}

TEST_F(AccessibleTest, APictureButtonIsAPushButtonNamedByItsHint) {
    PictureButton button;
    ASSERT_TRUE(button.Create({.place = {host.Handle(), 50, 10, 17, 21},
                               .pictures = &test::SharedPictures().buttons,
                               .picture = 0}));
    hints.Set(button.Handle(), "Choose the object");
    const Answer answer = Ask(button.Handle());
    EXPECT_EQ(answer.name, L"Choose the object");
    EXPECT_EQ(answer.role, ROLE_SYSTEM_PUSHBUTTON);
    hints.Remove(button.Handle());
}

TEST_F(AccessibleTest, APictureBoxTheUserTicksIsARadioButtonWithItsMarkNamedByItsLabel) {
    const PictureSet& pictures = test::SharedPictures().macros;
    PictureButton box;
    ASSERT_TRUE(box.Create({.place = {host.Handle(), 10, 100, 23, 23},
                            .pictures = &pictures,
                            .picture = macros::kMethodOff,
                            .tickedPicture = macros::kMethodOn,
                            .radio = true}));
    Label label;
    ASSERT_TRUE(label.Create({.place = {host.Handle(), 35, 102, 90, 16}, .text = "ShellExecute"}));

    Answer answer = Ask(box.Handle());
    EXPECT_EQ(answer.name, L"ShellExecute");
    EXPECT_EQ(answer.role, ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(answer.state & STATE_SYSTEM_CHECKED, 0);
    box.SetPicture(macros::kMethodOn);
    EXPECT_NE(Ask(box.Handle()).state & STATE_SYSTEM_CHECKED, 0);
}

TEST_F(AccessibleTest, ALargeButtonIsNamedByTheCaptionOfItsPicture) {
    const PictureSet& pictures = test::SharedPictures().macros;
    LargeButton button;
    ASSERT_TRUE(button.Create({.parent = host.Handle(), .x = 10, .y = 130}));
    button.Show(pictures, macros::kRunFirst);
    Answer answer = Ask(button.Handle());
    EXPECT_EQ(answer.name, L"Run");
    EXPECT_EQ(answer.role, ROLE_SYSTEM_PUSHBUTTON);
    // A hint, where the window gives one, names it instead.
    hints.Set(button.Handle(), "Try the macro");
    EXPECT_EQ(Ask(button.Handle()).name, L"Try the macro");
    hints.Remove(button.Handle());
}

TEST_F(AccessibleTest, ALampIsReadAsItsOutcomeAndAChangeOfOutcomeIsAnnounced) {
    Indicator lamp;
    ASSERT_TRUE(lamp.Create({.place = {host.Handle(), 80, 10, 10, 19}}));
    hints.Set(lamp.Handle(), "File exists");
    EXPECT_EQ(Ask(lamp.Handle()).name, L"File exists");
    EXPECT_EQ(Ask(lamp.Handle()).role, ROLE_SYSTEM_STATICTEXT);

    static int nameChanges = 0;
    nameChanges = 0;
    const HWINEVENTHOOK hook = ::SetWinEventHook(
        EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND, LONG object, LONG, DWORD, DWORD) {
            nameChanges += object == OBJID_CLIENT ? 1 : 0;
        },
        ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    hints.Set(lamp.Handle(), "File size increased to: 2048 b");
    test::Pump();
    ::UnhookWinEvent(hook);
    EXPECT_EQ(Ask(lamp.Handle()).name, L"File size increased to: 2048 b");
    ASSERT_NE(hook, nullptr);
    EXPECT_GE(nameChanges, 1);
    hints.Remove(lamp.Handle());
}

TEST_F(AccessibleTest, TextFieldsAreEditableOrReadOnlyTextNamedByTheirLabel) {
    Label label;
    ASSERT_TRUE(label.Create({.place = {host.Handle(), 10, 40, 100, 16}, .text = "Macro name"}));
    EditField editable;
    ASSERT_TRUE(editable.Create({.place = {host.Handle(), 10, 60, 120, 20}, .text = "Backup"}));
    EditField readOnly;
    ASSERT_TRUE(
        readOnly.Create({.place = {host.Handle(), 140, 60, 120, 20}, .text = "File", .readOnly = true}));
    hints.Set(readOnly.Handle(), "Type of control object of the thread 1");

    const Answer label_ = Ask(label.Handle());
    EXPECT_EQ(label_.name, L"Macro name");
    EXPECT_EQ(label_.role, ROLE_SYSTEM_STATICTEXT);

    const Answer typed = Ask(editable.Handle());
    EXPECT_EQ(typed.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(typed.name, L"Macro name");
    EXPECT_EQ(typed.value, L"Backup");
    EXPECT_EQ(typed.state & STATE_SYSTEM_READONLY, 0);

    const Answer shown = Ask(readOnly.Handle());
    EXPECT_EQ(shown.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(shown.name, L"Type of control object of the thread 1");
    EXPECT_EQ(shown.value, L"File");
    EXPECT_NE(shown.state & STATE_SYSTEM_READONLY, 0);
    hints.Remove(readOnly.Handle());
}

}  // namespace
}  // namespace orv::widgets
