// Helpers of the window tests (Windows build only): the shared visible host window, handling the
// waiting messages, reading a pixel from the screen and the program's pictures made once.
#pragma once

#include <windows.h>

#include <memory>

#include "widgets/keyboard.h"
#include "widgets/pictures.h"
#include "widgets/skinned_window.h"

namespace orv::test {

// One visible window for the whole test program: under Wine without a window manager, hiding or
// destroying a visible top-level window waits for the X server, so the tests share one and put
// their widgets on it.
class Host {
  public:
    Host() {
        static widgets::SkinnedWindow* window = [] {
            auto* created = new widgets::SkinnedWindow;
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
    widgets::SkinnedWindow* window_;
};

// Handles every message waiting for this thread (sent and posted), without blocking. A quit message
// a window under test posts is dropped: the test program goes on.
inline void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        widgets::DispatchWithKeys(message);
    }
}

// A mouse message's position.
inline LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// What the screen shows at (x, y) of `window`'s client area now; nothing is repainted first.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC dc = ::GetDC(window);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return colour;
}

// The tests share one set of pictures, as the windows of the program share one per run.
inline widgets::ProgramPictures& SharedPictures() {
    static const std::unique_ptr<widgets::ProgramPictures> pictures = widgets::BuildProgramPictures();
    return *pictures;
}

}  // namespace orv::test
