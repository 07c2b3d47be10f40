// The main window for real, under Wine: the work timer's hover pictures, the large buttons, the tray,
// the language, the options, the display hand-off and the orderly exit.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lang/language.h"
#include "macros/macro_editor_window.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/shell_logic.h"
#include "widgets/pictures.h"
#include "widgets/window_text.h"

namespace orv::ui::test {
namespace {

namespace btn = widgets::btn;
using widgets::MouseButton;

constexpr Colour kActive = Rgb(255, 0, 0);
constexpr Colour kIdle = Rgb(54, 106, 179);

// A mouse message on a button at (5, 5) of it, as the system sends it.
void Press(widgets::ClickableWindow& button, UINT message) {
    ::SendMessageW(button.Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(5, 5));
}

// --- Hover: the strict box test on the real window ---

TEST_F(MainWindowTest, ButtonEdgesAreNotHotOnePixelInIs) {
    StartShown();
    // Sb_Type_Obj1_Up lies at (132, 1) in panel 1, which lies at (36, 140).
    cursor = At(36 + 132, 140 + 1 + 5);
    Tick();
    EXPECT_EQ(window->Panel(1).Button(0).Picture(), btn::kArrowUp);
    cursor = At(36 + 133, 140 + 1 + 5);
    Tick();
    EXPECT_EQ(window->Panel(1).Button(0).Picture(), btn::kArrowUpHot);
    cursor = At(36 + 140, 140 + 1);
    Tick();
    EXPECT_EQ(window->Panel(1).Button(0).Picture(), btn::kArrowUp);
    // The panel's own top is added: the same button of panel 8 is 210 pixels lower.
    cursor = At(36 + 140, 350 + 12 + 4);
    Tick();
    EXPECT_EQ(window->Panel(8).Button(1).Picture(), btn::kArrowDownHot);
    EXPECT_EQ(window->Panel(1).Button(1).Picture(), btn::kArrowDown);
}

TEST_F(MainWindowTest, HintsFollowTheWorkTimersCursor) {
    StartShown();
    widgets::Hints& hints = SharedHints();
    cursor = At(104, 535);  // over the start button
    Tick();
    std::this_thread::sleep_for(widgets::Hints::kDelay + std::chrono::milliseconds(100));
    Tick();
    ASSERT_TRUE(hints.Popup().Showing());
    EXPECT_EQ(hints.Popup().Text(), "Launch control");
    cursor = At(400, 20);  // the title bar, which has no hint
    Tick();
    EXPECT_FALSE(hints.Popup().Showing());
}

TEST_F(MainWindowTest, TitleButtonBoxIs22WideAndStrict) {
    StartShown();
    cursor = At(702 + 21, 5 + 10);
    Tick();
    EXPECT_EQ(window->TitleButton(0).Picture(), btn::kHelpHot);
    cursor = At(702 + 22, 5 + 10);
    Tick();
    EXPECT_EQ(window->TitleButton(0).Picture(), btn::kHelp);
    // 22 right of Sb_Help is Sb_Internet's left edge: not hot either.
    EXPECT_EQ(window->TitleButton(1).Picture(), btn::kInternet);
    cursor = At(774 + 1, 5 + 1);
    Tick();
    EXPECT_EQ(window->TitleButton(3).Picture(), btn::kCloseHot);
    // Ticks that change no picture repaint no small button and draw no large one.
    const int paints = window->TitleButton(3).PaintCount();
    const int arrowPaints = window->Panel(1).Button(0).PaintCount();
    const int startDraws = window->Settings().StartButton().DrawCount();
    const int resetDraws = window->Settings().ResetButton().DrawCount();
    Tick();
    Tick();
    EXPECT_EQ(window->TitleButton(3).PaintCount(), paints);
    EXPECT_EQ(window->Panel(1).Button(0).PaintCount(), arrowPaints);
    EXPECT_EQ(window->Settings().StartButton().DrawCount(), startDraws);
    EXPECT_EQ(window->Settings().ResetButton().DrawCount(), resetDraws);
}

TEST_F(MainWindowTest, LanguageArrowsAndPanelButtonsLightUp) {
    StartShown();
    cursor = At(36 + 70 + 5, 452 + 11 + 5);
    Tick();
    EXPECT_EQ(window->Settings().LanguageField().Down().Picture(), btn::kArrowDownHot);
    EXPECT_EQ(window->Settings().LanguageField().Up().Picture(), btn::kArrowUp);
    cursor = At(36 + 314 + 5, 170 + 1 + 5);  // Sb_Path_Obj2
    Tick();
    EXPECT_EQ(window->Panel(2).Button(2).Picture(), btn::kPathHot);
    EXPECT_EQ(window->Settings().LanguageField().Down().Picture(), btn::kArrowDown);
    cursor = At(36 + 700 + 5, 200 + 1 + 5);  // Sb_Action_Obj3
    Tick();
    EXPECT_EQ(window->Panel(3).Button(5).Picture(), btn::kActionHot);
}

// --- The large buttons ---

TEST_F(MainWindowTest, StartPictureFollowsHotPressedAndRunning) {
    StartShown();
    const POINT inside = At(22 + 80, 510 + 25);
    const POINT outside = At(22 + 80, 510 + 60);
    cursor = inside;
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 16);
    Press(window->Settings().StartButton(), WM_LBUTTONDOWN);
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 17);
    cursor = outside;
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 15);
    cursor = inside;
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 17);
    Press(window->Settings().StartButton(), WM_LBUTTONUP);  // a click: control starts
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 19);
    window->Sb_StartClick();
}

