#include "ui/main_window.h"
#include "platform/win32/wide.h"

// After windows.h.
#include <shellapi.h>

#include "lang/constants.h"
#include "ui/shell_logic.h"
#include "widgets/hover.h"

namespace orv::ui {
namespace {

constexpr UINT_PTR kWorkTimer = 1;
// Makes the controls a group at a time while the splash runs. A timer, not a posted message: its
// message comes only when the queue is empty, so the splash is drawn and answers between the groups.
constexpr UINT_PTR kMakeControlsTimer = 2;
constexpr UINT kWorkInterval = 100;

}  // namespace

TfmMain::~TfmMain() {
    if (services_.display != nullptr) {
        services_.display->Attach(nullptr);
    }
    // Destroyed here, while the panels and the tray still exist: its WM_DESTROY saves and removes the
    // tray icon, which the base class's destructor, running after them, could no longer do.
    Destroy();
}

bool TfmMain::Create(const MainWindowServices& services) {
    services_ = WithSystemDefaults(services);
    // The window's creation: the flags, the settings, the hints, control stopped, the work images.
    splashClosed_ = false;
    firstTick_ = true;
    loadMessage_ = services_.state->CreateMainWindow();
    services_.hints->SetEnabled(services_.state->CurrentOptions().HintShow);

    const int left = CenteredLeft(::GetSystemMetrics(SM_CXSCREEN), widgets::kSkinWidth);
    if (!SkinnedWindow::Create({.className = L"TfmMain",
                                .title = L"Orvanter",
                                .x = left,
                                .y = kMainWindowTop,
                                .width = widgets::kSkinWidth,
                                .height = widgets::kSkinHeight,
                                .exStyle = WS_EX_APPWINDOW,
                                .draggedByBackground = true})) {
        return false;
    }
    SetSkin(&services_.pictures->mainSkin);
    SetOutline(widgets::kMainOutline);
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(services_.pictures->smallIcon.Get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(services_.pictures->largeIcon.Get()));
    if (services_.display != nullptr) {
        services_.display->Attach(Handle());
        // Whatever was handed over before the window existed announced itself to nobody.
        ::PostMessageW(Handle(), kDisplayMessage, 0, 0);
    }
    ::SetTimer(Handle(), kWorkTimer, kWorkInterval, nullptr);
    return true;
}

bool TfmMain::MakeNextControls() {
    if (ControlsMade() || !Exists()) {
        return false;
    }
    // The panels come before the settings area, whose last group puts the rows into the tab order.
    const int step = controlSteps_++;
    if (step == 0) {
        MakeFrameControls();
    } else if (step <= engine::kObjectCount) {
        MakePanel(step);
    } else {
        MakeSettingsArea();
        MakeTray();
        // Updates handed over meanwhile waited for the panels.
        ::PostMessageW(Handle(), kDisplayMessage, 0, 0);
    }
    return true;
}

void TfmMain::MakeAllControls() {
    while (MakeNextControls()) {
    }
}

void TfmMain::MakeFrameControls() {
    fieldFont_.Reset(widgets::CreateUiFont(widgets::FontStyle{12}));
    titleBar_.Create(
        Handle(),
        {.buttons = &services_.pictures->buttons, .engine = services_.engine, .hints = services_.hints},
        {.help = [this] { Sb_HelpClick(); },
         .internet = [this] { Sb_InternetClick(); },
         .minimise = [this] { Sb_MinClick(); },
         .close = [this] { Sb_CloseClick(); }});
}

void TfmMain::MakePanel(int number) {
    PanelServices panelServices;
    panelServices.engine = services_.engine;
    panelServices.macros = services_.macros;
    panelServices.state = services_.state;
    panelServices.buttons = &services_.pictures->buttons;
    panelServices.hints = services_.hints;
    panelServices.fieldFont = fieldFont_.Get();
    panelServices.stopControl = [this] { StopControlIfRunning(); };
    panelServices.openMacroEditor = [this](int object) { OpenMacroEditor(object); };
    panelServices.browse = services_.browse;
    ObjectPanel& panel = panels_[number - 1];
    panel.Create(Handle(), number, panelServices);
    // Loading shows Razr by the mark alone: no click, no refresh.
    const std::optional<engine::ControlObject> object = services_.engine->Object(number);
    panel.SetRazrMark(object && object->settings.Razr);
}

void TfmMain::MakeSettingsArea() {
    settings_.Create(Handle(),
                     {.engine = services_.engine,
                      .state = services_.state,
                      .hints = services_.hints,
                      .pictures = services_.pictures,
                      .fieldFont = fieldFont_.Get(),
                      .showError = [this](const std::string& text) { ShowError(text); }},
                     {.switchLanguage = [this] { SwitchLanguage(); },
                      .start = [this] { Sb_StartClick(); },
                      .reset = [this] { Sb_ResetClick(); }});
    auxiliaryEdit_.Create({.place = {Handle(), 0, 0, 0, 0}, .autoScroll = false});
    // Tab in reading order: the rows, then the settings area.
    for (const ObjectPanel& panel : panels_) {
        panel.AddToTabOrder(tabOrder_);
    }
    settings_.AddToTabOrder(tabOrder_);
}

void TfmMain::MakeTray() {
    // Inactive until the window hides to the tray.
    tray_.Create(
        {.engine = services_.engine,
         .state = services_.state,
         .pictures = services_.pictures,
         .showBalloon = services_.showBalloon,
         .now = services_.now},
        {.showWindow = [this] { TrayIconDblClick(); },
         .openPage =
             [this](const std::string& address) { services_.shellOpen(Handle(), address, SW_SHOWNORMAL); },
         .exit = [this] { Sb_CloseClick(); }});
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
            // The splash comes on the screen first; the controls are made step by step while it runs.
            ::SetTimer(Handle(), kMakeControlsTimer, USER_TIMER_MINIMUM, nullptr);
            children.showSplash(Handle());
            ::KillTimer(Handle(), kMakeControlsTimer);
        }
        // Whatever ended the splash, the main window follows it once.
        splashClosed_ = true;
    }
    MakeAllControls();
    if (!ControlsMade()) {
        return;  // the window has gone meanwhile
    }
    ShowTexts(*services_.language->Table(), false);
    PlaceAtStart();
    for (ObjectPanel& panel : panels_) {
        ::ShowWindow(panel.PanelHandle(), SW_SHOWNA);
    }
    services_.hints->SetEnabled(services_.state->CurrentOptions().HintShow);
    if (!services_.engine->ControlRunning()) {
        for (ObjectPanel& panel : panels_) {
            panel.FillObjectPanel();
        }
    }
    settings_.ShowOptionBoxes();
    UpdateMacroIndicators();
}

