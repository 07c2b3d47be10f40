// TMyThread: the scan thread. Created anew at every start of control and never reused.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/sync.h"

namespace orv::engine {

class Engine;

class TMyThread {
  public:
    // `predecessor`: a thread of an earlier start that was told to stop and may still be finishing its
    // pass. The new thread waits for it to end before its first pass, so that the start never makes the
    // caller wait and only one thread scans at a time.
    TMyThread(Engine& engine, std::chrono::milliseconds pause,
              std::unique_ptr<TMyThread> predecessor = nullptr);
    // Requests the stop and joins.
    ~TMyThread();
    TMyThread(const TMyThread&) = delete;
    TMyThread& operator=(const TMyThread&) = delete;

    // Starts the loop; false when the system cannot create the thread.
    bool Start();
    // The predecessor back, after a Start that failed.
    std::unique_ptr<TMyThread> TakePredecessor() { return std::move(predecessor_); }
    // The loop ends at its next test; a pause under way ends at once.
    void RequestStop();
    bool StopRequested() const { return stop_.load(); }
    // Takes back the stop of a thread still waiting for its predecessor (it has not scanned yet), so
    // that quick stops and starts keep one waiting thread instead of a chain of them. False when the
    // thread has begun.
    bool Revive();
    // Waits for the loop to end (nothing when it never started).
    void Join();

  private:
    // While control runs and no stop is requested: a pass, then the pause.
    void Execute();

    Engine& engine_;
    const std::chrono::milliseconds pause_;
    std::atomic<bool> stop_{false};
    sync::Mutex pauseMutex_;
    bool begun_ = false;  // past the wait for the predecessor (pauseMutex_)
    sync::ConditionVariable pauseWake_;
    std::unique_ptr<TMyThread> predecessor_;  // only the new thread touches it once started
    std::thread thread_;
};

}  // namespace orv::engine
