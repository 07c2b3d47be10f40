// A pause of control that ends by itself: the tray menu stops control for a while, and control starts
// again when the time is up. The end is a moment of the system's clock, not a count of timer ticks, so
// that a machine that sleeps through the end of the pause starts control as soon as it wakes, and one
// that wakes before the end waits only for what is left.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "lang/language.h"
#include "platform/clock.h"

namespace orv::engine {

class ControlPause {
  public:
    using Clock = std::chrono::system_clock;

    // Pauses until `now` + `length`; a pause already under way is replaced.
    void Begin(Clock::time_point now, std::chrono::minutes length) { until_ = now + length; }
    // Ends the pause without starting control (a stop, or a start that makes the resume needless).
    void Cancel() { until_.reset(); }
    bool Active() const { return until_.has_value(); }
    std::optional<Clock::time_point> Until() const { return until_; }

    // True once, at the first call at or after the end: the pause is over, and the caller starts
    // control. False while it lasts and when there is none.
    bool TakeDue(Clock::time_point now);

  private:
    std::optional<Clock::time_point> until_;
};

// The tray icon's tip while paused: "Paused until" and the end in the short time format ("Paused until
// 14:35"); `tip` (the program's name) when there is no pause.
std::string PauseTip(const ControlPause& pause, const lang::LanguageTable& texts, const std::string& tip,
                     const std::string& shortTime, const clock::Names& names);

}  // namespace orv::engine
