// The button pictures of the main window (BitmapList_Btn) and of the macro editor (BitmapList_Macros).
#include <algorithm>
#include <cmath>
#include <functional>

#include "widgets/pictures.h"

namespace orv::widgets {

namespace {

constexpr float kPi = 3.14159265f;

using Glyph = std::function<void(Canvas&, Point centre, float size, Colour colour)>;

std::shared_ptr<const Picture> Finish(Picture&& picture) {
    picture.Seal();
    return std::make_shared<const Picture>(std::move(picture));
}

// The body colours of a large button, top and bottom of its gradient.
struct Accent {
    Colour top, bottom;
};
constexpr Accent kGreen{Rgb(104, 214, 134), Rgb(18, 128, 66)};
constexpr Accent kRed{Rgb(255, 118, 96), Rgb(184, 8, 8)};
constexpr Accent kAmber{Rgb(255, 214, 96), Rgb(204, 116, 18)};
constexpr Accent kBlue{Rgb(92, 204, 255), Rgb(0, 104, 180)};
constexpr Accent kSteel{Rgb(112, 152, 208), Rgb(22, 66, 128)};

// Glyphs, drawn around `centre` within a square of `size`.
void PlayGlyph(Canvas& c, Point m, float s, Colour colour) {
    c.FillPolygon(
        {{m.x - s * 0.28f, m.y - s * 0.36f}, {m.x + s * 0.38f, m.y}, {m.x - s * 0.28f, m.y + s * 0.36f}},
        Fill::Solid(colour));
}

void StopGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float h = s * 0.3f;
    c.FillRoundRect(Box{m.x - h, m.y - h, m.x + h, m.y + h}, s * 0.06f, Fill::Solid(colour));
}

void CheckGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float w = std::max(1.6f, s * 0.14f);
    c.Line({m.x - s * 0.32f, m.y + s * 0.02f}, {m.x - s * 0.08f, m.y + s * 0.27f}, w, Fill::Solid(colour));
    c.Line({m.x - s * 0.08f, m.y + s * 0.27f}, {m.x + s * 0.34f, m.y - s * 0.28f}, w, Fill::Solid(colour));
}

void CrossGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float h = s * 0.27f, w = std::max(1.6f, s * 0.13f);
    c.Line({m.x - h, m.y - h}, {m.x + h, m.y + h}, w, Fill::Solid(colour));
    c.Line({m.x - h, m.y + h}, {m.x + h, m.y - h}, w, Fill::Solid(colour));
}

// A circular arrow (reset): an open ring with an arrow head at its end.
void ResetGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float r = s * 0.3f, w = std::max(1.6f, s * 0.12f);
    c.FillShape(
        Box{m.x - r - w, m.y - r - w, m.x + r + w, m.y + r + w},
        [=](float x, float y) {
            const float dx = x - m.x, dy = y - m.y;
            const float ring = std::fabs(std::hypot(dx, dy) - r) - w / 2;
            // Leave a gap in the upper right quarter.
            const float angle = std::atan2(dy, dx);
            const float gap = (angle < -kPi * 0.1f && angle > -kPi * 0.45f) ? 1.0f : -1.0f;
            return gap > 0 ? 1.0f : ring;
        },
        Fill::Solid(colour));
    const float ax = m.x + r * std::cos(-kPi * 0.1f), ay = m.y + r * std::sin(-kPi * 0.1f);
    c.FillPolygon(
        {{ax - s * 0.2f, ay - s * 0.02f}, {ax + s * 0.18f, ay - s * 0.06f}, {ax + s * 0.02f, ay + s * 0.26f}},
        Fill::Solid(colour));
}

// A bold question mark drawn as shapes, like every other glyph: no font of its own to keep.
void QuestionGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float r = s * 0.16f, w = s * 0.13f;
    const Point hook{m.x, m.y - s * 0.13f};
    // The hook: a ring with its lower left quarter open, cut square at both ends.
    c.FillShape(
        Box{hook.x - r - w, hook.y - r - w, hook.x + r + w, hook.y + r + w},
        [=](float x, float y) {
            const float dx = x - hook.x, dy = y - hook.y;
            const float ring = std::fabs(std::hypot(dx, dy) - r) - w / 2;
            return (dx < 0 && dy > 0) ? std::max(ring, std::min(-dx, dy)) : ring;
        },
        Fill::Solid(colour));
    c.Line({hook.x, hook.y + r}, {hook.x, m.y + s * 0.1f}, w, Fill::Solid(colour));
    c.FillCircle({hook.x, m.y + s * 0.31f}, w * 0.6f, Fill::Solid(colour));
}

void GlobeGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float r = s * 0.34f, w = 1.2f;
    c.StrokeCircle(m, r, w, Fill::Solid(colour));
    // Meridian: an ellipse half as wide.
    c.FillShape(
        Box{m.x - r, m.y - r - 1, m.x + r, m.y + r + 1},
        [=](float x, float y) {
            const float nx = (x - m.x) / (r * 0.45f), ny = (y - m.y) / r;
            const float d = (std::hypot(nx, ny) - 1) * r * 0.55f;
            return std::fabs(d) - w / 2;
        },
        Fill::Solid(colour));
    c.Line({m.x, m.y - r}, {m.x, m.y + r}, w, Fill::Solid(colour));
    c.Line({m.x - r, m.y}, {m.x + r, m.y}, w, Fill::Solid(colour));
}

void MinimiseGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float h = s * 0.26f;
    c.Line({m.x - h, m.y + s * 0.22f}, {m.x + h, m.y + s * 0.22f}, 2.2f, Fill::Solid(colour));
    c.FillPolygon(
        {{m.x - s * 0.2f, m.y - s * 0.12f}, {m.x + s * 0.2f, m.y - s * 0.12f}, {m.x, m.y + s * 0.1f}},
        Fill::Solid(colour));
    c.Line({m.x, m.y - s * 0.3f}, {m.x, m.y - s * 0.08f}, 1.6f, Fill::Solid(colour));
}

void FolderGlyph(Canvas& c, Point m, float s, Colour colour) {
    const float l = m.x - s * 0.36f, r = m.x + s * 0.36f, t = m.y - s * 0.26f, b = m.y + s * 0.28f;
    c.FillRoundRect(Box{l, t, l + s * 0.32f, t + s * 0.2f}, 1, Fill::Solid(Lighten(colour, -0.2f)));
    c.FillRoundRect(Box{l, t + s * 0.1f, r, b}, 1.2f, Fill::Vertical(Lighten(colour, 0.25f), colour, t, b));
    c.FillRect(Box{l + 1, t + s * 0.22f, r - 1, t + s * 0.27f},
               Fill::Solid(WithAlpha(Rgb(255, 255, 255), 110)));
}

void BoltGlyph(Canvas& c, Point m, float s, Colour colour) {
    const Fill fill = Fill::Vertical(Lighten(colour, 0.35f), colour, m.y - s * 0.4f, m.y + s * 0.4f);
    // Two triangles as one shape, so that no seam shows where they meet.
    const std::vector<Point> upper{{m.x + s * 0.12f, m.y - s * 0.42f},
                                   {m.x - s * 0.24f, m.y + s * 0.06f},
                                   {m.x + s * 0.02f, m.y + s * 0.06f}};
    const std::vector<Point> lower{{m.x - s * 0.12f, m.y + s * 0.42f},
                                   {m.x + s * 0.24f, m.y - s * 0.06f},
                                   {m.x - s * 0.02f, m.y - s * 0.06f}};
    c.FillShape(
        Box{m.x - s / 2, m.y - s / 2, m.x + s / 2, m.y + s / 2},
        [&](float x, float y) {
            return std::min(ConvexPolygonDistance(upper, x, y), ConvexPolygonDistance(lower, x, y));
        },
        fill);
}

