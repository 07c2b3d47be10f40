// A check run on a thread of its own, so that a measurement the system holds (a server that does not
// answer can keep a file-system call waiting for twenty seconds and more) cannot hold the scan cycle.
// The thread shares nothing with the engine but this object: once nobody waits for it, it finishes by
// itself and its result is dropped.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "engine/objects.h"

namespace orv::engine {

class Measurement {
  public:
    using Work = std::function<std::optional<CheckResult>()>;

    // Starts `work` on a new thread; null when the system cannot create one.
    static std::shared_ptr<Measurement> Start(Work work);

    // Waits until the work is done and returns its result (nullopt: it could not measure). Gives up
    // when no progress has been noted for `limit`: then the measurement counts as abandoned, its result
    // will be dropped, and the outer nullopt comes back. A long walk or count that keeps making
    // progress is waited for.
    std::optional<std::optional<CheckResult>> Wait(std::chrono::milliseconds limit);
    // The work has returned (whether or not anybody took its result).
    bool Finished() const;

    // Measurement threads still running, in the whole process (tests wait for none to be left).
    static int Running();

    // Progress: called by the checks as their system calls return (a folder listed, a chunk read); on
    // any other thread than a measurement's it does nothing.
    static void NoteProgress();

    Measurement(Work work);

  private:
    void Run();

    Work work_;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    bool abandoned_ = false;
    uint64_t progress_ = 0;
    std::optional<CheckResult> result_;
};

}  // namespace orv::engine
