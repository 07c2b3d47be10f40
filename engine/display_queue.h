// The hand-off of display updates from the scan thread to the user-interface thread: a thread-safe
// first-in first-out queue that calls `notify` whenever it turns from empty to non-empty. The main
// window posts itself one message from `notify` and drains the queue in order when it gets it.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "engine/display.h"

namespace orv::engine {

class DisplayQueue final : public DisplaySink {
  public:
    // `notify` may be called on any thread and must not block; it may be empty.
    explicit DisplayQueue(std::function<void()> notify = {});
    DisplayQueue(const DisplayQueue&) = delete;
    DisplayQueue& operator=(const DisplayQueue&) = delete;

    void Publish(DisplayUpdate update) override;

    // Everything queued so far, oldest first; the queue is empty afterwards.
    std::vector<DisplayUpdate> Drain();

  private:
    std::function<void()> notify_;
    std::mutex mutex_;
    std::deque<DisplayUpdate> updates_;
};

}  // namespace orv::engine
