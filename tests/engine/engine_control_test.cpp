// Starting and stopping control with a real scan thread. Checks are held at a gate, so the test knows
// exactly which pass the thread is in when it stops or starts control.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/engine/engine_fixture.h"

namespace orv::engine::test {
namespace {

using namespace std::chrono_literals;
using orv::test::WaitFor;

class ControlTest : public EngineFixture {
  protected:
    // Holds the first check of object `held` at `gate`.
    void HoldObject(int held, Gate& gate, bool fulfilThree = false) {
        checks->SetBehaviour([this, held, &gate, fulfilThree](int number, const ControlObject& object) {
            RecordThreads();
            if (number == held && !heldOnce.exchange(true)) {
                gate.Pass();
            }
            return std::optional<CheckResult>(FakeChecks::Made(number, object, fulfilThree && number == 3));
        });
    }
    void RecordThreads() {
        const int live = engine->LiveScanThreads();
        int most = mostThreads.load();
        while (live > most && !mostThreads.compare_exchange_weak(most, live)) {
        }
    }

    std::atomic<bool> heldOnce{false};
    std::atomic<int> mostThreads{0};
};

TEST_F(ControlTest, ControlIsStoppedAtTheStartAndAFirstPassRunsAtOnce) {
    Make(1h);
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(engine->ScanStep(), 0);
    engine->StartControl();
    EXPECT_TRUE(engine->ControlRunning());
    // The pass comes before the pause, so object 1 is checked although the pause is an hour.
    ASSERT_TRUE(WaitFor([&] { return checks->Numbers().size() == 1; }));
    EXPECT_EQ(engine->ScanStep(), 1);
    // A stop cuts the hour's pause short.
    engine->StopControl();
    ASSERT_TRUE(WaitFor([&] { return engine->LiveScanThreads() == 0; }));
    EXPECT_EQ(engine->ScanStep(), 1);
    EXPECT_EQ(checks->Numbers(), std::vector<int>{1});
}

TEST_F(ControlTest, TheButtonsStopStartsTheCycleAgainAndDropsItsMacros) {
    Make(0ms);
    Gate gate;
    HoldObject(5, gate, /*fulfilThree=*/true);
    EXPECT_TRUE(engine->Sb_StartClick());
    ASSERT_TRUE(WaitFor([&] { return gate.Waiting() == 1; }));
    EXPECT_EQ(engine->ScanStep(), 5);
    ASSERT_TRUE(engine->Object(3)->ActionPending);

    sink.Clear();
    EXPECT_FALSE(engine->Sb_StartClick());
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(engine->ScanStep(), 0);
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return engine->LiveScanThreads() == 0; }));

    // The pass that was under way finished its check but found the cycle reset.
    EXPECT_EQ(engine->ScanStep(), 0);
    EXPECT_TRUE(macros.Started().empty());
    for (int step : sink.Steps()) {
        EXPECT_EQ(step, 0);
    }
    checks->ClearCalls();
    engine->RunPass();
    EXPECT_EQ(checks->Numbers(), std::vector<int>{1});
}

TEST_F(ControlTest, TheTraysStopAndStartResumeAtTheNextStep) {
    Make(0ms);
    Gate gate;
    HoldObject(5, gate);
    engine->StartControl();
    ASSERT_TRUE(WaitFor([&] { return gate.Waiting() == 1; }));
    engine->StopControl();
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return engine->LiveScanThreads() == 0; }));
    EXPECT_EQ(engine->ScanStep(), 5);

    checks->ClearCalls();
    Gate second;
    heldOnce = false;
    HoldObject(6, second);
    engine->StartControl();
    ASSERT_TRUE(WaitFor([&] { return second.Waiting() == 1; }));
    EXPECT_EQ(checks->Numbers(), std::vector<int>{6});
    engine->StopControl();
    second.Open();
    engine->Shutdown();  // the thread may still be leaving the gate, which ends with this test
}

// Stop and start again, twice, while the scan thread is held in its check: none of the calls waits for
// it, control shows running at once, and the new start scans only once the old thread has ended.
TEST_F(ControlTest, AStartDuringAStopReturnsAtOnceAndOnlyOneThreadEverScans) {
    Make(0ms);
    Gate gate;
    HoldObject(2, gate);
    engine->StartControl();
    ASSERT_TRUE(WaitFor([&] { return gate.Waiting() == 1; }));
    const size_t checked = checks->Calls().size();

    std::atomic<bool> returned{false};
    std::thread window([&] {
        engine->Sb_StartClick();
        const bool running = engine->Sb_StartClick();
        engine->StopControl();
        engine->StartControl();
        returned = running && engine->ControlRunning();
    });
    const bool answered = WaitFor([&] { return returned.load(); }, 5s);
    EXPECT_TRUE(answered);
    if (answered) {
        EXPECT_FALSE(WaitFor([&] { return checks->Calls().size() != checked; }, 200ms));
        EXPECT_EQ(engine->LiveScanThreads(), 1);
    }
    gate.Open();
    window.join();
    EXPECT_TRUE(engine->ControlRunning());
    ASSERT_TRUE(WaitFor([&] { return checks->Calls().size() > checked + 20; }));
    engine->StopControl();
    ASSERT_TRUE(WaitFor([&] { return engine->LiveScanThreads() == 0; }));
    EXPECT_EQ(mostThreads.load(), 1);
    EXPECT_EQ(checks->MostAtOnce(), 1);
}

TEST_F(ControlTest, ShutdownEndsTheThreadWithoutWaitingForThePause) {
    Make(1h);
    engine->Sb_StartClick();
    ASSERT_TRUE(WaitFor([&] { return checks->Numbers().size() == 1; }));
    const auto started = std::chrono::steady_clock::now();
    engine->Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1min);
    EXPECT_EQ(engine->LiveScanThreads(), 0);
    EXPECT_FALSE(engine->ControlRunning());
    // Nothing runs on after the shutdown.
    const size_t checked = checks->Calls().size();
    EXPECT_FALSE(WaitFor([&] { return checks->Calls().size() != checked; }, 100ms));
}

TEST_F(ControlTest, StartWhileRunningKeepsTheRunningThread) {
    Make(0ms);
    engine->StartControl();
    ASSERT_TRUE(WaitFor([&] { return checks->Calls().size() > 5; }));
    engine->StartControl();
    engine->StartControl();
    EXPECT_EQ(engine->LiveScanThreads(), 1);
    EXPECT_EQ(checks->MostAtOnce(), 1);
    engine->StopControl();
}

TEST_F(ControlTest, AFailureOutsideThePassGuardsEndsControlAndTheNextStartScans) {
    // Shared, so that a thread still running after a failed assertion never counts into a dead local.
    const auto passes = std::make_shared<std::atomic<int>>(0);
    afterPass = [passes] {
        if (++*passes == 2) {
            throw std::runtime_error("unexpected");
        }
    };
    Make(0ms);
    engine->StartControl();
    ASSERT_TRUE(WaitFor([&] { return engine->LiveScanThreads() == 0 && passes->load() == 2; }));
    // Not "running" with nothing scanning: the window is told that control has ended.
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(engine->ScanStep(), 0);
    const std::vector<DisplayUpdate> updates = sink.Updates();
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back().kind, DisplayUpdate::Kind::Stopped);

    checks->ClearCalls();
    engine->StartControl();
    EXPECT_TRUE(engine->ControlRunning());
    ASSERT_TRUE(WaitFor([&] { return checks->Calls().size() > 3; }));
    engine->StopControl();
}

}  // namespace
}  // namespace orv::engine::test
