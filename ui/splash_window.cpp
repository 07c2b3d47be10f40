#include "ui/splash_window.h"

namespace orv::ui {
namespace {

constexpr Colour kSplashBackground = Rgb(223, 223, 223);

// Places of the pictures and the bar inside the window.
constexpr int kMarkLeft = 256, kMarkTop = 6;
constexpr int kLoadWidth = 33, kLoadHeight = 49;
constexpr int kDoneWidth = 25, kDoneHeight = 49;
constexpr int kBarLeft = 256, kBarTop = 18, kBarWidth = 140, kBarHeight = 15;

}  // namespace

SplashTickEffect SplashTick(int tick) {
    SplashTickEffect effect;
    if ((tick >= 1 && tick <= 5) || (tick >= 7 && tick <= 12) || (tick >= 14 && tick <= 20)) {
        effect.advance = 5;
    } else if (tick == 6 || tick == 13 || tick == 21) {
        effect.advance = 3;
    }
    effect.showDone = tick == 20;
    effect.close = tick > kSplashLastTick;
    return effect;
}

SplashWindow::~SplashWindow() {
    // Destroyed here, while the pictures and the bar still exist for the last messages.
    Destroy();
}

bool SplashWindow::Create(HINSTANCE, widgets::SplashPictures& pictures) {
    if (Exists()) {
        return false;
    }
    pictures_ = &pictures;
    if (!SkinnedWindow::Create({.className = L"TfmLogo",
                                .title = L"Orvanter",
                                .x = SplashLeft(::GetSystemMetrics(SM_CXSCREEN)),
                                .y = kSplashTop,
                                .width = widgets::kSplashWidth,
                                .height = widgets::kSplashHeight,
                                .draggedByBackground = true})) {
        return false;
    }
    // Img_Logo is the window's own picture: it fills the client area, and a press on it is a press on
    // the window, which drags it.
    SetColour(kSplashBackground);
    SetSkin(&pictures.logo);
    load_.Create({Handle(), kMarkLeft, kMarkTop, kLoadWidth, kLoadHeight});
    load_.SetPicture(&pictures.load, widgets::Panel::PictureMode::TopLeft);
    done_.Create({Handle(), kMarkLeft, kMarkTop, kDoneWidth, kDoneHeight});
    done_.SetPicture(&pictures.done, widgets::Panel::PictureMode::TopLeft);
    done_.SetVisible(false);
    bar_.Create({.place = {Handle(), kBarLeft, kBarTop, kBarWidth, kBarHeight},
                 .barTexture = &pictures.barTexture,
                 .backgroundTexture = &pictures.backgroundTexture});
    // The bar lies over the loading picture.
    ::SetWindowPos(bar_.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void SplashWindow::FormShow() {
    pictures_->Make();
    ::SetWindowPos(Handle(), nullptr, SplashLeft(::GetSystemMetrics(SM_CXSCREEN)), kSplashTop,
                   widgets::kSplashWidth, widgets::kSplashHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    bar_.Place(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    bar_.SetVisible(true);
    load_.Place(kMarkLeft, kMarkTop, kLoadWidth, kLoadHeight);
    load_.SetVisible(true);
    done_.SetVisible(false);
    done_.Place(kMarkLeft, kMarkTop, kDoneWidth, kDoneHeight);
    StartTimer(kSplashTimerInterval);
}

void SplashWindow::Timer_WorkTimer() {
    ++tick_;
    const SplashTickEffect effect = SplashTick(tick_);
    if (effect.advance != 0) {
        bar_.StepBy(effect.advance);
    }
    if (effect.showDone) {
        load_.SetVisible(false);
        done_.SetVisible(true);
    }
    if (effect.close) {
        Close();
    }
}

void SplashWindow::FormClose() {
    StopTimer();
    if (onClosed) {
        onClosed();
    }
}

}  // namespace orv::ui
