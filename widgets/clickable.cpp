#include "widgets/clickable.h"

#include <oleacc.h>

namespace orv::widgets {

void ClickableWindow::Press(MouseButton button) {
    if (button == MouseButton::Left) {
        press_.Begin(Handle());
    }
    if (onMouseDown) {
        onMouseDown(button);
    }
}

void ClickableWindow::Release(MouseButton button, LPARAM position) {
    const bool clicked = button == MouseButton::Left && press_.End(Handle(), position);
    if (onMouseUp) {
        onMouseUp(button);
    }
    // The click comes after the release, as the owner's pressed flag must be clear by then.
    if (clicked) {
        Clicked();
    }
}

bool ClickableWindow::Describe(AccessibleInfo& info) const {
    const HWND window = Handle();
    info.name = WindowTextOf(window);
    info.role = ROLE_SYSTEM_PUSHBUTTON;
    info.state = WindowStates(window, (::GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) != 0);
    return true;
}

LRESULT ClickableWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_BUTTON;
        case WM_KEYDOWN:
            // Enter presses at once (not again while it repeats), Space when it is let go, as the system's
            // buttons do.
            if (wParam == VK_RETURN && (lParam & (1 << 30)) == 0) {
                Clicked();
                return 0;
            }
            return Default(message, wParam, lParam);
        case WM_KEYUP:
            if (wParam == VK_SPACE) {
                Clicked();
                return 0;
            }
            return Default(message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = message == WM_SETFOCUS;
            Repaint();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Press(MouseButton::Left);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            Press(MouseButton::Right);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            Press(MouseButton::Middle);
            return 0;
        case WM_LBUTTONUP:
            Release(MouseButton::Left, lParam);
            return 0;
        case WM_RBUTTONUP:
            Release(MouseButton::Right, lParam);
            return 0;
        case WM_MBUTTONUP:
            Release(MouseButton::Middle, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away (a dialog, a drag): the press is over without a click.
            if (press_.Lost(Handle(), lParam) && onMouseUp) {
                onMouseUp(MouseButton::Left);
            }
            return 0;
        case WM_SETCURSOR:
            if (handCursor_ && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            return Default(message, wParam, lParam);
        case WM_NCDESTROY:
            focused_ = false;  // a window made again later starts without the focus
            return Window::OnMessage(message, wParam, lParam);
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
