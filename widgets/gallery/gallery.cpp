// The widget gallery: every picture on one sheet (saved as a BMP file with --sheet FILE), or, without
// arguments, a window that puts the widgets together as the program's windows do, to look at them.
// Not shipped.
#include <windows.h>

#include <cstdio>
#include <string>

#include "widgets/check_box.h"
#include "widgets/hints.h"
#include "widgets/label.h"
#include "widgets/panel.h"
#include "widgets/picture_button.h"
#include "widgets/pictures.h"
#include "widgets/progress_bar.h"
#include "widgets/skinned_window.h"
#include "widgets/tray.h"
#include "widgets/work_image.h"

using namespace orv;
using namespace orv::widgets;

namespace {

bool SaveBmp(const Picture& picture, const std::wstring& path) {
    ::GdiFlush();
    const DWORD pixelBytes = static_cast<DWORD>(picture.Width()) * picture.Height() * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + pixelBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = picture.Width();
    info.biHeight = -picture.Height();
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = ::WriteFile(handle, &file, sizeof(file), &written, nullptr) &&
              ::WriteFile(handle, &info, sizeof(info), &written, nullptr) &&
              ::WriteFile(handle, picture.Pixels(), pixelBytes, &written, nullptr);
    ::CloseHandle(handle);
    return ok;
}

// Draws `picture` onto the sheet at (x, y) with its index under it.
void Place(Canvas& sheet, const Picture* picture, int x, int y, const std::wstring& caption) {
    if (picture != nullptr) {
        sheet.Paste(*picture, x, y);
    }
    sheet.Text(
        caption, FontStyle{10},
        Box{static_cast<float>(x), static_cast<float>(y + (picture ? picture->Height() : 0) + 1),
            static_cast<float>(x + 160), static_cast<float>(y + (picture ? picture->Height() : 0) + 13)},
        Align::Left, Rgb(215, 237, 255));
}

int PlaceSet(Canvas& sheet, const PictureSet& set, int left, int top, int width, const wchar_t* title) {
    sheet.Text(title, FontStyle{14, true},
               Box{static_cast<float>(left), static_cast<float>(top), static_cast<float>(left + 600),
                   static_cast<float>(top + 20)},
               Align::Left, kTitleNameColour);
    int x = left, y = top + 24, rowHeight = 0;
    for (int i = 0; i < set.Count(); ++i) {
        const Picture* picture = set.Get(i);
        const int w = std::max(picture ? picture->Width() : 0, 24) + 10;
        if (x + w > left + width) {
            x = left;
            y += rowHeight + 18;
            rowHeight = 0;
        }
        Place(sheet, picture, x, y, std::to_wstring(i));
        rowHeight = std::max(rowHeight, picture ? picture->Height() : 0);
        x += w;
    }
    return y + rowHeight + 24;
}

int Sheet(const std::wstring& path) {
    auto pictures = BuildProgramPictures();
    Picture sheetPicture(1700, 1900);
    Canvas sheet(sheetPicture);
    sheet.Clear(Rgb(40, 44, 52));
    sheet.FillRect(Box{0, 0, 860, 1900}, Fill::Solid(kWindowColour));
    int y = PlaceSet(sheet, pictures->buttons, 10, 10, 840, L"BitmapList_Btn");
    y = PlaceSet(sheet, pictures->macros, 10, y, 840, L"BitmapList_Macros");
    Place(sheet, &pictures->splash.logo.Get(), 10, y, L"Img_Logo");
    Place(sheet, &pictures->splash.load, 430, y, L"Img_Load");
    Place(sheet, &pictures->splash.done, 480, y, L"Img_Done");
    Picture bar(140, 15);
    {
        Canvas c(bar);
        for (int x = 0; x < 140; x += 8) {
            c.Paste(x < 90 ? pictures->splash.barTexture : pictures->splash.backgroundTexture, x, 0);
        }
        bar.Seal();
    }
    Place(sheet, &bar, 430, y + 80, L"Ind_Load at 64");
    const auto tray = BuildTrayMenuPictures();
    for (int i = 0; i < kTrayPictureCount; ++i) {
        Place(sheet, &tray[i].Get(), 430 + 28 * i, y + 130, std::to_wstring(i));
    }
    for (int size : {16, 32, 48}) {
        Picture icon(size, size);
        {
            Canvas c(icon);
            MemoryDc dc(::CreateCompatibleDC(nullptr));
            Selection selected(dc.Get(), icon.Handle());
            Icon handle = BuildProgramIcon(size);
            ::DrawIconEx(dc.Get(), 0, 0, handle.Get(), size, size, 0, nullptr, DI_NORMAL);
            ::GdiFlush();
        }
        Place(sheet, &icon, 430 + (size == 16 ? 0 : size == 32 ? 30 : 72), y + 180, std::to_wstring(size));
    }
    const Picture mainSkin = pictures->mainSkin.Render();
    Place(sheet, &mainSkin, 870, 10, L"main skin 802 x 602");
    Place(sheet, &pictures->editorBackground.Get(), 870, 640, L"editor background 800 x 527");
    Picture fill = BuildPanelFill(90, 22);
    Place(sheet, &fill, 430, y + 250, L"panel fill");
    sheetPicture.Seal();
    return SaveBmp(sheetPicture, path) ? 0 : 1;
}

// The demo window: the main skin with some of the main window's widgets on it.
class DemoWindow : public SkinnedWindow {
  public:
    std::unique_ptr<ProgramPictures> pictures = BuildProgramPictures();
    Picture panelFill = BuildPanelFill(22, 9);
    Label titleName, heading1, heading2, caption;
    PictureButton titleButtons[4], arrows[2], option[2], path, action;
    CheckBox enable[3];
    Panel indicator, row;
    ProgressBar progress;
    Hints hints;
    TrayIcon tray;

