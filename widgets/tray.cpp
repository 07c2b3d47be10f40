#include "widgets/tray.h"
#include "platform/win32/wide.h"
#include "widgets/window_text.h"

#include <algorithm>

namespace orv::widgets {

namespace {

constexpr UINT kIconId = 1;
constexpr UINT_PTR kRetryTimer = 1;
constexpr int kItemHeight = 24;
constexpr int kCaptionHeight = 26;
constexpr int kPictureArea = 28;
constexpr Colour kCaptionText = Rgb(240, 185, 38);
constexpr Colour kCaptionShadow = Rgb(197, 96, 14);
constexpr Colour kTextShadow = Rgb(2, 40, 90);
constexpr Colour kDisabledText = Rgb(120, 160, 205);

FontStyle MenuFont() {
    return FontStyle{kMenuFontPixels, true};
}

}  // namespace

TrayMenu::TrayMenu()
    : menu_(::CreatePopupMenu()),
      background_(::CreateSolidBrush(ToColorRef(kMenuGradientFrom))),
      font_(CreateUiFont(MenuFont())) {
    if (menu_) {
        MENUINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = MIM_BACKGROUND;
        info.hbrBack = background_.Get();
        ::SetMenuInfo(menu_.Get(), &info);
        ::AppendMenuW(menu_.Get(), MF_OWNERDRAW | MF_DISABLED, kCaptionCommand, nullptr);
    }
}

void TrayMenu::SetCaption(std::string_view caption) {
    caption_ = std::string(caption);
}

int TrayMenu::Add(std::string_view text, const LazyPicture* picture, std::function<void()> onClick) {
    const int index = Count();
    items_.push_back(Item{std::string(text), picture, true, std::move(onClick)});
    if (menu_) {
        ::AppendMenuW(menu_.Get(), MF_OWNERDRAW, CommandOf(index), nullptr);
    }
    return index;
}

void TrayMenu::SetText(int index, std::string_view text) {
    if (index < 0 || index >= Count()) {
        return;
    }
    Item& item = items_[static_cast<size_t>(index)];
    item.text = std::string(text);
    // Modifying the item makes the menu measure it again (the other language's words are longer).
    if (menu_) {
        ::ModifyMenuW(menu_.Get(), CommandOf(index),
                      MF_BYCOMMAND | MF_OWNERDRAW | (item.enabled ? 0 : MF_GRAYED), CommandOf(index),
                      nullptr);
    }
}

void TrayMenu::SetEnabled(int index, bool enabled) {
    if (index < 0 || index >= Count() || items_[static_cast<size_t>(index)].enabled == enabled) {
        return;  // the menu has it so already
    }
    items_[static_cast<size_t>(index)].enabled = enabled;
    ::EnableMenuItem(menu_.Get(), CommandOf(index), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool TrayMenu::IsEnabled(int index) const {
    return index >= 0 && index < Count() && items_[static_cast<size_t>(index)].enabled;
}

bool TrayMenu::Run(UINT command) {
    if (command < kFirstCommand || command >= kFirstCommand + static_cast<UINT>(Count())) {
        return false;
    }
    const Item& item = items_[command - kFirstCommand];
    if (!item.enabled || !item.onClick) {
        return false;
    }
    // A copy: the action may change the menu.
    auto action = item.onClick;
    action();
    return true;
}

int TrayMenu::Popup(HWND owner, POINT screen) {
    if (!menu_) {
        return -1;
    }
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_BOTTOMALIGN,
                           screen.x, screen.y, owner, nullptr));
    // Lets the menu close properly when the owner is a hidden window.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (!Run(command)) {
        return -1;
    }
    return static_cast<int>(command - kFirstCommand);
}

