// One running program per user session. The first start creates a named object in the session's
// namespace whose name carries the user's identity and publishes its main window there; a later start
// of the same user in the same session finds that object, asks the window to come to the front and
// ends, touching nothing else. Another user, or the same user in another session, gets an object of
// its own and a program of its own.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/win32/handles.h"

namespace orv::app {

// The current user's security identifier as text ("S-1-5-21-..."), or the user name when the
// identifier cannot be read; "" when neither can.
std::wstring CurrentUserIdentity();
// A security identifier in its text form, "S-1-5-21-…", written here rather than by the system's text
// conversions, which would load a library's worth of code for one string at every start.
std::wstring SidText(PSID sid);

// The object name of the program's instance for `user`: in the session's own namespace, so that each
// session of a user has its own program.
std::wstring InstanceName(const std::wstring& user);

class SingleInstance {
  public:
    // Claims the instance named `name`. When the object cannot be made at all the start counts as the
    // first: a program that runs twice is better than one that cannot start.
    explicit SingleInstance(const std::wstring& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True for the start that owns the instance.
    bool First() const { return first_; }

    // The first start's main window, so that later starts find it (and not another user's window of
    // the same class on a shared desktop).
    void Publish(HWND window);

    // A later start: the running program's main window, waiting up to `timeout` while the first start
    // is still creating it. Null when none was published in that time or it no longer exists.
    HWND RunningWindow(std::chrono::milliseconds timeout) const;

  private:
    struct Shared;
    Shared* View() const;

    win32::KernelHandle mapping_;
    void* view_ = nullptr;
    bool first_ = true;
};

// Asks the running program's main window to come back to the front (restored from the tray if it
// hides there). Only posts: a busy or hung program never holds up the caller.
bool AskToComeToFront(HWND window, UINT message);

}  // namespace orv::app