    bool Build() {
        if (!Create({.className = L"OrvGallery",
                     .title = L"Orvanter gallery",
                     .x = 10,
                     .y = 10,
                     .width = kSkinWidth,
                     .height = kSkinHeight,
                     .exStyle = WS_EX_APPWINDOW})) {
            return false;
        }
        SetSkin(&pictures->mainSkin);
        SetOutline(kMainOutline);
        titleName.Create({.place = {Handle(), 8, 2, 116, 34}, .text = "Orvanter", .style = TitleNameStyle()});
        titleName.onMouseDown = [this](MouseButton b) {
            if (b == MouseButton::Left)
                BeginWindowDrag(Handle());
        };
        heading1.Create({.place = {Handle(), 15, 60, 113, 25}, .text = "Control", .style = HeadingStyle()});
        heading2.Create({.place = {Handle(), 22, 396, 127, 25}, .text = "Settings", .style = HeadingStyle()});
        for (int i = 0; i < 4; ++i) {
            titleButtons[i].Create({.place = {Handle(), 702 + 24 * i, 5, 22, 23},
                                    .pictures = &pictures->buttons,
                                    .picture = 2 * i + (i == 1 ? 0 : 1)});
        }
        indicator.Create({Handle(), 750, 37, 22, 9});
        indicator.SetPicture(&panelFill);
        row.Create({Handle(), 36, 140, 720, 22});
        for (int i = 0; i < 3; ++i) {
            enable[i].Create({.place = {i == 0 ? row.Handle() : Handle(), i == 0 ? 2 : 38,
                                        i == 0 ? 2 : 172 + 30 * i, 32, 18},
                              .caption = std::to_string(i + 1),
                              .style = EnableBoxStyle()});
            enable[i].SetChecked(i != 2);
        }
        enable[1].SetBackground(kActiveColour);
        arrows[0].Create({.place = {row.Handle(), 132, 1, 19, 10},
                          .pictures = &pictures->buttons,
                          .picture = btn::kArrowUpHot});
        arrows[1].Create({.place = {row.Handle(), 132, 11, 19, 10},
                          .pictures = &pictures->buttons,
                          .picture = btn::kArrowDown});
        path.Create(
            {.place = {row.Handle(), 314, 1, 22, 22}, .pictures = &pictures->buttons, .picture = btn::kPath});
        action.Create({.place = {row.Handle(), 700, 1, 22, 22},
                       .pictures = &pictures->buttons,
                       .picture = btn::kActionHot});
        option[0].Create({.place = {Handle(), 180, 430, 23, 23},
                          .pictures = &pictures->buttons,
                          .picture = btn::kOptionOn});
        option[1].Create({.place = {Handle(), 180, 460, 23, 23},
                          .pictures = &pictures->buttons,
                          .picture = btn::kOptionOff});
        caption.Create(
            {.place = {Handle(), 205, 434, 140, 16}, .text = "Auto minimization", .style = CaptionStyle()});
        progress.Create({.place = {Handle(), 560, 440, 140, 15},
                         .barTexture = &pictures->splash.barTexture,
                         .backgroundTexture = &pictures->splash.backgroundTexture});
        progress.SetPosition(61);
        hints.Start();
        tray.Create(pictures->smallIcon.Get(), "Orvanter");
        // As the main window fills it while control runs.
        const char* items[7] = {"Control: Start",   "Control: Stop",     "Pause for 15 minutes",
                                "Pause for 1 hour", "Go to our website", "Visit the program page",
                                "Exit the program"};
        const int itemPictures[7] = {0, 1, 5, 5, 2, 3, 4};
        for (int i = 0; i < 7; ++i) {
            tray.PopupMenu().Add(items[i], &pictures->trayMenu[itemPictures[i]], [] {});
        }
        tray.PopupMenu().SetEnabled(0, false);
        ::ShowWindow(Handle(), SW_SHOW);
        return true;
    }

