// What the scan cycle shows on the main window, and how it gets there. The scan thread never touches a
// window: it hands every change to a DisplaySink, in the order the changes are made, and the
// user-interface thread applies them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/objects.h"

namespace orv::engine {

struct DisplayUpdate {
    enum class Kind {
        ScanStep,    // the step display: the colours of the eight enable boxes
        Indicators,  // the colours and hints of one object's indicators after a check
        Events,      // the action step of a cycle with fulfilled objects: their event texts
        Stopped,     // control ended without the user (the scan thread met a failure it could not guard)
    };
    Kind kind = Kind::ScanStep;
    int scanStep = 0;  // Kind::ScanStep
    int object = 0;    // Kind::Indicators: the object's number, 1..8
    IndicatorReport indicators;
    std::vector<std::string> events;  // Kind::Events, in object order

    static DisplayUpdate Step(int step) {
        DisplayUpdate update;
        update.kind = Kind::ScanStep;
        update.scanStep = step;
        return update;
    }
    static DisplayUpdate Indicators(int number, IndicatorReport report) {
        DisplayUpdate update;
        update.kind = Kind::Indicators;
        update.object = number;
        update.indicators = std::move(report);
        return update;
    }
    static DisplayUpdate Events(std::vector<std::string> texts) {
        DisplayUpdate update;
        update.kind = Kind::Events;
        update.events = std::move(texts);
        return update;
    }
    static DisplayUpdate ControlStopped() {
        DisplayUpdate update;
        update.kind = Kind::Stopped;
        return update;
    }
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
};

}  // namespace orv::engine
