#include "widgets/hints.h"
#include "platform/win32/wide.h"
#include "widgets/accessible.h"
#include "widgets/clickable.h"
#include "widgets/window_text.h"

#include <algorithm>
#include <utility>

namespace orv::widgets {

namespace {

constexpr int kPaddingX = 4, kPaddingY = 2;

}  // namespace

std::vector<std::wstring> SplitHintLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::wstring line;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.push_back(line);
            line.clear();
            // A pair of different break characters is one break.
            if (i + 1 < text.size() && (text[i + 1] == L'\r' || text[i + 1] == L'\n') && text[i + 1] != c) {
                ++i;
            }
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

bool HintWindow::Create() {
    font_.Reset(CreateUiFont(FontStyle{kHintFontPixels}));
    return CreateWindowOf(L"OrvHint", WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WS_POPUP, L"", 0,
                          0, 10, 10, nullptr, CS_SAVEBITS);
}

SIZE HintWindow::Measure(std::string_view text) const {
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Selection font(dc.Get(), font_.Get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    const auto lines = SplitHintLines(win32::Wide(text));
    LONG width = 0;
    for (const auto& line : lines) {
        SIZE extent{0, 0};
        ::GetTextExtentPoint32W(dc.Get(), line.c_str(), static_cast<int>(line.size()), &extent);
        width = std::max(width, extent.cx);
    }
    return SIZE{width + 2 * kPaddingX + 2,
                static_cast<LONG>(lines.size()) * metrics.tmHeight + 2 * kPaddingY + 2};
}

void HintWindow::ShowAt(std::string_view text, POINT anchor) {
    if (!Exists()) {
        return;
    }
    text_ = std::string(text);
    const SIZE size = Measure(text);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromPoint(anchor, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    int x = std::min<int>(anchor.x, area.right - size.cx);
    int y = anchor.y;
    if (y + size.cy > area.bottom) {
        y = anchor.y - size.cy - 24;  // above the cursor instead of below it
    }
    x = std::max<int>(x, area.left);
    y = std::max<int>(y, area.top);
    ::SetWindowPos(Handle(), HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void HintWindow::Hide() {
    if (IsVisible()) {
        ::ShowWindow(Handle(), SW_HIDE);
    }
}

void HintWindow::Draw(HDC dc, int width, int height) {
    const RECT client{0, 0, width, height};
    Brush border(::CreateSolidBrush(ToColorRef(kHintBorder)));
    Brush background(::CreateSolidBrush(ToColorRef(kHintBackground)));
    ::FillRect(dc, &client, border.Get());
    RECT inside{1, 1, client.right - 1, client.bottom - 1};
    ::FillRect(dc, &inside, background.Get());
    Selection font(dc, font_.Get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(kHintText));
    int y = 1 + kPaddingY;
    for (const auto& line : SplitHintLines(win32::Wide(text_))) {
        ::ExtTextOutW(dc, 1 + kPaddingX, y, ETO_CLIPPED, &inside, line.c_str(),
                      static_cast<UINT>(line.size()), nullptr);
        y += metrics.tmHeight;
    }
}

LRESULT HintWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PRINTCLIENT: {
            const RECT client = ClientRect();
            Draw(reinterpret_cast<HDC>(wParam), client.right, client.bottom);
            return 0;
        }
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

bool Hints::Start() {
    running_ = this;
    return window_.Exists() || window_.Create();
}

Hints::~Hints() {
    if (running_ == this) {
        running_ = nullptr;
    }
}

void Hints::Stop() {
    window_.Destroy();
    if (running_ == this) {
        running_ = nullptr;
    }
}

const std::string* Hints::TextOf(HWND control) {
    return running_ != nullptr ? running_->Find(control) : nullptr;
}

void Hints::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled_) {
        window_.Hide();
    }
}

void Hints::Set(HWND control, std::string_view text) {
    if (text.empty()) {
        Remove(control);
        return;
    }
    std::string& stored = texts_[control];
    if (stored != text) {
        stored = std::string(text);
        if (::GetPropW(control, kNamedByHint) != nullptr) {
            SetWindowTextUtf8(control, text);
        }
        // A lamp's hint is its outcome: a screen reader hears the new one.
        NotifyAccessibleChange(control, EVENT_OBJECT_NAMECHANGE);
    }
    if (control == target_ && window_.Showing() && window_.Text() != text) {
        // The hint under the cursor changed (an indicator's outcome): show the new text in place.
        RECT box{};
        ::GetWindowRect(window_.Handle(), &box);
        window_.ShowAt(text, POINT{box.left, box.top});
    }
}

void Hints::Remove(HWND control) {
    if (texts_.erase(control) != 0) {
        if (::GetPropW(control, kNamedByHint) != nullptr) {
            SetWindowTextUtf8(control, "");
        }
        NotifyAccessibleChange(control, EVENT_OBJECT_NAMECHANGE);
    }
}

const std::string* Hints::Find(HWND control) const {
    const auto found = texts_.find(control);
    return found == texts_.end() ? nullptr : &found->second;
}

HWND Hints::TargetOf(HWND under) const {
    for (HWND window = under; window != nullptr; window = ::GetParent(window)) {
        if (texts_.count(window) != 0) {
            return window;
        }
        if (!(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) {
            break;
        }
    }
    return nullptr;
}

void Hints::Update(POINT cursor, HWND under, bool buttonHeld, Clock::time_point now) {
    Advance(
        cursor, under, [buttonHeld] { return buttonHeld; }, now);
}

template <typename ButtonHeld>
void Hints::Advance(POINT cursor, HWND under, const ButtonHeld& buttonHeld, Clock::time_point now) {
    if (!enabled_) {
        window_.Hide();
        target_ = nullptr;
        return;
    }
    HWND target = TargetOf(under);
    // Windows disabled by a modal window (the macro editor over the main window) show no hints.
    if (target != nullptr && !::IsWindowEnabled(::GetAncestor(target, GA_ROOT))) {
        target = nullptr;
    }
    if (target != target_) {
        const bool wasShowing = window_.Showing();
        window_.Hide();
        target_ = target;
        suppressed_ = nullptr;
        // Moving from one hint straight to the next shows the next one almost at once.
        since_ = wasShowing ? now - kDelay + std::chrono::milliseconds(100) : now;
        return;
    }
    // A hint that was taken away stays away until the cursor leaves: the buttons change nothing then.
    const bool showing = window_.Showing();
    if (target_ == nullptr || (!showing && suppressed_ == target_)) {
        return;
    }
    if (buttonHeld()) {
        window_.Hide();
        suppressed_ = target_;
        return;
    }
    if (showing) {
        if (now - shownAt_ >= kShowFor) {
            window_.Hide();
            suppressed_ = target_;
        }
        return;
    }
    if (now - since_ >= kDelay) {
        if (const std::string* text = Find(target_)) {
            window_.ShowAt(*text, POINT{cursor.x, cursor.y + 20});
            shownAt_ = now;
        }
    }
}

void Hints::Poll(POINT cursor) {
    PollWith(
        cursor, [](POINT point) { return ::WindowFromPoint(point); },
        [] { return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (::GetAsyncKeyState(VK_RBUTTON) & 0x8000); },
        [] { return Clock::now(); });
}

void Hints::PollWith(POINT cursor, const std::function<HWND(POINT)>& windowAt,
                     const std::function<bool()>& buttonsHeld,
                     const std::function<Clock::time_point()>& now) {
    if (!window_.Exists()) {
        return;
    }
    const bool pressed = std::exchange(pressSeen_, false);
    const bool still = lastCursor_ && lastCursor_->x == cursor.x && lastCursor_->y == cursor.y;
    if (still && target_ == nullptr && !window_.Showing()) {
        return;  // idle: the cursor rests outside every control with a hint
    }
    if (!still) {
        lastCursor_ = cursor;
        lastUnder_ = windowAt(cursor);
        askButtons_ = true;
    }
    // The buttons are asked only while a hint shows or is on its way, and while the cursor rests only
    // once: each ask is a call to the system, and a press over the resting cursor comes as a message.
    const auto held = [&] {
        if (pressed) {
            return true;
        }
        if (!askButtons_) {
            return false;
        }
        askButtons_ = false;
        return buttonsHeld();
    };
    Advance(cursor, lastUnder_, held, now());
}

void Hints::NoteMessage(const MSG& message) {
    switch (message.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONDBLCLK:
            if (running_ != nullptr) {
                running_->pressSeen_ = true;
            }
            break;
        default:
            break;
    }
}

}  // namespace orv::widgets
