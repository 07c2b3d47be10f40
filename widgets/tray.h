// The notification-area icon with its owner-drawn popup menu. The icon lives in a hidden window of its
// own, which receives the icon's mouse messages, draws the menu and adds the icon again when
// Explorer restarts (the registered "TaskbarCreated" message).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "widgets/canvas.h"
#include "widgets/gdi.h"
#include "widgets/picture.h"
#include "widgets/window.h"

namespace orv::widgets {

inline constexpr Colour kMenuGradientFrom = Rgb(2, 61, 125);
inline constexpr Colour kMenuGradientTo = Rgb(55, 190, 255);
inline constexpr Colour kMenuText = kFieldTextColour;
inline constexpr int kMenuFontPixels = 13;

// A popup menu with a caption line and items, each with a small picture; drawn by the program.
class TrayMenu {
  public:
    TrayMenu();
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    void SetCaption(std::string_view caption);
    const std::string& Caption() const { return caption_; }
    // Adds an item and returns its index (0 for the first). `picture` (16 x 16, drawn when the menu
    // first shows it) may be null and must outlive the menu.
    int Add(std::string_view text, const LazyPicture* picture, std::function<void()> onClick);
    int Count() const { return static_cast<int>(items_.size()); }
    void SetText(int index, std::string_view text);
    const std::string& Text(int index) const { return items_.at(static_cast<size_t>(index)).text; }
    void SetEnabled(int index, bool enabled);
    bool IsEnabled(int index) const;
    HMENU Handle() const { return menu_.Get(); }

    // Opens the menu at `screen` for `owner` (which must pass WM_MEASUREITEM and WM_DRAWITEM here),
    // runs the chosen item's action and returns its index; -1 when nothing was chosen.
    int Popup(HWND owner, POINT screen);
    // The command id of item `index` (what the menu reports when it is chosen).
    static UINT CommandOf(int index) { return kFirstCommand + static_cast<UINT>(index); }
    // Runs the action of the item with this command id, if it is one of ours and enabled.
    bool Run(UINT command);

    bool Measure(MEASUREITEMSTRUCT& measure) const;
    bool Draw(const DRAWITEMSTRUCT& draw) const;

  private:
    struct Item {
        std::string text;
        const LazyPicture* picture = nullptr;
        bool enabled = true;
        std::function<void()> onClick;
    };
    void DrawCaption(Canvas& canvas) const;
    static void DrawItem(Canvas& canvas, const Item& item, bool enabled, bool selected);

    static constexpr UINT kCaptionCommand = 0x70FF;
    static constexpr UINT kFirstCommand = 0x7100;

    Menu menu_;
    Brush background_;
    Font font_;
    std::string caption_ = "Orvanter";
    std::vector<Item> items_;
};

class TrayIcon : public Window {
  public:
    std::function<void()> onDoubleClick;
    // The right button on the icon, with the cursor's screen position. Without a handler the menu opens.
    std::function<void(POINT)> onRightButton;
    // A click on the balloon that ShowBalloon put up.
    std::function<void()> onBalloonClick;

    TrayIcon() = default;
    ~TrayIcon() override;
    // Makes the hidden window; the icon is not in the notification area yet.
    bool Create(HICON icon, std::string_view tip);
    // Activates the icon: it is put into the notification area, and put back whenever the shell
    // forgets it (Explorer restarting) or was not ready (it is tried again every second). True when
    // the shell has the icon now.
    bool Add();
    // Deactivates the icon and takes it out of the notification area.
    bool Remove();
    // Activated by Add (whether or not the shell has shown it yet).
    bool Active() const { return active_; }
    // The shell has the icon.
    bool InTray() const { return inTray_; }
    void SetIcon(HICON icon);
    // The text shown when the mouse rests on the icon; only a changed text reaches the shell.
    void SetTip(std::string_view tip);
    std::string Tip() const;
    // A balloon over the icon with a title and a text (cut to the shell's limits). Only while the shell
    // has the icon; true when it took the balloon.
    bool ShowBalloon(std::string_view title, std::string_view text);

    TrayMenu& PopupMenu() { return menu_; }
    const TrayMenu& PopupMenu() const { return menu_; }
    // Brings the hidden window to the foreground (so that the menu closes when the user clicks
    // elsewhere) and opens the menu; returns the chosen item's index or -1.
    int ShowMenu(POINT screen);

    static constexpr UINT kCallbackMessage = WM_APP + 1;

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    NOTIFYICONDATAW Data(UINT flags) const;

    TrayMenu menu_;
    HICON icon_ = nullptr;
    std::wstring tip_;
    bool ShellAdd();

    bool active_ = false;
    bool inTray_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace orv::widgets