TEST_F(MainWindowTest, PressEndedByLostCaptureLeavesNoPressedPicture) {
    StartShown();
    cursor = At(22 + 80, 510 + 25);
    ::SendMessageW(window->Settings().StartButton().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 17);
    // Another window takes the mouse in the middle of the press: a later hover is only a hover.
    ::ReleaseCapture();
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 16);
}

TEST_F(MainWindowTest, RightButtonNeverShowsThePressedPicture) {
    StartShown();
    cursor = At(22 + 80, 510 + 25);
    Press(window->Settings().StartButton(), WM_RBUTTONDOWN);
    Press(window->Settings().ResetButton(), WM_RBUTTONDOWN);
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 16);
    cursor = At(215 + 80, 510 + 25);
    Press(window->Settings().ResetButton(), WM_LBUTTONDOWN);
    Tick();
    EXPECT_EQ(window->Settings().ResetButton().Picture(), 67);
    // Let go outside the button: no click, no reset.
    ::SendMessageW(window->Settings().ResetButton().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 200));
    Tick();
    EXPECT_EQ(window->Settings().ResetButton().Picture(), 66);
}

// One push reaches every part of the window and the editor, before any tick.
TEST_F(MainWindowTest, LanguageSwitchChangesTextsAndPicturesAtOnce) {
    Start();
    std::vector<int32_t> editorLanguages;
    window->children.applyEditorLanguage = [&](const lang::LanguageTable& table) {
        editorLanguages.push_back(table.Language());
    };
    Tick();
    EXPECT_EQ(window->Settings().StartButton().Picture(), 15);
    EXPECT_EQ(window->Settings().ResetButton().Picture(), 65);
    EXPECT_EQ(window->Settings().LanguageField().Text(), "English");
    EXPECT_EQ(window->CaptionOf(lang::MainControl::Lbl1_Title_Obj), "Object:");

    window->Settings().Sb_Lang_UpClick();
    EXPECT_EQ(window->Settings().LanguageField().Text(), "Русский");
    EXPECT_EQ(window->CaptionOf(lang::MainControl::Lbl_Title_1), "Контроль");
    EXPECT_EQ(window->CaptionOf(lang::MainControl::Lbl_Lang), "Интерфейс:");
    EXPECT_EQ(window->CaptionOf(lang::MainControl::TrayMenu_5), "Выйти из программы");
    EXPECT_EQ(window->Settings().LogKeep().Text(), "всегда");
    ObjectPanel& third = window->Panel(3);
    EXPECT_EQ(third.HintOf(third.Handle(lang::PanelControl::Sb_Type_Obj_Up)),
              "Выберите тип объекта контроля потока 3");
    EXPECT_EQ(window->Panel(1).TypeField(), "Файл");
    EXPECT_EQ(window->Panel(1).ParamField(), "Наличие");
    EXPECT_EQ(window->Settings().StartButton().Picture(), 21);
    EXPECT_EQ(window->Settings().ResetButton().Picture(), 68);
    EXPECT_EQ(editorLanguages, std::vector<int32_t>{lang::kRussian});
    // Written at once, before the program ends.
    EXPECT_EQ(StoredInt("Languare"), 1);

    window->Settings().Sb_Lang_DownClick();
    EXPECT_EQ(window->Settings().LanguageField().Text(), "English");
    EXPECT_EQ(window->Settings().StartButton().Picture(), 15);
    EXPECT_EQ(StoredInt("Languare"), 0);
    EXPECT_EQ(editorLanguages, (std::vector<int32_t>{lang::kRussian, lang::kEnglish}));
}

