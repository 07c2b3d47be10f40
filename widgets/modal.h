// Showing a window modally over its owner without a dialog template.
#pragma once

#include <windows.h>

#include <functional>

namespace orv::widgets {

// A window shown modally over its owner: the owner is disabled while it shows and enabled again when it
// ends, whichever way it ends (its own close, the system's close, destruction).
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
    // Shows modally: disables `owner`, dispatches messages while `open()` is true, then enables it again.
    void Run(HWND owner, const std::function<bool()>& open);
    // Ends the showing of `window`: the owner first, then the window hides and a modal loop waiting for
    // the next message is woken.
    void EndAndHide(HWND window);

  private:
    HWND owner_ = nullptr;
};

// Dispatches messages until `open()` is false. When the program is asked to quit meanwhile, the quit
// message is posted again so that the outer message loop ends too.
void RunModalLoop(const std::function<bool()>& open);

}  // namespace orv::widgets
