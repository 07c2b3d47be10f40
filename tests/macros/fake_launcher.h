// A launcher that records what would have been started instead of starting it.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "macros/macro_launch.h"

namespace orv::macros::test {

struct LaunchCall {
    CallMethod method;
    std::string argument;  // the command line for WinExec, the file otherwise
    friend bool operator==(const LaunchCall&, const LaunchCall&) = default;
};

class LaunchRecorder {
  public:
    Launcher MakeLauncher() {
        return Launcher{
            [this](const std::string& commandLine, const launch::Environment& environment) {
                return Record(kMethodWinExec, commandLine, environment);
            },
            [this](const std::string& file, const launch::Environment& environment) {
                return Record(kMethodShellExecute, file, environment);
            },
            [this](const std::string& file, const launch::Environment& environment) {
                return Record(kMethodCreateProcess, file, environment);
            },
            [this](const std::string& path) {
                std::lock_guard lock(mutex_);
                return unusable_.count(path) ? std::nullopt : std::optional<std::string>(path);
            },
        };
    }

    // A path WinExec's command line cannot carry, in either form.
    void MakeUnusable(const std::string& path) {
        std::lock_guard lock(mutex_);
        unusable_.insert(path);
    }

    std::vector<LaunchCall> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // The variables each start was given, in the order of Calls().
    std::vector<launch::Environment> Environments() const {
        std::lock_guard lock(mutex_);
        return environments_;
    }

  private:
    bool Record(CallMethod method, const std::string& argument, const launch::Environment& environment) {
        std::lock_guard lock(mutex_);
        calls_.push_back({method, argument});
        environments_.push_back(environment);
        return true;
    }

    mutable std::mutex mutex_;
    std::vector<LaunchCall> calls_;
    std::vector<launch::Environment> environments_;
    std::set<std::string> unusable_;
};

}  // namespace orv::macros::test
