#include "widgets/modal.h"

#include "widgets/keyboard.h"

namespace orv::widgets {

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

namespace {

// Dispatches messages until `open()` is false. When the program is asked to quit meanwhile, the quit
// message is posted again so that the outer message loop ends too.
template <typename Open>
void RunModalLoop(const Open& open) {
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
        widgets::DispatchWithKeys(message);
    }
}

constexpr UINT_PTR kTimer = 1;

}  // namespace

bool ModalWindow::Show(HWND owner) {
    if (!Exists() || Showing()) {
        return false;
    }
    if (owner != nullptr) {
        // Owned: kept above its owner and without a taskbar entry of its own.
        ::SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    open_ = true;
    OnOpening(owner);
    ::ShowWindow(Handle(), SW_SHOW);
    OnShown();
    return true;
}

void ModalWindow::ShowModal(HWND owner) {
    if (!Show(owner)) {
        return;
    }
    owner_.Begin(owner);
    RunModalLoop([this] { return Exists() && Showing(); });
    owner_.End();
}

void ModalWindow::Close() {
    if (!Exists() || !Showing()) {
        return;
    }
    open_ = false;
    OnClosing();
    owner_.End();
    ::ShowWindow(Handle(), SW_HIDE);
    // Wakes a modal loop that waits for the next message.
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
    OnHidden();
}

void ModalWindow::StartTimer(UINT interval) {
    timerRunning_ = ::SetTimer(Handle(), kTimer, interval, nullptr) != 0;
}

void ModalWindow::StopTimer() {
    if (Exists()) {
        ::KillTimer(Handle(), kTimer);
    }
    timerRunning_ = false;
}

LRESULT ModalWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTimer) {
                OnTick();
                return 0;
            }
            break;
        case WM_CLOSE:
            // The system's close command closes the window as its own close does; it stays hidden
            // until the program ends.
            Close();
            return 0;
        case WM_DESTROY:
            StopTimer();
            if (open_) {
                open_ = false;
                OnClosing();
            }
            owner_.End();
            break;
        default:
            break;
    }
    return SkinnedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace orv::widgets
