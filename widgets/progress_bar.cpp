#include "widgets/progress_bar.h"

#include <algorithm>

#include "widgets/gdi.h"
#include "widgets/paint.h"

namespace orv::widgets {

bool ProgressBar::Create(const ProgressBarArgs& args) {
    bar_ = args.barTexture;
    background_ = args.backgroundTexture;
    return CreateChild(L"OrvProgressBar", 0, WS_VISIBLE | WS_CLIPSIBLINGS, args.place);
}

void ProgressBar::SetPosition(int position) {
    position = std::clamp(position, 0, 100);
    if (position != position_) {
        position_ = position;
        Repaint();
    }
}

int ProgressBar::FilledWidth() const {
    return ClientRect().right * position_ / 100;
}

void ProgressBar::Draw(HDC dc, int width, int height) {
    const RECT client{0, 0, width, height};
    const RECT done{0, 0, FilledWidth(), height};
    auto fill = [&](const Picture* texture, const RECT& part, COLORREF fallback) {
        if (texture != nullptr && !texture->IsEmpty()) {
            texture->DrawTiled(dc, part);
        } else {
            Brush brush(::CreateSolidBrush(fallback));
            ::FillRect(dc, &part, brush.Get());
        }
    };
    // Both textures start at the bar's left edge, so the pattern does not jump as the bar grows.
    fill(background_, client, RGB(192, 192, 192));
    fill(bar_, done, RGB(0, 0, 128));
}

}  // namespace orv::widgets
