#include "ui/main_window.h"

// After windows.h.
#include <shellapi.h>
#include <windowsx.h>

#include "lang/apply.h"
#include "lang/constants.h"
#include "ui/shell_logic.h"

namespace orv::ui {
namespace {

using widgets::Colour;
using widgets::MouseButton;
using widgets::Rgb;

constexpr UINT_PTR kWorkTimer = 1;
constexpr UINT kWorkInterval = 100;

constexpr Colour kStartRunning = Rgb(255, 0, 0);
constexpr Colour kStartStopped = Rgb(0, 128, 192);
constexpr Colour kStartPen = Rgb(0, 86, 128);

// Places of the shell's controls on the window.
constexpr int kTitleButtonLeft[4] = {702, 726, 750, 774};
constexpr int kTitleButtonTop = 5;
constexpr int kStartLeft = 22, kResetLeft = 215, kLargeTop = 510;
constexpr int kLangPanelLeft = 36, kLangPanelTop = 452;
constexpr int kLangArrowLeft = 70, kLangUpTop = 1, kLangDownTop = 11, kArrowWidth = 19, kArrowHeight = 10;
constexpr POINT kOptionBox[4] = {{180, 430}, {180, 460}, {340, 430}, {340, 460}};
constexpr int kOptionBoxSize = 23;

// The title-bar buttons' pictures: (normal, hot).
constexpr int kTitlePictures[4][2] = {{widgets::btn::kHelp, widgets::btn::kHelpHot},
                                      {widgets::btn::kInternet, widgets::btn::kInternetHot},
                                      {widgets::btn::kMin, widgets::btn::kMinHot},
                                      {widgets::btn::kClose, widgets::btn::kCloseHot}};
constexpr const char* kTitleButtonNames[4] = {"Sb_Help", "Sb_Internet", "Sb_Min", "Sb_Close"};
constexpr const char* kOptionBoxNames[4] = {"Cb_MinFormShow", "Cb_AutoRun", "Cb_HintShow", "Cb_LogOK"};
constexpr const char* kOptionLabelNames[4] = {"Lbl_MinFormShow", "Lbl_AutoRun", "Lbl_HintShow", "Lbl_LogOK"};
constexpr int kOptionLabelWidth[4] = {130, 130, 320, 320};

std::wstring WideText(std::string_view text) {
    return widgets::Wide(text);
}

}  // namespace

// --- DisplayHandOff ---

DisplayHandOff::DisplayHandOff()
    : queue_([this] {
          // Posting never waits for the user-interface thread, so the scan thread cannot block on it.
          if (HWND window = window_.load()) {
              ::PostMessageW(window, kDisplayMessage, 0, 0);
          }
      }) {}

// --- LargeButton ---

bool LargeButton::Create(HWND parent, int x, int y, const widgets::Picture* skin) {
    image_.SetBackdrop(skin, x, y);
    return CreateWindowOf(L"OrvLargeButton", 0, WS_CHILD | WS_VISIBLE, L"", x, y, widgets::kLargeButtonWidth,
                          widgets::kLargeButtonHeight, parent, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_HAND));
}

void LargeButton::Paint(const widgets::PictureSet& pictures, int index) {
    index_ = index;
    image_.Draw(pictures, index);
    if (Exists() && ::IsWindowVisible(Handle())) {
        widgets::WindowDc dc(Handle());
        image_.PaintTo(dc.Get(), 0, 0);
    }
}

LRESULT LargeButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            widgets::PaintDc paint(Handle());
            image_.PaintTo(paint.Get(), 0, 0);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            leftHeld_ = true;
            ::SetCapture(Handle());
            if (onMouseDown) {
                onMouseDown(MouseButton::Left);
            }
            return 0;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (onMouseDown) {
                onMouseDown(message == WM_RBUTTONDOWN ? MouseButton::Right : MouseButton::Middle);
            }
            return 0;
        case WM_LBUTTONUP: {
            const bool wasHeld = leftHeld_;
            leftHeld_ = false;
            if (::GetCapture() == Handle()) {
                ::ReleaseCapture();
            }
            if (onMouseUp) {
                onMouseUp(MouseButton::Left);
            }
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const RECT client = ClientRect();
            if (wasHeld && ::PtInRect(&client, at) && onClick) {
                onClick();
            }
            return 0;
        }
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (onMouseUp) {
                onMouseUp(message == WM_RBUTTONUP ? MouseButton::Right : MouseButton::Middle);
            }
            return 0;
        case WM_CAPTURECHANGED:
            leftHeld_ = false;
            return 0;
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

