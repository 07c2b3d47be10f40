#include "engine/scan_thread.h"

#include <system_error>

#include "engine/engine.h"

namespace orv::engine {

TMyThread::TMyThread(Engine& engine, std::chrono::milliseconds pause, std::unique_ptr<TMyThread> predecessor)
    : engine_(engine), pause_(pause), predecessor_(std::move(predecessor)) {}

TMyThread::~TMyThread() {
    RequestStop();
    Join();
}

bool TMyThread::Start() {
    try {
        thread_ = std::thread(&TMyThread::Execute, this);
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void TMyThread::RequestStop() {
    {
        // Set under the pause's mutex so that a pause about to begin cannot miss the wake-up.
        std::lock_guard<sync::Mutex> lock(pauseMutex_);
        stop_.store(true);
    }
    pauseWake_.notify_all();
}

bool TMyThread::Revive() {
    std::lock_guard<sync::Mutex> lock(pauseMutex_);
    if (begun_ || !thread_.joinable()) {
        return false;
    }
    stop_.store(false);
    return true;
}

void TMyThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TMyThread::Execute() {
    if (predecessor_) {
        predecessor_->Join();
        predecessor_.reset();
    }
    {
        std::lock_guard<sync::Mutex> lock(pauseMutex_);
        begun_ = true;
    }
    engine_.liveScanThreads_.fetch_add(1);
    try {
        while (engine_.ControlRunning() && !stop_.load()) {
            engine_.RunPassUnless(&stop_);
            if (engine_.services_.afterPass) {
                engine_.services_.afterPass();
            }
            std::unique_lock<sync::Mutex> lock(pauseMutex_);
            pauseWake_.wait_for(lock, pause_, [this] { return stop_.load(); });
        }
    } catch (...) {
        // A failure outside the pass's guarded steps (a hook after the pass, the pause's lock) ends the
        // loop and is dropped here, since it must not leave the thread; leaving quietly would keep
        // control "running" with no thread scanning, so control ends as a stop ends it.
        engine_.ScanThreadFailed(stop_);
    }
    engine_.liveScanThreads_.fetch_sub(1);
}

}  // namespace orv::engine
