#include "engine/display_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace orv::engine {

DisplayQueue::DisplayQueue(std::function<void()> notify, bool skipUnchangedSteps)
    : notify_(std::move(notify)), skipUnchangedSteps_(skipUnchangedSteps) {}

void DisplayQueue::Publish(DisplayUpdate update) {
    Push(std::move(update), true);
}

void DisplayQueue::PublishUnannounced(DisplayUpdate update) {
    Push(std::move(update), false);
}

void DisplayQueue::Push(DisplayUpdate update, bool announce) {
    bool notify = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (ShowsSomething(update)) {
            updates_.push_back(std::move(update));
        }
        // An update left out still announces what came before it unannounced.
        notify = announce && !announced_ && !updates_.empty();
        announced_ = announced_ || notify;
    }
    // Called after the update is in the queue, so a drain started by this notification finds it.
    // A drain between the push and this call only leaves the notification with nothing to do.
    if (notify && notify_) {
        notify_();
    }
}

bool DisplayQueue::ShowsSomething(const DisplayUpdate& update) {
    if (!skipUnchangedSteps_ || update.kind != DisplayUpdate::Kind::ScanStep) {
        return true;
    }
    const std::array<Colour, kObjectCount> boxes = StepBoxColours(update.scanStep);
    if (stepBoxes_ == boxes) {
        return false;
    }
    stepBoxes_ = boxes;
    return true;
}

std::vector<DisplayUpdate> DisplayQueue::Drain() {
    // The window's timer asks at every tick: an empty queue costs no allocation.
    std::vector<DisplayUpdate> taken;
    std::lock_guard<std::mutex> lock(mutex_);
    announced_ = false;
    if (!updates_.empty()) {
        taken.reserve(updates_.size());
        std::move(updates_.begin(), updates_.end(), std::back_inserter(taken));
        updates_.clear();
    }
    return taken;
}

}  // namespace orv::engine