// --- TfmMain: creation ---

TfmMain::~TfmMain() {
    if (services_.display != nullptr) {
        services_.display->Attach(nullptr);
    }
}

bool TfmMain::Create(const MainWindowServices& services) {
    services_ = services;
    // The window's creation: the flags, the settings, the hints, control stopped, the work images.
    splashClosed_ = false;
    firstTick_ = true;
    loadMessage_ = services_.state->CreateMainWindow();
    services_.hints->SetEnabled(services_.state->CurrentOptions().HintShow);

    const int left = CenteredLeft(::GetSystemMetrics(SM_CXSCREEN), widgets::kSkinWidth);
    if (!SkinnedWindow::Create(L"TfmMain", L"Orvanter", left, kMainWindowTop, widgets::kSkinWidth,
                               widgets::kSkinHeight, nullptr, WS_EX_APPWINDOW)) {
        return false;
    }
    SetSkin(&services_.pictures->mainSkin);
    SetOutline(widgets::kMainOutline);
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(services_.pictures->smallIcon.Get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(services_.pictures->largeIcon.Get()));
    BuildControls();
    if (services_.display != nullptr) {
        services_.display->Attach(Handle());
        // Whatever was handed over before the window existed announced itself to nobody.
        ::PostMessageW(Handle(), kDisplayMessage, 0, 0);
    }
    ::SetTimer(Handle(), kWorkTimer, kWorkInterval, nullptr);
    return true;
}

