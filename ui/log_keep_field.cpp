#include "ui/log_keep_field.h"

#include <utility>

#include "engine/log_retention.h"
#include "ui/shell_logic.h"
#include "widgets/mouse.h"

namespace orv::ui {
namespace {

// The arrows inside the panel, as in the language selector.
constexpr int kArrowLeft = kLogKeepWidth - 20, kUpTop = 1, kDownTop = 11, kArrowWidth = 19, kArrowHeight = 10;

}  // namespace

std::string LogKeepText(int32_t days, const lang::LanguageTable& texts) {
    using lang::TextId;
    switch (engine::ValidLogKeepDays(days)) {
        case 1:
            return texts.Text(TextId::LogKeep1Day);
        case 7:
            return texts.Text(TextId::LogKeep7Days);
        case 30:
            return texts.Text(TextId::LogKeep30Days);
        case 365:
            return texts.Text(TextId::LogKeep365Days);
        default:
            return texts.Text(TextId::LogKeepForever);
    }
}

void LogKeepField::Create(HWND window, const widgets::ProgramPictures& pictures, HFONT font,
                          std::function<void(int step)> onStep) {
    onStep_ = std::move(onStep);
    label_.Create({.place = {window, kLogKeepLeft, kLogKeepLabelTop, 160, 16},
                   .text = "",
                   .style = widgets::CaptionStyle()});
    fill_ = widgets::BuildPanelFill(kLogKeepWidth, kLogKeepHeight);
    panel_.Create({window, kLogKeepLeft, kLogKeepPanelTop, kLogKeepWidth, kLogKeepHeight});
    panel_.SetPicture(&fill_);
    field_.Create({.place = {panel_.Handle(), 3, 3, kArrowLeft - 6, 16},
                   .readOnly = true,
                   .autoScroll = false,
                   .font = font,
                   .colours = widgets::TextColours{kFieldTextColour, kFieldColour}});
    up_.Create({.place = {panel_.Handle(), kArrowLeft, kUpTop, kArrowWidth, kArrowHeight},
                .pictures = &pictures.buttons,
                .picture = widgets::btn::kArrowUp});
    down_.Create({.place = {panel_.Handle(), kArrowLeft, kDownTop, kArrowWidth, kArrowHeight},
                  .pictures = &pictures.buttons,
                  .picture = widgets::btn::kArrowDown});
    up_.onClick = [this] { onStep_(1); };
    down_.onClick = [this] { onStep_(-1); };
}

void LogKeepField::ShowValue(int32_t days, const lang::LanguageTable& texts) {
    field_.SetText(LogKeepText(days, texts));
}

void LogKeepField::UpdateHover(POINT cursor, POINT window, bool windowVisible) {
    const auto hot = [&](int top) {
        return windowVisible && widgets::IsStrictlyInside(widgets::BoxAt(window.x + kLogKeepLeft + kArrowLeft,
                                                                         window.y + kLogKeepPanelTop + top,
                                                                         kArrowWidth, kArrowHeight),
                                                          cursor);
    };
    up_.SetPicture(HoverPicture(hot(kUpTop), widgets::btn::kArrowUp, widgets::btn::kArrowUpHot));
    down_.SetPicture(HoverPicture(hot(kDownTop), widgets::btn::kArrowDown, widgets::btn::kArrowDownHot));
}

bool LogKeepField::StepByKey(HWND focus, bool up) {
    if (focus == nullptr || focus != field_.Handle()) {
        return false;
    }
    onStep_(up ? 1 : -1);
    return true;
}

void LogKeepField::AddToTabOrder(widgets::TabOrder& order) const {
    order.Add(field_.Handle());
    order.Add(up_.Handle());
    order.Add(down_.Handle());
}

}  // namespace orv::ui
