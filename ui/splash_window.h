// The splash window TfmLogo: the start-up picture with a progress bar, shown modally once per run
// before the main window. It animates for about three seconds, then closes itself and tells the main
// window so. It is hidden, never destroyed, until the program ends.
#pragma once

#include <windows.h>

#include <functional>

#include "widgets/modal.h"
#include "widgets/panel.h"
#include "widgets/pictures.h"
#include "widgets/progress_bar.h"

namespace orv::ui {

// Where the splash goes: centred horizontally (rounded toward zero), 200 pixels from the top.
inline constexpr int kSplashTop = 200;
inline int SplashLeft(int desktopWidth) {
    return (desktopWidth - widgets::kSplashWidth) / 2;
}

// What one tick of Timer_Work does, by the tick's number T (the counter after its increment).
struct SplashTickEffect {
    int advance = 0;        // the progress bar moves on by this much
    bool showDone = false;  // Img_Load gives way to Img_Done
    bool close = false;     // the window closes
};
// T 1-5, 7-12, 14-20: +5; T 6, 13, 21: +3; Img_Done at T 20; closing once T passes 30. The bar thus
// stops at 99 after tick 21 and the window closes at tick 31.
SplashTickEffect SplashTick(int tick);
inline constexpr int kSplashLastTick = 30;
inline constexpr UINT kSplashTimerInterval = 100;

class SplashWindow : public widgets::ModalWindow {
  public:
    // The splash has closed, whatever closed it: the main window's splash-closed flag.
    std::function<void()> onClosed;

    SplashWindow() = default;
    ~SplashWindow() override;

    // Creates the hidden window with its pictures and progress bar; the timer stays off until the
    // window is shown. `pictures` must outlive the window; the logo is given back at every close.
    bool Create(HINSTANCE instance, widgets::SplashPictures& pictures);

    // Show(owner) starts the animation and returns at once; ShowModal(owner) returns when the splash
    // has closed; Close() ends it as the timer does at its end: hidden, timer off, onClosed.

    // One tick of Timer_Work (also called by the tests).
    void Timer_WorkTimer();

    // --- For the tests ---
    int Tick() const { return tick_; }
    int Progress() const { return bar_.Position(); }
    HWND LoadPicture() const { return load_.Handle(); }
    HWND DonePicture() const { return done_.Handle(); }
    HWND Bar() const { return bar_.Handle(); }

  protected:
    void OnTick() override { Timer_WorkTimer(); }
    void OnOpening(HWND) override { FormShow(); }
    void OnShown() override { ::UpdateWindow(Handle()); }
    void OnClosing() override { FormClose(); }
    // Shown once per run: its pictures go now (another showing draws them again).
    void OnHidden() override { pictures_->Release(); }

  private:
    void FormShow();
    void FormClose();

    widgets::SplashPictures* pictures_ = nullptr;
    widgets::Panel load_;
    widgets::Panel done_;
    widgets::ProgressBar bar_;
    int tick_ = 0;
};

}  // namespace orv::ui