void TfmMain::BuildControls() {
    HWND window = Handle();
    const widgets::ProgramPictures& pictures = *services_.pictures;
    fieldFont_.Reset(widgets::CreateUiFont(widgets::FontStyle{12}));

    auto drag = [this](MouseButton button) {
        if (button == MouseButton::Left) {
            widgets::BeginWindowDrag(Handle());
        }
    };
    // The name draws its own one-pixel shadow copy behind its text (Label_Title_Name_Shadow): two
    // overlapping sibling windows would paint over each other.
    titleName_.Create(window, 8, 2, 117, 35, lang::kProgramName, widgets::TitleNameStyle());
    titleName_.onMouseDown = drag;

    title1_.Create(window, 15, 60, 113, 25, "", widgets::HeadingStyle());
    title2_.Create(window, 22, 396, 127, 25, "", widgets::HeadingStyle());

    const widgets::LabelStyle caption = widgets::CaptionStyle();
    columnNumber_.Create(window, 40, 121, 34, 16, lang::kNumberColumnHeading, caption);
    columnObject_.Create(window, 78, 121, 200, 16, "", caption);
    columnControl_.Create(window, 376, 121, 160, 16, "", caption);
    columnAction_.Create(window, 588, 121, 160, 16, "", caption);

    for (int i = 0; i < 4; ++i) {
        titleButtons_[i].Create(window, kTitleButtonLeft[i], kTitleButtonTop, kTitleButtonWidth,
                                kTitleButtonHeight, &pictures.buttons, kTitlePictures[i][0]);
    }
    titleButtons_[0].onClick = [this] { Sb_HelpClick(); };
    titleButtons_[1].onClick = [this] { Sb_InternetClick(); };
    titleButtons_[2].onClick = [this] { Sb_MinClick(); };
    titleButtons_[3].onClick = [this] { Sb_CloseClick(); };

    indicatorFill_ = widgets::BuildPanelFill(22, 9);
    indicatorPanel_.Create(window, 750, 37, 22, 9);
    indicatorPanel_.SetPicture(&indicatorFill_);
    indicatorStart_.Create(indicatorPanel_.Handle(), 1, 1, 20, 7, kStartStopped, kStartPen);

    // The panels, before the settings area, so that the tab order follows the rows.
    PanelServices panelServices;
    panelServices.engine = services_.engine;
    panelServices.macros = services_.macros;
    panelServices.language = services_.language;
    panelServices.buttons = &pictures.buttons;
    panelServices.hints = services_.hints;
    panelServices.colours = &colours_;
    panelServices.fieldFont = fieldFont_.Get();
    panelServices.stopControl = [this] { StopControlIfRunning(); };
    panelServices.openMacroEditor = [this](int number) { OpenMacroEditor(number); };
    panelServices.browse = services_.browse;
    const engine::ObjectArray objects = services_.engine->Objects();
    for (int number = 1; number <= engine::kObjectCount; ++number) {
        ObjectPanel& panel = panels_[number - 1];
        panel.Create(window, number, panelServices);
        // Loading shows Razr by the mark alone: no click, no refresh.
        panel.SetRazrMark(objects[number - 1].settings.Razr);
        for (const auto& [name, handle] : panel.NamedControls()) {
            named_[name] = handle;
        }
    }

    langLabel_.Create(window, kLangPanelLeft, 432, 130, 16, "", caption);
    langFill_ = widgets::BuildPanelFill(90, 22);
    langPanel_.Create(window, kLangPanelLeft, kLangPanelTop, 90, 22);
    langPanel_.SetPicture(&langFill_);
    langField_ = widgets::CreateChildControl(langPanel_.Handle(), L"EDIT", "", WS_VISIBLE | ES_READONLY, 0, 3,
                                             3, 64, 16, 1901);
    widgets::SetControlFont(langField_, fieldFont_.Get());
    colours_.Set(langField_, kPanelFieldText, kPanelFieldBackground);
    langUp_.Create(langPanel_.Handle(), kLangArrowLeft, kLangUpTop, kArrowWidth, kArrowHeight,
                   &pictures.buttons, widgets::btn::kArrowUp);
    langDown_.Create(langPanel_.Handle(), kLangArrowLeft, kLangDownTop, kArrowWidth, kArrowHeight,
                     &pictures.buttons, widgets::btn::kArrowDown);
    langUp_.onClick = [this] { Sb_Lang_UpClick(); };
    langDown_.onClick = [this] { Sb_Lang_DownClick(); };

    const std::function<void()> toggles[4] = {[this] { Cb_MinFormShowClick(); },
                                              [this] { Cb_AutoRunClick(); }, [this] { Cb_HintShowClick(); },
                                              [this] { Cb_LogOKClick(); }};
    for (int i = 0; i < 4; ++i) {
        optionBoxes_[i].Create(window, kOptionBox[i].x, kOptionBox[i].y, kOptionBoxSize, kOptionBoxSize,
                               &pictures.buttons, widgets::btn::kOptionOff);
        optionBoxes_[i].onClick = toggles[i];
        optionLabels_[i].Create(window, kOptionBox[i].x + 25, kOptionBox[i].y + 4, kOptionLabelWidth[i], 16,
                                "", caption);
        optionLabels_[i].onClick = toggles[i];
        named_[kOptionBoxNames[i]] = optionBoxes_[i].Handle();
        named_[kOptionLabelNames[i]] = optionLabels_[i].Handle();
        captionSetters_[kOptionLabelNames[i]] = [this, i](const std::string& text) {
            optionLabels_[i].SetText(text);
        };
    }

    start_.Create(window, kStartLeft, kLargeTop, &pictures.mainSkin);
    reset_.Create(window, kResetLeft, kLargeTop, &pictures.mainSkin);
    start_.onClick = [this] { Sb_StartClick(); };
    start_.onMouseDown = [this](MouseButton button) { Sb_StartMouseDown(button); };
    start_.onMouseUp = [this](MouseButton button) { Sb_StartMouseUp(button); };
    reset_.onClick = [this] { Sb_ResetClick(); };
    reset_.onMouseDown = [this](MouseButton button) { Sb_ResetMouseDown(button); };
    reset_.onMouseUp = [this](MouseButton button) { Sb_ResetMouseUp(button); };
    start_.Paint(pictures.buttons, StartPicture(services_.language->Language(), false, false, false));
    reset_.Paint(pictures.buttons, ResetPicture(services_.language->Language(), false, false));

    auxiliaryEdit_ = widgets::CreateChildControl(window, L"EDIT", "", WS_VISIBLE, 0, 0, 0, 0, 0, 1902);

    for (int i = 0; i < 4; ++i) {
        named_[kTitleButtonNames[i]] = titleButtons_[i].Handle();
    }
    named_["Sb_Start"] = start_.Handle();
    named_["Sb_Reset"] = reset_.Handle();
    named_["Indicator_Start"] = indicatorStart_.Handle();
    named_["Edit_Lang"] = langField_;
    named_["Lbl_Lang"] = langLabel_.Handle();
    named_["Lbl_Title_1"] = title1_.Handle();
    named_["Lbl_Title_2"] = title2_.Handle();
    named_["Lbl1_Title_Obj"] = columnObject_.Handle();
    named_["Lbl1_Title_Control"] = columnControl_.Handle();
    named_["Lbl1_Title_Action"] = columnAction_.Handle();
    captionSetters_["Edit_Lang"] = [this](const std::string& text) {
        widgets::SetWindowTextUtf8(langField_, text);
    };
    captionSetters_["Lbl_Lang"] = [this](const std::string& text) { langLabel_.SetText(text); };
    captionSetters_["Lbl_Title_1"] = [this](const std::string& text) { title1_.SetText(text); };
    captionSetters_["Lbl_Title_2"] = [this](const std::string& text) { title2_.SetText(text); };
    captionSetters_["Lbl1_Title_Obj"] = [this](const std::string& text) { columnObject_.SetText(text); };
    captionSetters_["Lbl1_Title_Control"] = [this](const std::string& text) { columnControl_.SetText(text); };
    captionSetters_["Lbl1_Title_Action"] = [this](const std::string& text) { columnAction_.SetText(text); };

    // The tray icon and its menu: inactive until the window hides to the tray.
    tray_.Create(pictures.smallIcon.Get(), lang::kProgramName);
    tray_.onDoubleClick = [this] { TrayIconDblClick(); };
    widgets::TrayMenu& menu = tray_.PopupMenu();
    menu.SetCaption(lang::kProgramName);
    const std::function<void()> items[5] = {[this] { TrayMenu_1Click(); }, [this] { TrayMenu_2Click(); },
                                            [this] { TrayMenu_3Click(); }, [this] { TrayMenu_4Click(); },
                                            [this] { TrayMenu_5Click(); }};
    for (int i = 0; i < 5; ++i) {
        const std::string name = "TrayMenu_" + std::to_string(i + 1);
        menu.Add(name, &pictures.trayMenu[i], items[i]);
        captionSetters_[name] = [this, i](const std::string& text) { tray_.PopupMenu().SetText(i, text); };
    }
}

