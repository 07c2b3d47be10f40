// The hand-off of display updates from the scan thread to the user-interface thread: a thread-safe
// first-in first-out queue that calls `notify` when it holds announced updates no notification has
// announced yet. The main window posts itself one message from `notify` and drains the queue in order
// when it gets it, and at every tick of its work timer (which takes the scan cycle's unannounced ones).
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "engine/display.h"

namespace orv::engine {

class DisplayQueue final : public DisplaySink {
  public:
    // `notify` may be called on any thread and must not block; it may be empty. With
    // `skipUnchangedSteps`, a step update that colours the enable boxes as the last step update did is
    // left out: a window that shows only those colours has nothing to do for it.
    explicit DisplayQueue(std::function<void()> notify = {}, bool skipUnchangedSteps = false);
    DisplayQueue(const DisplayQueue&) = delete;
    DisplayQueue& operator=(const DisplayQueue&) = delete;

    void Publish(DisplayUpdate update) override;
    void PublishUnannounced(DisplayUpdate update) override;

    // Everything queued so far, oldest first; the queue is empty afterwards.
    std::vector<DisplayUpdate> Drain();

  private:
    void Push(DisplayUpdate update, bool announce);
    // False for a step update to be left out; notes the boxes of one that is kept (under mutex_).
    bool ShowsSomething(const DisplayUpdate& update);

    const std::function<void()> notify_;
    const bool skipUnchangedSteps_;
    std::mutex mutex_;
    std::deque<DisplayUpdate> updates_;
    bool announced_ = false;  // a notification has gone out for what the queue holds
    std::optional<std::array<Colour, kObjectCount>> stepBoxes_;  // of the last step update queued
};

}  // namespace orv::engine
