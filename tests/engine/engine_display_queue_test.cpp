// The hand-off queue between the scan thread and the user-interface thread.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/display_queue.h"

namespace orv::engine::test {
namespace {

TEST(DisplayQueueTest, NotifiesOnceWhenItStopsBeingEmptyAndDrainsInOrder) {
    int notifications = 0;
    DisplayQueue queue([&] { ++notifications; });
    EXPECT_TRUE(queue.Drain().empty());
    queue.Publish(DisplayUpdate::Step(3));
    queue.Publish(DisplayUpdate::Indicators(3, IndicatorReport{kActiveColour, "hint", {}, {}}));
    queue.Publish(DisplayUpdate::Step(4));
    EXPECT_EQ(notifications, 1);

    const std::vector<DisplayUpdate> drained = queue.Drain();
    ASSERT_EQ(drained.size(), 3u);
    EXPECT_EQ(drained[0], DisplayUpdate::Step(3));
    EXPECT_EQ(drained[1].object, 3);
    EXPECT_EQ(drained[1].indicators.pathHint, "hint");
    EXPECT_EQ(drained[2], DisplayUpdate::Step(4));
    EXPECT_TRUE(queue.Drain().empty());

    queue.Publish(DisplayUpdate::Step(0));
    EXPECT_EQ(notifications, 2);
}

// An update published unannounced waits for the next one to announce both; with skipUnchangedSteps a
// step that colours the boxes as the last one did is left out, yet still announces what came before.
TEST(DisplayQueueTest, UnannouncedUpdatesWaitForTheNextAndUnchangedStepsAreLeftOut) {
    int notifications = 0;
    DisplayQueue queue([&] { ++notifications; }, true);
    queue.PublishUnannounced(DisplayUpdate::Indicators(1, IndicatorReport{}));
    EXPECT_EQ(notifications, 0);
    queue.Publish(DisplayUpdate::Step(1));
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(queue.Drain().size(), 2u);

    queue.Publish(DisplayUpdate::Step(9));
    queue.Drain();
    queue.PublishUnannounced(DisplayUpdate::Indicators(2, IndicatorReport{}));
    queue.Publish(DisplayUpdate::Step(10));  // all boxes idle, as after step 9
    queue.Publish(DisplayUpdate::Step(0));
    EXPECT_EQ(notifications, 3);
    const std::vector<DisplayUpdate> drained = queue.Drain();
    ASSERT_EQ(drained.size(), 1u);
    EXPECT_EQ(drained[0].object, 2);
    queue.Publish(DisplayUpdate::Step(2));
    EXPECT_EQ(queue.Drain(), std::vector<DisplayUpdate>{DisplayUpdate::Step(2)});
}

// A producer thread and a consumer that drains only when notified, as the main window does with its
// posted message: every update arrives, once, in the order it was published.
TEST(DisplayQueueTest, ConsumerDrivenByNotificationsSeesEveryUpdateInOrder) {
    constexpr int kUpdates = 20000;
    std::mutex mutex;
    std::condition_variable posted;
    int pendingMessages = 0;
    DisplayQueue queue([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++pendingMessages;
        posted.notify_one();
    });

    std::thread producer([&] {
        for (int i = 0; i < kUpdates; ++i) {
            queue.Publish(DisplayUpdate::Step(i));
        }
    });
    std::vector<int> received;
    while (static_cast<int>(received.size()) < kUpdates) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            ASSERT_TRUE(posted.wait_for(lock, std::chrono::seconds(30), [&] { return pendingMessages > 0; }));
            --pendingMessages;
        }
        for (const DisplayUpdate& update : queue.Drain()) {
            received.push_back(update.scanStep);
        }
    }
    producer.join();
    for (int i = 0; i < kUpdates; ++i) {
        ASSERT_EQ(received[i], i);
    }
    EXPECT_TRUE(queue.Drain().empty());
}

}  // namespace
}  // namespace orv::engine::test
