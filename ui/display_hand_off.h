// The hand-off of display updates from the engine to the main window.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "engine/display_queue.h"

namespace orv::ui {

// The message the scan thread's updates announce themselves with.
inline constexpr UINT kDisplayMessage = WM_APP;

// The engine publishes into the queue (on any thread), the queue posts one message to the main window,
// which drains it in order; the scan cycle's updates post nothing and wait for the window's next tick. The window shows of a step update only the colours of the enable boxes, so
// a step that keeps them (the rest steps after the log step) is not handed over. Made before the engine,
// which publishes into it; the window is attached when it exists.
class DisplayHandOff {
  public:
    DisplayHandOff();
    engine::DisplaySink* Sink() { return &queue_; }
    void Attach(HWND window) { window_.store(window); }
    std::vector<engine::DisplayUpdate> Drain() { return queue_.Drain(); }

  private:
    std::atomic<HWND> window_{nullptr};
    engine::DisplayQueue queue_;
};

}  // namespace orv::ui
