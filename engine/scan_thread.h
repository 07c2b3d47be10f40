// TMyThread: the scan thread. Created anew at every start of control and never reused.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orv::engine {

class Engine;

class TMyThread {
  public:
    TMyThread(Engine& engine, std::chrono::milliseconds pause);
    // Requests the stop and joins.
    ~TMyThread();
    TMyThread(const TMyThread&) = delete;
    TMyThread& operator=(const TMyThread&) = delete;

    // Starts the loop; false when the system cannot create the thread.
    bool Start();
    // The loop ends at its next test; a pause under way ends at once.
    void RequestStop();
    bool StopRequested() const { return stop_.load(); }
    // Waits for the loop to end (nothing when it never started).
    void Join();

  private:
    // While control runs and no stop is requested: a pass, then the pause.
    void Execute();

    Engine& engine_;
    const std::chrono::milliseconds pause_;
    std::atomic<bool> stop_{false};
    std::mutex pauseMutex_;
    std::condition_variable pauseWake_;
    std::thread thread_;
};

}  // namespace orv::engine
