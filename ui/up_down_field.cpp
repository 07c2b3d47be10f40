#include "ui/up_down_field.h"

#include <utility>

#include "platform/colour.h"
#include "widgets/pictures.h"

namespace orv::ui {
namespace {

// The arrows inside the panel: 20 pixels from its right end, one above the other.
constexpr int kArrowFromRight = 20, kUpTop = 1, kDownTop = 11, kArrowWidth = 19, kArrowHeight = 10;
constexpr int kLabelAbove = 20, kLabelHeight = 16;

}  // namespace

void UpDownField::Create(HWND window, const UpDownPlace& place, const widgets::PictureSet& buttons,
                         HFONT font, std::function<void(int step)> onStep) {
    place_ = place;
    onStep_ = std::move(onStep);
    const int arrowLeft = place.panelWidth - kArrowFromRight;
    label_.Create(
        {.place = {window, place.left, place.panelTop - kLabelAbove, place.labelWidth, kLabelHeight},
         .text = "",
         .style = widgets::CaptionStyle()});
    fill_ = widgets::BuildPanelFill(place.panelWidth, kPanelHeight);
    panel_.Create({window, place.left, place.panelTop, place.panelWidth, kPanelHeight});
    panel_.SetPicture(&fill_);
    field_.Create({.place = {panel_.Handle(), 3, 3, arrowLeft - 6, 16},
                   .readOnly = true,
                   .autoScroll = false,
                   .font = font,
                   .colours = widgets::TextColours{kFieldTextColour, kFieldColour}});
    up_.Create({.place = {panel_.Handle(), arrowLeft, kUpTop, kArrowWidth, kArrowHeight},
                .pictures = &buttons,
                .picture = widgets::btn::kArrowUp});
    down_.Create({.place = {panel_.Handle(), arrowLeft, kDownTop, kArrowWidth, kArrowHeight},
                  .pictures = &buttons,
                  .picture = widgets::btn::kArrowDown});
    up_.onClick = [this] { onStep_(1); };
    down_.onClick = [this] { onStep_(-1); };
}

void UpDownField::UpdateHover(const widgets::Hover& hover) {
    const widgets::Hover panel =
        hover.Within(place_.left + place_.panelWidth - kArrowFromRight, place_.panelTop);
    up_.SetPicture(panel.Picture(0, kUpTop, kArrowWidth, kArrowHeight, widgets::btn::kArrowUp,
                                 widgets::btn::kArrowUpHot));
    down_.SetPicture(panel.Picture(0, kDownTop, kArrowWidth, kArrowHeight, widgets::btn::kArrowDown,
                                   widgets::btn::kArrowDownHot));
}

bool UpDownField::StepByKey(HWND focus, bool up) {
    if (focus == nullptr || focus != field_.Handle()) {
        return false;
    }
    onStep_(up ? 1 : -1);
    return true;
}

void UpDownField::AddToTabOrder(widgets::TabOrder& order) const {
    order.Add(field_.Handle());
    order.Add(up_.Handle());
    order.Add(down_.Handle());
}

}  // namespace orv::ui
