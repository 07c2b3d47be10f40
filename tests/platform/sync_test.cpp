#include "platform/sync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace orv::sync {
namespace {

using namespace std::chrono_literals;

// The scan thread's pause and a measurement's wait: a limit that runs out gives the predicate's value,
// and a wake-up ends a long wait at once.
TEST(SyncTest, AWaitEndsAtItsLimitOrAtTheWakeUp) {
    Mutex mutex;
    ConditionVariable wake;
    bool ready = false;
    {
        std::unique_lock<Mutex> lock(mutex);
        EXPECT_FALSE(wake.wait_for(lock, 30ms, [&] { return ready; }));
    }
    const auto start = std::chrono::steady_clock::now();
    std::thread waker([&] {
        std::this_thread::sleep_for(20ms);
        {
            std::lock_guard<Mutex> lock(mutex);
            ready = true;
        }
        wake.notify_all();
    });
    {
        std::unique_lock<Mutex> lock(mutex);
        EXPECT_TRUE(wake.wait_for(lock, 60s, [&] { return ready; }));
    }
    waker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
}

}  // namespace
}  // namespace orv::sync
