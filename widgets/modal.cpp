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

void ModalOwner::Run(HWND owner, const std::function<bool()>& open) {
    Begin(owner);
    RunModalLoop(open);
    End();
}

void ModalOwner::EndAndHide(HWND window) {
    End();
    ::ShowWindow(window, SW_HIDE);
    ::PostMessageW(window, WM_NULL, 0, 0);
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
        widgets::DispatchWithKeys(message);
    }
}

}  // namespace orv::widgets
