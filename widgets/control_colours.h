// Colours of the standard controls (edit fields, list boxes, static texts) that the windows put on
// their skins: the owner passes its WM_CTLCOLOR... messages here. Also the drawing of an owner-drawn
// list box entry with its own selection colours.
#pragma once

#include <windows.h>

#include <optional>
#include <unordered_map>

#include "widgets/canvas.h"
#include "widgets/gdi.h"

namespace orv::widgets {

class ControlColours {
  public:
    void Set(HWND control, Colour text, Colour background);
    void Remove(HWND control) { colours_.erase(control); }
    // The brush to return for a WM_CTLCOLOREDIT / ...STATIC / ...LISTBOX / ...BTN message of a
    // control given colours here (its text colour and background are set on the DC); nullopt for
    // any other control or message.
    std::optional<LRESULT> OnControlColour(UINT message, WPARAM wParam, LPARAM lParam);
    HBRUSH BrushOf(Colour colour);

  private:
    struct Pair {
        Colour text, background;
    };
    std::unordered_map<HWND, Pair> colours_;
    std::unordered_map<COLORREF, Brush> brushes_;
};

struct ListColours {
    Colour text, background, selectedText, selectedBackground;
};

// Draws one entry of an owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS). False when the
// message is not about a list box entry.
bool DrawListEntry(const DRAWITEMSTRUCT& draw, HFONT font, const ListColours& colours);

}  // namespace orv::widgets
