#include "ui/main_window_services.h"

#include <thread>

#include "engine/event_context.h"
#include "platform/launch.h"
#include "ui/object_panel.h"

namespace orv::ui {

MainWindowServices WithSystemDefaults(MainWindowServices services) {
    if (!services.shellOpen) {
        // The shell's answer is not examined: a missing file or browser shows the system's own message.
        // The start waits for the launch lock (a macro being started) and for the shell, so it runs on a
        // thread of its own; the viewer or browser inherits none of the macros' variables.
        services.shellOpen = [](HWND owner, const std::string& target, int showCommand) {
            std::thread([owner, target, showCommand] {
                launch::OpenDocument(owner, target, showCommand, engine::EventVariableNames());
            }).detach();
        };
    }
    if (!services.cursorPosition) {
        services.cursorPosition = [] {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            return cursor;
        };
    }
    if (!services.now) {
        services.now = [] { return engine::ControlPause::Clock::now(); };
    }
    if (!services.browse) {
        services.browse = BrowseForItem;
    }
    return services;
}

}  // namespace orv::ui
