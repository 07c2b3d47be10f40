#include "widgets/mouse.h"

#include <windowsx.h>

namespace orv::widgets {

void LeftPress::Begin(HWND window) {
    held_ = true;
    ::SetCapture(window);
}

bool LeftPress::End(HWND window, LPARAM position) {
    if (!held_) {
        return false;
    }
    held_ = false;
    if (::GetCapture() == window) {
        ::ReleaseCapture();
    }
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    RECT client{};
    ::GetClientRect(window, &client);
    return ::PtInRect(&client, point) != FALSE;
}

bool LeftPress::Lost(HWND window, LPARAM newCapture) {
    // Taking the mouse again for the same window (a second press) does not end the press.
    if (!held_ || reinterpret_cast<HWND>(newCapture) == window) {
        return false;
    }
    held_ = false;
    return true;
}

void BeginWindowDrag(HWND window) {
    ::ReleaseCapture();
    ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

bool PressStartsDrag(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return (wParam & MK_LBUTTON) != 0;
        default:
            return false;
    }
}

bool DragOnPress(HWND window, UINT message, WPARAM wParam) {
    if (!PressStartsDrag(message, wParam)) {
        return false;
    }
    BeginWindowDrag(window);
    return true;
}

}  // namespace orv::widgets
