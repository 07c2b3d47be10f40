#include "widgets/window.h"

#include <windowsx.h>

#include <vector>

#include "widgets/gdi.h"

namespace orv::widgets {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), result.data(), length);
    return result;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), result.data(), length,
                          nullptr, nullptr);
    return result;
}

Window::~Window() {
    Destroy();
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
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &Window::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = cursor != nullptr ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
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
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
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

void DrawParentBackground(HWND child, HDC dc) {
    HWND parent = ::GetParent(child);
    RECT client{};
    ::GetClientRect(child, &client);
    if (parent == nullptr || !(::GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD)) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    POINT origin{0, 0};
    ::MapWindowPoints(child, parent, &origin, 1);
    POINT previous{};
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    const int saved = ::SaveDC(dc);
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    ::RestoreDC(dc, saved);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

namespace {

void PaintThrough(HDC target, HBITMAP buffer, int width, int height,
                  const std::function<void(HDC, int, int)>& draw) {
    if (buffer == nullptr) {
        return;
    }
    MemoryDc memory(::CreateCompatibleDC(target));
    if (!memory) {
        return;
    }
    Selection selected(memory.Get(), buffer);
    draw(memory.Get(), width, height);
    ::BitBlt(target, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace

void PaintBuffered(HWND window, const std::function<void(HDC dc, int width, int height)>& draw) {
    PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    Bitmap buffer(::CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    PaintThrough(paint.Get(), buffer.Get(), client.right, client.bottom, draw);
}

void PaintBuffered(HWND window, HBITMAP buffer,
                   const std::function<void(HDC dc, int width, int height)>& draw) {
    PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    PaintThrough(paint.Get(), buffer, client.right, client.bottom, draw);
}

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

HWND CreateChildControl(HWND parent, const wchar_t* className, std::string_view text, DWORD style,
                        DWORD exStyle, int x, int y, int width, int height, int id) {
    const std::wstring wideText = Wide(text);
    return ::CreateWindowExW(exStyle, className, wideText.c_str(), style | WS_CHILD, x, y, width, height,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

void SetWindowTextUtf8(HWND window, std::string_view text) {
    ::SetWindowTextW(window, Wide(text).c_str());
}

std::string GetWindowTextUtf8(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(copied)));
}

void SetControlFont(HWND window, HFONT font) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void BeginWindowDrag(HWND window) {
    ::ReleaseCapture();
    ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

bool IsStrictlyInside(const RECT& box, POINT point) {
    return box.left < point.x && point.x < box.right && box.top < point.y && point.y < box.bottom;
}

void ModalOwner::Begin(HWND owner) {
    End();
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        owner_ = owner;
        ::EnableWindow(owner, FALSE);
    }
}

void ModalOwner::End() {
    if (owner_ != nullptr) {
        const HWND owner = owner_;
        owner_ = nullptr;
        if (::IsWindow(owner)) {
            ::EnableWindow(owner, TRUE);
        }
    }
}

void RunModalLoop(const std::function<bool()>& open) {
    MSG message;
    while (open()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) {
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace orv::widgets
