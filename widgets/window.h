// The window base class every window and widget of the program derives from.
#pragma once

#include <windows.h>

#include <string_view>

#include "widgets/mouse.h"

#include "widgets/accessible.h"

namespace orv::widgets {

// Where a child window or control goes: its parent and its box in the parent's client area.
struct ControlPlace {
    HWND parent = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
};

// The window property that marks a control whose hint is also its window text, so that screen readers
// and UI-automation tools can name it (the hints set the text).
inline constexpr wchar_t kNamedByHint[] = L"Orvanter.NamedByHint";

// Owns one window. `this` is stored at WM_NCCREATE and every message goes to OnMessage. The object
// must outlive its window or destroy it: the destructor destroys a window that still exists.
class Window {
  public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return window_; }
    bool Exists() const { return window_ != nullptr; }

    void Destroy();
    void SetVisible(bool visible);
    bool IsVisible() const;
    void MoveTo(int x, int y);
    void Place(int x, int y, int width, int height);
    RECT ClientRect() const;
    // The window's box in its parent's client coordinates (screen coordinates for a top-level window).
    RECT BoxInParent() const;
    void Repaint();

  protected:
    // Registers `className` (once per process) and creates the window. `cursor` may be null for
    // the arrow. Returns false when the window cannot be made; the object then stays empty.
    bool CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, std::wstring_view title, int x,
                        int y, int width, int height, HWND parent, UINT classStyle = CS_DBLCLKS,
                        HCURSOR cursor = nullptr);
    // A child window of the program's own class at `place`.
    bool CreateChild(const wchar_t* className, DWORD exStyle, DWORD style, const ControlPlace& place,
                     UINT classStyle = CS_DBLCLKS) {
        return CreateWindowOf(className, exStyle, style | WS_CHILD, L"", place.x, place.y, place.width,
                              place.height, place.parent, classStyle);
    }

    // Every message. The default handles WM_PRINTCLIENT and WM_ERASEBKGND with PaintBackground and
    // gives the rest to DefWindowProc.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What this window shows behind its content; children without a background of their own ask for it.
    virtual void PaintBackground(HDC dc);
    // A widget that draws all of its client area itself says so: WM_PAINT then composes Draw's picture
    // off-screen and copies it on in one piece, and the background is never erased first (both would
    // flicker).
    virtual bool DrawsItself() const { return false; }
    virtual void Draw(HDC, int /*width*/, int /*height*/) {}
    // What a screen reader is told about this window; false (the default) leaves it to the system.
    virtual bool Describe(AccessibleInfo&) const { return false; }
    // Marks the window as named by its hint (the hints set its text); called once it exists.
    void NameByHint();
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace orv::widgets
