#include "ui/display_hand_off.h"

namespace orv::ui {

DisplayHandOff::DisplayHandOff()
    : queue_(
          [this] {
              // Posting never waits for the user-interface thread, so the scan thread cannot block on it.
              if (HWND window = window_.load()) {
                  ::PostMessageW(window, kDisplayMessage, 0, 0);
              }
          },
          /*skipUnchangedSteps=*/true) {}

}  // namespace orv::ui
