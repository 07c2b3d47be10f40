#include "widgets/control_colours.h"

#include <vector>

namespace orv::widgets {

void ControlColours::Set(HWND control, Colour text, Colour background) {
    colours_[control] = Pair{text, background};
    if (control != nullptr) {
        ::InvalidateRect(control, nullptr, TRUE);
    }
}

HBRUSH ControlColours::BrushOf(Colour colour) {
    const COLORREF key = ToColorRef(colour);
    auto found = brushes_.find(key);
    if (found == brushes_.end()) {
        found = brushes_.emplace(key, Brush(::CreateSolidBrush(key))).first;
    }
    return found->second.Get();
}

std::optional<LRESULT> ControlColours::OnControlColour(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORLISTBOX &&
        message != WM_CTLCOLORBTN) {
        return std::nullopt;
    }
    const auto found = colours_.find(reinterpret_cast<HWND>(lParam));
    if (found == colours_.end()) {
        return std::nullopt;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, ToColorRef(found->second.text));
    ::SetBkColor(dc, ToColorRef(found->second.background));
    ::SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(BrushOf(found->second.background));
}

bool DrawListEntry(const DRAWITEMSTRUCT& draw, HFONT font, const ListColours& colours) {
    if (draw.CtlType != ODT_LISTBOX) {
        return false;
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const Colour background = selected ? colours.selectedBackground : colours.background;
    Brush brush(::CreateSolidBrush(ToColorRef(background)));
    ::FillRect(draw.hDC, &draw.rcItem, brush.Get());
    if (draw.itemID == static_cast<UINT>(-1)) {
        return true;  // an empty list: only the focus place
    }
    const LRESULT length = ::SendMessageW(draw.hwndItem, LB_GETTEXTLEN, draw.itemID, 0);
    if (length > 0) {
        std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
        ::SendMessageW(draw.hwndItem, LB_GETTEXT, draw.itemID, reinterpret_cast<LPARAM>(text.data()));
        Selection selectedFont(draw.hDC, font);
        ::SetBkMode(draw.hDC, TRANSPARENT);
        ::SetTextColor(draw.hDC, ToColorRef(selected ? colours.selectedText : colours.text));
        RECT box = draw.rcItem;
        box.left += 3;
        ::DrawTextW(draw.hDC, text.data(), static_cast<int>(length), &box,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    return true;
}

}  // namespace orv::widgets
