// A standard control of the system (edit field, list box) owned by the program like its own widgets:
// its parent's notifications about it (WM_COMMAND, WM_CTLCOLOR..., WM_DRAWITEM) come back to the
// control's object, which turns them into callbacks, so that no window keeps control ids.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/colour.h"
#include "widgets/gdi.h"
#include "widgets/window.h"

namespace orv::widgets {

// Text colour and background of a control; the system's colours when absent.
struct TextColours {
    Colour text{};
    Colour background{};
};

class StandardControl {
  public:
    StandardControl() = default;
    virtual ~StandardControl();
    StandardControl(const StandardControl&) = delete;
    StandardControl& operator=(const StandardControl&) = delete;

    HWND Handle() const { return control_; }
    bool Exists() const { return control_ != nullptr; }
    void SetVisible(bool visible);
    // The control's own visibility, whatever its parents show.
    bool IsVisible() const;
    bool Enabled() const;
    void Focus();
    // The label that names the control for a screen reader, where it is not the one made just before it.
    void SetLabel(HWND label) { label_ = label; }

    // A parent's message about one of its children: the child's object answers it when the child is a
    // standard control of the program. Every window of the program asks this first.
    static std::optional<LRESULT> Reflect(UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    // Creates the control; false (and nothing made) when the system refuses.
    bool CreateControl(const wchar_t* className, const ControlPlace& place, DWORD style,
                       std::string_view text, HFONT font, const std::optional<TextColours>& colours);
    // A notification code of WM_COMMAND about this control.
    virtual void OnCommand(int) {}
    // WM_DRAWITEM for an owner-drawn control; false leaves it to the system.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
    // What a screen reader is told about the control; false (the default) leaves it to the system.
    virtual bool Describe(AccessibleInfo&) const { return false; }
    HWND Label() const { return label_; }

  private:
    static LRESULT CALLBACK Subclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnColour(WPARAM wParam);

    HWND control_ = nullptr;
    HWND label_ = nullptr;
    WNDPROC systemProcedure_ = nullptr;
    std::optional<TextColours> colours_;
    Brush background_;
};

}  // namespace orv::widgets
