#include "widgets/list_box.h"

#include <oleacc.h>

#include "platform/win32/wide.h"
#include "widgets/canvas.h"

namespace orv::widgets {

bool ListBox::Describe(AccessibleInfo& info) const {
    info.name = LabelOf(Handle(), Label());
    info.role = ROLE_SYSTEM_LIST;
    info.state = WindowStates(Handle(), true);
    return true;
}

bool DrawListEntry(const DRAWITEMSTRUCT& draw, HFONT font, const TextColours& colours,
                   const TextColours& selectedColours) {
    if (draw.CtlType != ODT_LISTBOX) {
        return false;
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const TextColours& shown = selected ? selectedColours : colours;
    Brush brush(::CreateSolidBrush(ToColorRef(shown.background)));
    ::FillRect(draw.hDC, &draw.rcItem, brush.Get());
    if (draw.itemID == static_cast<UINT>(-1)) {
        return true;  // an empty list: only the focus place
    }
    const LRESULT length = ::SendMessageW(draw.hwndItem, LB_GETTEXTLEN, draw.itemID, 0);
    if (length > 0) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::SendMessageW(draw.hwndItem, LB_GETTEXT, draw.itemID, reinterpret_cast<LPARAM>(text.data()));
        Selection selectedFont(draw.hDC, font);
        ::SetBkMode(draw.hDC, TRANSPARENT);
        ::SetTextColor(draw.hDC, ToColorRef(shown.text));
        RECT box = draw.rcItem;
        box.left += 3;
        ::DrawTextW(draw.hDC, text.data(), static_cast<int>(length), &box,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    return true;
}

bool ListBox::Create(const ListBoxArgs& args) {
    const DWORD style = WS_VISIBLE | (args.tabStop ? WS_TABSTOP : 0) | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                        LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    font_ = args.font;
    colours_ = args.colours;
    selectedColours_ = args.selectedColours;
    if (!CreateControl(L"LISTBOX", args.place, style, "", args.font, args.colours)) {
        return false;
    }
    ::SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, args.itemHeight);
    return true;
}

void ListBox::SetItems(const std::vector<std::string>& items) {
    if (!Exists() || items == items_) {
        return;
    }
    ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        const std::wstring wide = win32::Wide(item);
        ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
    items_ = items;
}

int ListBox::Count() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

std::string ListBox::ItemText(int index) const {
    const LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return win32::Narrow(text);
}

int ListBox::Selected() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void ListBox::Select(int index) {
    if (Selected() != index) {
        ::SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void ListBox::OnCommand(int code) {
    if (code == LBN_SELCHANGE && onSelectionChanged) {
        onSelectionChanged();
    }
}

bool ListBox::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    return DrawListEntry(draw, font_, colours_, selectedColours_);
}

}  // namespace orv::widgets
