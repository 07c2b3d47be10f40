#include "macros/macro_editor_window.h"

#include <algorithm>

#include "lang/apply.h"
#include "lang/constants.h"

namespace orv::macros {
namespace {

using widgets::Colour;
using widgets::Rgb;

constexpr int kNameFieldId = 101;
constexpr int kBatFileFieldId = 102;
constexpr int kListId = 103;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 100;

constexpr Colour kSilver = Rgb(192, 192, 192);
constexpr Colour kCaptionColour = Rgb(215, 237, 255);
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
    style.fill = widgets::Fill::Solid(widgets::kEditorFieldColour);
    style.verticalCentre = true;
    return style;
}

}  // namespace

bool LargeButtonHovered(bool windowVisible, POINT windowOrigin, int buttonLeft, POINT cursor) {
    if (!windowVisible) {
        return false;
    }
    const RECT box{windowOrigin.x + buttonLeft, windowOrigin.y + kLargeButtonTop,
                   windowOrigin.x + buttonLeft + widgets::kLargeButtonWidth,
                   windowOrigin.y + kLargeButtonTop + widgets::kLargeButtonHeight};
    return widgets::IsStrictlyInside(box, cursor);
}

int LargeButtonPicture(LargeButton button, int32_t language, bool hovered, bool pressed) {
    const int column = language == lang::kRussian ? 3 : 0;
    const int state = hovered ? (pressed ? 2 : 1) : 0;
    return kFirstPictures[static_cast<int>(button)] + column + state;
}

MacroEditorWindow::~MacroEditorWindow() {
    // Destroyed here, while the controls and the model still exist for the last messages.
    Destroy();
}

bool MacroEditorWindow::Create(HINSTANCE, MacroTable& table, const lang::LanguageState& language,
                               const widgets::ProgramPictures& pictures) {
    if (Exists()) {
        return false;
    }
    table_ = &table;
    language_ = &language;
    pictures_ = &pictures;
    model_ = std::make_unique<MacroEditorModel>(table);
    if (!SkinnedWindow::Create(L"TfmMacros", L"Macros", 0, kEditorTop, widgets::kEditorWidth,
                               widgets::kEditorHeight)) {
        return false;
    }
    SetSkin(&pictures.editorBackground);
    SetColour(widgets::kWindowColour);
    CreateControls();
    MapControls();
    table.SetCurrentMacro(0);
    ApplyLanguage(*language.Table());
    DrawLargeButtons(Cursor(), false);
    ::SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
    return true;
}