// A 164 x 50 button: a glossy pill with a round badge holding the glyph and the word beside it.
Picture LargeButton(const Accent& accent, ButtonState state, const Glyph& glyph, const std::wstring& word) {
    Picture picture(kLargeButtonWidth, kLargeButtonHeight);
    Canvas c(picture);
    const bool hot = state != ButtonState::Normal, pressed = state == ButtonState::Pressed;
    const float shift = pressed ? 1.0f : 0.0f;
    const Box body = Box{2, 2, 162, 47}.Moved(0, shift);
    Colour top = accent.top, bottom = accent.bottom;
    if (hot && !pressed) {
        top = Lighten(top, 0.18f);
        bottom = Lighten(bottom, 0.14f);
    }
    if (pressed) {
        std::swap(top, bottom);
        top = Lighten(top, -0.1f);
    }
    // Soft drop shadow under the body (smaller when pressed).
    if (!pressed) {
        c.FillRoundRect(body.Moved(0, 2).Inset(-0.5f), 12, Fill::Solid(Rgb(0, 20, 50, 70)));
    }
    c.FillRoundRect(body, 11, Fill::Vertical(top, bottom, body.top, body.bottom));
    // Gloss over the upper half.
    if (!pressed) {
        const Box gloss{body.left + 3, body.top + 2, body.right - 3, body.top + 21};
        c.FillRoundRect(
            gloss, 9,
            Fill::Vertical(Rgb(255, 255, 255, 110), Rgb(255, 255, 255, 18), gloss.top, gloss.bottom));
    }
    c.StrokeRoundRect(body, 11, 1, Fill::Solid(Lighten(accent.bottom, -0.5f)));
    c.StrokeRoundRect(body.Inset(1), 10, 1, Fill::Solid(Rgb(255, 255, 255, pressed ? 30 : 70)));
    if (hot) {
        c.StrokeRoundRect(body.Inset(-1.2f), 12, 1.4f,
                          Fill::Solid(WithAlpha(kTitleNameColour, pressed ? 150 : 230)));
    }
    // Badge.
    const Point badge{27, 24.5f + shift};
    c.FillCircle(badge, 15,
                 Fill::Vertical(Lighten(accent.bottom, -0.35f), Lighten(accent.bottom, -0.1f), badge.y - 15,
                                badge.y + 15));
    c.StrokeCircle(badge, 14.5f, 1, Fill::Solid(Rgb(255, 255, 255, 90)));
    glyph(c, badge, 22, hot ? Rgb(255, 236, 170) : Rgb(255, 255, 255));
    // The word: as large as fits beside the badge, with a dark shadow.
    const Box words{46, 2 + shift, 158, 46 + shift};
    FontStyle font{19, true};
    while (font.pixelHeight > 11 && Canvas::MeasureText(word, font).cx > words.Width() - 4) {
        --font.pixelHeight;
    }
    c.TextWithShadow(word, font, words, Align::Centre, Rgb(255, 255, 255), Lighten(accent.bottom, -0.55f));
    return picture;
}

// The small square buttons: a rounded tile with a glyph. `hotAccent` colours the hot tile.
Picture SmallButton(int width, int height, bool hot, const Accent& hotAccent, const Glyph& glyph,
                    float glyphSize, Colour glyphColour, float radius = 5) {
    Picture picture(width, height);
    Canvas c(picture);
    const Box body{0.5f, 0.5f, width - 0.5f, height - 0.5f};
    const Accent normal{Rgb(36, 88, 160), Rgb(14, 52, 104)};
    const Accent& accent = hot ? hotAccent : normal;
    c.FillRoundRect(body, radius, Fill::Vertical(accent.top, accent.bottom, body.top, body.bottom));
    c.FillRoundRect(
        Box{body.left + 1.5f, body.top + 1.5f, body.right - 1.5f, body.top + body.Height() * 0.48f},
        radius - 1.5f,
        Fill::Vertical(Rgb(255, 255, 255, hot ? 90 : 45), Rgb(255, 255, 255, 8), body.top,
                       body.top + body.Height() * 0.48f));
    c.StrokeRoundRect(body, radius, 1, Fill::Solid(hot ? Rgb(235, 248, 255, 230) : Rgb(130, 180, 235, 200)));
    glyph(c, Point{width / 2.0f, height / 2.0f}, glyphSize, glyphColour);
    return picture;
}

// A spin arrow half (19 x 10 on the main window, or the editor's 17 x 21 side arrows).
Picture Arrow(int width, int height, int direction, bool hot) {
    // direction: 0 up, 1 down, 2 left, 3 right
    Picture picture(width, height);
    Canvas c(picture);
    const Box body{0.5f, 0.5f, width - 0.5f, height - 0.5f};
    const Colour top = hot ? Rgb(120, 214, 255) : Rgb(20, 146, 210);
    const Colour bottom = hot ? Rgb(30, 150, 225) : Rgb(0, 100, 162);
    c.FillRoundRect(body, 2.5f, Fill::Vertical(top, bottom, body.top, body.bottom));
    c.StrokeRoundRect(body, 2.5f, 1, Fill::Solid(hot ? Rgb(240, 250, 255, 230) : Rgb(12, 60, 110, 220)));
    const Colour glyph = hot ? Rgb(255, 255, 255) : kFieldTextColour;
    const float cx = width / 2.0f, cy = height / 2.0f;
    const float a = std::min(width, height) * 0.34f + (direction >= 2 ? 1.0f : 0.5f);
    switch (direction) {
        case 0:
            c.FillPolygon({{cx, cy - a * 0.55f}, {cx + a, cy + a * 0.55f}, {cx - a, cy + a * 0.55f}},
                          Fill::Solid(glyph));
            break;
        case 1:
            c.FillPolygon({{cx, cy + a * 0.55f}, {cx + a, cy - a * 0.55f}, {cx - a, cy - a * 0.55f}},
                          Fill::Solid(glyph));
            break;
        case 2:
            c.FillPolygon({{cx - a * 0.55f, cy}, {cx + a * 0.55f, cy - a}, {cx + a * 0.55f, cy + a}},
                          Fill::Solid(glyph));
            break;
        default:
            c.FillPolygon({{cx + a * 0.55f, cy}, {cx - a * 0.55f, cy - a}, {cx - a * 0.55f, cy + a}},
                          Fill::Solid(glyph));
            break;
    }
    return picture;
}