// --- Start, stop and the display hand-off ---

TEST_F(MainWindowTest, StartButtonSetsIndicatorAndHints) {
    Start();
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    EXPECT_EQ(window->HintOf(lang::MainControl::Sb_Start), "Launch control");
    window->Sb_StartClick();
    EXPECT_TRUE(engine->ControlRunning());
    EXPECT_EQ(window->StartIndicatorColour(), kActive);
    EXPECT_EQ(window->HintOf(lang::MainControl::Sb_Start), "Stop control");
    EXPECT_EQ(window->HintOf(lang::MainControl::Indicator_Start), "Control running");
    // The scan thread's first pass checks object 1 and hands the step over.
    ASSERT_TRUE(orv::test::WaitFor([&] {
        Pump();
        return window->Panel(1).StepColour() == kActive;
    }));
    window->Sb_StartClick();
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(engine->ScanStep(), 0);
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    EXPECT_EQ(window->HintOf(lang::MainControl::Indicator_Start), "Control stopped");
    Pump();
    for (int number = 1; number <= 8; ++number) {
        EXPECT_EQ(window->Panel(number).StepColour(), kIdle) << number;
    }
}

TEST_F(MainWindowTest, DisplayUpdatesAreAppliedInOrder) {
    Start();
    engine::IndicatorReport report;
    report.pathColour = kActiveColour;
    report.pathHint = "Control of file size : a.txt\n\rFile size hasnt changed";
    report.stringColour = kActiveColour;
    report.stringHint = "seen";
    display.Sink()->Publish(engine::DisplayUpdate::Step(3));
    display.Sink()->Publish(engine::DisplayUpdate::Indicators(5, report));
    display.Sink()->Publish(engine::DisplayUpdate::Step(4));
    Pump();
    EXPECT_EQ(window->Panel(4).StepColour(), kActive);
    EXPECT_EQ(window->Panel(3).StepColour(), kIdle);
    EXPECT_EQ(window->Panel(5).PathIndicator(), kActive);
    EXPECT_EQ(window->Panel(5).StringIndicator(), kActive);
    EXPECT_EQ(window->Panel(5).HintOf(window->Panel(5).PathIndicatorHandle()), report.pathHint);
    display.Sink()->Publish(engine::DisplayUpdate::Step(9));
    Pump();
    EXPECT_EQ(window->Panel(4).StepColour(), kIdle);
}

TEST_F(MainWindowTest, UpdatesHandedOverBeforeTheWindowExistedAreApplied) {
    display.Sink()->Publish(engine::DisplayUpdate::Step(2));
    Start();
    EXPECT_EQ(window->Panel(2).StepColour(), kActive);
    // Later updates announce themselves again.
    display.Sink()->Publish(engine::DisplayUpdate::Step(6));
    Pump();
    EXPECT_EQ(window->Panel(6).StepColour(), kActive);
    EXPECT_EQ(window->Panel(2).StepColour(), kIdle);
}

TEST_F(MainWindowTest, TheWorkTimerAppliesUpdatesWhoseNotificationWasLost) {
    Start();
    display.Sink()->Publish(engine::DisplayUpdate::Step(7));
    // The one notification goes missing, as when the message queue is full.
    MSG lost;
    while (::PeekMessageW(&lost, window->Handle(), kDisplayMessage, kDisplayMessage, PM_REMOVE)) {
    }
    display.Sink()->Publish(engine::DisplayUpdate::Step(5));  // queue not empty: no new notification
    Pump();
    window->Timer_WorkTimer();
    EXPECT_EQ(window->Panel(5).StepColour(), kActive);
    EXPECT_EQ(window->Panel(7).StepColour(), kIdle);
}

