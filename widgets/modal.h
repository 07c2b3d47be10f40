// A skinned window shown modally over its owner without a dialog template: the splash and the macro
// editor. It is shown for one showing at a time and hidden, never destroyed, when it closes.
#pragma once

#include <windows.h>

#include "widgets/skinned_window.h"

namespace orv::widgets {

// The owner of a modal window: disabled while the window shows and enabled again when it ends,
// whichever way it ends (its own close, the system's close, destruction).
class ModalOwner {
  public:
    ModalOwner() = default;
    ~ModalOwner() { End(); }
    ModalOwner(const ModalOwner&) = delete;
    ModalOwner& operator=(const ModalOwner&) = delete;

    // Disables `owner` unless it is already disabled (then it is left for whoever disabled it).
    void Begin(HWND owner);
    // Enables the owner again; called before the modal window hides, so the owner gets the activation.
    void End();

  private:
    HWND owner_ = nullptr;
};

// The showing and closing of a modal window, in one place. A showing runs OnOpening (the window's
// FormShow), shows the window and runs OnShown; a close runs OnClosing (its FormClose) once, whatever
// closed it (Close, the system's close command, destruction while it shows), enables the owner before
// the window hides, so that the owner gets the activation, and runs OnHidden.
class ModalWindow : public SkinnedWindow {
  public:
    // Shows the window owned by `owner` (may be null) and returns at once. False when the window does
    // not exist or shows already.
    bool Show(HWND owner);
    // The same, modally: `owner` is disabled until the window closes, and the call returns then.
    void ShowModal(HWND owner);
    // Closes the window; nothing happens when it does not show.
    void Close();
    // Opened and still on the screen.
    bool Showing() const { return open_ && IsVisible(); }
    bool TimerRunning() const { return timerRunning_; }

  protected:
    // The window's timer: OnTick every `interval` milliseconds until StopTimer or the window's end.
    void StartTimer(UINT interval);
    void StopTimer();
    virtual void OnTick() {}
    virtual void OnOpening(HWND owner) = 0;
    virtual void OnShown() {}
    virtual void OnClosing() = 0;
    virtual void OnHidden() {}
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    ModalOwner owner_;
    bool open_ = false;
    bool timerRunning_ = false;
};

}  // namespace orv::widgets
