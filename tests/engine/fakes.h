// Stand-ins for what the engine uses from outside: checks whose results the test decides, a display
// sink that records, a gate that holds a check until the test lets it go.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/display.h"
#include "engine/engine.h"

namespace orv::engine::test {

// Holds whoever calls Pass() until Open(); tells the test when someone is waiting.
class Gate {
  public:
    void Pass() {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        --waiting_;
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    int Waiting() {
        std::lock_guard<std::mutex> lock(mutex_);
        return waiting_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int waiting_ = 0;
};

// What threads add to and the test reads as a copy.
template <typename Item>
class SharedList {
  public:
    void Add(Item item) {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(std::move(item));
    }
    std::vector<Item> Items() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }
    // One field of every item, in order.
    template <typename Field>
    std::vector<Field> Each(Field Item::*field) {
        std::vector<Field> values;
        for (const Item& item : Items()) {
            values.push_back(item.*field);
        }
        return values;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.clear();
    }

  private:
    std::mutex mutex_;
    std::vector<Item> items_;
};

struct CheckCall {
    int number = 0;
    char kind = '?';  // 'F' file, 'D' directory, 'A' application
    ControlObject object;
    std::string longTime;  // the time format the check was given
    int32_t language = -1;
};

// Checks that report "event N" and fulfil the objects the test marks; `behaviour` replaces that.
class FakeChecks final : public CheckRunner {
  public:
    using Behaviour = std::function<std::optional<CheckResult>(int number, const ControlObject& object)>;

    std::optional<CheckResult> File(int number, const ControlObject& object,
                                    const CheckContext& context) override {
        return Run('F', number, object, context);
    }
    std::optional<CheckResult> Directory(int number, const ControlObject& object,
                                         const CheckContext& context) override {
        return Run('D', number, object, context);
    }
    std::optional<CheckResult> Application(int number, const ControlObject& object,
                                           const CheckContext& context) override {
        return Run('A', number, object, context);
    }

    // The result the fake gives when no behaviour is set: "event N", the baseline as it was.
    static CheckResult Made(int number, const ControlObject& object, bool fulfilled) {
        CheckResult made;
        made.baseline = object.baseline;
        made.eventText = "event " + std::to_string(number);
        made.fulfilled = fulfilled;
        made.report.pathHint = "hint " + std::to_string(number);
        made.report.pathColour = fulfilled ? kActiveColour : kIdleColour;
        return made;
    }

    void Fulfil(int number, bool on = true) {
        std::lock_guard<std::mutex> lock(mutex_);
        fulfil_[number - 1] = on;
    }
    void SetBehaviour(Behaviour behaviour) {
        std::lock_guard<std::mutex> lock(mutex_);
        behaviour_ = std::move(behaviour);
    }
    std::vector<CheckCall> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    std::vector<int> Numbers() {
        std::vector<int> numbers;
        for (const CheckCall& call : Calls()) {
            numbers.push_back(call.number);
        }
        return numbers;
    }
    void ClearCalls() {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
    }
    // How many checks ran at the same time, at most.
    int MostAtOnce() const { return mostAtOnce_.load(); }

  private:
    std::optional<CheckResult> Run(char kind, int number, const ControlObject& object,
                                   const CheckContext& context) {
        const int now = ++atOnce_;
        int most = mostAtOnce_.load();
        while (now > most && !mostAtOnce_.compare_exchange_weak(most, now)) {
        }
        Behaviour behaviour;
        bool fulfil = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back(
                CheckCall{number, kind, object, context.formats.longTime, context.texts.Language()});
            behaviour = behaviour_;
            fulfil = fulfil_[number - 1];
        }
        std::optional<CheckResult> result;
        if (behaviour) {
            result = behaviour(number, object);
        } else {
            result = Made(number, object, fulfil);
        }
        --atOnce_;
        return result;
    }

    std::mutex mutex_;
    std::vector<CheckCall> calls_;
    bool fulfil_[kObjectCount] = {};
    Behaviour behaviour_;
    std::atomic<int> atOnce_{0};
    std::atomic<int> mostAtOnce_{0};
};

class RecordingSink final : public DisplaySink {
  public:
    void Publish(DisplayUpdate update) override { updates_.Add(std::move(update)); }
    std::vector<DisplayUpdate> Updates() { return updates_.Items(); }
    std::vector<int> Steps() {
        std::vector<int> steps;
        for (const DisplayUpdate& update : Updates()) {
            if (update.kind == DisplayUpdate::Kind::ScanStep) {
                steps.push_back(update.scanStep);
            }
        }
        return steps;
    }
    void Clear() { updates_.Clear(); }

  private:
    SharedList<DisplayUpdate> updates_;
};

// Records the macros the action step starts; the start of macro `failing` is recorded, then throws.
class MacroRecorder {
  public:
    std::function<void(int, const launch::Environment&)> Callback() {
        return [this](int number, const launch::Environment& environment) {
            starts_.Add(Start{number, environment});
            if (number == failing) {
                throw std::runtime_error("the launcher failed");
            }
        };
    }
    std::vector<int> Started() { return starts_.Each(&Start::number); }
    // The variables of each start, in the order of Started().
    std::vector<launch::Environment> Environments() { return starts_.Each(&Start::environment); }
    void Clear() { starts_.Clear(); }

    std::atomic<int> failing{0};

  private:
    struct Start {
        int number;
        launch::Environment environment;
    };
    SharedList<Start> starts_;
};

// Formats the tests pin, independent of the machine's locale.
inline clock::Formats PinnedFormats() {
    return clock::Formats{"dd.MM.yyyy", "HH:mm:ss"};
}

}  // namespace orv::engine::test