TEST_F(MainWindowTest, ControlEndedByTheScanThreadShowsStopped) {
    Start();
    window->Sb_StartClick();
    ASSERT_EQ(window->HintOf(lang::MainControl::Indicator_Start), "Control running");
    engine->StopControl();
    display.Sink()->Publish(engine::DisplayUpdate::ControlStopped());
    Pump();
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    EXPECT_EQ(window->HintOf(lang::MainControl::Indicator_Start), "Control stopped");
    EXPECT_EQ(window->HintOf(lang::MainControl::Sb_Start), "Launch control");
}

// --- Title-bar buttons and the editor flag ---

TEST_F(MainWindowTest, TitleButtonsHideWhileTheEditorIsOpen) {
    StartShown();
    cursor = At(726 + 5, 10);
    Tick();
    EXPECT_EQ(window->TitleButton(1).Picture(), btn::kInternetHot);
    window->SetChildWindowOpen(true);
    cursor = At(300, 300);
    Tick();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(window->TitleButton(i).IsVisible()) << i;
    }
    // Their pictures are left as they were; the panel arrows still light up.
    EXPECT_EQ(window->TitleButton(1).Picture(), btn::kInternetHot);
    cursor = At(36 + 140, 140 + 5);
    Tick();
    EXPECT_EQ(window->Panel(1).Button(0).Picture(), btn::kArrowUpHot);
    window->SetChildWindowOpen(false);
    Tick();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(window->TitleButton(i).IsVisible()) << i;
    }
    EXPECT_EQ(window->TitleButton(1).Picture(), btn::kInternet);
}

TEST_F(MainWindowTest, RealMacroEditorHidesTheTitleButtonsAndRefreshesTheActionField) {
    StartShown();
    macros::MacroEditorWindow editor;
    ASSERT_TRUE(editor.Create(::GetModuleHandleW(nullptr), *macroTable, language, SharedPictures()));
    editor.onShownChanged = [this](bool open) { window->SetChildWindowOpen(open); };
    editor.onApplied = [this] { window->UpdateMacroIndicators(); };
    editor.Show(window->Handle(), 3);
    Pump();
    Tick();
    EXPECT_TRUE(window->ChildWindowOpen());
    EXPECT_FALSE(window->TitleButton(3).IsVisible());
    widgets::SetWindowTextUtf8(editor.Control(macros::EditorControl::Edit_Macros_Name), "Send mail");
    editor.Sb_AppleClick();
    EXPECT_EQ(window->Panel(3).ActionField(), "Send mail");
    editor.Sb_CloseClick();
    Pump();
    Tick();
    EXPECT_FALSE(window->ChildWindowOpen());
    EXPECT_TRUE(window->TitleButton(3).IsVisible());
}

// --- Tray ---

TEST_F(MainWindowTest, HideToTrayShowsNormalPicturesAndRestoreRecentres) {
    StartShown();
    window->MoveTo(13, 77);
    cursor = At(36 + 140, 140 + 5);
    Tick();
    EXPECT_EQ(window->Panel(1).Button(0).Picture(), btn::kArrowUpHot);
    window->Sb_MinClick();
    EXPECT_FALSE(window->IsVisible());
    EXPECT_TRUE(window->InTray());
    Tick();
    EXPECT_EQ(window->Panel(1).Button(0).Picture(), btn::kArrowUp);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window->TitleButton(i).Picture() % 2, 1) << i;
    }
    window->TrayIconDblClick();
    Pump();
    EXPECT_TRUE(window->IsVisible());
    EXPECT_FALSE(window->InTray());
    RECT box{};
    ::GetWindowRect(window->Handle(), &box);
    EXPECT_EQ(box.left, (::GetSystemMetrics(SM_CXSCREEN) - 802) / 2);
    EXPECT_EQ(box.top, 10);
}