void MacroEditorWindow::CreateControls() {
    const HWND window = Handle();
    const widgets::PictureSet* set = &pictures_->macros;

    title_.Create(window, 8, 6, 83, 25, "", widgets::HeadingStyle());
    lbl1_.Create(window, 32, 80, 1, kLabelHeight, "", EditorCaptionStyle(kSilver, false));
    lbl2_.Create(window, 48, 134, 1, kLabelHeight, "", EditorCaptionStyle(kCaptionColour, true));
    lbl3_.Create(window, 48, 192, 1, kLabelHeight, "", EditorCaptionStyle(kCaptionColour, true));
    lbl4_.Create(window, 448, 192, 1, kLabelHeight, "", EditorCaptionStyle(kCaptionColour, true));

    smallFont_.Reset(widgets::CreateUiFont(widgets::FontStyle{11}));
    nameFont_.Reset(widgets::CreateUiFont(widgets::FontStyle{19}));

    nameField_ = widgets::CreateChildControl(window, L"EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0,
                                             32, 94, 400, 21, kNameFieldId);
    widgets::SetControlFont(nameField_, nameFont_.Get());

    up_.Create(window, 30, 148, 17, 21, set, widgets::macros::kArrowPrevious);
    up_.onClick = [this] { Sb_BAT_File_UpClick(); };
    batFileFrame_.Create(window, 47, 148, 366, 21);
    batFileFrame_.SetPicture(set->Get(widgets::macros::kFieldFrame));
    // The field lies on its frame; the frame hands the field's notifications on to this window.
    batFileField_ = widgets::CreateChildControl(batFileFrame_.Handle(), L"EDIT", "",
                                                WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 50 - 47,
                                                150 - 148, 360, 14, kBatFileFieldId);
    widgets::SetControlFont(batFileField_, smallFont_.Get());
    down_.Create(window, 413, 148, 17, 21, set, widgets::macros::kArrowNext);
    down_.onClick = [this] { Sb_BAT_File_DownClick(); };

    list_ = widgets::CreateChildControl(window, L"LISTBOX", "",
                                        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                                            LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                        0, 46, 208, 368, 175, kListId);
    widgets::SetControlFont(list_, smallFont_.Get());
    ::SendMessageW(list_, LB_SETITEMHEIGHT, 0, kListItemHeight);

    for (int box = 0; box < 3; ++box) {
        const auto method = static_cast<CallMethod>(box);
        methodBoxes_[box].Create(window, 450, 232 + 30 * box, 23, 23, set, widgets::macros::kMethodOff);
        methodBoxes_[box].onClick = [this, method] { Cb_Macros_Regime_BATClick(method); };
        methodLabels_[box].Create(window, 475, 234 + 30 * box, 1, kLabelHeight, lang::kCallMethodLabels[box],
                                  EditorCaptionStyle(kCaptionColour, true));
        methodLabels_[box].onClick = [this, method] { Cb_Macros_Regime_BATClick(method); };
        FitLabel(methodLabels_[box]);
    }

    const std::array<void (MacroEditorWindow::*)(), kLargeButtonCount> clicks{
        &MacroEditorWindow::Sb_AppleClick, &MacroEditorWindow::Sb_ResetClick, &MacroEditorWindow::Sb_RunClick,
        &MacroEditorWindow::Sb_CloseClick};
    workImages_.clear();
    for (int i = 0; i < kLargeButtonCount; ++i) {
        // The button shows nothing of its own: its work image, painted by the timer and by this
        // window's content, is what the user sees.
        largeButtons_[i].Create(window, kLargeButtonLefts[i], kLargeButtonTop, widgets::kLargeButtonWidth,
                                widgets::kLargeButtonHeight, nullptr, -1);
        largeButtons_[i].onClick = [this, click = clicks[i]] { (this->*click)(); };
        largeButtons_[i].onMouseDown = [this, i](widgets::MouseButton button) {
            if (button == widgets::MouseButton::Left) {
                pressed_[i] = true;
            }
        };
        largeButtons_[i].onMouseUp = [this, i](widgets::MouseButton button) {
            if (button == widgets::MouseButton::Left) {
                pressed_[i] = false;
            }
        };
        workImages_.emplace_back(widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
        workImages_.back().SetBackdrop(&pictures_->editorBackground, kLargeButtonLefts[i], kLargeButtonTop);
    }

    colours_.Set(nameField_, kSilver, widgets::kEditorFieldColour);
    colours_.Set(batFileField_, kSilver, widgets::kEditorFieldColour);
    colours_.Set(list_, kSilver, widgets::kEditorFieldColour);
}

void MacroEditorWindow::FitLabel(widgets::Label& label) {
    const RECT box = label.BoxInParent();
    label.Place(box.left, box.top, std::max(label.TextWidth() + 1, 1), box.bottom - box.top);
}

void MacroEditorWindow::ApplyLanguage(const lang::LanguageTable& table) {
    if (!Exists()) {
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
}

void MacroEditorWindow::Show(HWND mainWindow, int macroNumber) {
    if (!Exists() || IsVisible()) {
        return;
    }
    if (mainWindow != nullptr) {
        // Owned by the main window: kept above it and without a taskbar entry of its own.
        ::SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(mainWindow));
    }
    model_->OpenOn(macroNumber);
    FormShow(mainWindow);
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetFocus(nameField_);
}

void MacroEditorWindow::ShowModalFor(HWND mainWindow, int macroNumber) {
    if (!Exists() || IsVisible()) {
        return;
    }
    Show(mainWindow, macroNumber);
    modal_.Begin(mainWindow);
    widgets::RunModalLoop([this] { return Exists() && IsVisible(); });
    modal_.End();
}

void MacroEditorWindow::FormShow(HWND mainWindow) {
    RECT main{0, 0, 0, 0};
    if (mainWindow != nullptr) {
        ::GetWindowRect(mainWindow, &main);
    }
    ::SetWindowPos(Handle(), nullptr, main.left + kEditorLeftOffset, kEditorTop, widgets::kEditorWidth,
                   widgets::kEditorHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    title_.SetTextColour(widgets::kWindowColour);
    open_ = true;
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
    open_ = false;
    model_->FormClose();
    if (onShownChanged) {
        onShownChanged(false);
    }
}

void MacroEditorWindow::Hide() {
    Sb_CloseClick();
}

void MacroEditorWindow::TakeFields() {
    model_->SetNameField(widgets::GetWindowTextUtf8(nameField_));
    model_->SetBatFileField(widgets::GetWindowTextUtf8(batFileField_));
}

void MacroEditorWindow::ShowView() {
    const MacroEditorView& view = model_->View();
    if (widgets::GetWindowTextUtf8(nameField_) != view.nameField) {
        widgets::SetWindowTextUtf8(nameField_, view.nameField);
    }
    if (widgets::GetWindowTextUtf8(batFileField_) != view.batFileField) {
        widgets::SetWindowTextUtf8(batFileField_, view.batFileField);
    }
    if (shownList_ != view.batList) {
        ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
        for (const std::string& entry : view.batList) {
            const std::wstring wide = widgets::Wide(entry);
            ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        }
        ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list_, nullptr, TRUE);
        shownList_ = view.batList;
    }
    if (::SendMessageW(list_, LB_GETCURSEL, 0, 0) != view.selectedEntry) {
        ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(view.selectedEntry), 0);
    }
    for (int box = 0; box < 3; ++box) {
        methodBoxes_[box].SetPicture(view.methodTicked[box] ? widgets::macros::kMethodOn
                                                            : widgets::macros::kMethodOff);
    }
}

