#include "widgets/window.h"

#include <optional>
#include <string>

#include "widgets/paint.h"
#include "widgets/standard_control.h"

namespace orv::widgets {

Window::~Window() {
    Destroy();
}

void Window::NameByHint() {
    if (Exists()) {
        ::SetPropW(window_, kNamedByHint, reinterpret_cast<HANDLE>(1));
    }
}

void Window::Destroy() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
}

bool Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, std::wstring_view title,
                            int x, int y, int width, int height, HWND parent, UINT classStyle,
                            HCURSOR cursor) {
    if (window_ != nullptr) {
        return false;
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Registered by the first window of its class: asking the process's own class list costs
    // nothing, registering again is a round trip to the system for every control.
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!::GetClassInfoExW(instance, className, &windowClass)) {
        windowClass = WNDCLASSEXW{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &Window::Procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = cursor != nullptr ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = className;
        if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            return false;
        }
    }
    const std::wstring titleText(title);
    HWND created = ::CreateWindowExW(exStyle, className, titleText.c_str(), style, x, y, width, height,
                                     parent, nullptr, instance, this);
    return created != nullptr;
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    // A child control's notification goes to the child's own object first.
    if (const std::optional<LRESULT> reflected = StandardControl::Reflect(message, wParam, lParam)) {
        return *reflected;
    }
    if (const std::optional<LRESULT> answer = AnswerAccessibility(
            window, message, wParam, lParam, [self](AccessibleInfo& info) { return self->Describe(info); })) {
        return *answer;
    }
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::RemovePropW(window, kNamedByHint);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            if (DrawsItself()) {
                PaintBuffered(window_, [this](HDC dc, int width, int height) { Draw(dc, width, height); });
                return 0;
            }
            return Default(message, wParam, lParam);
        case WM_ERASEBKGND:
            if (!DrawsItself()) {
                PaintBackground(reinterpret_cast<HDC>(wParam));
            }
            return 1;
        case WM_PRINTCLIENT:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return Default(message, wParam, lParam);
    }
}

void Window::PaintBackground(HDC dc) {
    DrawParentBackground(window_, dc);
}

void Window::SetVisible(bool visible) {
    if (window_ != nullptr && IsVisible() != visible) {
        ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

bool Window::IsVisible() const {
    return window_ != nullptr && (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE);
}

void Window::MoveTo(int x, int y) {
    if (window_ != nullptr) {
        ::SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::Place(int x, int y, int width, int height) {
    if (window_ != nullptr) {
        ::SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

RECT Window::ClientRect() const {
    RECT client{0, 0, 0, 0};
    if (window_ != nullptr) {
        ::GetClientRect(window_, &client);
    }
    return client;
}

RECT Window::BoxInParent() const {
    RECT box{0, 0, 0, 0};
    if (window_ == nullptr) {
        return box;
    }
    ::GetWindowRect(window_, &box);
    HWND parent = (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) ? ::GetParent(window_) : nullptr;
    if (parent != nullptr) {
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&box), 2);
    }
    return box;
}

void Window::Repaint() {
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

}  // namespace orv::widgets