TEST_F(MainWindowTest, TrayItemsFollowTheRunningStateAndKeepTheIndicator) {
    Start();
    Tick();
    widgets::TrayMenu& menu = window->Tray().PopupMenu();
    EXPECT_TRUE(menu.IsEnabled(0));
    EXPECT_FALSE(menu.IsEnabled(1));
    window->Tray().TrayMenu_1Click();
    EXPECT_TRUE(engine->ControlRunning());
    Tick();
    EXPECT_FALSE(menu.IsEnabled(0));
    EXPECT_TRUE(menu.IsEnabled(1));
    // The tray start changes neither the indicator nor the hints.
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    window->Sb_MinClick();
    window->TrayIconDblClick();
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    window->Tray().TrayMenu_2Click();
    EXPECT_FALSE(engine->ControlRunning());
    Tick();
    EXPECT_TRUE(menu.IsEnabled(0));
    EXPECT_FALSE(menu.IsEnabled(1));
}

TEST_F(MainWindowTest, APauseFromTheTrayResumesAtItsTimeAndAStopCancelsIt) {
    using std::chrono::minutes;
    Start();
    widgets::TrayMenu& menu = window->Tray().PopupMenu();
    window->Tray().TrayMenu_1Click();
    Tick();
    EXPECT_TRUE(menu.IsEnabled(2) && menu.IsEnabled(3)) << "the pauses, while control runs";
    EXPECT_EQ(menu.Text(2), "Pause for 15 minutes");
    EXPECT_EQ(menu.Text(3), "Pause for 1 hour");

    window->Tray().TrayMenu_6Click();
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(window->Tray().Tip().rfind("Paused until ", 0), 0u) << window->Tray().Tip();
    window->Sb_MinClick();
    window->TrayIconDblClick();
    EXPECT_TRUE(window->Tray().Pause().Active()) << "the show step refills the panels and keeps the pause";
    now += minutes(14);
    Tick();
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_TRUE(menu.IsEnabled(0) && menu.IsEnabled(1)) << "start ends the pause, stop cancels it";
    EXPECT_FALSE(menu.IsEnabled(2));
    // The clock jumps past the end, as after a sleep: control starts at the next tick.
    now += minutes(50);
    Tick();
    EXPECT_TRUE(engine->ControlRunning());
    EXPECT_EQ(window->Tray().Tip(), "Orvanter");
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192)) << "as Control: Start, not the button";

    // "Control: Stop" during a pause: the resume is cancelled.
    window->Tray().TrayMenu_7Click();
    EXPECT_FALSE(engine->ControlRunning());
    window->Tray().TrayMenu_2Click();
    EXPECT_EQ(window->Tray().Tip(), "Orvanter");
    now += minutes(120);
    Tick();
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_FALSE(window->Tray().Pause().Active());
}

