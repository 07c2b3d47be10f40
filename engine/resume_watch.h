// The minute after the machine wakes. Network shares and mapped drives take seconds to a minute to come
// back, removable drives to be mounted again: until then a "not found" answer about an item on one of
// them says only that it is not back yet, so the checks take it as no answer (no event, the baseline
// kept, the "cannot be reached right now" hint).
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace orv::engine {

class ResumeWatch {
  public:
    // The time since the system started, sleep included (clock::SinceStart).
    using Time = std::chrono::milliseconds;
    static constexpr Time kSettleTime = std::chrono::seconds(60);
    // The work timer ticks ten times a second: a gap between two ticks longer than this was a sleep.
    static constexpr Time kSleepGap = std::chrono::minutes(2);

    // The system reported a resume.
    void Resumed(Time now) { resumedAt_ = now; }
    // A tick of the work timer; a gap since the previous tick longer than kSleepGap counts as a resume
    // whose report did not come.
    void Tick(Time now);
    // Whether `now` lies within kSettleTime after the last resume.
    bool Settling(Time now) const;

  private:
    std::optional<Time> lastTick_;
    std::optional<Time> resumedAt_;
};

// Whether the volume `path` lies on comes back some time after a wake: a network path, a mapped network
// drive, a removable drive (or a drive letter not mounted yet).
bool ComesBackLate(std::string_view path);

}  // namespace orv::engine
