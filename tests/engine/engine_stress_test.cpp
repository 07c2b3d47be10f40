// Many start/stop toggles while another thread edits, resets and reads the objects: no data race (the
// ThreadSanitizer build), never two scan threads, nothing left running or leaked (the AddressSanitizer
// build).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "engine/measurement.h"
#include "tests/engine/engine_fixture.h"

namespace orv::engine::test {
namespace {

using namespace std::chrono_literals;

class StressTest : public EngineFixture {};

TEST_F(StressTest, TogglesEditsAndResetsFromTwoThreads) {
    constexpr int kToggles = 10000;
    std::atomic<int> mostThreads{0};
    std::atomic<bool> done{false};

    for (std::chrono::milliseconds pause : {0ms, 1ms}) {
        SCOPED_TRACE(pause.count());
        Make(pause);
        checks->SetBehaviour([&](int number, const ControlObject& object) {
            const int live = engine->LiveScanThreads();
            int most = mostThreads.load();
            while (live > most && !mostThreads.compare_exchange_weak(most, live)) {
            }
            CheckResult result = FakeChecks::Made(number, object, number % 2 == 0);
            result.baseline.Povtor_File_Old = object.baseline.Povtor_File_Old + 1;
            return std::optional<CheckResult>(result);
        });
        done = false;
        std::thread editor([&] {
            std::mt19937 random(7);
            while (!done.load()) {
                const int number = static_cast<int>(random() % kObjectCount) + 1;
                switch (random() % 6) {
                    case 0:
                        engine->SetRazr(number, random() % 2 == 0);
                        break;
                    case 1:
                        EditObject(*engine, number, [&](ObjectSettings& s, Baseline& b) {
                            s.Path_File = "file " + std::to_string(random() % 100);
                            b.Size_File_Old = std::to_string(random() % 1000);
                        });
                        break;
                    case 2:
                        engine->ResetObjects();
                        break;
                    case 3:
                        engine->SetLogOK(random() % 2 == 0);
                        break;
                    case 4:
                        (void)engine->Objects();
                        (void)engine->ScanStep();
                        break;
                    default:
                        engine->SearchTextChanged(number, "text");
                        break;
                }
            }
        });

        std::mt19937 random(11);
        for (int i = 0; i < kToggles / 2; ++i) {
            switch (random() % 3) {
                case 0:
                    engine->Sb_StartClick();
                    break;
                case 1:
                    engine->StartControl();
                    break;
                default:
                    engine->StopControl();
                    break;
            }
        }
        done = true;
        editor.join();
        // Toggles this quick may never let a scan thread reach a pass; one start that is left running
        // must, so the count of live scan threads is seen from inside a check at least once.
        engine->ResetObjects();
        engine->StartControl();
        EXPECT_TRUE(orv::test::WaitFor([&] { return mostThreads.load() >= 1; }, 10s));
        engine->Shutdown();
        // The exit gives up the editor's search-text check still under way; its thread finishes the
        // check by itself, and that check reads this test's engine and counters.
        ASSERT_TRUE(orv::test::WaitFor([] { return Measurement::Running() == 0; }, 10s));
        EXPECT_EQ(engine->LiveScanThreads(), 0);
        EXPECT_FALSE(engine->ControlRunning());
        const int step = engine->ScanStep();
        EXPECT_GE(step, 0);
        EXPECT_LE(step, 12);
    }
    EXPECT_EQ(mostThreads.load(), 1);
    // The editor's search-text checks run beside the scan thread's checks; never more than those two.
    EXPECT_LE(checks->MostAtOnce(), 2);
    EXPECT_GT(checks->Calls().size(), 0u);
}

}  // namespace
}  // namespace orv::engine::test