// The 23 x 23 option box, empty or ticked.
Picture OptionBox(bool on) {
    Picture picture(23, 23);
    Canvas c(picture);
    const Box box{2.5f, 2.5f, 20.5f, 20.5f};
    c.FillRoundRect(box.Moved(0, 1), 4.5f, Fill::Solid(Rgb(0, 20, 50, 60)));
    c.FillRoundRect(box, 4, Fill::Vertical(Rgb(0, 96, 150), Rgb(20, 150, 215), box.top, box.bottom));
    c.StrokeRoundRect(box, 4, 1, Fill::Solid(Rgb(215, 237, 255, 230)));
    if (on) {
        c.Line({7.2f, 11.8f}, {10.2f, 15.2f}, 2.6f, Fill::Solid(Rgb(120, 60, 0, 120)));
        c.Line({10.2f, 15.2f}, {16.6f, 7.6f}, 2.6f, Fill::Solid(Rgb(120, 60, 0, 120)));
        c.Line({6.8f, 11.0f}, {9.8f, 14.4f}, 2.4f, Fill::Solid(kTitleNameColour));
        c.Line({9.8f, 14.4f}, {16.2f, 6.8f}, 2.4f, Fill::Solid(kTitleNameColour));
    }
    return picture;
}

// The frame behind the editor's selected-file field.
Picture FieldFrame(int width, int height) {
    Picture picture(width, height);
    Canvas c(picture);
    const Box box{0.5f, 0.5f, width - 0.5f, height - 0.5f};
    c.FillRoundRect(box, 3, Fill::Solid(kEditorFieldColour));
    c.StrokeRoundRect(box, 3, 1, Fill::Solid(Rgb(120, 175, 230)));
    c.FillRect(Box{2, 1.5f, width - 2.0f, 2.5f}, Fill::Solid(Rgb(0, 30, 70, 90)));
    return picture;
}

}  // namespace

const ButtonWords& EnglishButtonWords() {
    static const ButtonWords words{L"Start", L"Stop", L"Reset", L"Apply", L"Run", L"Close"};
    return words;
}

const ButtonWords& RussianButtonWords() {
    static const ButtonWords words{L"\u0421\u0442\u0430\u0440\u0442",                          // Старт
                                   L"\u0421\u0442\u043e\u043f",                                // Стоп
                                   L"\u0421\u0431\u0440\u043e\u0441",                          // Сброс
                                   L"\u041f\u0440\u0438\u043c\u0435\u043d\u0438\u0442\u044c",  // Применить
                                   L"\u0417\u0430\u043f\u0443\u0441\u043a",                    // Запуск
                                   L"\u0417\u0430\u043a\u0440\u044b\u0442\u044c"};  // Закрыть
    return words;
}