  protected:
    void PaintContent(HDC dc) override {
        WorkImage start(kLargeButtonWidth, kLargeButtonHeight), reset(kLargeButtonWidth, kLargeButtonHeight);
        start.SetBackdrop(&pictures->mainSkin, 22, 510);
        start.Draw(pictures->buttons, btn::kStartFirst + 1);
        start.PaintTo(dc, 22, 510);
        reset.SetBackdrop(&pictures->mainSkin, 215, 510);
        reset.Draw(pictures->buttons, btn::kResetFirst);
        reset.PaintTo(dc, 215, 510);
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
        }
        return SkinnedWindow::OnMessage(message, wParam, lParam);
    }
};

// A tool window beside the gallery's main one, on a skin of the program's pictures; the splash and the
// macro editor put together from their pictures are two.
class SideWindow : public SkinnedWindow {
  public:
    explicit SideWindow(const ProgramPictures& pictures) : pictures_(pictures) {}

  protected:
    bool Open(const wchar_t* className, std::wstring_view title, POINT at, SIZE size, const Backdrop* skin) {
        if (!Create({.className = className,
                     .title = title,
                     .x = at.x,
                     .y = at.y,
                     .width = size.cx,
                     .height = size.cy,
                     .exStyle = WS_EX_TOOLWINDOW})) {
            return false;
        }
        SetSkin(skin);
        return true;
    }
    void ShowBeside() { ::ShowWindow(Handle(), SW_SHOWNOACTIVATE); }

    const ProgramPictures& pictures_;
};

