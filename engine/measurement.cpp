#include "engine/measurement.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace orv::engine {
namespace {

std::atomic<int> running{0};
// The measurement the current thread works for; null on every other thread.
thread_local Measurement* current = nullptr;

}  // namespace

Measurement::Measurement(Work work, std::shared_ptr<MeasurementGate> gate)
    : work_(std::move(work)), gate_(std::move(gate)) {}

bool Measurement::Execute() {
    current = this;
    try {
        work_();
    } catch (...) {
        // Work that throws (a walk or a count that runs out of memory) is dropped here, on a thread where
        // it has nowhere to go: it has written no result, and its caller takes that as a failed
        // measurement.
    }
    current = nullptr;
    bool abandoned = false;
    {
        std::lock_guard<sync::Mutex> lock(gate_->mutex);
        finished_ = true;
        abandoned = abandoned_;
        work_ = nullptr;  // what the work held goes now, not with the last one to hold the measurement
    }
    gate_->done.notify_all();
    running.fetch_sub(1);
    return abandoned;
}

bool Measurement::Wait(std::chrono::milliseconds limit) {
    std::unique_lock<sync::Mutex> lock(gate_->mutex);
    uint64_t seen = progress_;
    while (!gate_->done.wait_for(lock, limit, [this] { return finished_ || abandoned_; })) {
        if (progress_ == seen) {
            abandoned_ = true;
            return false;
        }
        seen = progress_;
    }
    return finished_ && !abandoned_;
}

void Measurement::RunHere() {
    running.fetch_add(1);
    Execute();
}

void Measurement::Abandon() {
    {
        std::lock_guard<sync::Mutex> lock(gate_->mutex);
        if (finished_) {
            return;
        }
        abandoned_ = true;
    }
    gate_->done.notify_all();
}

bool Measurement::Finished() const {
    std::lock_guard<sync::Mutex> lock(gate_->mutex);
    return finished_;
}

int Measurement::Running() {
    return running.load();
}

void Measurement::NoteProgress() {
    if (Measurement* measurement = current) {
        std::lock_guard<sync::Mutex> lock(measurement->gate_->mutex);
        ++measurement->progress_;
    }
}

std::shared_ptr<MeasurementWorker> MeasurementWorker::Start(std::chrono::milliseconds linger) {
    auto worker = std::make_shared<MeasurementWorker>(linger);
    try {
        // Detached: the program never waits for a measurement the system holds, not even at exit. The
        // thread keeps its worker (and the measurement it runs) alive until it ends.
        std::thread([worker] { worker->Loop(); }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return worker;
}

bool MeasurementWorker::Run(std::shared_ptr<Measurement> measurement) {
    {
        std::lock_guard<sync::Mutex> lock(mutex_);
        if (ended_ || quit_) {
            return false;
        }
        running.fetch_add(1);
        job_ = std::move(measurement);
    }
    wake_.notify_one();
    return true;
}

void MeasurementWorker::Quit() {
    {
        std::lock_guard<sync::Mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
}

bool MeasurementWorker::Ended() {
    std::lock_guard<sync::Mutex> lock(mutex_);
    return ended_;
}

void MeasurementWorker::Loop() {
    for (;;) {
        std::shared_ptr<Measurement> job;
        {
            std::unique_lock<sync::Mutex> lock(mutex_);
            wake_.wait_for(lock, linger_, [this] { return job_ != nullptr || quit_; });
            if (!job_) {
                ended_ = true;  // quit, or no work for a whole linger
                return;
            }
            job = std::move(job_);
        }
        if (job->Execute()) {
            return;  // given up by the engine: nobody will hand this worker anything again
        }
    }
}

}  // namespace orv::engine