void MacroEditorWindow::Sb_AppleClick() {
    TakeFields();
    const bool changed = model_->Apply();
    ShowView();
    if (changed && onApplied) {
        onApplied();
    }
}

void MacroEditorWindow::Sb_ResetClick() {
    TakeFields();
    model_->Reset();
    ShowView();
}

void MacroEditorWindow::Sb_RunClick() {
    model_->Run();
}

void MacroEditorWindow::Sb_CloseClick() {
    if (!Exists() || !IsVisible()) {
        return;
    }
    FormClose();
    // The main window is enabled again before this one disappears, so that it gets the activation.
    modal_.End();
    ::ShowWindow(Handle(), SW_HIDE);
    // Wakes a modal loop waiting for the next message.
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
}

void MacroEditorWindow::Sb_BAT_File_UpClick() {
    TakeFields();
    model_->BatFileUp();
    ShowView();
}

void MacroEditorWindow::Sb_BAT_File_DownClick() {
    TakeFields();
    model_->BatFileDown();
    ShowView();
}

void MacroEditorWindow::ListBoxt_BAT_FileClick() {
    TakeFields();
    model_->ClickListEntry(static_cast<int>(::SendMessageW(list_, LB_GETCURSEL, 0, 0)));
    ShowView();
}

void MacroEditorWindow::Cb_Macros_Regime_BATClick(CallMethod method) {
    TakeFields();
    model_->ChooseMethod(method);
    ShowView();
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
    if (!Exists()) {
        return;
    }
    const POINT cursor = Cursor();
    const bool visible = IsVisible();
    DrawLargeButtons(cursor, visible);
    // The two arrows light up under the cursor as well.
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    auto hot = [&](int left, int top, int width, int height) {
        return visible &&
               widgets::IsStrictlyInside(RECT{window.left + left, window.top + top,
                                              window.left + left + width, window.top + top + height},
                                         cursor);
    };
    up_.SetPicture(hot(30, 148, 17, 21) ? widgets::macros::kArrowPreviousHot
                                        : widgets::macros::kArrowPrevious);
    down_.SetPicture(hot(413, 148, 17, 21) ? widgets::macros::kArrowNextHot : widgets::macros::kArrowNext);
}

