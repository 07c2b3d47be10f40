// What a screen reader learns about the program's controls. The controls draw themselves, so the
// system cannot tell what they are: each widget describes itself (name, role, state), and WM_GETOBJECT is
// answered with a small object that asks the widget at every question and leaves the rest (place,
// parent, navigation) to the system's own object for the window. Nothing of it is made, and oleacc is not
// loaded, until an assistive program asks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace orv::widgets {

// Name, role and state as Active Accessibility gives them (ROLE_SYSTEM_..., STATE_SYSTEM_...); a text
// field also has its text as value.
struct AccessibleInfo {
    std::wstring name;
    long role = 0;
    long state = 0;
    std::optional<std::wstring> value;
};

// The states a window has by itself: hidden, disabled, and (for a control that takes the keyboard)
// focusable and focused.
long WindowStates(HWND window, bool focusable);

// The answer to WM_GETOBJECT for `window`, whose object answers the message by which it is asked for its
// AccessibleInfo; 0 when the question is not about the window's client object or the object cannot be
// made (the caller then leaves the message to the system).
LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam);
// True for the message that asks a window for its AccessibleInfo (lParam: AccessibleInfo*; the window
// returns nonzero when it filled it in).
bool IsDescribeMessage(UINT message);

// The two accessibility messages of a window whose widget tells what it is through `describe`
// (bool(AccessibleInfo&); false leaves the window to the system): WM_GETOBJECT answered with the
// widget's object, and the question for its AccessibleInfo. Nothing for any other message, nor when
// the object cannot be made (the caller then passes the message on).
template <class Describe>
std::optional<LRESULT> AnswerAccessibility(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           Describe&& describe) {
    if (message == WM_GETOBJECT) {
        AccessibleInfo described;
        if (describe(described)) {
            if (const LRESULT answer = AnswerAccessibleObject(window, wParam, lParam)) {
                return answer;
            }
        }
    } else if (IsDescribeMessage(message)) {
        return describe(*reinterpret_cast<AccessibleInfo*>(lParam)) ? 1 : 0;
    }
    return std::nullopt;
}

// Tells assistive programs that the name (EVENT_OBJECT_NAMECHANGE) or the state
// (EVENT_OBJECT_STATECHANGE) of `window`'s control changed.
void NotifyAccessibleChange(HWND window, DWORD event);

// The window's text, as the system's own objects read a name.
std::wstring WindowTextOf(HWND window);

// The name of a control that has no text of its own (a text field, a list): its hint, else the text of
// `label`, else that of a label made just before it (or before its frame, when it is the frame's first
// control), as the system names a field by its label.
std::wstring LabelOf(HWND control, HWND label);

// The text of the label made right after `control` (a tick box's caption beside it); empty without one.
std::wstring LabelAfter(HWND control);

}  // namespace orv::widgets
