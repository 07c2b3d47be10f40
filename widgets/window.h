// The window base class every window and widget of the program derives from, and small helpers for
// child controls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace orv::widgets {

// UTF-8 <-> UTF-16 at the Win32 boundary. Invalid UTF-8 becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

enum class MouseButton { Left, Right, Middle };

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

    // Every message. The default handles WM_PRINTCLIENT and WM_ERASEBKGND with PaintBackground and
    // gives the rest to DefWindowProc.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What this window shows behind its content; children without a background of their own ask for it.
    virtual void PaintBackground(HDC dc);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// Paints, into `dc` (whose origin is `child`'s top-left corner), what `child`'s parent shows behind it.
void DrawParentBackground(HWND child, HDC dc);

// For WM_PAINT: composes `window`'s whole client area off-screen and copies it on in one piece, so that
// it never flickers. `draw` paints into a memory device context that holds a new bitmap of the client's
// size, or `buffer` when one is given (the client's size); a null `buffer` paints nothing.
void PaintBuffered(HWND window, const std::function<void(HDC dc, int width, int height)>& draw);
void PaintBuffered(HWND window, HBITMAP buffer,
                   const std::function<void(HDC dc, int width, int height)>& draw);

// A left-button press on a window, from the press to the release. The press takes the mouse, so that the
// release comes back to the window wherever it happens; a release inside the client area is a click.
class LeftPress {
  public:
    bool Held() const { return held_; }
    // On WM_LBUTTONDOWN and WM_LBUTTONDBLCLK.
    void Begin(HWND window);
    // On WM_LBUTTONUP: ends a held press and gives the mouse back. True when the release at `position`
    // (client coordinates) lies inside `window`: a click.
    bool End(HWND window, LPARAM position);
    // On WM_CAPTURECHANGED: true when a held press is over because another window took the mouse.
    bool Lost(HWND window, LPARAM newCapture);

  private:
    bool held_ = false;
};

// A standard control (EDIT, LISTBOX, STATIC, ...) as a child of `parent`, with the control id `id`.
HWND CreateChildControl(HWND parent, const wchar_t* className, std::string_view text, DWORD style,
                        DWORD exStyle, int x, int y, int width, int height, int id);
void SetWindowTextUtf8(HWND window, std::string_view text);
std::string GetWindowTextUtf8(HWND window);
void SetControlFont(HWND window, HFONT font);

// Frees the mouse and lets the system move `window` with it, as a press on a caption would.
void BeginWindowDrag(HWND window);

// True when the screen point lies strictly inside `box` (the first row and column do not count).
bool IsStrictlyInside(const RECT& box, POINT point);

// A window shown modally over its owner: the owner is disabled while it shows and enabled again when it
// ends, whichever way it ends (its own close, the system's close, destruction).
class ModalOwner {
  public:
    ModalOwner() = default;
    ~ModalOwner() { End(); }
    ModalOwner(const ModalOwner&) = delete;
    ModalOwner& operator=(const ModalOwner&) = delete;

    // Disables `owner` unless it is already disabled (then it is left for whoever disabled it).
    void Begin(HWND owner);
    // Enables the owner again; called before the modal window hides, so the owner gets the activation.
    void End();

  private:
    HWND owner_ = nullptr;
};

// Dispatches messages until `open()` is false. When the program is asked to quit meanwhile, the quit
// message is posted again so that the outer message loop ends too.
void RunModalLoop(const std::function<bool()>& open);

}  // namespace orv::widgets