void MacroEditorWindow::DrawLargeButtons(POINT cursor, bool windowVisible) {
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    const int32_t language = language_->Language();
    for (int i = 0; i < kLargeButtonCount; ++i) {
        const bool hovered =
            LargeButtonHovered(windowVisible, POINT{window.left, window.top}, kLargeButtonLefts[i], cursor);
        const int picture = LargeButtonPicture(static_cast<LargeButton>(i), language, hovered, pressed_[i]);
        workImages_[i].Draw(pictures_->macros, picture);
        shownPicture_[i] = picture;
        // While hidden only the work image is kept current: it is what the next showing paints.
        if (windowVisible && largeButtons_[i].Exists()) {
            widgets::WindowDc dc(largeButtons_[i].Handle());
            if (dc) {
                workImages_[i].PaintTo(dc.Get(), 0, 0);
            }
        }
    }
}

void MacroEditorWindow::PaintContent(HDC dc) {
    for (int i = 0; i < static_cast<int>(workImages_.size()); ++i) {
        workImages_[i].PaintTo(dc, kLargeButtonLefts[i], kLargeButtonTop);
    }
}

void MacroEditorWindow::MapControls() {
    using C = EditorControl;
    const auto map = [this](C control, HWND handle, const widgets::Label* label = nullptr) {
        controls_[static_cast<size_t>(control)] = handle;
        labels_[static_cast<size_t>(control)] = label;
    };
    const auto mapLabel = [&map](C control, const widgets::Label& label) {
        map(control, label.Handle(), &label);
    };
    map(C::Edit_Macros_Name, nameField_);
    map(C::Edit_BAT_File, batFileField_);
    map(C::ListBoxt_BAT_File, list_);
    map(C::Img_BAT_File_Fon, batFileFrame_.Handle());
    map(C::Sb_BAT_File_Up, up_.Handle());
    map(C::Sb_BAT_File_Down, down_.Handle());
    const std::array<C, kLargeButtonCount> large{C::Sb_Apple, C::Sb_Reset, C::Sb_Run, C::Sb_Close};
    for (int i = 0; i < kLargeButtonCount; ++i) {
        map(large[i], largeButtons_[i].Handle());
    }
    const std::array<C, 3> boxes{C::Cb_Macros_Regime_BAT_1, C::Cb_Macros_Regime_BAT_2,
                                 C::Cb_Macros_Regime_BAT_3};
    const std::array<C, 3> boxLabels{C::Lbl_Macros_Regime_BAT_1, C::Lbl_Macros_Regime_BAT_2,
                                     C::Lbl_Macros_Regime_BAT_3};
    for (int box = 0; box < 3; ++box) {
        map(boxes[box], methodBoxes_[box].Handle());
        mapLabel(boxLabels[box], methodLabels_[box]);
    }
    mapLabel(C::Lbl_Title_1, title_);
    mapLabel(C::Lbl1, lbl1_);
    mapLabel(C::Lbl2, lbl2_);
    mapLabel(C::Lbl3, lbl3_);
    mapLabel(C::Lbl4, lbl4_);
}

std::string MacroEditorWindow::LabelText(EditorControl control) const {
    const widgets::Label* label = labels_[static_cast<size_t>(control)];
    return label != nullptr ? label->Text() : std::string();
}

LRESULT MacroEditorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto coloured = colours_.OnControlColour(message, wParam, lParam)) {
        return *coloured;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam == kTimer1) {
                Timer1Timer();
                return 0;
            }
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE) {
                ListBoxt_BAT_FileClick();
                return 0;
            }
            break;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->CtlType == ODT_LISTBOX && measure->CtlID == kListId) {
                measure->itemHeight = kListItemHeight;
                return TRUE;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw->CtlType == ODT_LISTBOX && draw->CtlID == kListId) {
                widgets::DrawListEntry(
                    *draw, smallFont_.Get(),
                    widgets::ListColours{kSilver, widgets::kEditorFieldColour, widgets::kEditorFieldColour,
                                         widgets::kListSelectedColour});
                return TRUE;
            }
            break;
        }
        case WM_CLOSE:
            // The system's close command closes the editor as its Close button does; it is hidden,
            // never destroyed, until the program ends.
            Sb_CloseClick();
            return 0;
        case WM_DESTROY:
            ::KillTimer(Handle(), kTimer1);
            if (open_) {
                FormClose();
            }
            modal_.End();
            break;
        default:
            break;
    }
    return SkinnedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace orv::macros