void TfmMain::PlaceAtStart() {
    MoveTo(CenteredLeft(::GetSystemMetrics(SM_CXSCREEN), widgets::kSkinWidth), kMainWindowTop);
}

// --- Language ---

void TfmMain::ShowLanguage(const lang::LanguageTable& table) {
    ShowTexts(table, true);
}

void TfmMain::ShowTexts(const lang::LanguageTable& table, bool rowStates) {
    // Without the rows' states (the show step, a start or stop), nothing of a row is shown again but its
    // hints, and a path indicator's hint goes back to its designed text until the row shows its state.
    titleBar_.ShowLanguage(table);
    settings_.ShowLanguage(table);
    for (ObjectPanel& panel : panels_) {
        rowStates ? panel.ShowLanguage(table) : panel.ShowHints(table);
    }
    tray_.ShowLanguage(table);
    if (children.applyEditorLanguage) {
        children.applyEditorLanguage(table);
    }
}

void TfmMain::SwitchLanguage() {
    // Texts only: a switch looks at no item, so a share that does not answer cannot hold the window nor
    // make its items "disappear".
    services_.language->Switch(services_.programKey);
    ShowLanguage(*services_.language->Table());
}

const widgets::RoleMap<lang::MainControl>& TfmMain::RolesOf(lang::MainControl control) const {
    return titleBar_.Roles().Has(control) ? titleBar_.Roles() : settings_.Roles();
}

