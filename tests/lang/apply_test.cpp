#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "lang/apply.h"

namespace orv::lang {
namespace {

const LanguageTable& English() {
    return *LanguageTable::For(kEnglish);
}
const LanguageTable& Russian() {
    return *LanguageTable::For(kRussian);
}

std::string MainCaption(std::string_view control, const LanguageTable& table, bool running = false) {
    return FindMainWindowText(control, TextSlot::Caption, table, running).value_or("<none>");
}

std::string MainHint(std::string_view control, const LanguageTable& table, bool running = false) {
    return FindMainWindowText(control, TextSlot::Hint, table, running).value_or("<none>");
}

TEST(ApplyLanguageTest, CaptionsFollowedByAColonGetOne) {
    EXPECT_EQ(MainCaption("Lbl_Lang", English()), "Interface:");
    EXPECT_EQ(MainCaption("Lbl_Lang", Russian()), "Интерфейс:");
    EXPECT_EQ(MainCaption("Lbl1_Title_Obj", English()), "Object:");
    EXPECT_EQ(MainCaption("Lbl1_Title_Obj", Russian()), "Объект:");
    EXPECT_EQ(MainCaption("Lbl1_Title_Action", English()), "Action:");
    EXPECT_EQ(MainCaption("Lbl1_Title_Control", Russian()), "Контроль:");
    // The heading shares the role with the column heading but has no colon.
    EXPECT_EQ(MainCaption("Lbl_Title_1", English()), "Control");
    EXPECT_EQ(MainCaption("Lbl_Title_2", Russian()), "Настройки");
    EXPECT_EQ(MainCaption("Edit_Lang", Russian()), "Русский");
    EXPECT_EQ(CaptionWithColon(English(), TextId::ObjectWord), "Object:");
}

TEST(ApplyLanguageTest, NumberedObjectHintsGetBlankAndNumber) {
    EXPECT_EQ(MainHint("Panel_Obj1", English()), "Settings for thread 1");
    EXPECT_EQ(MainHint("Cb_Razr_Obj3", English()), "Activity of the thread 3");
    EXPECT_EQ(MainHint("Cb_Razr_Obj3", Russian()), "Активность потока 3");
    EXPECT_EQ(MainHint("Sb_Type_Obj8_Up", English()), "Select the type of control object for the thread 8");
    EXPECT_EQ(MainHint("Sb_Type_Obj8_Down", English()), "Select the type of control object for the thread 8");
    EXPECT_EQ(MainHint("Ind_Path_Obj5", Russian()), "Индикатор наличия объекта контроля потока 5");
    EXPECT_EQ(MainHint("Edit_Action_Obj2", English()),
              "Action if the control conditions are fulfilled for the thread 2");
    EXPECT_EQ(MainHint("Sb_Action_Obj7", Russian()), "Настройка действия потока 7");
    EXPECT_EQ(ObjectHint(English(), TextId::PathButtonHint, 4), "Select the control object for the thread 4");
}

TEST(ApplyLanguageTest, UnnumberedObjectHintsAreTheSameForAllObjects) {
    for (int object = 1; object <= kObjectCount; ++object) {
        const std::string n = std::to_string(object);
        EXPECT_EQ(MainHint("Edit_Param_Obj" + n, English()), "Control settings");
        EXPECT_EQ(MainHint("Edit_Param_Obj" + n, Russian()), "Параметр контроля");
        EXPECT_EQ(MainHint("Sb_Param_Obj" + n + "_Up", English()), "Select the monitoring option");
        EXPECT_EQ(MainHint("Sb_Param_Obj" + n + "_Down", English()), "Select the monitoring option");
        EXPECT_EQ(MainHint("Edit_String_Obj" + n, Russian()), "Контролируемый текст");
        EXPECT_EQ(MainHint("Ind_String_Obj" + n, English()), "Indicator of controlled text");
    }
}

TEST(ApplyLanguageTest, UnknownControlsAndObjectNumbersFindNothing) {
    EXPECT_FALSE(FindMainWindowText("Cb_Razr_Obj0", TextSlot::Hint, English(), false));
    EXPECT_FALSE(FindMainWindowText("Cb_Razr_Obj9", TextSlot::Hint, English(), false));
    EXPECT_FALSE(FindMainWindowText("Cb_Razr_Obj#", TextSlot::Hint, English(), false));
    EXPECT_FALSE(FindMainWindowText("Cb_Razr_Obj10", TextSlot::Hint, English(), false));
    EXPECT_FALSE(FindMainWindowText("Lbl1_Title_Num", TextSlot::Caption, English(), false));
    // A control with a hint row only has no caption row.
    EXPECT_FALSE(FindMainWindowText("Sb_Help", TextSlot::Caption, English(), false));
}

TEST(ApplyLanguageTest, StartHintsFollowTheRunningState) {
    EXPECT_EQ(MainHint("Sb_Start", English(), false), "Launch control");
    EXPECT_EQ(MainHint("Sb_Start", English(), true), "Stop control");
    EXPECT_EQ(MainHint("Sb_Start", Russian(), false), "Запустить контроль");
    EXPECT_EQ(MainHint("Sb_Start", Russian(), true), "Остановить контроль");
    EXPECT_EQ(MainHint("Indicator_Start", English(), false), "Control stopped");
    EXPECT_EQ(MainHint("Indicator_Start", English(), true), "Control running");
    EXPECT_EQ(MainHint("Indicator_Start", Russian(), false), "Контроль остановлен");
    EXPECT_EQ(MainHint("Indicator_Start", Russian(), true), "Контроль запущен");
    EXPECT_EQ(StartButtonHint(Russian(), true), "Остановить контроль");
    EXPECT_EQ(StartIndicatorHint(English(), false), "Control stopped");
    // Nothing else depends on the running state.
    EXPECT_EQ(MainHint("Sb_Reset", English(), true), "Reset all settings");
}

TEST(ApplyLanguageTest, TrayItemsGetCaptionAndHint) {
    const std::pair<const char*, const char*> items[] = {
        {"TrayMenu_1", "Control: Start"},    {"TrayMenu_2", "Control: Stop"},
        {"TrayMenu_3", "Go to our website"}, {"TrayMenu_4", "Visit the program page"},
        {"TrayMenu_5", "Exit the program"},
    };
    for (const auto& [item, text] : items) {
        EXPECT_EQ(MainCaption(item, English()), text) << item;
        EXPECT_EQ(MainHint(item, English()), text) << item;
    }
    EXPECT_EQ(MainCaption("TrayMenu_1", Russian()), "Контроль: Старт");
    EXPECT_EQ(MainHint("TrayMenu_5", Russian()), "Выйти из программы");
    EXPECT_EQ(MainHint("Sb_Close", Russian()), "Выйти из программы");
}

TEST(ApplyLanguageTest, OptionLabelsAndBoxesShareTheHint) {
    EXPECT_EQ(MainCaption("Lbl_HintShow", Russian()), "Показывать подсказки");
    EXPECT_EQ(MainHint("Lbl_HintShow", Russian()), "Показывать всплывающие подсказки");
    EXPECT_EQ(MainHint("Cb_HintShow", Russian()), "Показывать всплывающие подсказки");
    EXPECT_EQ(MainCaption("Lbl_HintShow", English()), "Show hints");
    EXPECT_EQ(MainHint("Cb_HintShow", English()), "Show hints");
    EXPECT_EQ(MainHint("Cb_AutoRun", English()), "Autorun program at the start of Windows");
    EXPECT_EQ(MainCaption("Lbl_MinFormShow", Russian()), "Минимизация");
    EXPECT_EQ(MainHint("Cb_MinFormShow", English()), "Auto minimization program at the start");
    EXPECT_EQ(MainCaption("Lbl_LogOK", English()), "Write the log file if changes only");
    EXPECT_EQ(MainHint("Cb_LogOK", Russian()), "Писать лог-файл только при наличии изменений");
}

TEST(ApplyLanguageTest, MainWindowListCoversEveryControlOnceAndEndsWithTheRunningState) {
    for (bool running : {false, true}) {
        const auto texts = MainWindowTexts(Russian(), running);
        std::set<std::pair<std::string, TextSlot>> seen;
        for (const AppliedText& applied : texts) {
            EXPECT_TRUE(seen.insert({applied.control, applied.slot}).second) << applied.control;
            EXPECT_FALSE(applied.text.empty()) << applied.control;
            EXPECT_EQ(applied.control.find(kObjectDigit), std::string::npos) << applied.control;
            // The list and the single lookup agree.
            EXPECT_EQ(FindMainWindowText(applied.control, applied.slot, Russian(), running), applied.text);
        }
        EXPECT_EQ(texts.size(),
                  MainWindowControls().size() + kObjectCount * ObjectPanelControls().size() + 2);
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[texts.size() - 2].control, "Sb_Start");
        EXPECT_EQ(texts[texts.size() - 2].text, StartButtonHint(Russian(), running));
        EXPECT_EQ(texts.back().control, "Indicator_Start");
        EXPECT_EQ(texts.back().text, StartIndicatorHint(Russian(), running));
        EXPECT_TRUE(seen.count({"Sb_Type_Obj8_Down", TextSlot::Hint}));
        EXPECT_TRUE(seen.count({"Panel_Obj1", TextSlot::Hint}));
    }
}

// Every role of the main window's and the editor's tables is shown somewhere; the panel names and the
// event messages are not written by the language routine.
TEST(ApplyLanguageTest, EveryWindowRoleIsWrittenAndNoOther) {
    std::set<TextId> mainRoles;
    for (auto rows : {MainWindowControls(), ObjectPanelControls(), RunningStateControls()}) {
        for (const ControlText& row : rows) {
            mainRoles.insert(row.text);
            mainRoles.insert(row.textWhileRunning);
        }
    }
    std::set<TextId> editorRoles;
    for (const ControlText& row : MacroEditorControls()) {
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
    EXPECT_EQ(russian[0].control, "Lbl_Title_1");
    EXPECT_EQ(russian[0].text, "Макрос");
    const auto lbl1 = FindText(MacroEditorControls(), "Lbl1", TextSlot::Caption, Russian(), false);
    EXPECT_EQ(lbl1, "Имя Макроса");
    EXPECT_EQ(FindText(MacroEditorControls(), "Lbl4", TextSlot::Caption, English(), false), "Call method:");
    EXPECT_EQ(FindText(MacroEditorControls(), "Lbl2", TextSlot::Caption, English(), false),
              "Selected BAT file:");
    // The editor's title label has the main window heading's name but its own text.
    EXPECT_EQ(MainCaption("Lbl_Title_1", English()), "Control");
    EXPECT_EQ(FindText(MacroEditorControls(), "Lbl_Title_1", TextSlot::Caption, English(), false), "Macros");
}

}  // namespace
}  // namespace orv::lang
