#include "ui/main_window.h"
#include "platform/win32/wide.h"

// After windows.h.
#include <shellapi.h>
#include <windowsx.h>

#include <thread>

#include "engine/event_context.h"
#include "lang/apply.h"
#include "lang/constants.h"
#include "platform/launch.h"
#include "ui/shell_logic.h"
#include "widgets/window_text.h"

namespace orv::ui {
namespace {

using widgets::MouseButton;

constexpr UINT_PTR kWorkTimer = 1;
// Makes the controls a group at a time while the splash runs. A timer, not a posted message: its
// message comes only when the queue is empty, so the splash is drawn and answers between the groups.
constexpr UINT_PTR kMakeControlsTimer = 2;
constexpr UINT kWorkInterval = 100;

constexpr Colour kStartRunning = kActiveColour;
constexpr Colour kStartStopped = kFieldColour;
constexpr Colour kStartPen = Rgb(0, 86, 128);

// Places of the shell's controls on the window.
constexpr int kTitleButtonLeft[4] = {702, 726, 750, 774};
constexpr int kTitleButtonTop = 5;
constexpr int kStartLeft = 22, kResetLeft = 215, kLargeTop = 510;
constexpr int kLangPanelLeft = 36, kLangPanelTop = 452;
constexpr int kLangArrowLeft = 70, kLangUpTop = 1, kLangDownTop = 11, kArrowWidth = 19, kArrowHeight = 10;
// Two columns: the program's behaviour on the left; the log and the events on the right, three rows.
constexpr POINT kOptionBox[kOptionBoxes] = {{180, 426}, {180, 452}, {340, 426}, {340, 452}, {340, 478}};
constexpr int kOptionBoxSize = 23;

// The title-bar buttons' pictures: (normal, hot).
constexpr int kTitlePictures[4][2] = {{widgets::btn::kHelp, widgets::btn::kHelpHot},
                                      {widgets::btn::kInternet, widgets::btn::kInternetHot},
                                      {widgets::btn::kMin, widgets::btn::kMinHot},
                                      {widgets::btn::kClose, widgets::btn::kCloseHot}};
using lang::MainControl;
constexpr MainControl kTitleButtonControls[4] = {MainControl::Sb_Help, MainControl::Sb_Internet,
                                                 MainControl::Sb_Min, MainControl::Sb_Close};
constexpr MainControl kOptionBoxControls[kOptionBoxes] = {
    MainControl::Cb_MinFormShow, MainControl::Cb_AutoRun, MainControl::Cb_HintShow, MainControl::Cb_LogOK,
    MainControl::Cb_WaitFinished};
constexpr MainControl kOptionLabelControls[kOptionBoxes] = {
    MainControl::Lbl_MinFormShow, MainControl::Lbl_AutoRun, MainControl::Lbl_HintShow, MainControl::Lbl_LogOK,
    MainControl::Lbl_WaitFinished};

// The tray menu's items from the top: start, stop, the two pauses, the web pages, exit.
constexpr MainControl kTrayOrder[kTrayItems] = {
    MainControl::TrayMenu_1, MainControl::TrayMenu_2, MainControl::TrayMenu_6, MainControl::TrayMenu_7,
    MainControl::TrayMenu_3, MainControl::TrayMenu_4, MainControl::TrayMenu_5};
constexpr int TrayItem(MainControl control) {
    for (int i = 0; i < kTrayItems; ++i) {
        if (kTrayOrder[i] == control) {
            return i;
        }
    }
    return -1;
}
constexpr bool IsTrayItem(MainControl control) {
    return TrayItem(control) >= 0;
}

size_t Index(MainControl control) {
    return static_cast<size_t>(control);
}
constexpr int kOptionLabelWidth[kOptionBoxes] = {130, 130, 320, 320, 260};

}  // namespace

// --- DisplayHandOff ---

DisplayHandOff::DisplayHandOff()
    : queue_([this] {
          // Posting never waits for the user-interface thread, so the scan thread cannot block on it.
          if (HWND window = window_.load()) {
              ::PostMessageW(window, kDisplayMessage, 0, 0);
          }
      }) {}

// --- TfmMain: creation ---

TfmMain::~TfmMain() {
    if (services_.display != nullptr) {
        services_.display->Attach(nullptr);
    }
    // Destroyed here, while the panels and the tray still exist: its WM_DESTROY saves and removes the
    // tray icon, which the base class's destructor, running after them, could no longer do.
    Destroy();
}

bool TfmMain::Create(const MainWindowServices& services) {
    services_ = services;
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
    titleName_.Create(
        {.place = {window, 8, 2, 117, 35}, .text = lang::kProgramName, .style = widgets::TitleNameStyle()});
    titleName_.onMouseDown = drag;

    title1_.Create({.place = {window, 15, 60, 113, 25}, .text = "", .style = widgets::HeadingStyle()});
    title2_.Create({.place = {window, 22, 396, 127, 25}, .text = "", .style = widgets::HeadingStyle()});

    const widgets::LabelStyle caption = widgets::CaptionStyle();
    columnNumber_.Create(
        {.place = {window, 40, 121, 34, 16}, .text = lang::kNumberColumnHeading, .style = caption});
    columnObject_.Create({.place = {window, 78, 121, 200, 16}, .text = "", .style = caption});
    columnControl_.Create({.place = {window, 376, 121, 160, 16}, .text = "", .style = caption});
    columnAction_.Create({.place = {window, 588, 121, 160, 16}, .text = "", .style = caption});

    for (int i = 0; i < 4; ++i) {
        titleButtons_[i].Create(
            {.place = {window, kTitleButtonLeft[i], kTitleButtonTop, kTitleButtonWidth, kTitleButtonHeight},
             .pictures = &pictures.buttons,
             .picture = kTitlePictures[i][0]});
    }
    titleButtons_[0].onClick = [this] { Sb_HelpClick(); };
    titleButtons_[1].onClick = [this] { Sb_InternetClick(); };
    titleButtons_[2].onClick = [this] { Sb_MinClick(); };
    titleButtons_[3].onClick = [this] { Sb_CloseClick(); };

    indicatorFill_ = widgets::BuildPanelFill(22, 9);
    indicatorPanel_.Create({window, 750, 37, 22, 9});
    indicatorPanel_.SetPicture(&indicatorFill_);
    indicatorStart_.Create(
        {.place = {indicatorPanel_.Handle(), 1, 1, 20, 7}, .colour = kStartStopped, .outline = kStartPen});
}

void TfmMain::MakePanel(int number) {
    PanelServices panelServices;
    panelServices.engine = services_.engine;
    panelServices.macros = services_.macros;
    panelServices.language = services_.language;
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
    HWND window = Handle();
    const widgets::ProgramPictures& pictures = *services_.pictures;
    const widgets::LabelStyle caption = widgets::CaptionStyle();
    langLabel_.Create({.place = {window, kLangPanelLeft, 432, 130, 16}, .text = "", .style = caption});
    langFill_ = widgets::BuildPanelFill(90, 22);
    langPanel_.Create({window, kLangPanelLeft, kLangPanelTop, 90, 22});
    langPanel_.SetPicture(&langFill_);
    langField_.Create({.place = {langPanel_.Handle(), 3, 3, 64, 16},
                       .readOnly = true,
                       .autoScroll = false,
                       .font = fieldFont_.Get(),
                       .colours = widgets::TextColours{kPanelFieldText, kPanelFieldBackground}});
    langUp_.Create({.place = {langPanel_.Handle(), kLangArrowLeft, kLangUpTop, kArrowWidth, kArrowHeight},
                    .pictures = &pictures.buttons,
                    .picture = widgets::btn::kArrowUp});
    langDown_.Create({.place = {langPanel_.Handle(), kLangArrowLeft, kLangDownTop, kArrowWidth, kArrowHeight},
                      .pictures = &pictures.buttons,
                      .picture = widgets::btn::kArrowDown});
    langUp_.onClick = [this] { Sb_Lang_UpClick(); };
    langDown_.onClick = [this] { Sb_Lang_DownClick(); };
    logKeep_.Create(window, pictures, fieldFont_.Get(), [this](int step) { StepLogKeepDays(step); });

    const std::function<void()> toggles[kOptionBoxes] = {
        [this] { Cb_MinFormShowClick(); }, [this] { Cb_AutoRunClick(); }, [this] { Cb_HintShowClick(); },
        [this] { Cb_LogOKClick(); }, [this] { Cb_WaitFinishedClick(); }};
    for (int i = 0; i < kOptionBoxes; ++i) {
        optionBoxes_[i].Create(
            {.place = {window, kOptionBox[i].x, kOptionBox[i].y, kOptionBoxSize, kOptionBoxSize},
             .pictures = &pictures.buttons,
             .picture = widgets::btn::kOptionOff,
             .tickedPicture = widgets::btn::kOptionOn});
        optionBoxes_[i].onClick = toggles[i];
        optionLabels_[i].Create(
            {.place = {window, kOptionBox[i].x + 25, kOptionBox[i].y + 4, kOptionLabelWidth[i], 16},
             .text = "",
             .style = caption});
        optionLabels_[i].onClick = toggles[i];
    }

    start_.Create({.parent = window,
                   .x = kStartLeft,
                   .y = kLargeTop,
                   .backdrop = &pictures.mainSkin,
                   .handCursor = true});
    reset_.Create({.parent = window,
                   .x = kResetLeft,
                   .y = kLargeTop,
                   .backdrop = &pictures.mainSkin,
                   .handCursor = true});
    start_.onClick = [this] { Sb_StartClick(); };
    start_.onMouseDown = [this](MouseButton button) { Sb_StartMouseDown(button); };
    start_.onMouseUp = [this](MouseButton button) { Sb_StartMouseUp(button); };
    reset_.onClick = [this] { Sb_ResetClick(); };
    reset_.onMouseDown = [this](MouseButton button) { Sb_ResetMouseDown(button); };
    reset_.onMouseUp = [this](MouseButton button) { Sb_ResetMouseUp(button); };
    start_.Show(pictures.buttons, StartPicture(services_.language->Language(), false, false, false));
    reset_.Show(pictures.buttons, ResetPicture(services_.language->Language(), false, false));

    auxiliaryEdit_.Create({.place = {window, 0, 0, 0, 0}, .autoScroll = false});

    // Tab in reading order: the rows, the options (row by row), the language, the large buttons.
    for (const ObjectPanel& panel : panels_) {
        panel.AddToTabOrder(tabOrder_);
    }
    for (int i : {0, 2, 1, 3, 4}) {
        tabOrder_.Add(optionBoxes_[i].Handle());
    }
    for (HWND control :
         {langField_.Handle(), langUp_.Handle(), langDown_.Handle(), start_.Handle(), reset_.Handle()}) {
        tabOrder_.Add(control);
    }
    logKeep_.AddToTabOrder(tabOrder_);

    // The tray icon and its menu: inactive until the window hides to the tray.
    tray_.Create(pictures.smallIcon.Get(), lang::kProgramName);
    tray_.onDoubleClick = [this] { TrayIconDblClick(); };
    tray_.onBalloonClick = [this] {
        if (InTray()) {
            TrayIconDblClick();
        }
    };
    widgets::TrayMenu& menu = tray_.PopupMenu();
    menu.SetCaption(lang::kProgramName);
    const std::function<void()> items[kTrayItems] = {
        [this] { TrayMenu_1Click(); }, [this] { TrayMenu_2Click(); }, [this] { TrayMenu_6Click(); },
        [this] { TrayMenu_7Click(); }, [this] { TrayMenu_3Click(); }, [this] { TrayMenu_4Click(); },
        [this] { TrayMenu_5Click(); }};
    // The two pauses share their picture.
    constexpr int kPictures[kTrayItems] = {0, 1, 5, 5, 2, 3, 4};
    for (int i = 0; i < kTrayItems; ++i) {
        const std::string name = "TrayMenu_" + std::to_string(static_cast<int>(kTrayOrder[i]) -
                                                              static_cast<int>(MainControl::TrayMenu_1) + 1);
        menu.Add(name, &pictures.trayMenu[kPictures[i]], items[i]);
    }
    MapControls();
}

void TfmMain::MapControls() {
    const auto map = [this](MainControl control, HWND handle) { controls_[Index(control)] = handle; };
    const auto mapLabel = [this, &map](MainControl control, widgets::Label& label) {
        map(control, label.Handle());
        labels_[Index(control)] = &label;
    };
    map(MainControl::Edit_Lang, langField_.Handle());
    map(MainControl::Edit_LogKeep, logKeep_.FieldHandle());
    mapLabel(MainControl::Lbl_LogKeep, logKeep_.Label());
    mapLabel(MainControl::Lbl_Lang, langLabel_);
    mapLabel(MainControl::Lbl_Title_1, title1_);
    mapLabel(MainControl::Lbl_Title_2, title2_);
    mapLabel(MainControl::Lbl1_Title_Obj, columnObject_);
    mapLabel(MainControl::Lbl1_Title_Control, columnControl_);
    mapLabel(MainControl::Lbl1_Title_Action, columnAction_);
    map(MainControl::Sb_Start, start_.Handle());
    map(MainControl::Indicator_Start, indicatorStart_.Handle());
    map(MainControl::Sb_Reset, reset_.Handle());
    for (int i = 0; i < 4; ++i) {
        map(kTitleButtonControls[i], titleButtons_[i].Handle());
    }
    for (int i = 0; i < kOptionBoxes; ++i) {
        map(kOptionBoxControls[i], optionBoxes_[i].Handle());
        mapLabel(kOptionLabelControls[i], optionLabels_[i]);
    }
    // The tray menu's items have no window: their texts are kept by the menu and by trayHints_.
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
    for (const lang::AppliedText<MainControl>& applied : lang::MainWindowTexts(*table, running)) {
        if (applied.slot == lang::TextSlot::Caption) {
            SetCaption(applied.control, applied.text);
        } else if (IsTrayItem(applied.control)) {
            trayHints_[TrayItem(applied.control)] = applied.text;
        } else if (HWND control = controls_[Index(applied.control)]) {
            services_.hints->Set(control, applied.text);
        }
    }
    for (ObjectPanel& panel : panels_) {
        panel.ApplyLanguage(*table);
    }
    ShowPauseTip();
    logKeep_.ShowValue(services_.state->LogKeepDays(), *table);
    if (children.applyEditorLanguage) {
        children.applyEditorLanguage(*table);
    }
}

void TfmMain::Sb_Lang_UpClick() {
    services_.language->Switch(services_.programKey);
    ApplyLanguage();
    // Texts only: a switch looks at no item, so a share that does not answer cannot hold the window
    // nor make its items "disappear".
    for (ObjectPanel& panel : panels_) {
        panel.ShowLanguage();
    }
}

void TfmMain::Sb_Lang_DownClick() {
    // Two languages: both arrows switch to the other one.
    Sb_Lang_UpClick();
}

std::string TfmMain::LanguageField() const {
    return langField_.Text();
}

void TfmMain::SetCaption(MainControl control, const std::string& text) {
    if (widgets::Label* label = labels_[Index(control)]) {
        label->SetText(text);
    } else if (IsTrayItem(control)) {
        tray_.PopupMenu().SetText(TrayItem(control), text);
    } else if (control == MainControl::Edit_Lang) {
        langField_.SetText(text);
    }
}

std::string TfmMain::CaptionOf(MainControl control) const {
    if (const widgets::Label* label = labels_[Index(control)]) {
        return label->Text();
    }
    if (IsTrayItem(control)) {
        return tray_.PopupMenu().Text(TrayItem(control));
    }
    return control == MainControl::Edit_Lang ? LanguageField() : std::string();
}

std::string TfmMain::HintOf(MainControl control) const {
    if (IsTrayItem(control)) {
        return trayHints_[TrayItem(control)];
    }
    const HWND handle = controls_[Index(control)];
    const std::string* text = handle != nullptr ? services_.hints->Find(handle) : nullptr;
    return text ? *text : std::string();
}

// --- Control ---

void TfmMain::Sb_StartClick() {
    CancelPause();
    const bool running = services_.engine->Sb_StartClick();
    indicatorStart_.SetColour(running ? kStartRunning : kStartStopped);
    if (running) {
        start_.Show(services_.pictures->buttons,
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
    if (!ControlsMade()) {
        return;  // kept until the panels exist
    }
    for (const engine::DisplayUpdate& update :
         services_.display ? services_.display->Drain() : std::vector<engine::DisplayUpdate>()) {
        if (update.kind == engine::DisplayUpdate::Kind::ScanStep) {
            const auto colours = engine::StepBoxColours(update.scanStep);
            for (int i = 0; i < engine::kObjectCount; ++i) {
                panels_[i].SetStepColour(colours[i]);
            }
        } else if (update.kind == engine::DisplayUpdate::Kind::Events) {
            NotifyEvents(update.events);
        } else if (update.kind == engine::DisplayUpdate::Kind::Stopped) {
            // The scan thread ended control on its own; the button's picture follows at the next tick.
            indicatorStart_.SetColour(kStartStopped);
            ApplyLanguage();
        } else if (update.object < 1 || update.object > engine::kObjectCount) {
            continue;
        } else if (update.kind == engine::DisplayUpdate::Kind::Item) {
            panels_[update.object - 1].ShowItemReport(update.item);
        } else {
            panels_[update.object - 1].ShowCheckReport(update.indicators);
        }
    }
}

void TfmMain::NotifyEvents(const std::vector<std::string>& events) {
    // Only a user who cannot see the window is told, and only when hints are wanted at all.
    if (!InTray() || !services_.state->CurrentOptions().HintShow || events.empty()) {
        return;
    }
    const std::string text = BalloonText(*services_.language->Table(), events);
    const std::string title(lang::kProgramName);
    if (services_.showBalloon) {
        services_.showBalloon(title, text);
        return;
    }
    tray_.ShowBalloon(title, text);
}

void TfmMain::Sb_ResetClick() {
    // A reset leaves control stopped, also when a pause would have started it again.
    CancelPause();
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
    const bool on[kOptionBoxes] = {options.MinFormShow, services_.state->AutoRunInEffect(), options.HintShow,
                                   services_.engine->LogOK(), services_.engine->WaitFinished()};
    for (int i = 0; i < kOptionBoxes; ++i) {
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

void TfmMain::StepLogKeepDays(int step) {
    services_.state->StepLogKeepDays(step);
    logKeep_.ShowValue(services_.state->LogKeepDays(), *services_.language->Table());
}

void TfmMain::Cb_LogOKClick() {
    services_.state->Cb_LogOKClick();
    ShowOptionBoxes();
}

void TfmMain::Cb_WaitFinishedClick() {
    services_.state->Cb_WaitFinishedClick();
    ShowOptionBoxes();
}

// --- Macros ---

void TfmMain::UpdateMacroIndicators() {
    for (int number = 1; number <= engine::kObjectCount; ++number) {
        panels_[number - 1].ShowObjectAction();
        panels_[number - 1].SetMacroIndicator(
            services_.macros->Indicator(number, services_.language->Language()));
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

// --- Tray ---

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
    tray_.Add();
    // The main window is the program's taskbar entry: hiding it hides the entry too.
    ::ShowWindow(Handle(), SW_HIDE);
}

void TfmMain::TrayIconDblClick() {
    ShowMain();
    tray_.Remove();
}

void TfmMain::TrayMenu_1Click() {
    CancelPause();
    if (!services_.engine->ControlRunning()) {
        services_.engine->StartControl();
    }
}

void TfmMain::TrayMenu_2Click() {
    CancelPause();
    if (services_.engine->ControlRunning()) {
        services_.engine->StopControl();
    }
}

void TfmMain::TrayMenu_6Click() {
    PauseControl(std::chrono::minutes(15));
}

void TfmMain::TrayMenu_7Click() {
    PauseControl(std::chrono::minutes(60));
}

void TfmMain::PauseControl(std::chrono::minutes length) {
    if (!services_.engine->ControlRunning()) {
        return;
    }
    services_.engine->StopControl();
    pause_.Begin(Now(), length);
    ShowPauseTip();
}

void TfmMain::CancelPause() {
    if (pause_.Active()) {
        pause_.Cancel();
        ShowPauseTip();
    }
}

void TfmMain::ResumeWhenPauseEnds() {
    if (pause_.Active() && pause_.TakeDue(Now())) {
        ShowPauseTip();
        if (!services_.engine->ControlRunning()) {
            services_.engine->StartControl();
        }
    }
}

void TfmMain::ShowPauseTip() {
    if (!pause_.Active()) {
        tray_.SetTip(lang::kProgramName);
        return;
    }
    tray_.SetTip(engine::PauseTip(pause_, *services_.language->Table(), std::string(lang::kProgramName),
                                  clock::SystemFormats().shortTime, clock::SystemNames()));
}

engine::ControlPause::Clock::time_point TfmMain::Now() const {
    return services_.now ? services_.now() : engine::ControlPause::Clock::now();
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
    // The shell's answer is not examined: a missing file or browser shows the system's own message. The
    // start waits for the launch lock (a macro being started) and for the shell, so it runs on a thread
    // of its own; the viewer or browser inherits none of the macros' variables.
    std::thread([owner = Handle(), target, showCommand] {
        launch::OpenDocument(owner, target, showCommand, engine::EventVariableNames());
    }).detach();
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
    // 0. Updates whose one notification was lost (a full message queue) would wait for the next stop.
    DrainDisplayUpdates();
    // 1. Once per run, as soon as the window is active (after the splash): hide if asked to, then start
    // control if the command line asked for it.
    if (firstTick_ && ::GetActiveWindow() == Handle()) {
        if (services_.state->CurrentOptions().MinFormShow) {
            Sb_MinClick();
        }
        firstTick_ = false;
        if (startControlWhenShown_ && !services_.engine->ControlRunning()) {
            Sb_StartClick();
        }
    }
    // 2. One cursor position for every test of this tick.
    POINT cursor{};
    if (services_.cursorPosition) {
        cursor = services_.cursorPosition();
    } else {
        ::GetCursorPos(&cursor);
    }
    // The hints follow the same cursor, over this window, the splash and the macro editor.
    services_.hints->Poll(cursor);
    const bool visible = ::IsWindowVisible(Handle()) != FALSE;
    const POINT origin = WindowOrigin();
    auto hot = [&](int left, int top, int width, int height) {
        return visible && widgets::IsStrictlyInside(
                              widgets::BoxAt(origin.x + left, origin.y + top, width, height), cursor);
    };
    // 3. The language arrows.
    langUp_.SetPicture(HoverPicture(
        hot(kLangPanelLeft + kLangArrowLeft, kLangPanelTop + kLangUpTop, kArrowWidth, kArrowHeight),
        widgets::btn::kArrowUp, widgets::btn::kArrowUpHot));
    langDown_.SetPicture(HoverPicture(
        hot(kLangPanelLeft + kLangArrowLeft, kLangPanelTop + kLangDownTop, kArrowWidth, kArrowHeight),
        widgets::btn::kArrowDown, widgets::btn::kArrowDownHot));
    logKeep_.UpdateHover(cursor, origin, visible);
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
    start_.Show(services_.pictures->buttons, StartPicture(language, running, startHot, startPressed_));
    const bool resetHot = hot(kResetLeft, kLargeTop, widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
    reset_.Show(services_.pictures->buttons, ResetPicture(language, resetHot, resetPressed_));
    // 8. The tray menu follows the running state; "Control: Stop" also cancels a pause.
    ResumeWhenPauseEnds();
    const bool runningNow = services_.engine->ControlRunning();
    widgets::TrayMenu& menu = tray_.PopupMenu();
    menu.SetEnabled(TrayItem(MainControl::TrayMenu_1), !runningNow);
    menu.SetEnabled(TrayItem(MainControl::TrayMenu_2), runningNow || pause_.Active());
    menu.SetEnabled(TrayItem(MainControl::TrayMenu_6), runningNow);
    menu.SetEnabled(TrayItem(MainControl::TrayMenu_7), runningNow);
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

bool TfmMain::OnWindowKey(UINT key, bool shift, HWND focus) {
    switch (key) {
        case VK_TAB:
            tabOrder_.Move(focus, shift);
            return true;
        case VK_UP:
        case VK_DOWN:
            if (focus != nullptr && focus == langField_.Handle()) {
                key == VK_UP ? Sb_Lang_UpClick() : Sb_Lang_DownClick();
                return true;
            }
            if (logKeep_.StepByKey(focus, key == VK_UP)) {
                return true;
            }
            for (ObjectPanel& panel : panels_) {
                if (panel.StepByKey(focus, key == VK_UP)) {
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

LRESULT TfmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ComeToFrontMessage() && message != 0) {
        ComeToFront();
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam == kWorkTimer) {
                Timer_WorkTimer();
                return 0;
            }
            if (wParam == kMakeControlsTimer) {
                if (!MakeNextControls() || ControlsMade()) {
                    ::KillTimer(Handle(), kMakeControlsTimer);
                }
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
            tray_.Remove();
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return SkinnedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace orv::ui