std::string TfmMain::CaptionOf(lang::MainControl control) const {
    return tray_.CaptionOf(control).value_or(RolesOf(control).Caption(control));
}

std::string TfmMain::HintOf(lang::MainControl control) const {
    return tray_.HintOf(control).value_or(RolesOf(control).Hint(control, *services_.hints));
}

// --- Control and macros ---

void TfmMain::Sb_StartClick() {
    tray_.CancelPause();
    const bool running = services_.engine->Sb_StartClick();
    titleBar_.ShowRunning(running);
    if (!running) {
        // The stop's step display (all boxes idle) is in the queue behind every older update.
        DrainDisplayUpdates();
    }
    ShowTexts(*services_.language->Table(), false);
}

void TfmMain::StopControlIfRunning() {
    if (services_.engine->ControlRunning()) {
        Sb_StartClick();
    }
}

void TfmMain::DrainDisplayUpdates() {
    if (!ControlsMade()) {
        return;  // kept until the panels exist
    }
    using Kind = engine::DisplayUpdate::Kind;
    for (const engine::DisplayUpdate& update :
         services_.display ? services_.display->Drain() : std::vector<engine::DisplayUpdate>()) {
        if (update.kind == Kind::ScanStep) {
            const auto colours = engine::StepBoxColours(update.scanStep);
            for (int i = 0; i < engine::kObjectCount; ++i) {
                panels_[i].SetStepColour(colours[i]);
            }
        } else if (update.kind == Kind::Events) {
            tray_.NotifyEvents(update.events);
        } else if (update.kind == Kind::Stopped) {
            // The scan thread ended control on its own.
            titleBar_.ShowRunning(false);
            ShowTexts(*services_.language->Table(), false);
        } else if (update.object < 1 || update.object > engine::kObjectCount) {
            continue;
        } else if (update.kind == Kind::Item) {
            panels_[update.object - 1].ShowItemReport(update.item);
        } else {
            panels_[update.object - 1].ShowCheckReport(update.indicators);
        }
    }
}

void TfmMain::Sb_ResetClick() {
    // A reset leaves control stopped, also when a pause would have started it again.
    tray_.CancelPause();
    StopControlIfRunning();
    services_.state->Sb_ResetClick();
    for (ObjectPanel& panel : panels_) {
        panel.ShowReset();
    }
}