bool TrayMenu::Measure(MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU) {
        return false;
    }
    if (measure.itemID == kCaptionCommand) {
        const SIZE size = Canvas::MeasureText(win32::Wide(caption_), MenuFont());
        measure.itemWidth = static_cast<UINT>(size.cx + 24);
        measure.itemHeight = kCaptionHeight;
        return true;
    }
    if (measure.itemID < kFirstCommand || measure.itemID >= kFirstCommand + static_cast<UINT>(Count())) {
        return false;
    }
    int widest = 0;
    for (const Item& item : items_) {
        widest = std::max<int>(widest, Canvas::MeasureText(win32::Wide(item.text), MenuFont()).cx);
    }
    measure.itemWidth = static_cast<UINT>(kPictureArea + widest + 24);
    measure.itemHeight = kItemHeight;
    return true;
}

bool TrayMenu::Draw(const DRAWITEMSTRUCT& draw) const {
    if (draw.CtlType != ODT_MENU || reinterpret_cast<HMENU>(draw.hwndItem) != menu_.Get()) {
        return false;
    }
    const bool caption = draw.itemID == kCaptionCommand;
    const size_t index = draw.itemID - kFirstCommand;
    if (!caption && index >= items_.size()) {
        return false;
    }
    const int width = draw.rcItem.right - draw.rcItem.left, height = draw.rcItem.bottom - draw.rcItem.top;
    Picture picture(width, height);
    if (picture.IsEmpty()) {
        return true;
    }
    Canvas canvas(picture);
    if (caption) {
        DrawCaption(canvas);
    } else {
        const Item& item = items_[index];
        DrawItem(canvas, item, item.enabled && !(draw.itemState & (ODS_GRAYED | ODS_DISABLED)),
                 (draw.itemState & ODS_SELECTED) != 0);
    }
    picture.Seal();
    picture.Draw(draw.hDC, draw.rcItem.left, draw.rcItem.top);
    return true;
}

void TrayMenu::DrawCaption(Canvas& canvas) const {
    const float height = static_cast<float>(canvas.Height());
    const Box whole{0, 0, static_cast<float>(canvas.Width()), height};
    canvas.FillRect(whole, Fill::Vertical(Rgb(10, 36, 78), kMenuGradientFrom, 0, height));
    canvas.FillRect(Box{0, whole.bottom - 1, whole.right, whole.bottom},
                    Fill::Solid(WithAlpha(kCaptionText, 160)));
    canvas.TextWithShadow(win32::Wide(caption_), MenuFont(), whole, Align::Centre, kCaptionText,
                          kCaptionShadow);
}

void TrayMenu::DrawItem(Canvas& canvas, const Item& item, bool enabled, bool selected) {
    const float width = static_cast<float>(canvas.Width()), height = static_cast<float>(canvas.Height());
    const Box whole{0, 0, width, height};
    canvas.FillRect(whole, Fill::Horizontal(kMenuGradientFrom, kMenuGradientTo, 0, width));
    if (enabled && selected) {
        canvas.FillRoundRect(whole.Inset(1.5f), 3,
                             Fill::Vertical(Rgb(255, 255, 255, 70), Rgb(255, 255, 255, 20), 0, height));
        canvas.StrokeRoundRect(whole.Inset(1), 3.5f, 1, Fill::Solid(kCaptionText));
    }
    const Picture* picture = item.picture != nullptr ? &item.picture->Get() : nullptr;
    if (picture != nullptr && !picture->IsEmpty()) {
        const int px = (kPictureArea - picture->Width()) / 2, py = (canvas.Height() - picture->Height()) / 2;
        if (enabled) {
            canvas.Paste(*picture, px, py);
        } else {
            Picture faded = picture->Copy();
            for (int i = 0; i < faded.Width() * faded.Height(); ++i) {
                uint32_t& p = faded.Pixels()[i];
                // Premultiplied: halving every channel halves the opacity.
                p = (p >> 1) & 0x7F7F7F7F;
            }
            canvas.Paste(faded, px, py);
        }
    }
    const Box textBox{kPictureArea + 4.0f, 0, whole.right - 4, whole.bottom};
    const std::wstring text = win32::Wide(item.text);
    if (enabled) {
        canvas.TextWithShadow(text, MenuFont(), textBox, Align::Left, kMenuText, kTextShadow);
    } else {
        canvas.Text(text, MenuFont(), textBox, Align::Left, kDisabledText);
    }
}