// --- Showing ---

void TfmMain::ShowMain() {
    FormShow();
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::UpdateWindow(Handle());
}

void TfmMain::FormShow() {
    if (!splashClosed_) {
        if (children.showSplash) {
            children.showSplash(Handle());
        }
        // Whatever ended the splash, the main window follows it once.
        splashClosed_ = true;
    }
    ApplyLanguage();
    PlaceAtStart();
    for (ObjectPanel& panel : panels_) {
        ::ShowWindow(panel.PanelHandle(), SW_SHOWNA);
    }
    const settings::Options& options = services_.state->CurrentOptions();
    services_.hints->SetEnabled(options.HintShow);
    if (!services_.engine->ControlRunning()) {
        for (ObjectPanel& panel : panels_) {
            panel.FillObjectPanel();
        }
        panelsFilled_ = true;
    }
    ShowOptionBoxes();
    UpdateMacroIndicators();
}

void TfmMain::PlaceAtStart() {
    MoveTo(CenteredLeft(::GetSystemMetrics(SM_CXSCREEN), widgets::kSkinWidth), kMainWindowTop);
}

POINT TfmMain::WindowOrigin() const {
    RECT box{};
    ::GetWindowRect(Handle(), &box);
    return POINT{box.left, box.top};
}

// --- Language ---

void TfmMain::ApplyLanguage() {
    const std::shared_ptr<const lang::LanguageTable> table = services_.language->Table();
    const bool running = services_.engine->ControlRunning();
    for (const lang::AppliedText& applied : lang::MainWindowTexts(*table, running)) {
        if (applied.slot == lang::TextSlot::Caption) {
            const auto setter = captionSetters_.find(applied.control);
            if (setter != captionSetters_.end()) {
                setter->second(applied.text);
            }
        } else if (applied.control.rfind("TrayMenu_", 0) == 0) {
            trayTexts_[applied.control] = applied.text;
        } else {
            const auto control = named_.find(applied.control);
            if (control != named_.end()) {
                services_.hints->Set(control->second, applied.text);
            }
        }
    }
    if (children.applyEditorLanguage) {
        children.applyEditorLanguage(*table);
    }
}

