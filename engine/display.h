// What the scan cycle shows on the main window, and how it gets there. The scan thread never touches a
// window: it hands every change to a DisplaySink, in the order the changes are made, and the
// user-interface thread applies them.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/object_rules.h"
#include "engine/objects.h"

namespace orv::engine {

// Why the window asked for an item to be looked for, which decides what its row shows of the answer.
enum class ItemPurpose {
    Type,    // the type was applied (a type arrow, a reset): the path field shows the path or the absent text
    Fill,    // the row is filled: the path field keeps the stored path, only the indicator follows
    Browse,  // an item was chosen: as Type, for the path that was chosen
};

// The answer to a look for an object's item that the window asked for.
struct ItemReport {
    ItemPurpose purpose = ItemPurpose::Type;
    ObjectType type = ObjectType::File;  // folded
    std::string path;                    // the path looked at (the one stored for the type afterwards)
    Presence presence = Presence::Absent;
    IndicatorReport unreachable;  // Presence::Unreachable: what the scan shows for an item it cannot reach
    friend bool operator==(const ItemReport&, const ItemReport&) = default;
};

struct DisplayUpdate {
    enum class Kind {
        Item,        // the answer to a look for an object's item the window asked for
        ScanStep,    // the step display: the colours of the eight enable boxes
        Indicators,  // the colours and hints of one object's indicators after a check
        Events,      // the action step of a cycle with fulfilled objects: their event texts
        Stopped,     // control ended without the user (the scan thread met a failure it could not guard)
    };
    Kind kind = Kind::ScanStep;
    int scanStep = 0;  // Kind::ScanStep
    int object = 0;    // Kind::Indicators: the object's number, 1..8
    IndicatorReport indicators{};
    std::vector<std::string> events{};  // Kind::Events, in object order
    ItemReport item{};                  // Kind::Item

    static DisplayUpdate Step(int step) { return {.kind = Kind::ScanStep, .scanStep = step}; }
    static DisplayUpdate Indicators(int number, IndicatorReport report) {
        return {.kind = Kind::Indicators, .object = number, .indicators = std::move(report)};
    }
    static DisplayUpdate ItemTested(int number, ItemReport report) {
        return {.kind = Kind::Item, .object = number, .item = std::move(report)};
    }
    static DisplayUpdate Events(std::vector<std::string> texts) {
        return {.kind = Kind::Events, .events = std::move(texts)};
    }
    static DisplayUpdate ControlStopped() { return {.kind = Kind::Stopped}; }
    friend bool operator==(const DisplayUpdate&, const DisplayUpdate&) = default;
};

// The background colours of the enable boxes of objects 1..8 (index 0 is object 1) for a step: the box
// of the object whose step it is takes the active colour, every other box the idle colour; steps 0 and
// 9 to 12 leave all eight idle.
inline std::array<Colour, kObjectCount> StepBoxColours(int scanStep) {
    std::array<Colour, kObjectCount> colours;
    colours.fill(kIdleColour);
    if (scanStep >= 1 && scanStep <= kObjectCount) {
        colours[scanStep - 1] = kActiveColour;
    }
    return colours;
}

// Receives display updates, possibly on the scan thread and under the engine lock. Publish must not wait
// for the user-interface thread (which may itself be waiting for the scan thread to end) and must not
// call the engine.
class DisplaySink {
  public:
    virtual ~DisplaySink() = default;
    virtual void Publish(DisplayUpdate update) = 0;
    // An update of the scan cycle, which need not wake the window: it may wait for the window's own
    // regular look at its updates (the main window's is every tick of its work timer), or for the next
    // update that announces itself.
    virtual void PublishUnannounced(DisplayUpdate update) { Publish(std::move(update)); }
};

}  // namespace orv::engine