// The window reports both signs of a wake to the engine: the system's message, and a gap in the clock
// between two ticks of the work timer when the message does not come.
TEST_F(MainWindowTest, TheWindowReportsAWakeByTheSystemsMessageAndByAGapBetweenTicks) {
    using namespace std::chrono_literals;
    Start();
    Tick();
    EXPECT_FALSE(engine->Resuming());
    ::SendMessageW(window->Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(engine->Resuming());
    sinceStart += std::chrono::milliseconds(60s).count();
    EXPECT_FALSE(engine->Resuming());
    Tick();
    sinceStart += std::chrono::milliseconds(3min).count();
    Tick();
    EXPECT_TRUE(engine->Resuming());
}

TEST_F(MainWindowTest, APauseEndsAtOnceWithControlStartAndTheTipFollowsTheLanguage) {
    Start();
    window->Tray().TrayMenu_1Click();
    window->Tray().TrayMenu_7Click();
    window->Settings().Sb_Lang_UpClick();
    EXPECT_EQ(window->Tray().Tip().rfind("Приостановлено до ", 0), 0u) << window->Tray().Tip();
    window->Tray().TrayMenu_1Click();
    EXPECT_TRUE(engine->ControlRunning());
    EXPECT_FALSE(window->Tray().Pause().Active());
    EXPECT_EQ(window->Tray().Tip(), "Orvanter");
    window->Tray().TrayMenu_2Click();
}

TEST_F(MainWindowTest, StartMinimisedHidesOnceAfterTheFirstActiveTick) {
    StoreInt("MinFormShow", 1);
    StartShown();
    ASSERT_NO_FATAL_FAILURE(TickActive());
    EXPECT_FALSE(window->IsVisible());
    EXPECT_TRUE(window->InTray());
    EXPECT_FALSE(window->FirstTickPending());
    window->TrayIconDblClick();
    Pump();
    Tick();
    Tick();
    EXPECT_TRUE(window->IsVisible());
    EXPECT_FALSE(window->InTray());
}

TEST_F(MainWindowTest, FirstTickWaitsForTheWindowToBeActive) {
    StoreInt("MinFormShow", 1);
    Make();
    window->StartControlWhenShown();
    // Not shown yet (the splash would be up): nothing happens, the flag waits.
    Tick();
    EXPECT_TRUE(window->FirstTickPending());
    EXPECT_FALSE(window->InTray());
    EXPECT_FALSE(engine->ControlRunning());
}

// The splash comes on the screen before the controls: they are made a group at a time by its message
// loop, and the work timer, which keeps running under it, touches none of them meanwhile.
TEST_F(MainWindowTest, ControlsAreMadeWhileTheSplashRuns) {
    Make();
    bool madeBefore = true, madeAfterTick = true, madeByTheLoop = false;
    window->children.showSplash = [&](HWND) {
        madeBefore = window->ControlsMade();
        window->Timer_WorkTimer();
        madeAfterTick = window->ControlsMade();
        madeByTheLoop = orv::test::WaitFor([&] {
            Pump();
            return window->ControlsMade();
        });
    };
    window->FormShow();
    EXPECT_FALSE(madeBefore);
    EXPECT_FALSE(madeAfterTick);
    EXPECT_TRUE(madeByTheLoop);
    EXPECT_EQ(window->Panel(8).ActionField(), "Macros_8");
}

TEST_F(MainWindowTest, WindowClosedDuringTheSplashMakesNoControlsAfterIt) {
    Make();
    window->children.showSplash = [this](HWND owner) { ::SendMessageW(owner, WM_CLOSE, 0, 0); };
    window->FormShow();
    EXPECT_FALSE(window->Exists());
    EXPECT_TRUE(state->Saved());
    EXPECT_FALSE(window->ControlsMade());
    EXPECT_EQ(window->Panel(1).PanelHandle(), nullptr);
}

// --- Starting control from the command line ---

TEST_F(MainWindowTest, ControlStartsAfterTheShowOnlyWhenAskedFor) {
    StartShown();
    ASSERT_NO_FATAL_FAILURE(TickActive());
    Tick();
    EXPECT_FALSE(engine->ControlRunning());
}

TEST_F(MainWindowTest, StartSwitchStartsControlAfterHidingToTheTray) {
    StoreInt("MinFormShow", 1);
    Make();
    window->StartControlWhenShown();
    window->FormShow();
    EXPECT_FALSE(engine->ControlRunning());  // not during the show step
    window->ShowMain();
    Pump();
    ASSERT_NO_FATAL_FAILURE(TickActive());
    EXPECT_TRUE(window->InTray());
    EXPECT_TRUE(engine->ControlRunning());
    // As the start button does it: the indicator and the hints follow.
    EXPECT_EQ(window->StartIndicatorColour(), kActive);
    EXPECT_EQ(window->HintOf(lang::MainControl::Sb_Start), "Stop control");
    // Once: stopped by the user, control stays stopped.
    window->Tray().TrayMenu_2Click();
    Tick();
    EXPECT_FALSE(engine->ControlRunning());
}

// --- The tray balloon ---

TEST_F(MainWindowTest, BalloonOnlyWhileInTheTrayWithHintsOnInBothLanguages) {
    Start();
    auto publish = [&](std::vector<std::string> events) {
        display.Sink()->Publish(engine::DisplayUpdate::Events(std::move(events)));
        Pump();
    };
    publish({"Object 2 / a", "Object 5 / b", "Object 7 / c"});
    EXPECT_TRUE(balloons.empty());  // the window is shown

    window->Sb_MinClick();
    publish({"Object 2 / a", "Object 5 / b", "Object 7 / c"});
    publish({"Object 4 / d"});
    EXPECT_EQ(balloons,
              (std::vector<std::string>{"Orvanter|Object 2 / a\nand 2 more", "Orvanter|Object 4 / d"}));

    window->Settings().Sb_Lang_UpClick();
    publish({"Объект 1 / e", "Объект 3 / f"});
    EXPECT_EQ(balloons.back(), "Orvanter|Объект 1 / e\nи еще 1");

    balloons.clear();
    window->Settings().Cb_HintShowClick();  // hints off
    publish({"Object 2 / a"});
    EXPECT_TRUE(balloons.empty());
}

TEST_F(MainWindowTest, ClickingTheBalloonRestoresTheWindow) {
    Start();
    window->Sb_MinClick();
    ASSERT_TRUE(window->InTray());
    ::SendMessageW(window->Tray().Handle(), widgets::TrayIcon::kCallbackMessage, 0, NIN_BALLOONUSERCLICK);
    Pump();
    EXPECT_TRUE(window->IsVisible());
    EXPECT_FALSE(window->InTray());
}

// --- Help and web pages ---

TEST_F(MainWindowTest, HelpAndWebPagesFollowTheLanguage) {
    Start();
    window->Sb_HelpClick();
    window->Sb_InternetClick();
    window->Tray().TrayMenu_4Click();
    ASSERT_EQ(shellCalls.size(), 3u);
    EXPECT_EQ(shellCalls[0].target, folder.Path() + "\\Help_e.txt");
    EXPECT_EQ(shellCalls[0].showCommand, SW_RESTORE);
    EXPECT_EQ(shellCalls[1].target, std::string(HomePage(0)));
    EXPECT_EQ(shellCalls[1].showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(shellCalls[2].target, std::string(ProgramPage(0)));
    window->Settings().Sb_Lang_UpClick();
    window->Sb_HelpClick();
    window->Tray().TrayMenu_3Click();
    EXPECT_EQ(shellCalls[3].target, folder.Path() + "\\Help_r.txt");
    EXPECT_EQ(shellCalls[4].target, std::string(HomePage(1)));
    EXPECT_NE(HomePage(0), HomePage(1));
}

// --- Options ---

TEST_F(MainWindowTest, OptionBoxesToggleAndShowTheirPictures) {
    Start();
    widgets::Hints& hints = SharedHints();
    EXPECT_EQ(window->Settings().OptionBox(2).Picture(), btn::kOptionOn);  // hints on by default
    window->Settings().Cb_HintShowClick();
    EXPECT_FALSE(hints.Enabled());
    EXPECT_EQ(window->Settings().OptionBox(2).Picture(), btn::kOptionOff);
    window->Settings().Cb_HintShowClick();
    EXPECT_TRUE(hints.Enabled());
    EXPECT_EQ(window->Settings().OptionBox(2).Picture(), btn::kOptionOn);

    window->Settings().Cb_LogOKClick();
    EXPECT_FALSE(engine->LogOK());
    EXPECT_EQ(window->Settings().OptionBox(3).Picture(), btn::kOptionOff);
    window->Settings().Cb_MinFormShowClick();
    EXPECT_EQ(window->Settings().OptionBox(0).Picture(), btn::kOptionOn);

    widgets::PictureButton& wait = window->Settings().OptionBox(4);
    EXPECT_EQ(wait.Picture(), btn::kOptionOff) << "off until the user ticks it";
    wait.onClick();
    EXPECT_TRUE(engine->WaitFinished()) << "the checks see the option at once";
    EXPECT_EQ(wait.Picture(), btn::kOptionOn);
    // None of them writes the program's key at once.
    EXPECT_FALSE(StoredInt("MinFormShow").has_value());
    EXPECT_FALSE(StoredInt("WaitFinished").has_value());
}

TEST_F(MainWindowTest, AutorunWritesTheRunEntryAtOnce) {
    {
        reg::Key run;
        ASSERT_TRUE(reg::Key::Open(RunKey(), true, run));
    }
    Start();
    window->Settings().Cb_AutoRunClick();
    EXPECT_EQ(window->Settings().OptionBox(1).Picture(), btn::kOptionOn);
    reg::Key run;
    ASSERT_TRUE(reg::Key::Open(RunKey(), false, run));
    std::string data;
    EXPECT_EQ(run.ReadString("Orvanter", data), reg::Status::Ok);
    EXPECT_NE(data.find(folder.Join("Orvanter.exe")), std::string::npos);
    window->Settings().Cb_AutoRunClick();
    EXPECT_FALSE(run.HasValue("Orvanter"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, AutorunWithoutRunKeyReportsTheFailure) {
    Start();
    window->Settings().Cb_AutoRunClick();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Orvanter"), std::string::npos);
    EXPECT_EQ(window->Settings().OptionBox(1).Picture(), btn::kOptionOn);
}

// --- Reset ---

TEST_F(MainWindowTest, ResetWhileRunningStopsAndClearsEveryRow) {
    StoreInt("Razr_Obj4", 0);
    StoreInt("Type_Obj2", 1);
    StoreString("Path_Dir2", folder.Path());
    Start();
    EXPECT_FALSE(window->Panel(4).FieldsVisible());
    EXPECT_EQ(window->Panel(2).TypeField(), "Directory");
    window->Sb_StartClick();
    window->Sb_ResetClick();
    Settle();
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(window->StartIndicatorColour(), Rgb(0, 128, 192));
    for (int number = 1; number <= 8; ++number) {
        ObjectPanel& panel = window->Panel(number);
        EXPECT_TRUE(panel.RazrChecked()) << number;
        EXPECT_TRUE(panel.FieldsVisible()) << number;
        EXPECT_EQ(panel.TypeField(), "File") << number;
        EXPECT_EQ(panel.PathField(), "File doesnt exist") << number;
        EXPECT_EQ(panel.ParamField(), "Availability") << number;
        EXPECT_EQ(panel.ActionField(), "Macros_" + std::to_string(number)) << number;
        EXPECT_EQ(panel.PathIndicator(), kIdle) << number;
        EXPECT_EQ(panel.HintOf(panel.PathIndicatorHandle()), "File doesnt exist") << number;
    }
    EXPECT_EQ(engine->Object(2)->settings.Path_Dir, "");
}

// --- Exit ---

TEST_F(MainWindowTest, SessionEndStopsTheScanAndSavesEverything) {
    Start();
    engine::ObjectArray objects = engine->Objects();
    objects[1].settings.Path_File = "C:\\data\\report.txt";
    engine->LoadObjects(objects);
    window->Sb_StartClick();
    EXPECT_EQ(::SendMessageW(window->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    // Asking is not ending: nothing is saved yet, control goes on.
    EXPECT_FALSE(state->Saved());
    ::SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(state->Saved());
    EXPECT_FALSE(engine->ControlRunning());
    EXPECT_EQ(engine->LiveScanThreads(), 0);
    EXPECT_EQ(StoredString("Path_File2"), "C:\\data\\report.txt");
    EXPECT_EQ(StoredInt("Razr_Obj8"), 1);
    EXPECT_EQ(StoredInt("Languare"), 0);
}

TEST_F(MainWindowTest, SessionEndDuringTheSplashKeepsObjectOnesSearchText) {
    StoreString("String_Obj1", "needle");
    Make();
    ::SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(state->Saved());
    EXPECT_EQ(StoredString("String_Obj1"), "needle");
}

TEST_F(MainWindowTest, ClosingSavesObjectOnesSearchFieldText) {
    StoreString("String_Obj1", "stored");
    Start();
    ::SetWindowTextW(window->Panel(1).SearchFieldHandle(), L"shown");
    window->Sb_CloseClick();
    Pump();
    EXPECT_FALSE(window->Exists());
    EXPECT_TRUE(state->Saved());
    EXPECT_EQ(StoredString("String_Obj1"), "shown");
    EXPECT_EQ(StoredString("Size_File3_Old"), "0");
    EXPECT_TRUE(window->ExitMessage().empty());
}

TEST_F(MainWindowTest, AWindowStillOpenWhenItsObjectGoesIsClosedAsByItsCloseButton) {
    StoreString("String_Obj1", "stored");
    Start();
    const HWND handle = window->Handle();
    window.reset();
    Pump();
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_TRUE(state->Saved());
    EXPECT_EQ(StoredString("String_Obj1"), "stored");
}

}  // namespace
}  // namespace orv::ui::test
