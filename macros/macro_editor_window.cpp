#include "macros/macro_editor_window.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <utility>

#include "lang/apply.h"
#include "lang/constants.h"
#include "widgets/modal.h"
#include "widgets/window_text.h"

namespace orv::macros {
namespace {

constexpr UINT kTimer1Interval = 100;

constexpr Colour kCaptionColour = kFieldTextColour;
constexpr int kLabelHeight = 14;
constexpr int kListItemHeight = 16;

constexpr std::array<int, kLargeButtonCount> kFirstPictures{
    widgets::macros::kApplyFirst, widgets::macros::kResetFirst, widgets::macros::kRunFirst,
    widgets::macros::kCloseFirst};

// The captions on the editor: 11-pixel Verdana on the fields' colour; silver for the name caption,
// light blue and underlined for the others.
widgets::LabelStyle EditorCaptionStyle(Colour text, bool underline) {
    widgets::LabelStyle style;
    style.font = widgets::FontStyle{11};
    style.font.underline = underline;
    style.text = text;
    style.fill = widgets::Fill::Solid(kEditorFieldColour);
    style.verticalCentre = true;
    return style;
}

}  // namespace

int LargeButtonPicture(EditorButton button, int32_t language, bool hovered, bool pressed) {
    return widgets::LargeButtonPicture(kFirstPictures[static_cast<int>(button)], language == lang::kRussian,
                                       widgets::LargeButtonState(hovered, pressed));
}

MacroEditorWindow::~MacroEditorWindow() {
    // Destroyed here, while the controls and the model still exist for the last messages.
    Destroy();
}

bool MacroEditorWindow::Create(HINSTANCE, MacroTable& table, const lang::LanguageState& language,
                               widgets::ProgramPictures& pictures) {
    if (Exists()) {
        return false;
    }
    table_ = &table;
    texts_ = language.Table().get();
    pictures_ = &pictures;
    model_ = std::make_unique<MacroEditorModel>(table);
    if (!SkinnedWindow::Create({.className = L"TfmMacros",
                                .title = L"Macros",
                                .y = kEditorTop,
                                .width = widgets::kEditorWidth,
                                .height = widgets::kEditorHeight,
                                .minimiseBox = false})) {
        return false;
    }
    SetSkin(&pictures.editorBackground);
    SetColour(kWindowColour);
    table.SetCurrentMacro(0);
    return true;
}

void MacroEditorWindow::MakeControls() {
    if (controlsMade_) {
        return;
    }
    controlsMade_ = true;
    CreateControls();
    MapControls();
    ShowLanguage(*texts_);
}

void MacroEditorWindow::CreateControls() {
    smallFont_.Reset(widgets::CreateUiFont(widgets::FontStyle{11}));
    nameFont_.Reset(widgets::CreateUiFont(widgets::FontStyle{19}));
    CreateLabels();
    CreateFileControls();
    CreateMethodBoxes();
    CreateLargeButtons();
}

void MacroEditorWindow::CreateLabels() {
    title_.Create({.place = {Handle(), 8, 6, 83, 25}, .text = "", .style = widgets::HeadingStyle()});
    // The captions grow to their texts; the name's is silver, the others light blue and underlined.
    struct Caption {
        widgets::Label* label;
        int x, y;
        bool underlined;
    };
    const Caption captions[] = {
        {&lbl1_, 32, 80, false}, {&lbl2_, 48, 134, true}, {&lbl3_, 48, 192, true}, {&lbl4_, 448, 192, true}};
    for (const Caption& caption : captions) {
        caption.label->Create({.place = {Handle(), caption.x, caption.y, 1, kLabelHeight},
                               .text = "",
                               .style = EditorCaptionStyle(
                                   caption.underlined ? kCaptionColour : kSilverColour, caption.underlined)});
    }
}

// The name field, the selected-file field on its frame between its two arrows, and the list.
void MacroEditorWindow::CreateFileControls() {
    const HWND window = Handle();
    const widgets::PictureSet* set = &pictures_->macros;
    nameField_.Create({.place = {window, 32, 94, 400, 21},
                       .tabStop = true,
                       .font = nameFont_.Get(),
                       .colours = widgets::TextColours{kSilverColour, kEditorFieldColour}});
    up_.Create(
        {.place = {window, 30, 148, 17, 21}, .pictures = set, .picture = widgets::macros::kArrowPrevious});
    up_.onClick = [this] { Sb_BAT_File_UpClick(); };
    // Its picture comes at every opening: closing gives the editor's pictures back.
    batFileFrame_.Create({window, 47, 148, 366, 21});
    // The field lies on its frame; the frame hands the field's notifications on to this window.
    batFileField_.Create({.place = {batFileFrame_.Handle(), 50 - 47, 150 - 148, 360, 14},
                          .tabStop = true,
                          .font = smallFont_.Get(),
                          .colours = widgets::TextColours{kSilverColour, kEditorFieldColour}});
    down_.Create(
        {.place = {window, 413, 148, 17, 21}, .pictures = set, .picture = widgets::macros::kArrowNext});
    down_.onClick = [this] { Sb_BAT_File_DownClick(); };

    list_.Create({.place = {window, 46, 208, 368, 175},
                  .font = smallFont_.Get(),
                  .itemHeight = kListItemHeight,
                  .tabStop = true,
                  .colours = widgets::TextColours{kSilverColour, kEditorFieldColour},
                  .selectedColours = widgets::TextColours{kEditorFieldColour, kListSelectedColour}});
    list_.onSelectionChanged = [this] { ListBoxt_BAT_FileClick(); };
    // Each field is named for a screen reader by the caption above it.
    nameField_.SetLabel(lbl1_.Handle());
    batFileField_.SetLabel(lbl2_.Handle());
    list_.SetLabel(lbl3_.Handle());
}

void MacroEditorWindow::CreateMethodBoxes() {
    for (int box = 0; box < 3; ++box) {
        const auto method = static_cast<CallMethod>(box);
        methodBoxes_[box].Create({.place = {Handle(), 450, 232 + 30 * box, 23, 23},
                                  .pictures = &pictures_->macros,
                                  .picture = widgets::macros::kMethodOff,
                                  .tickedPicture = widgets::macros::kMethodOn,
                                  .radio = true});
        methodBoxes_[box].onClick = [this, method] { Cb_Macros_Regime_BATClick(method); };
        methodLabels_[box].Create({.place = {Handle(), 475, 234 + 30 * box, 1, kLabelHeight},
                                   .text = lang::kCallMethodLabels[box],
                                   .style = EditorCaptionStyle(kCaptionColour, true)});
        methodLabels_[box].onClick = [this, method] { Cb_Macros_Regime_BATClick(method); };
        FitLabel(methodLabels_[box]);
    }
}

void MacroEditorWindow::CreateLargeButtons() {
    const std::array<void (MacroEditorWindow::*)(), kLargeButtonCount> clicks{
        &MacroEditorWindow::Sb_AppleClick, &MacroEditorWindow::Sb_ResetClick, &MacroEditorWindow::Sb_RunClick,
        &MacroEditorWindow::Sb_CloseClick};
    for (int i = 0; i < kLargeButtonCount; ++i) {
        largeButtons_[i].Create({.parent = Handle(),
                                 .x = kLargeButtonLefts[i],
                                 .y = kLargeButtonTop,
                                 .backdrop = &pictures_->editorBackground});
        largeButtons_[i].onClick = [this, click = clicks[i]] { (this->*click)(); };
    }
}

void MacroEditorWindow::FitLabel(widgets::Label& label) {
    const RECT box = label.BoxInParent();
    label.Place(box.left, box.top, std::max(label.TextWidth() + 1, 1), box.bottom - box.top);
}

void MacroEditorWindow::ShowLanguage(const lang::LanguageTable& table) {
    texts_ = &table;
    // Before the first opening there is nothing to write to: the controls take the language then.
    if (!Exists() || !controlsMade_) {
        return;
    }
    for (const lang::AppliedText<lang::EditorLabel>& text : lang::MacroEditorTexts(table)) {
        widgets::Label& label = *languageLabels_[static_cast<size_t>(text.control)];
        label.SetText(text.text);
        // The labels of the fields end where their text ends; the title keeps its box.
        if (text.control != lang::EditorLabel::Lbl_Title_1) {
            FitLabel(label);
        }
    }
    // The large buttons carry words too: they change now, not at the next tick.
    DrawLargeButtons(CursorOver());
}

void MacroEditorWindow::Show(HWND mainWindow, int macroNumber) {
    macroToOpen_ = macroNumber;
    ModalWindow::Show(mainWindow);
}

void MacroEditorWindow::ShowModalFor(HWND mainWindow, int macroNumber) {
    macroToOpen_ = macroNumber;
    ShowModal(mainWindow);
}

void MacroEditorWindow::OnOpening(HWND mainWindow) {
    MakeControls();
    batFileFrame_.SetPicture(pictures_->macros.Get(widgets::macros::kFieldFrame));
    model_->OpenOn(macroToOpen_);
    FormShow(mainWindow);
}

void MacroEditorWindow::FormShow(HWND mainWindow) {
    RECT main{0, 0, 0, 0};
    if (mainWindow != nullptr) {
        ::GetWindowRect(mainWindow, &main);
    }
    ::SetWindowPos(Handle(), nullptr, main.left + kEditorLeftOffset, kEditorTop, widgets::kEditorWidth,
                   widgets::kEditorHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    title_.SetTextColour(kWindowColour);
    if (onShownChanged) {
        onShownChanged(true);
    }
    for (int box = 0; box < 3; ++box) {
        methodLabels_[box].SetText(lang::kCallMethodLabels[box]);
        FitLabel(methodLabels_[box]);
    }
    model_->FormShow();
    ShowView();
}

void MacroEditorWindow::FormClose() {
    model_->FormClose();
    if (onShownChanged) {
        onShownChanged(false);
    }
}

void MacroEditorWindow::Edit(const std::function<void(MacroEditorModel&)>& step) {
    model_->SetNameField(nameField_.Text());
    model_->SetBatFileField(batFileField_.Text());
    step(*model_);
    ShowView();
}

void MacroEditorWindow::ShowView() {
    const MacroEditorView& view = model_->View();
    nameField_.SetText(view.nameField);
    batFileField_.SetText(view.batFileField);
    list_.SetItems(view.batList);
    list_.Select(view.selectedEntry);
    for (int box = 0; box < 3; ++box) {
        methodBoxes_[box].SetPicture(view.methodTicked[box] ? widgets::macros::kMethodOn
                                                            : widgets::macros::kMethodOff);
    }
}

void MacroEditorWindow::Sb_AppleClick() {
    bool changed = false;
    Edit([&changed](MacroEditorModel& model) { changed = model.Apply(); });
    if (changed && onApplied) {
        onApplied();
    }
}

void MacroEditorWindow::Sb_ResetClick() {
    Edit(&MacroEditorModel::Reset);
}

void MacroEditorWindow::Sb_RunClick() {
    model_->Run();
}

void MacroEditorWindow::Sb_CloseClick() {
    Close();
}

void MacroEditorWindow::OnShown() {
    nameField_.Focus();
    StartTimer(kTimer1Interval);
}

void MacroEditorWindow::OnHidden() {
    // Hidden for most of the run: its background and button pictures are drawn again when it opens.
    // The frame lets go of its picture first, which would otherwise point at a freed one.
    batFileFrame_.SetPicture(nullptr);
    pictures_->editorBackground.Release();
    pictures_->macros.Release();
    // One tick shows the buttons as a hidden window has them (nothing under the cursor); the timer
    // then rests until the editor opens again, so that a hidden editor wakes nobody.
    Timer1Timer();
    StopTimer();
}

void MacroEditorWindow::Sb_BAT_File_UpClick() {
    Edit(&MacroEditorModel::BatFileUp);
}

void MacroEditorWindow::Sb_BAT_File_DownClick() {
    Edit(&MacroEditorModel::BatFileDown);
}

void MacroEditorWindow::ListBoxt_BAT_FileClick() {
    const int entry = list_.Selected();
    Edit([entry](MacroEditorModel& model) { model.ClickListEntry(entry); });
}

void MacroEditorWindow::Cb_Macros_Regime_BATClick(CallMethod method) {
    Edit([method](MacroEditorModel& model) { model.ChooseMethod(method); });
}

POINT MacroEditorWindow::Cursor() const {
    if (cursorPosition) {
        return cursorPosition();
    }
    POINT cursor{-1, -1};
    ::GetCursorPos(&cursor);
    return cursor;
}

void MacroEditorWindow::Timer1Timer() {
    if (!Exists() || !controlsMade_) {
        return;
    }
    // Hidden (most of the run), nothing is under the cursor and nothing needs asking the system.
    const widgets::Hover hover = CursorOver();
    DrawLargeButtons(hover);
    // The two arrows light up under the cursor as well.
    up_.SetPicture(
        hover.Picture(30, 148, 17, 21, widgets::macros::kArrowPrevious, widgets::macros::kArrowPreviousHot));
    down_.SetPicture(
        hover.Picture(413, 148, 17, 21, widgets::macros::kArrowNext, widgets::macros::kArrowNextHot));
}

widgets::Hover MacroEditorWindow::CursorOver() const {
    return IsVisible() ? widgets::Hover::Over(Handle(), Cursor()) : widgets::Hover(POINT{}, POINT{}, false);
}

void MacroEditorWindow::DrawLargeButtons(const widgets::Hover& hover) {
    const int32_t language = texts_->Language();
    for (int i = 0; i < kLargeButtonCount; ++i) {
        const bool hovered = hover.Hot(kLargeButtonLefts[i], kLargeButtonTop, widgets::kLargeButtonWidth,
                                       widgets::kLargeButtonHeight);
        largeButtons_[i].Show(pictures_->macros, LargeButtonPicture(static_cast<EditorButton>(i), language,
                                                                    hovered, largeButtons_[i].LeftHeld()));
    }
}

void MacroEditorWindow::PaintContent(HDC dc) {
    for (int i = 0; i < kLargeButtonCount; ++i) {
        largeButtons_[i].PaintTo(dc, kLargeButtonLefts[i], kLargeButtonTop);
    }
}

void MacroEditorWindow::MapControls() {
    using C = EditorControl;
    // The two text fields take hints only: their captions are the user's, not the language's.
    roles_.Map(C::Edit_Macros_Name, std::as_const(nameField_));
    roles_.Map(C::Edit_BAT_File, std::as_const(batFileField_));
    roles_.Map(C::ListBoxt_BAT_File, list_);
    roles_.Map(C::Img_BAT_File_Fon, batFileFrame_);
    roles_.Map(C::Sb_BAT_File_Up, up_);
    roles_.Map(C::Sb_BAT_File_Down, down_);
    const std::array<C, kLargeButtonCount> large{C::Sb_Apple, C::Sb_Reset, C::Sb_Run, C::Sb_Close};
    for (int i = 0; i < kLargeButtonCount; ++i) {
        roles_.Map(large[i], largeButtons_[i]);
    }
    const std::array<C, 3> boxes{C::Cb_Macros_Regime_BAT_1, C::Cb_Macros_Regime_BAT_2,
                                 C::Cb_Macros_Regime_BAT_3};
    const std::array<C, 3> boxLabels{C::Lbl_Macros_Regime_BAT_1, C::Lbl_Macros_Regime_BAT_2,
                                     C::Lbl_Macros_Regime_BAT_3};
    for (int box = 0; box < 3; ++box) {
        roles_.Map(boxes[box], methodBoxes_[box]);
        roles_.Map(boxLabels[box], methodLabels_[box]);
    }
    roles_.Map(C::Lbl_Title_1, title_);
    roles_.Map(C::Lbl1, lbl1_);
    roles_.Map(C::Lbl2, lbl2_);
    roles_.Map(C::Lbl3, lbl3_);
    roles_.Map(C::Lbl4, lbl4_);
}

std::string MacroEditorWindow::LabelText(EditorControl control) const {
    return roles_.Caption(control);
}

bool MacroEditorWindow::OnWindowKey(UINT key, bool, HWND) {
    // Esc closes the editor as its Close button does.
    if (key == VK_ESCAPE) {
        Sb_CloseClick();
        return true;
    }
    return false;
}

}  // namespace orv::macros