void TfmMain::Sb_Lang_UpClick() {
    services_.language->Switch(services_.programKey);
    ApplyLanguage();
    for (ObjectPanel& panel : panels_) {
        panel.ApplyObjectType();
        panel.ApplyObjectParam();
        panel.ShowObjectAction();
    }
}

void TfmMain::Sb_Lang_DownClick() {
    // Two languages: both arrows switch to the other one.
    Sb_Lang_UpClick();
}

std::string TfmMain::LanguageField() const {
    return widgets::GetWindowTextUtf8(langField_);
}

std::string TfmMain::CaptionOf(const std::string& control) const {
    if (control == "Edit_Lang") {
        return LanguageField();
    }
    if (control.rfind("TrayMenu_", 0) == 0) {
        const int index = std::atoi(control.c_str() + 9) - 1;
        return index >= 0 && index < 5 ? const_cast<widgets::TrayIcon&>(tray_).PopupMenu().Text(index)
                                       : std::string();
    }
    const widgets::Label* labels[] = {&langLabel_,       &title1_,          &title2_,
                                      &columnObject_,    &columnControl_,   &columnAction_,
                                      &optionLabels_[0], &optionLabels_[1], &optionLabels_[2],
                                      &optionLabels_[3], &titleName_,       &columnNumber_};
    const auto found = named_.find(control);
    for (const widgets::Label* label : labels) {
        if (found != named_.end() && label->Handle() == found->second) {
            return label->Text();
        }
    }
    return {};
}

std::string TfmMain::HintOf(const std::string& control) const {
    const auto found = named_.find(control);
    if (found == named_.end()) {
        const auto tray = trayTexts_.find(control);
        return tray != trayTexts_.end() ? tray->second : std::string();
    }
    const std::string* text = services_.hints->Find(found->second);
    return text ? *text : std::string();
}

// --- Control ---

void TfmMain::Sb_StartClick() {
    const bool running = services_.engine->Sb_StartClick();
    indicatorStart_.SetColour(running ? kStartRunning : kStartStopped);
    if (running) {
        start_.Paint(services_.pictures->buttons,
                     StartPicture(services_.language->Language(), true, false, false));
    } else {
        // The stop's step display (all boxes idle) is in the queue behind every older update.
        DrainDisplayUpdates();
    }
    ApplyLanguage();
}

void TfmMain::StopControlIfRunning() {
    if (services_.engine->ControlRunning()) {
        Sb_StartClick();
    }
}

void TfmMain::DrainDisplayUpdates() {
    for (const engine::DisplayUpdate& update :
         services_.display ? services_.display->Drain() : std::vector<engine::DisplayUpdate>()) {
        if (update.kind == engine::DisplayUpdate::Kind::ScanStep) {
            const auto colours = engine::StepBoxColours(update.scanStep);
            for (int i = 0; i < engine::kObjectCount; ++i) {
                panels_[i].SetStepColour(Rgb(colours[i].r, colours[i].g, colours[i].b));
            }
        } else if (update.kind == engine::DisplayUpdate::Kind::Stopped) {
            // The scan thread ended control on its own; the button's picture follows at the next tick.
            indicatorStart_.SetColour(kStartStopped);
            ApplyLanguage();
        } else if (update.object >= 1 && update.object <= engine::kObjectCount) {
            panels_[update.object - 1].ShowCheckReport(update.indicators);
        }
    }
}

void TfmMain::Sb_ResetClick() {
    StopControlIfRunning();
    services_.state->Sb_ResetClick();
    for (ObjectPanel& panel : panels_) {
        panel.SetRazrMark(true);
        panel.ApplyObjectType();
        panel.ApplyObjectParam();
        panel.ShowObjectAction();
        panel.RefreshObjectPanel();
    }
}

void TfmMain::Sb_StartMouseDown(MouseButton button) {
    if (button == MouseButton::Left) {
        startPressed_ = true;
    }
}
void TfmMain::Sb_StartMouseUp(MouseButton button) {
    if (button == MouseButton::Left) {
        startPressed_ = false;
    }
}
void TfmMain::Sb_ResetMouseDown(MouseButton button) {
    if (button == MouseButton::Left) {
        resetPressed_ = true;
    }
}
void TfmMain::Sb_ResetMouseUp(MouseButton button) {
    if (button == MouseButton::Left) {
        resetPressed_ = false;
    }
}

// --- Options ---