PictureSet BuildButtonPictures() {
    PictureSet set;
    const Glyph glyphs[4] = {QuestionGlyph, GlobeGlyph, MinimiseGlyph, CrossGlyph};
    for (int i = 0; i < 4; ++i) {
        const Accent hotAccent = i == 3 ? Accent{Rgb(255, 110, 90), Rgb(200, 0, 0)} : kBlue;
        const float size = i == 0 ? 18 : 17;
        set.SetMaker(
            2 * i, [=] { return SmallButton(22, 23, true, hotAccent, glyphs[i], size, Rgb(255, 255, 255)); });
        set.SetMaker(2 * i + 1, [=] {
            return SmallButton(22, 23, false, hotAccent, glyphs[i], size, kFieldTextColour);
        });
    }
    set.SetMaker(btn::kArrowUp, [=] { return Arrow(19, 10, 0, false); });
    set.SetMaker(btn::kArrowDown, [=] { return Arrow(19, 10, 1, false); });
    set.SetMaker(btn::kArrowUpHot, [=] { return Arrow(19, 10, 0, true); });
    set.SetMaker(btn::kArrowDownHot, [=] { return Arrow(19, 10, 1, true); });
    const ButtonWords* words[2] = {&EnglishButtonWords(), &RussianButtonWords()};
    for (int language = 0; language < 2; ++language) {
        for (int state = 0; state < 3; ++state) {
            const auto s = static_cast<ButtonState>(state);
            set.SetMaker(btn::kStartFirst + 6 * language + state,
                         [=] { return LargeButton(kGreen, s, PlayGlyph, words[language]->start); });
            set.SetMaker(btn::kStartFirst + 6 * language + 3 + state,
                         [=] { return LargeButton(kRed, s, StopGlyph, words[language]->stop); });
            set.SetMaker(btn::kResetFirst + 3 * language + state,
                         [=] { return LargeButton(kAmber, s, ResetGlyph, words[language]->reset); });
            set.SetCaption(btn::kStartFirst + 6 * language + state, words[language]->start);
            set.SetCaption(btn::kStartFirst + 6 * language + 3 + state, words[language]->stop);
            set.SetCaption(btn::kResetFirst + 3 * language + state, words[language]->reset);
        }
    }
    set.SetMaker(btn::kOptionOff, [=] { return OptionBox(false); });
    set.SetMaker(btn::kOptionOn, [=] { return OptionBox(true); });
    set.SetMaker(btn::kAction,
                 [=] { return SmallButton(22, 22, false, kBlue, BoltGlyph, 18, kTitleNameColour); });
    set.SetMaker(btn::kActionHot,
                 [=] { return SmallButton(22, 22, true, kBlue, BoltGlyph, 18, Rgb(255, 224, 120)); });
    set.SetMaker(btn::kPath,
                 [=] { return SmallButton(22, 22, false, kBlue, FolderGlyph, 18, Rgb(232, 176, 52)); });
    set.SetMaker(btn::kPathHot,
                 [=] { return SmallButton(22, 22, true, kBlue, FolderGlyph, 18, Rgb(255, 214, 96)); });
    // Places the window does not use hold a transparent picture.
    set.FillGaps(Finish(Picture(22, 22)));
    return set;
}

PictureSet BuildMacroPictures() {
    PictureSet set;
    const ButtonWords* words[2] = {&EnglishButtonWords(), &RussianButtonWords()};
    for (int language = 0; language < 2; ++language) {
        for (int state = 0; state < 3; ++state) {
            const auto s = static_cast<ButtonState>(state);
            const int offset = 3 * language + state;
            set.SetMaker(macros::kApplyFirst + offset,
                         [=] { return LargeButton(kBlue, s, CheckGlyph, words[language]->apply); });
            set.SetMaker(macros::kResetFirst + offset,
                         [=] { return LargeButton(kAmber, s, ResetGlyph, words[language]->reset); });
            set.SetMaker(macros::kRunFirst + offset,
                         [=] { return LargeButton(kGreen, s, PlayGlyph, words[language]->run); });
            set.SetMaker(macros::kCloseFirst + offset,
                         [=] { return LargeButton(kSteel, s, CrossGlyph, words[language]->close); });
            set.SetCaption(macros::kApplyFirst + offset, words[language]->apply);
            set.SetCaption(macros::kResetFirst + offset, words[language]->reset);
            set.SetCaption(macros::kRunFirst + offset, words[language]->run);
            set.SetCaption(macros::kCloseFirst + offset, words[language]->close);
        }
    }
    set.SetMaker(macros::kArrowPrevious, [=] { return Arrow(17, 21, 2, false); });
    set.SetMaker(macros::kArrowNext, [=] { return Arrow(17, 21, 3, false); });
    set.SetMaker(macros::kArrowPreviousHot, [=] { return Arrow(17, 21, 2, true); });
    set.SetMaker(macros::kArrowNextHot, [=] { return Arrow(17, 21, 3, true); });
    set.SetMaker(macros::kMethodOff, [=] { return OptionBox(false); });
    set.SetMaker(macros::kMethodOn, [=] { return OptionBox(true); });
    set.SetMaker(macros::kFieldFrame, [=] { return FieldFrame(366, 21); });
    // The list ends with unused places; they, like the gaps, hold a transparent picture.
    set.Set(macros::kCount - 1, nullptr);
    set.FillGaps(Finish(Picture(23, 23)));
    return set;
}

}  // namespace orv::widgets
