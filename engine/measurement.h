// Checks run on threads of their own, so that a measurement the system holds (a server that does not
// answer can keep a file-system call waiting for twenty seconds and more) cannot hold the scan cycle.
// A measurement thread shares nothing with the engine but these objects: once nobody waits for its
// measurement, it finishes by itself, its result is dropped, and the thread ends.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/sync.h"

namespace orv::engine {

// The lock and the wake-up of measurements, shared by all the measurements of one engine: a measurement
// then makes no synchronisation object of its own. Waiters tell their own measurement's end by its
// state, so one wake-up serves any number of them.
struct MeasurementGate {
    sync::Mutex mutex;
    sync::ConditionVariable done;
};

// One look at the file system or the process list, run on a MeasurementWorker and waited for. The work
// writes its result where its caller reads it once Wait has returned true.
class Measurement {
  public:
    using Work = std::function<void()>;

    explicit Measurement(Work work,
                         std::shared_ptr<MeasurementGate> gate = std::make_shared<MeasurementGate>());

    // Waits until the work is done: true then, and what it wrote is visible to the caller. False when
    // the measurement was abandoned: no progress noted for `limit`, or Abandon() called meanwhile; the
    // caller must not read what the work writes. A long walk or count that keeps making progress is
    // waited for until somebody abandons it.
    bool Wait(std::chrono::milliseconds limit);
    // Runs the work on the calling thread (when no measurement thread can be had).
    void RunHere();
    // Ends a Wait under way (and any later one) at once, unless the work has already returned.
    void Abandon();
    // The work has returned (whether or not anybody waited for it).
    bool Finished() const;

    // Measurements handed to a worker and not finished yet, in the whole process (tests wait for none
    // to be left).
    static int Running();

    // Progress: called by the checks as their system calls return (a folder listed, a chunk read); on
    // any other thread than a measurement's it does nothing.
    static void NoteProgress();

  private:
    friend class MeasurementWorker;

    // Runs the work on the calling thread; true when the result was abandoned.
    bool Execute();

    Work work_;
    const std::shared_ptr<MeasurementGate> gate_;  // its mutex guards what follows
    bool finished_ = false;
    bool abandoned_ = false;
    uint64_t progress_ = 0;
};

// A thread that runs measurements one after another, so that a check does not cost a new thread. The
// engine keeps the idle ones; a worker whose measurement was abandoned is given up by the engine and
// ends once the system lets its measurement return. An idle worker ends by itself after `linger`
// without work: a program that waits keeps no thread it does not use (under Wine a thread holds about
// a megabyte).
class MeasurementWorker {
  public:
    // A worker on a new, detached thread; null when the system cannot create one.
    static std::shared_ptr<MeasurementWorker> Start(std::chrono::milliseconds linger);

    // Hands over a measurement to an idle worker; false (and nothing handed over) when the worker has
    // ended meanwhile, lingered out or quit.
    bool Run(std::shared_ptr<Measurement> measurement);
    // Ends an idle worker.
    void Quit();
    // The worker's thread has left its loop (or is about to).
    bool Ended();

    explicit MeasurementWorker(std::chrono::milliseconds linger) : linger_(linger) {}

  private:
    void Loop();

    const std::chrono::milliseconds linger_;
    sync::Mutex mutex_;
    sync::ConditionVariable wake_;
    std::shared_ptr<Measurement> job_;
    bool quit_ = false;
    bool ended_ = false;  // the loop has returned or is about to: nothing is handed over any more
};

}  // namespace orv::engine
