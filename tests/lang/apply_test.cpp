#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "lang/apply.h"

namespace orv::lang {
namespace {

using M = MainControl;
using P = PanelControl;

const LanguageTable& English() {
    return *LanguageTable::For(kEnglish);
}
const LanguageTable& Russian() {
    return *LanguageTable::For(kRussian);
}

std::string MainCaption(MainControl control, const LanguageTable& table) {
    return MainWindowText(control, TextSlot::Caption, table, false).value_or("<none>");
}

std::string MainHint(MainControl control, const LanguageTable& table) {
    return MainWindowText(control, TextSlot::Hint, table, false).value_or("<none>");
}

std::string PanelHint(PanelControl control, int object, const LanguageTable& table) {
    return ObjectPanelText(control, TextSlot::Hint, table, object).value_or("<none>");
}

// A text of the main window as it stands in one language and running state.
struct MainText {
    MainControl control;
    TextSlot slot;
    int32_t language;
    const char* text;  // "<none>" where the control has no text in that slot
    bool running = false;
};

const MainText kMainTexts[] = {
    // Captions followed by a colon get one; the heading shares its role with the column heading but
    // has none.
    {M::Lbl_Lang, TextSlot::Caption, kEnglish, "Interface:"},
    {M::Lbl_Lang, TextSlot::Caption, kRussian, "Интерфейс:"},
    {M::Lbl1_Title_Obj, TextSlot::Caption, kEnglish, "Object:"},
    {M::Lbl1_Title_Obj, TextSlot::Caption, kRussian, "Объект:"},
    {M::Lbl1_Title_Action, TextSlot::Caption, kEnglish, "Action:"},
    {M::Lbl1_Title_Control, TextSlot::Caption, kRussian, "Контроль:"},
    {M::Lbl_Title_1, TextSlot::Caption, kEnglish, "Control"},
    {M::Lbl_Title_2, TextSlot::Caption, kRussian, "Настройки"},
    {M::Edit_Lang, TextSlot::Caption, kRussian, "Русский"},
    // A control with a hint row only has no caption row.
    {M::Sb_Help, TextSlot::Caption, kEnglish, "<none>"},
    // The start button's and the indicator's hints follow the running state; nothing else does.
    {M::Sb_Start, TextSlot::Hint, kEnglish, "Launch control", false},
    {M::Sb_Start, TextSlot::Hint, kEnglish, "Stop control", true},
    {M::Sb_Start, TextSlot::Hint, kRussian, "Запустить контроль", false},
    {M::Sb_Start, TextSlot::Hint, kRussian, "Остановить контроль", true},
    {M::Indicator_Start, TextSlot::Hint, kEnglish, "Control stopped", false},
    {M::Indicator_Start, TextSlot::Hint, kEnglish, "Control running", true},
    {M::Indicator_Start, TextSlot::Hint, kRussian, "Контроль остановлен", false},
    {M::Indicator_Start, TextSlot::Hint, kRussian, "Контроль запущен", true},
    {M::Sb_Reset, TextSlot::Hint, kEnglish, "Reset all settings", true},
    // The options: in Russian the label's caption is shorter than the hint it shares with its box.
    {M::Lbl_HintShow, TextSlot::Caption, kRussian, "Показывать подсказки"},
    {M::Cb_HintShow, TextSlot::Hint, kRussian, "Показывать всплывающие подсказки"},
    {M::Lbl_HintShow, TextSlot::Caption, kEnglish, "Show hints"},
    {M::Cb_HintShow, TextSlot::Hint, kEnglish, "Show hints"},
    {M::Cb_AutoRun, TextSlot::Hint, kEnglish, "Autorun program at the start of Windows"},
    {M::Lbl_MinFormShow, TextSlot::Caption, kRussian, "Минимизация"},
    {M::Cb_MinFormShow, TextSlot::Hint, kEnglish, "Auto minimization program at the start"},
    {M::Lbl_LogOK, TextSlot::Caption, kEnglish, "Write the log file if changes only"},
    {M::Cb_LogOK, TextSlot::Hint, kRussian, "Писать лог-файл только при наличии изменений"},
    // The tray menu's exit item and the close button say the same.
    {M::TrayMenu_1, TextSlot::Caption, kRussian, "Контроль: Старт"},
    {M::TrayMenu_5, TextSlot::Hint, kRussian, "Выйти из программы"},
    {M::Sb_Close, TextSlot::Hint, kRussian, "Выйти из программы"},
};

TEST(ApplyLanguageTest, MainWindowTextsInBothLanguagesAndRunningStates) {
    for (const MainText& row : kMainTexts) {
        SCOPED_TRACE(row.text);
        const LanguageTable& table = row.language == kRussian ? Russian() : English();
        EXPECT_EQ(MainWindowText(row.control, row.slot, table, row.running).value_or("<none>"), row.text);
    }
    EXPECT_EQ(CaptionWithColon(English(), TextId::ObjectWord), "Object:");
    EXPECT_EQ(StartButtonHint(Russian(), true), "Остановить контроль");
    EXPECT_EQ(StartIndicatorHint(English(), false), "Control stopped");
}

TEST(ApplyLanguageTest, NumberedObjectHintsGetBlankAndNumber) {
    EXPECT_EQ(PanelHint(P::Panel_Obj, 1, English()), "Settings for thread 1");
    EXPECT_EQ(PanelHint(P::Cb_Razr_Obj, 3, English()), "Activity of the thread 3");
    EXPECT_EQ(PanelHint(P::Cb_Razr_Obj, 3, Russian()), "Активность потока 3");
    EXPECT_EQ(PanelHint(P::Sb_Type_Obj_Up, 8, English()),
              "Select the type of control object for the thread 8");
    EXPECT_EQ(PanelHint(P::Sb_Type_Obj_Down, 8, English()),
              "Select the type of control object for the thread 8");
    EXPECT_EQ(PanelHint(P::Ind_Path_Obj, 5, Russian()), "Индикатор наличия объекта контроля потока 5");
    EXPECT_EQ(PanelHint(P::Edit_Action_Obj, 2, English()),
              "Action if the control conditions are fulfilled for the thread 2");
    EXPECT_EQ(PanelHint(P::Sb_Action_Obj, 7, Russian()), "Настройка действия потока 7");
    EXPECT_EQ(ObjectHint(English(), TextId::PathButtonHint, 4), "Select the control object for the thread 4");
}

TEST(ApplyLanguageTest, UnnumberedObjectHintsAreTheSameForAllObjects) {
    for (int object = 1; object <= 8; ++object) {
        EXPECT_EQ(PanelHint(P::Edit_Param_Obj, object, English()), "Control settings");
        EXPECT_EQ(PanelHint(P::Edit_Param_Obj, object, Russian()), "Параметр контроля");
        EXPECT_EQ(PanelHint(P::Sb_Param_Obj_Up, object, English()), "Select the monitoring option");
        EXPECT_EQ(PanelHint(P::Sb_Param_Obj_Down, object, English()), "Select the monitoring option");
        EXPECT_EQ(PanelHint(P::Edit_String_Obj, object, Russian()), "Контролируемый текст");
        EXPECT_EQ(PanelHint(P::Ind_String_Obj, object, English()), "Indicator of controlled text");
    }
}

TEST(ApplyLanguageTest, TrayItemsGetCaptionAndHint) {
    const std::pair<MainControl, const char*> items[] = {
        {M::TrayMenu_1, "Control: Start"},    {M::TrayMenu_2, "Control: Stop"},
        {M::TrayMenu_3, "Go to our website"}, {M::TrayMenu_4, "Visit the program page"},
        {M::TrayMenu_5, "Exit the program"},
    };
    for (const auto& [item, text] : items) {
        EXPECT_EQ(MainCaption(item, English()), text) << text;
        EXPECT_EQ(MainHint(item, English()), text) << text;
    }
}

TEST(ApplyLanguageTest, OptionLabelsAndBoxesShareTheHint) {
    const std::pair<MainControl, MainControl> options[] = {{M::Lbl_HintShow, M::Cb_HintShow},
                                                           {M::Lbl_AutoRun, M::Cb_AutoRun},
                                                           {M::Lbl_MinFormShow, M::Cb_MinFormShow},
                                                           {M::Lbl_LogOK, M::Cb_LogOK},
                                                           {M::Lbl_WaitFinished, M::Cb_WaitFinished}};
    for (const auto& [label, box] : options) {
        for (const LanguageTable* table : {&English(), &Russian()}) {
            EXPECT_NE(MainHint(box, *table), "<none>") << static_cast<int>(box);
            EXPECT_EQ(MainHint(label, *table), MainHint(box, *table)) << static_cast<int>(label);
        }
    }
}

// Each control of a window gets at most one text per slot, and every role of the windows has a row.
template <class Control>
void ExpectEachControlOncePerSlot(const std::vector<AppliedText<Control>>& texts, size_t rows) {
    std::set<std::pair<Control, TextSlot>> seen;
    for (const AppliedText<Control>& applied : texts) {
        EXPECT_TRUE(seen.insert({applied.control, applied.slot}).second) << static_cast<int>(applied.control);
        EXPECT_FALSE(applied.text.empty()) << static_cast<int>(applied.control);
    }
    EXPECT_EQ(texts.size(), rows);
    std::set<Control> controls;
    for (const auto& [control, slot] : seen) {
        controls.insert(control);
    }
    EXPECT_EQ(controls.size(), static_cast<size_t>(kControlCount<Control>));
}

TEST(ApplyLanguageTest, EveryControlOfAWindowGetsItsTextsOnce) {
    for (bool running : {false, true}) {
        const auto texts = MainWindowTexts(Russian(), running);
        ExpectEachControlOncePerSlot(texts, MainWindowControls().size() + RunningStateControls().size());
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[texts.size() - 2].control, M::Sb_Start);
        EXPECT_EQ(texts[texts.size() - 2].text, StartButtonHint(Russian(), running));
        EXPECT_EQ(texts.back().control, M::Indicator_Start);
        EXPECT_EQ(texts.back().text, StartIndicatorHint(Russian(), running));
    }
    const auto panel = ObjectPanelTexts(English(), 6);
    ExpectEachControlOncePerSlot(panel, ObjectPanelControls().size());
    EXPECT_EQ(panel.front().text, "Settings for thread 6");
    ExpectEachControlOncePerSlot(MacroEditorTexts(English()), MacroEditorControls().size());
}

// Every role of the main window's and the editor's tables is shown somewhere; the panel names and the
// event messages are not written by the language routine.
TEST(ApplyLanguageTest, EveryWindowRoleIsWrittenAndNoOther) {
    std::set<TextId> mainRoles;
    for (auto rows : {MainWindowControls(), RunningStateControls()}) {
        for (const auto& row : rows) {
            mainRoles.insert(row.text);
            mainRoles.insert(row.textWhileRunning);
        }
    }
    for (const auto& row : ObjectPanelControls()) {
        mainRoles.insert(row.text);
    }
    std::set<TextId> editorRoles;
    for (const auto& row : MacroEditorControls()) {
        editorRoles.insert(row.text);
    }
    for (int i = 0; i < kTextCount; ++i) {
        const auto id = static_cast<TextId>(i);
        const bool mainWindowRole = id <= TextId::ActionButtonHint;
        const bool editorRole = id >= TextId::MacrosTitle;
        EXPECT_EQ(mainRoles.count(id) == 1, mainWindowRole) << i;
        EXPECT_EQ(editorRoles.count(id) == 1, editorRole) << i;
    }
}

TEST(ApplyLanguageTest, MacroEditorLabels) {
    const auto russian = MacroEditorTexts(Russian());
    ASSERT_EQ(russian.size(), 5u);
    EXPECT_EQ(russian[0].control, EditorLabel::Lbl_Title_1);
    EXPECT_EQ(russian[0].text, "Макрос");
    EXPECT_EQ(MacroEditorText(EditorLabel::Lbl1, Russian()), "Имя Макроса");
    EXPECT_EQ(MacroEditorText(EditorLabel::Lbl4, English()), "Call method:");
    EXPECT_EQ(MacroEditorText(EditorLabel::Lbl2, English()), "Selected BAT file:");
    // The editor's title label has the main window heading's name but its own text.
    EXPECT_EQ(MainCaption(M::Lbl_Title_1, English()), "Control");
    EXPECT_EQ(MacroEditorText(EditorLabel::Lbl_Title_1, English()), "Macros");
}

}  // namespace
}  // namespace orv::lang
