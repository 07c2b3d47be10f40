// A visible top-level window for the widget tests to put their widgets on, and message pumping.
#pragma once

#include <windows.h>

#include "widgets/skinned_window.h"

namespace orv::widgets::test {

// One visible window for the whole test program: under Wine without a window manager, hiding or
// destroying a visible top-level window waits for the X server, so the tests share one and put
// their widgets on it.
class Host {
  public:
    Host() {
        static SkinnedWindow* window = [] {
            auto* created = new SkinnedWindow;
            created->Create({.className = L"OrvTestHost",
                             .title = L"widgets test",
                             .x = 20,
                             .y = 20,
                             .width = 400,
                             .height = 300});
            ::ShowWindow(created->Handle(), SW_SHOWNOACTIVATE);
            ::UpdateWindow(created->Handle());
            return created;
        }();
        window_ = window;
    }
    HWND Handle() const { return window_->Handle(); }
    bool Exists() const { return window_->Exists(); }

  private:
    SkinnedWindow* window_;
};

// Handles every message waiting for this thread (sent and posted), without blocking.
inline void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

inline LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

}  // namespace orv::widgets::test
