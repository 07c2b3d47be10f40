#include "widgets/standard_control.h"

#include "platform/win32/wide.h"
#include "widgets/canvas.h"

namespace orv::widgets {
namespace {

constexpr wchar_t kOwnerProperty[] = L"OrvStandardControl";

StandardControl* OwnerOf(HWND control) {
    return control != nullptr ? static_cast<StandardControl*>(::GetPropW(control, kOwnerProperty)) : nullptr;
}

}  // namespace

StandardControl::~StandardControl() {
    if (control_ != nullptr) {
        ::DestroyWindow(control_);
    }
}

bool StandardControl::CreateControl(const wchar_t* className, const ControlPlace& place, DWORD style,
                                    std::string_view text, HFONT font,
                                    const std::optional<TextColours>& colours) {
    if (control_ != nullptr) {
        return false;
    }
    const std::wstring wideText = win32::Wide(text);
    HWND control =
        ::CreateWindowExW(0, className, wideText.c_str(), style | WS_CHILD, place.x, place.y, place.width,
                          place.height, place.parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        return false;
    }
    control_ = control;
    colours_ = colours;
    if (colours_) {
        background_.Reset(::CreateSolidBrush(ToColorRef(colours_->background)));
    }
    ::SetPropW(control, kOwnerProperty, this);
    // Subclassed only to learn when the system destroys the control with its parent.
    systemProcedure_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandardControl::Subclass)));
    if (font != nullptr) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    return true;
}

LRESULT CALLBACK StandardControl::Subclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    StandardControl* self = OwnerOf(control);
    if (self == nullptr) {
        return ::DefWindowProcW(control, message, wParam, lParam);
    }
    const WNDPROC system = self->systemProcedure_;
    if (const std::optional<LRESULT> answer =
            AnswerAccessibility(control, message, wParam, lParam,
                                [self](AccessibleInfo& info) { return self->Describe(info); })) {
        return *answer;
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropW(control, kOwnerProperty);
        self->control_ = nullptr;
    }
    return ::CallWindowProcW(system, control, message, wParam, lParam);
}

std::optional<LRESULT> StandardControl::Reflect(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (StandardControl* control = OwnerOf(reinterpret_cast<HWND>(lParam))) {
                control->OnCommand(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
            if (StandardControl* control = OwnerOf(reinterpret_cast<HWND>(lParam))) {
                return control->OnColour(wParam);
            }
            break;
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            // A menu's item names its menu, not a window.
            StandardControl* control = draw->CtlType != ODT_MENU ? OwnerOf(draw->hwndItem) : nullptr;
            if (control != nullptr && control->OnDrawItem(*draw)) {
                return TRUE;
            }
            break;
        }
        default:
            break;
    }
    return std::nullopt;
}

std::optional<LRESULT> StandardControl::OnColour(WPARAM wParam) {
    if (!colours_) {
        return std::nullopt;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, ToColorRef(colours_->text));
    ::SetBkColor(dc, ToColorRef(colours_->background));
    ::SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(background_.Get());
}

void StandardControl::SetVisible(bool visible) {
    if (control_ != nullptr && IsVisible() != visible) {
        ::ShowWindow(control_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

bool StandardControl::IsVisible() const {
    return control_ != nullptr && (::GetWindowLongPtrW(control_, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool StandardControl::Enabled() const {
    return control_ != nullptr && ::IsWindowEnabled(control_);
}

void StandardControl::Focus() {
    if (control_ != nullptr) {
        ::SetFocus(control_);
    }
}

}  // namespace orv::widgets
