// A progress bar from 0 to 100 without text or border: the bar texture repeated over the done part,
// the background texture over the rest.
#pragma once

#include "widgets/picture.h"
#include "widgets/window.h"

namespace orv::widgets {

struct ProgressBarArgs {
    ControlPlace place;
    // Both must outlive the bar.
    const Picture* barTexture = nullptr;
    const Picture* backgroundTexture = nullptr;
};

class ProgressBar : public Window {
  public:
    // The textures must outlive the bar.
    bool Create(const ProgressBarArgs& args);

    // Values outside 0..100 are clamped.
    void SetPosition(int position);
    void StepBy(int delta) { SetPosition(position_ + delta); }
    int Position() const { return position_; }
    // Pixels of the bar's width covered by the done part.
    int FilledWidth() const;

  protected:
    bool DrawsItself() const override { return true; }
    void Draw(HDC dc, int width, int height) override;

  private:
    const Picture* bar_ = nullptr;
    const Picture* background_ = nullptr;
    int position_ = 0;
};

}  // namespace orv::widgets