void TfmMain::ShowOptionBoxes() {
    const settings::Options& options = services_.state->CurrentOptions();
    const bool on[4] = {options.MinFormShow, options.AutoRun, options.HintShow, services_.engine->LogOK()};
    for (int i = 0; i < 4; ++i) {
        optionBoxes_[i].SetPicture(on[i] ? widgets::btn::kOptionOn : widgets::btn::kOptionOff);
    }
}

void TfmMain::Cb_HintShowClick() {
    services_.state->Cb_HintShowClick();
    services_.hints->SetEnabled(services_.state->CurrentOptions().HintShow);
    ShowOptionBoxes();
}

void TfmMain::Cb_AutoRunClick() {
    const std::string message = services_.state->Cb_AutoRunClick();
    if (!message.empty()) {
        ShowError(message);
    }
    ShowOptionBoxes();
}

void TfmMain::Cb_MinFormShowClick() {
    services_.state->Cb_MinFormShowClick();
    ShowOptionBoxes();
}

void TfmMain::Cb_LogOKClick() {
    services_.state->Cb_LogOKClick();
    ShowOptionBoxes();
}

// --- Macros ---

void TfmMain::UpdateMacroIndicators() {
    for (int number = 1; number <= engine::kObjectCount; ++number) {
        panels_[number - 1].ShowObjectAction();
        panels_[number - 1].SetMacroIndicator(
            services_.macros->Indicator(number, services_.language->Language()));
    }
    if (::IsWindowVisible(auxiliaryEdit_) && ::IsWindowEnabled(auxiliaryEdit_)) {
        ::SetFocus(auxiliaryEdit_);
    }
}

void TfmMain::OpenMacroEditor(int number) {
    if (children.macroEditorVisible && children.macroEditorVisible()) {
        if (children.hideMacroEditor) {
            children.hideMacroEditor();
        }
        return;
    }
    services_.macros->SetCurrentMacro(number);
    PlaceAtStart();
    if (children.showMacroEditor) {
        children.showMacroEditor(Handle(), number);
    }
}

// --- Tray ---

void TfmMain::Sb_MinClick() {
    tray_.Add();
    // The main window is the program's taskbar entry: hiding it hides the entry too.
    ::ShowWindow(Handle(), SW_HIDE);
}

void TfmMain::TrayIconDblClick() {
    ShowMain();
    tray_.Remove();
}

void TfmMain::TrayMenu_1Click() {
    if (!services_.engine->ControlRunning()) {
        services_.engine->StartControl();
    }
}

void TfmMain::TrayMenu_2Click() {
    if (services_.engine->ControlRunning()) {
        services_.engine->StopControl();
    }
}

void TfmMain::TrayMenu_3Click() {
    OpenInShell(std::string(HomePage(services_.language->Language())), SW_SHOWNORMAL);
}

void TfmMain::TrayMenu_4Click() {
    OpenInShell(std::string(ProgramPage(services_.language->Language())), SW_SHOWNORMAL);
}

void TfmMain::TrayMenu_5Click() {
    Sb_CloseClick();
}

// --- Title-bar buttons ---

