// The engine with fake checks, a recording display, a macro recorder and a log folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/path_check.h"
#include "platform/files.h"
#include "tests/engine/fakes.h"
#include "tests/support/test_support.h"

namespace orv::engine::test {

// Changes object N as loading does: the other objects are reloaded as they are.
inline void EditObject(Engine& engine, int number,
                       const std::function<void(ObjectSettings&, Baseline&)>& change) {
    ObjectArray objects = engine.Objects();
    change(objects[number - 1].settings, objects[number - 1].baseline);
    engine.LoadObjects(objects);
}

class EngineFixture : public ::testing::Test {
  protected:
    // `runner` replaces the fake checks (SystemChecks() for the real ones). Measurements are waited for
    // as long as they take unless a test sets `measureLimit`.
    void Make(std::chrono::milliseconds pause = std::chrono::hours(1),
              std::shared_ptr<CheckRunner> runner = {}) {
        EngineServices services;
        services.checks = runner ? runner : checks;
        services.measureLimit = measureLimit;
        services.threadLinger = threadLinger;
        services.texts = [this] { return lang::LanguageTable::For(language); };
        services.formats = [] { return PinnedFormats(); };
        services.names = [] { return clock::DefaultNames(); };
        services.now = [] { return clock::LocalTime{.year = 2026, .hour = 10, .minute = 20, .second = 30}; };
        services.sinceStart = [this] { return std::chrono::milliseconds(sinceStart.load()); };
        services.runMacro = macros.Callback();
        services.display = display;
        services.logFolder = LogFolder();
        services.pause = pause;
        services.afterPass = afterPass;
        engine = std::make_unique<Engine>(std::move(services));
    }

    std::string LogFolder() const { return folder.Join("Log") + fs::kSeparator; }

    // Names of the files in the log folder.
    std::vector<std::string> LogFiles() const { return folder.List("Log"); }

    void EnableOnly(std::initializer_list<int> numbers) {
        for (int number = 1; number <= kObjectCount; ++number) {
            bool enabled = false;
            for (int n : numbers) {
                enabled = enabled || n == number;
            }
            engine->SetRazr(number, enabled);
        }
    }

    // Changes object N as loading does (every other object reloaded as it is).
    void Edit(int number, const std::function<void(ObjectSettings&, Baseline&)>& change) {
        EditObject(*engine, number, change);
    }
    // By the stored number, so that values out of range can be set as well.
    void SetType(int number, int32_t type) {
        Edit(number,
             [type](ObjectSettings& settings, Baseline&) { settings.Type = static_cast<ObjectType>(type); });
    }
    // Object N watches the file or directory at `path`, named `name`, for `param`.
    void Watch(int number, const PathKind& kind, ControlParam param, const std::string& path,
               const std::string& name) {
        Edit(number, [&](ObjectSettings& settings, Baseline&) {
            settings.Type = kind.type;
            settings.Param = param;
            settings.*kind.path = path;
            settings.*kind.name = name;
        });
    }

    int32_t language = lang::kEnglish;
    // The engine's time since the system started, in milliseconds (tests move it on).
    std::atomic<int64_t> sinceStart{3'600'000};
    std::function<void()> afterPass;  // set before Make()
    std::chrono::milliseconds measureLimit = std::chrono::hours(1);
    std::chrono::milliseconds threadLinger = std::chrono::seconds(10);
    std::shared_ptr<FakeChecks> checks = std::make_shared<FakeChecks>();
    RecordingSink sink;
    DisplaySink* display = &sink;  // set before Make()
    MacroRecorder macros;
    orv::test::TempDirectory folder{"orv-engine"};
    // Last, so that it (and its scan thread) goes first.
    std::unique_ptr<Engine> engine;
};

// The engine with the fake checks and the defaults above, made before each test.
class ReadyEngineFixture : public EngineFixture {
  protected:
    void SetUp() override { Make(); }
};

}  // namespace orv::engine::test