class SplashDemo : public SideWindow {
  public:
    using SideWindow::SideWindow;
    bool Build() {
        if (!Open(L"OrvGallerySplash", L"splash", {860, 10}, {kSplashWidth, kSplashHeight},
                  &pictures_.splash.logo)) {
            return false;
        }
        load_.Create({Handle(), 256, 6, 33, 49});
        load_.SetPicture(&pictures_.splash.load, Panel::PictureMode::TopLeft);
        bar_.Create({.place = {Handle(), 256, 18, 140, 15},
                     .barTexture = &pictures_.splash.barTexture,
                     .backgroundTexture = &pictures_.splash.backgroundTexture});
        bar_.SetPosition(61);
        // The bar lies over the loading picture, as the splash window shows them.
        ::SetWindowPos(bar_.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowBeside();
        return true;
    }

  private:
    Panel load_;
    ProgressBar bar_;
};

class EditorDemo : public SideWindow {
  public:
    using SideWindow::SideWindow;
    bool Build() {
        if (!Open(L"OrvGalleryEditor", L"editor", {300, 430}, {kEditorWidth, kEditorHeight},
                  &pictures_.editorBackground)) {
            return false;
        }
        title_.Create({.place = {Handle(), 8, 6, 83, 25}, .text = "Macros", .style = HeadingStyle()});
        previous_.Create({.place = {Handle(), 30, 148, 17, 21},
                          .pictures = &pictures_.macros,
                          .picture = macros::kArrowPrevious});
        frame_.Create({Handle(), 47, 148, 366, 21});
        frame_.SetPicture(pictures_.macros.Get(macros::kFieldFrame));
        next_.Create({.place = {Handle(), 413, 148, 17, 21},
                      .pictures = &pictures_.macros,
                      .picture = macros::kArrowNextHot});
        for (int i = 0; i < 3; ++i) {
            methods_[i].Create({.place = {Handle(), 450, 232 + 30 * i, 23, 23},
                                .pictures = &pictures_.macros,
                                .picture = i == 1 ? macros::kMethodOn : macros::kMethodOff});
        }
        ShowBeside();
        return true;
    }

  protected:
    void PaintContent(HDC dc) override {
        const int firsts[4] = {macros::kApplyFirst, macros::kResetFirst, macros::kRunFirst,
                               macros::kCloseFirst};
        const int lefts[4] = {20, 200, 380, 616};
        for (int i = 0; i < 4; ++i) {
            pictures_.macros.Draw(firsts[i] + 3 + (i == 2 ? 1 : 0), dc, lefts[i], 460);
        }
    }

  private:
    Label title_;
    PictureButton previous_, next_, methods_[3];
    Panel frame_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc >= 3 && std::wstring(argv[1]) == L"--sheet") {
        return Sheet(argv[2]);
    }
    if (argc >= 2 && std::wstring(argv[1]) == L"--time") {
        // How long making the pictures takes: at start-up, then each set and skin drawn whole.
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        auto measure = [&](const char* what, auto build) {
            LARGE_INTEGER start, end;
            ::QueryPerformanceCounter(&start);
            build();
            ::QueryPerformanceCounter(&end);
            std::printf("%-10s %6.1f ms\n", what,
                        1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
        };
        auto drawAll = [](const PictureSet& set) {
            for (int i = 0; i < set.Count(); ++i) {
                set.Get(i);
            }
        };
        measure("start-up", [] { BuildProgramPictures(); });
        const auto pictures = BuildProgramPictures();
        measure("buttons", [&] { drawAll(pictures->buttons); });
        measure("macros", [&] { drawAll(pictures->macros); });
        measure("skin", [&] { pictures->mainSkin.Render(); });
        measure("skin 22x22", [&] {
            Picture part(22, 22);
            MemoryDc dc(::CreateCompatibleDC(nullptr));
            Selection selected(dc.Get(), part.Handle());
            pictures->mainSkin.DrawPart(dc.Get(), 0, 0, RECT{702, 5, 724, 28});
        });
        measure("editor", [] { BuildEditorBackground(); });
        measure("logo", [] { BuildSplashLogo(); });
        return 0;
    }
    DemoWindow window;
    if (!window.Build()) {
        return 1;
    }
    SplashDemo splash(*window.pictures);
    EditorDemo editor(*window.pictures);
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--others") {
            splash.Build();
            editor.Build();
        }
    }
    // --hint: show a hint; --menu: open the tray menu (both for screenshots).
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--hint") {
            window.hints.Popup().ShowAt("Path to control object of the thread 1\n\rSecond line of the hint",
                                        POINT{420, 180});
        }
        if (std::wstring(argv[i]) == L"--menu") {
            ::PostMessageW(window.tray.Handle(), TrayIcon::kCallbackMessage, 0, WM_RBUTTONUP);
        }
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