void TfmMain::UpdateMacroIndicators() {
    for (ObjectPanel& panel : panels_) {
        panel.ShowMacro();
    }
    if (::IsWindowVisible(auxiliaryEdit_.Handle()) && auxiliaryEdit_.Enabled()) {
        auxiliaryEdit_.Focus();
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

// --- Tray and title-bar buttons ---

UINT ComeToFrontMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Keldrastic.Orvanter.ComeToFront");
    return message;
}

void TfmMain::ComeToFront() {
    // While the splash still runs, the window shows by itself when it ends; while the macro editor is
    // open, the main window waits for it.
    if (splashClosed_ && ::IsWindowEnabled(Handle())) {
        if (tray_.Active()) {
            TrayIconDblClick();
        } else if (::IsIconic(Handle())) {
            ::ShowWindow(Handle(), SW_RESTORE);
        }
    }
    HWND front = ::GetLastActivePopup(Handle());
    if (front == nullptr || !::IsWindowVisible(front)) {
        front = Handle();
    }
    ::SetForegroundWindow(front);
}

void TfmMain::Sb_MinClick() {
    tray_.Icon().Add();
    // The main window is the program's taskbar entry: hiding it hides the entry too.
    ::ShowWindow(Handle(), SW_HIDE);
}

void TfmMain::TrayIconDblClick() {
    ShowMain();
    tray_.Icon().Remove();
}

void TfmMain::Sb_CloseClick() {
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TfmMain::Sb_InternetClick() {
    tray_.TrayMenu_3Click();
}

void TfmMain::Sb_HelpClick() {
    // Beside the executable, whatever the current directory is.
    services_.shellOpen(Handle(),
                        services_.programFolder + std::string(HelpFileName(services_.language->Language())),
                        SW_RESTORE);
}

void TfmMain::ShowError(const std::string& text) {
    if (services_.showMessage) {
        services_.showMessage(text);
        return;
    }
    ::MessageBoxW(Handle(), win32::Wide(text).c_str(), L"Orvanter", MB_OK | MB_ICONERROR);
}

// --- The work timer ---

void TfmMain::Timer_WorkTimer() {
    // The engine tells a sleep by the gap between two ticks, when the system's report does not come.
    services_.engine->WorkTimerTick();
    // While the splash runs the controls are still being made; the window is not shown yet.
    if (!ControlsMade()) {
        return;
    }
    // The scan cycle's updates come without a notification, so that a pass costs the window no wake-up
    // of its own; and updates whose one notification was lost (a full message queue) would wait for the
    // next stop.
    DrainDisplayUpdates();
    FirstActiveTick();
    // One cursor position for every test of this tick; the hints follow it too, over this window, the
    // splash and the macro editor.
    const POINT cursor = services_.cursorPosition();
    services_.hints->Poll(cursor);
    const widgets::Hover hover = widgets::Hover::Over(Handle(), cursor);
    settings_.UpdateHover(hover);
    for (ObjectPanel& panel : panels_) {
        panel.UpdateHover(hover);
    }
    titleBar_.UpdateHover(hover, childWindowOpen_);
    tray_.Tick();
}

void TfmMain::FirstActiveTick() {
    // Once per run, as soon as the window is active (after the splash): hide if asked to, then start
    // control if the command line asked for it.
    if (!firstTick_ || ::GetActiveWindow() != Handle()) {
        return;
    }
    if (services_.state->CurrentOptions().MinFormShow) {
        Sb_MinClick();
    }
    firstTick_ = false;
    if (startControlWhenShown_ && !services_.engine->ControlRunning()) {
        Sb_StartClick();
    }
}

// --- Exit ---

void TfmMain::SaveAtExit() {
    // Stops and joins the scan thread before anything is saved; runs once.
    const std::string message = services_.state->Exit();
    if (!message.empty()) {
        exitMessage_ = message;
    }
}

bool TfmMain::OnWindowKey(UINT key, bool shift, HWND focus) {
    if (key == VK_TAB) {
        tabOrder_.Move(focus, shift);
        return true;
    }
    if (key != VK_UP && key != VK_DOWN) {
        return false;
    }
    if (settings_.StepByKey(focus, key == VK_UP)) {
        return true;
    }
    for (ObjectPanel& panel : panels_) {
        if (panel.StepByKey(focus, key == VK_UP)) {
            return true;
        }
    }
    return false;
}

bool TfmMain::OnTimer(WPARAM timer) {
    if (timer == kWorkTimer) {
        Timer_WorkTimer();
        return true;
    }
    if (timer == kMakeControlsTimer) {
        if (!MakeNextControls() || ControlsMade()) {
            ::KillTimer(Handle(), kMakeControlsTimer);
        }
        return true;
    }
    return false;
}

LRESULT TfmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ComeToFrontMessage() && message != 0) {
        ComeToFront();
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            if (OnTimer(wParam)) {
                return 0;
            }
            break;
        case kDisplayMessage:
            DrainDisplayUpdates();
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC) {
                services_.engine->SystemResumed();
            }
            return TRUE;
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
            tray_.Icon().Remove();
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return SkinnedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace orv::ui
