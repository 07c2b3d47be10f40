#include "engine/control_pause.h"

#include <gtest/gtest.h>

namespace orv::engine {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

TEST(ControlPause, IsDueOnceAtItsEndAndNotBefore) {
    const ControlPause::Clock::time_point start = ControlPause::Clock::now();
    ControlPause pause;
    EXPECT_FALSE(pause.TakeDue(start + minutes(600))) << "no pause, nothing due";
    pause.Begin(start, minutes(15));
    EXPECT_FALSE(pause.TakeDue(start + minutes(15) - seconds(1)));
    EXPECT_TRUE(pause.Active());
    EXPECT_TRUE(pause.TakeDue(start + minutes(15)));
    EXPECT_FALSE(pause.Active());
    EXPECT_FALSE(pause.TakeDue(start + minutes(16))) << "control is started once";

    pause.Begin(start, minutes(60));
    pause.Begin(start + minutes(1), minutes(15));
    EXPECT_TRUE(pause.TakeDue(start + minutes(16))) << "the later pause replaced the first";
    pause.Begin(start, minutes(15));
    pause.Cancel();
    EXPECT_FALSE(pause.TakeDue(start + minutes(600)));
}

}  // namespace
}  // namespace orv::engine
