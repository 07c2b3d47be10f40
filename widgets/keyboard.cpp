#include "widgets/keyboard.h"

#include <algorithm>

#include "platform/colour.h"
#include "widgets/canvas.h"
#include "widgets/hints.h"

namespace orv::widgets {

UINT WindowKeyMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Orvanter.WindowKey");
    return message;
}

bool TranslateWindowKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.hwnd == nullptr) {
        return false;
    }
    const WPARAM key = message.wParam;
    if (key != VK_TAB && key != VK_ESCAPE && key != VK_UP && key != VK_DOWN) {
        return false;
    }
    // Ctrl+Tab and the like belong to the control.
    if (::GetKeyState(VK_CONTROL) < 0) {
        return false;
    }
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || WindowKeyMessage() == 0) {
        return false;
    }
    const WPARAM shift = ::GetKeyState(VK_SHIFT) < 0 ? kWindowKeyShift : 0;
    return ::SendMessageW(root, WindowKeyMessage(), key | shift, reinterpret_cast<LPARAM>(message.hwnd)) != 0;
}

void DispatchWithKeys(const MSG& message) {
    Hints::NoteMessage(message);
    if (TranslateWindowKey(message)) {
        return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void DrawFocusOutline(HDC dc, int width, int height) {
    const HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(DC_PEN));
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    const COLORREF oldColour = ::SetDCPenColor(dc, ToColorRef(kTitleNameColour));
    ::Rectangle(dc, 0, 0, width, height);
    ::SetDCPenColor(dc, oldColour);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
}

HWND TabOrder::Next(HWND from, bool backward) const {
    const int count = static_cast<int>(controls_.size());
    if (count == 0) {
        return nullptr;
    }
    int index = backward ? count : -1;
    const auto found = std::find(controls_.begin(), controls_.end(), from);
    if (found != controls_.end()) {
        index = static_cast<int>(found - controls_.begin());
    } else if (from != nullptr) {
        // From a container of some controls (a row whose focused field was hidden and gave the focus
        // to the row): on from its first control.
        for (int i = 0; i < count; ++i) {
            if (::IsChild(from, controls_[i])) {
                index = backward ? i : i - 1;
                break;
            }
        }
    }
    for (int step = 0; step < count; ++step) {
        index = (index + (backward ? count - 1 : 1)) % count;
        HWND candidate = controls_[index];
        if (candidate != nullptr && ::IsWindowVisible(candidate) && ::IsWindowEnabled(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

bool TabOrder::Move(HWND from, bool backward) const {
    HWND next = Next(from, backward);
    if (next == nullptr) {
        return false;
    }
    ::SetFocus(next);
    return true;
}

}  // namespace orv::widgets