void TfmMain::Sb_CloseClick() {
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TfmMain::Sb_InternetClick() {
    TrayMenu_3Click();
}

void TfmMain::Sb_HelpClick() {
    // Beside the executable, whatever the current directory is.
    OpenInShell(services_.programFolder + std::string(HelpFileName(services_.language->Language())),
                SW_RESTORE);
}

void TfmMain::OpenInShell(const std::string& target, int showCommand) {
    if (services_.shellOpen) {
        services_.shellOpen(Handle(), target, showCommand);
        return;
    }
    // The shell's answer is not examined: a missing file or browser shows the system's own message.
    ::ShellExecuteW(Handle(), nullptr, WideText(target).c_str(), nullptr, nullptr, showCommand);
}

void TfmMain::ShowError(const std::string& text) {
    if (services_.showMessage) {
        services_.showMessage(text);
        return;
    }
    ::MessageBoxW(Handle(), WideText(text).c_str(), L"Orvanter", MB_OK | MB_ICONERROR);
}

// --- The work timer ---

void TfmMain::Timer_WorkTimer() {
    // 0. Updates whose one notification was lost (a full message queue) would wait for the next stop.
    DrainDisplayUpdates();
    // 1. Once per run, as soon as the window is active (after the splash): hide if asked to.
    if (firstTick_ && ::GetActiveWindow() == Handle()) {
        if (services_.state->CurrentOptions().MinFormShow) {
            Sb_MinClick();
        }
        firstTick_ = false;
    }
    // 2. One cursor position for every test of this tick.
    POINT cursor{};
    if (services_.cursorPosition) {
        cursor = services_.cursorPosition();
    } else {
        ::GetCursorPos(&cursor);
    }
    const bool visible = ::IsWindowVisible(Handle()) != FALSE;
    const POINT origin = WindowOrigin();
    const Point at{cursor.x, cursor.y};
    auto hot = [&](int left, int top, int width, int height) {
        return visible && IsHot(at, Box{origin.x + left, origin.y + top, width, height});
    };
    // 3. The language arrows.
    langUp_.SetPicture(HoverPicture(
        hot(kLangPanelLeft + kLangArrowLeft, kLangPanelTop + kLangUpTop, kArrowWidth, kArrowHeight),
        widgets::btn::kArrowUp, widgets::btn::kArrowUpHot));
    langDown_.SetPicture(HoverPicture(
        hot(kLangPanelLeft + kLangArrowLeft, kLangPanelTop + kLangDownTop, kArrowWidth, kArrowHeight),
        widgets::btn::kArrowDown, widgets::btn::kArrowDownHot));
    // 4. The object panels.
    for (ObjectPanel& panel : panels_) {
        panel.UpdateHover(cursor, origin, visible);
    }
    // 5. The title-bar buttons, hidden while the macro editor is open.
    for (int i = 0; i < 4; ++i) {
        widgets::PictureButton& button = titleButtons_[i];
        if (childWindowOpen_) {
            button.SetVisible(false);
            continue;
        }
        button.SetVisible(true);
        const bool isHot = hot(kTitleButtonLeft[i], kTitleButtonTop, kTitleButtonWidth, kTitleButtonHeight);
        button.SetPicture(HoverPicture(isHot, kTitlePictures[i][0], kTitlePictures[i][1]));
    }
    // 6 and 7. The two large buttons, drawn through their work images at every tick.
    const int32_t language = services_.language->Language();
    const bool running = services_.engine->ControlRunning();
    const bool startHot = hot(kStartLeft, kLargeTop, widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
    start_.Paint(services_.pictures->buttons, StartPicture(language, running, startHot, startPressed_));
    const bool resetHot = hot(kResetLeft, kLargeTop, widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
    reset_.Paint(services_.pictures->buttons, ResetPicture(language, resetHot, resetPressed_));
    // 8. The tray menu follows the running state.
    tray_.PopupMenu().SetEnabled(0, !running);
    tray_.PopupMenu().SetEnabled(1, running);
}

// --- Exit ---

void TfmMain::SaveAtExit() {
    // Object 1's search text is what its field shows; before the first fill the field still holds its
    // design text, which must not replace the stored text (a session ending during the splash).
    std::string searchText = panels_[0].SearchField();
    if (!panelsFilled_) {
        const std::optional<engine::ControlObject> first = services_.engine->Object(1);
        searchText = first ? first->settings.String : std::string();
    }
    // Stops and joins the scan thread before anything is saved; runs once.
    const std::string message = services_.state->Exit(searchText);
    if (!message.empty()) {
        exitMessage_ = message;
    }
}

LRESULT TfmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kWorkTimer) {
                Timer_WorkTimer();
                return 0;
            }
            break;
        case kDisplayMessage:
            DrainDisplayUpdates();
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            for (ObjectPanel& panel : panels_) {
                if (panel.OnCommand(id, code)) {
                    return 0;
                }
            }
            break;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (const auto brush = colours_.OnControlColour(message, wParam, lParam)) {
                return *brush;
            }
            break;
        case WM_LBUTTONDOWN:
            // Any press on the window's background moves the window.
            widgets::BeginWindowDrag(Handle());
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // Windows is ending the session: the process may be ended as soon as this returns.
            if (wParam) {
                SaveAtExit();
            }
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(Handle());
            return 0;
        case WM_DESTROY:
            ::KillTimer(Handle(), kWorkTimer);
            if (services_.display != nullptr) {
                services_.display->Attach(nullptr);
            }
            SaveAtExit();
            tray_.Remove();
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return SkinnedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace orv::ui