TrayIcon::~TrayIcon() {
    Remove();
    Destroy();
}

bool TrayIcon::Create(HICON icon, std::string_view tip) {
    icon_ = icon;
    tip_ = win32::Wide(tip);
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // A hidden top-level window: message-only windows do not get the broadcast "TaskbarCreated".
    return CreateWindowOf(L"OrvTrayWindow", WS_EX_TOOLWINDOW, WS_POPUP, L"Orvanter", 0, 0, 0, 0, nullptr);
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = Handle();
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(std::size(data.szTip)));
    return data;
}

bool TrayIcon::ShellAdd() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    // A shell that kept the icon refuses a second one; the icon is there all the same.
    inTray_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE || ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    if (inTray_) {
        ::KillTimer(Handle(), kRetryTimer);
    } else {
        // The shell is busy or not there yet (early at logon): try again, or the program would
        // sit hidden with no way back.
        ::SetTimer(Handle(), kRetryTimer, 1000, nullptr);
    }
    return inTray_;
}

bool TrayIcon::Add() {
    if (!Exists()) {
        return false;
    }
    active_ = true;
    return inTray_ || ShellAdd();
}

bool TrayIcon::Remove() {
    active_ = false;
    if (Exists()) {
        ::KillTimer(Handle(), kRetryTimer);
    }
    if (inTray_) {
        NOTIFYICONDATAW data = Data(0);
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        inTray_ = false;
    }
    return true;
}

void TrayIcon::SetIcon(HICON icon) {
    icon_ = icon;
    if (inTray_) {
        NOTIFYICONDATAW data = Data(NIF_ICON);
        ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
}

std::string TrayIcon::Tip() const {
    return win32::Narrow(tip_);
}

void TrayIcon::SetTip(std::string_view tip) {
    std::wstring wide = win32::Wide(tip);
    if (wide == tip_) {
        return;
    }
    tip_ = std::move(wide);
    if (inTray_) {
        NOTIFYICONDATAW data = Data(NIF_TIP);
        ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
}

bool TrayIcon::ShowBalloon(std::string_view title, std::string_view text) {
    if (!inTray_) {
        return false;
    }
    NOTIFYICONDATAW data = Data(NIF_INFO);
    lstrcpynW(data.szInfoTitle, win32::Wide(title).c_str(), static_cast<int>(std::size(data.szInfoTitle)));
    lstrcpynW(data.szInfo, win32::Wide(text).c_str(), static_cast<int>(std::size(data.szInfo)));
    data.dwInfoFlags = NIIF_INFO;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

int TrayIcon::ShowMenu(POINT screen) {
    ::SetForegroundWindow(Handle());
    return menu_.Popup(Handle(), screen);
}

LRESULT TrayIcon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted and forgot every icon: put ours back if it is activated.
        if (active_) {
            inTray_ = false;
            ShellAdd();
        }
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam == kRetryTimer && active_ && !inTray_) {
                ShellAdd();
            }
            return 0;
        case kCallbackMessage:
            switch (LOWORD(lParam)) {
                case WM_LBUTTONDBLCLK:
                    if (onDoubleClick) {
                        onDoubleClick();
                    }
                    break;
                case NIN_BALLOONUSERCLICK:
                    if (onBalloonClick) {
                        onBalloonClick();
                    }
                    break;
                case WM_RBUTTONUP: {
                    POINT cursor{};
                    ::GetCursorPos(&cursor);
                    if (onRightButton) {
                        onRightButton(cursor);
                    } else {
                        ShowMenu(cursor);
                    }
                    break;
                }
                default:
                    break;
            }
            return 0;
        case WM_MEASUREITEM:
            if (menu_.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            return Default(message, wParam, lParam);
        case WM_DRAWITEM:
            if (menu_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            return Default(message, wParam, lParam);
        case WM_DESTROY:
            Remove();
            return 0;
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
