#include "engine/display_queue.h"

#include <utility>

namespace orv::engine {

DisplayQueue::DisplayQueue(std::function<void()> notify) : notify_(std::move(notify)) {}

void DisplayQueue::Publish(DisplayUpdate update) {
    bool wasEmpty = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasEmpty = updates_.empty();
        updates_.push_back(std::move(update));
    }
    // Called after the update is in the queue, so a drain started by this notification finds it.
    // A drain between the push and this call only leaves the notification with nothing to do.
    if (wasEmpty && notify_) {
        notify_();
    }
}

std::vector<DisplayUpdate> DisplayQueue::Drain() {
    std::deque<DisplayUpdate> taken;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        taken.swap(updates_);
    }
    return std::vector<DisplayUpdate>(std::make_move_iterator(taken.begin()),
                                      std::make_move_iterator(taken.end()));
}

}  // namespace orv::engine
