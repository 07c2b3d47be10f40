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

Measurement::Measurement(Work work) : work_(std::move(work)) {}

std::shared_ptr<Measurement> Measurement::Start(Work work) {
    auto measurement = std::make_shared<Measurement>(std::move(work));
    running.fetch_add(1);
    try {
        // Detached: the program never waits for a measurement the system holds, not even at exit. The
        // thread keeps the measurement (and what its work holds) alive until it returns.
        std::thread([measurement] { measurement->Run(); }).detach();
    } catch (const std::system_error&) {
        running.fetch_sub(1);
        return nullptr;
    }
    return measurement;
}

void Measurement::Run() {
    current = this;
    std::optional<CheckResult> result;
    try {
        result = work_();
    } catch (...) {
        result.reset();  // a check that throws has not measured
    }
    current = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
        if (!abandoned_) {
            result_ = std::move(result);
        }
        work_ = nullptr;  // what the work held goes with this thread, not with the last waiter
    }
    done_.notify_all();
    running.fetch_sub(1);
}

std::optional<std::optional<CheckResult>> Measurement::Wait(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    uint64_t seen = progress_;
    while (!done_.wait_for(lock, limit, [this] { return finished_; })) {
        if (progress_ == seen) {
            abandoned_ = true;
            return std::nullopt;
        }
        seen = progress_;
    }
    return std::move(result_);
}

bool Measurement::Finished() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

int Measurement::Running() {
    return running.load();
}

void Measurement::NoteProgress() {
    if (Measurement* measurement = current) {
        std::lock_guard<std::mutex> lock(measurement->mutex_);
        ++measurement->progress_;
    }
}

}  // namespace orv::engine
