#include "engine/scan_thread.h"

#include <system_error>

#include "engine/engine.h"

namespace orv::engine {

TMyThread::TMyThread(Engine& engine, std::chrono::milliseconds pause) : engine_(engine), pause_(pause) {}

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
        std::lock_guard<std::mutex> lock(pauseMutex_);
        stop_.store(true);
    }
    pauseWake_.notify_all();
}

void TMyThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TMyThread::Execute() {
    engine_.liveScanThreads_.fetch_add(1);
    try {
        while (engine_.ControlRunning() && !stop_.load()) {
            engine_.RunPassUnless(&stop_);
            if (engine_.services_.afterPass) {
                engine_.services_.afterPass();
            }
            std::unique_lock<std::mutex> lock(pauseMutex_);
            pauseWake_.wait_for(lock, pause_, [this] { return stop_.load(); });
        }
    } catch (...) {
        // Leaving quietly would keep control "running" with no thread scanning.
        engine_.ScanThreadFailed(stop_);
    }
    engine_.liveScanThreads_.fetch_sub(1);
}

}  // namespace orv::engine
