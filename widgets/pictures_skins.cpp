// The skins (main window, macro editor), the panel picture, the splash pictures, the icons and the
// tray menu's pictures, and the looks of the labels that sit on the skins.
#include <cmath>
#include <functional>

#include "widgets/pictures.h"

namespace orv::widgets {

namespace {

constexpr Colour kFrameLight = Rgb(120, 172, 232);
constexpr Colour kFrameDark = Rgb(14, 46, 96);

// A picture of `width` x `height` drawn by `paint`, sealed.
Picture Painted(int width, int height, const std::function<void(Canvas&)>& paint) {
    Picture picture(width, height);
    Canvas canvas(picture);
    paint(canvas);
    picture.Seal();
    return picture;
}

// A framed area of a skin: slightly darker than the window, a dark outer line and a light inner one.
void Area(Canvas& c, const Box& box, float radius) {
    c.FillRoundRect(box.Moved(0, 1), radius, Fill::Solid(Rgb(0, 20, 60, 50)));
    c.FillRoundRect(box, radius, Fill::Vertical(Rgb(46, 94, 164), Rgb(40, 84, 150), box.top, box.bottom));
    c.StrokeRoundRect(box, radius, 1, Fill::Solid(WithAlpha(kFrameDark, 200)));
    c.StrokeRoundRect(box.Inset(1), radius - 1, 1, Fill::Solid(WithAlpha(kFrameLight, 120)));
}

// The outer frame and the title band shared by both skins.
void Frame(Canvas& c, const Box& outline, float titleBottom) {
    c.FillRect(outline, Fill::Vertical(Rgb(58, 112, 186), Rgb(50, 100, 172), outline.top, outline.bottom));
    const Box band{outline.left, outline.top, outline.right, titleBottom};
    c.FillRoundRect(Box{band.left, band.top, band.right, band.bottom + 8}, 6,
                    Fill::Vertical(Rgb(8, 40, 88), Rgb(30, 78, 148), band.top, band.bottom));
    c.FillRect(Box{band.left, band.bottom, band.right, band.bottom + 8},
               Fill::Vertical(Rgb(58, 112, 186), Rgb(58, 112, 186), 0, 1));
    // A gold hairline under the band, fading out towards both ends.
    c.FillRect(Box{band.left + 4, band.bottom - 1, band.right / 2, band.bottom},
               Fill::Horizontal(WithAlpha(kTitleNameColour, 0), WithAlpha(kTitleNameColour, 200),
                                band.left + 4, band.right / 2));
    c.FillRect(Box{band.right / 2, band.bottom - 1, band.right - 4, band.bottom},
               Fill::Horizontal(WithAlpha(kTitleNameColour, 200), WithAlpha(kTitleNameColour, 0),
                                band.right / 2, band.right - 4));
    c.FillRect(Box{band.left + 2, band.bottom, band.right - 2, band.bottom + 1},
               Fill::Solid(Rgb(0, 20, 60, 70)));
    c.StrokeRoundRect(outline, 6, 1, Fill::Solid(kFrameDark));
    c.StrokeRoundRect(outline.Inset(1), 5, 1, Fill::Solid(WithAlpha(kFrameLight, 150)));
}

// Concentric arcs like a radar screen, faint: the program's emblem as decoration.
void Emblem(Canvas& c, Point centre, float radius, uint8_t alpha) {
    for (int ring = 1; ring <= 4; ++ring) {
        c.StrokeCircle(centre, radius * ring / 4.0f, 1.2f, Fill::Solid(Rgb(215, 237, 255, alpha)));
    }
    c.Line({centre.x - radius, centre.y}, {centre.x + radius, centre.y}, 1,
           Fill::Solid(Rgb(215, 237, 255, alpha)));
    c.Line({centre.x, centre.y - radius}, {centre.x, centre.y + radius}, 1,
           Fill::Solid(Rgb(215, 237, 255, alpha)));
    // The sweep: a soft wedge.
    c.FillShape(
        Box{centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius},
        [=](float x, float y) {
            const float dx = x - centre.x, dy = y - centre.y;
            const float d = std::hypot(dx, dy);
            const float angle = std::atan2(dy, dx);
            const bool inWedge = angle > -2.2f && angle < -1.2f;
            return inWedge ? d - radius : 1.0f;
        },
        Fill::Solid(Rgb(55, 190, 255, static_cast<uint8_t>(alpha / 2))));
    c.FillCircle(Point{centre.x + radius * 0.42f, centre.y - radius * 0.5f}, 3,
                 Fill::Solid(Rgb(255, 90, 70, alpha * 3 / 2)));
}

// An eye-and-radar mark in a rounded square: the program's icon, at any size.
Picture IconPicture(int size) {
    Picture picture(size, size);
    Canvas c(picture);
    const float s = static_cast<float>(size);
    const Box tile{0.5f, 0.5f, s - 0.5f, s - 0.5f};
    const float radius = s * 0.2f;
    c.FillRoundRect(tile, radius, Fill::Vertical(Rgb(60, 150, 230), Rgb(12, 52, 112), 0, s));
    c.StrokeRoundRect(tile, radius, std::max(1.0f, s / 32), Fill::Solid(Rgb(8, 34, 80)));
    const Point m{s / 2, s / 2};
    // The eye: a gold almond outline, a blue iris, a dark pupil with a light.
    c.FillShape(
        Box{s * 0.08f, s * 0.2f, s * 0.92f, s * 0.8f},
        [=](float x, float y) {
            // Intersection of two circles makes the almond.
            const float r = s * 0.52f, offset = s * 0.32f;
            const float d1 = std::hypot(x - m.x, y - (m.y - offset)) - r;
            const float d2 = std::hypot(x - m.x, y - (m.y + offset)) - r;
            return std::max(d1, d2);
        },
        Fill::Vertical(Rgb(255, 226, 120), Rgb(224, 140, 24), s * 0.25f, s * 0.75f));
    c.FillCircle(m, s * 0.2f,
                 Fill::Vertical(Rgb(92, 204, 255), Rgb(0, 96, 170), m.y - s * 0.2f, m.y + s * 0.2f));
    c.FillCircle(m, s * 0.09f, Fill::Solid(Rgb(6, 24, 56)));
    if (size >= 24) {
        c.FillCircle(Point{m.x - s * 0.06f, m.y - s * 0.07f}, s * 0.04f,
                     Fill::Solid(Rgb(255, 255, 255, 220)));
    }
    return picture;
}

}  // namespace

void DrawMainSkin(Canvas& c) {
    c.Clear(kWindowColour);
    Frame(c, Box{1, 1, 801, 601}, 48);
    // Control area: the object panels, with a light groove along each of the eight rows.
    Area(c, Box{8, 73, 794, 388}, 8);
    // The column captions' strip above the rows.
    c.FillRoundRect(Box{30, 111, 762, 133}, 6,
                    Fill::Horizontal(Rgb(215, 237, 255, 34), Rgb(215, 237, 255, 6), 30, 762));
    for (int row = 0; row < 8; ++row) {
        const float top = 140.0f + 30 * row;
        c.FillRoundRect(Box{30, top - 3, 762, top + 25}, 6, Fill::Solid(Rgb(12, 44, 96, 70)));
        c.StrokeRoundRect(Box{30, top - 3, 762, top + 25}, 6, 1, Fill::Solid(Rgb(120, 172, 232, 45)));
    }
    // Settings area: options, language, the two large buttons; the emblem on the free right side.
    Area(c, Box{8, 409, 794, 593}, 8);
    Emblem(c, Point{700, 500}, 76, 36);
    // The start indicator's place under the title buttons.
    c.FillRoundRect(Box{748, 35, 774, 48}, 3, Fill::Solid(Rgb(0, 20, 60, 80)));
}

Picture BuildPanelFill(int width, int height) {
    const Box box{0, 0, static_cast<float>(width), static_cast<float>(height)};
    return Painted(width, height, [&box](Canvas& c) {
        c.FillRect(box, Fill::Vertical(Rgb(8, 34, 76), Rgb(28, 72, 136), 0, box.bottom));
        c.FillRect(Box{0, 0, box.right, 1}, Fill::Solid(Rgb(0, 16, 44)));
        c.FillRect(Box{0, box.bottom - 1, box.right, box.bottom}, Fill::Solid(kFrameLight));
        c.FillRect(Box{0, 0, 1, box.bottom}, Fill::Solid(Rgb(0, 16, 44)));
        c.FillRect(Box{box.right - 1, 0, box.right, box.bottom}, Fill::Solid(kFrameLight));
    });
}

namespace {

void DrawEditorBackground(Canvas& c) {
    c.Clear(kWindowColour);
    Frame(c, Box{0, 0, 800, 527}, 40);
    // The macro: name, selected file, the list, the call method.
    Area(c, Box{14, 66, 786, 404}, 8);
    auto field = [&c](const Box& box) {
        c.FillRoundRect(box, 3, Fill::Solid(kEditorFieldColour));
        c.StrokeRoundRect(box, 3, 1, Fill::Solid(Rgb(120, 175, 230)));
        c.FillRect(Box{box.left + 2, box.top + 1, box.right - 2, box.top + 2},
                   Fill::Solid(Rgb(0, 30, 70, 90)));
    };
    field(Box{29, 91, 435, 118});   // name field at 32, 94, 400 x 21
    field(Box{43, 205, 417, 386});  // list at 46, 208, 368 x 175
    // The method boxes' group.
    c.FillRoundRect(Box{440, 184, 770, 330}, 6, Fill::Solid(Rgb(12, 44, 96, 60)));
    c.StrokeRoundRect(Box{440, 184, 770, 330}, 6, 1, Fill::Solid(Rgb(120, 172, 232, 60)));
    Emblem(c, Point{660, 372}, 26, 40);
    // The button bar.
    const Box bar{8, 448, 792, 519};
    c.FillRoundRect(bar, 8, Fill::Vertical(Rgb(30, 74, 140), Rgb(22, 62, 124), bar.top, bar.bottom));
    c.StrokeRoundRect(bar, 8, 1, Fill::Solid(WithAlpha(kFrameLight, 90)));
}

void DrawSplashLogo(Canvas& c) {
    c.Clear(kWindowColour);
    c.FillRect(Box{0, 0, 400, 300}, Fill::Vertical(Rgb(6, 30, 72), Rgb(54, 106, 179), 0, 300));
    c.FillShape(
        Box{0, 150, 400, 300},
        [](float x, float y) {
            // A light swell across the lower half.
            return std::hypot((x - 120) / 2.2f, y - 420) - 190;
        },
        Fill::Vertical(Rgb(55, 190, 255, 30), Rgb(55, 190, 255, 80), 200, 300));
    Emblem(c, Point{330, 236}, 56, 50);
    // The progress place at the top right.
    c.FillRoundRect(Box{250, 4, 398, 58}, 7, Fill::Solid(Rgb(0, 16, 44, 80)));
    c.StrokeRoundRect(Box{250, 4, 398, 58}, 7, 1, Fill::Solid(Rgb(120, 172, 232, 70)));
    Picture icon = IconPicture(64);
    icon.Seal();
    c.Paste(icon, 28, 96);
    c.TextWithShadow(L"Orvanter", FontStyle{46, true}, Box{100, 90, 396, 168}, Align::Left, kTitleNameColour,
                     kTitleShadowColour, 2);
    c.FillRect(Box{104, 166, 380, 167},
               Fill::Horizontal(WithAlpha(kTitleNameColour, 220), WithAlpha(kTitleNameColour, 0), 104, 380));
    c.StrokeRoundRect(Box{0, 0, 400, 300}, 0, 1, Fill::Solid(kFrameDark));
}

// Loading: an hourglass whose waist lies under the progress bar.
void DrawLoadMark(Canvas& c) {
    const Fill glass = Fill::Vertical(Rgb(215, 237, 255, 230), Rgb(120, 172, 232, 230), 0, 49);
    c.FillRoundRect(Box{5, 1, 28, 4}, 1.5f, Fill::Solid(kTitleNameColour));
    c.FillPolygon({{7, 4}, {26, 4}, {16.5f, 13}}, glass);
    c.FillPolygon({{16.5f, 27}, {26, 44}, {7, 44}}, glass);
    c.FillPolygon({{12, 44}, {21, 44}, {16.5f, 36}}, Fill::Solid(kTitleNameColour));
    c.FillRoundRect(Box{5, 44, 28, 47}, 1.5f, Fill::Solid(kTitleNameColour));
}

// Done: a green tick under the bar.
void DrawDoneMark(Canvas& c) {
    c.FillCircle(Point{12.5f, 38}, 10, Fill::Vertical(Rgb(104, 214, 134), Rgb(18, 128, 66), 28, 48));
    c.StrokeCircle(Point{12.5f, 38}, 9.5f, 1, Fill::Solid(Rgb(255, 255, 255, 120)));
    c.Line({8, 38.5f}, {11, 41.5f}, 2.2f, Fill::Solid(Rgb(255, 255, 255)));
    c.Line({11, 41.5f}, {17, 34}, 2.2f, Fill::Solid(Rgb(255, 255, 255)));
    c.FillRoundRect(Box{4, 2, 21, 8}, 3, Fill::Solid(Rgb(104, 214, 134, 200)));
}

// A texture of the progress bar: a vertical gradient under light diagonal stripes, 8 pixels per repeat.
void DrawStripes(Canvas& c, Colour top, Colour bottom, uint8_t stripeAlpha) {
    c.FillRect(Box{0, 0, 8, 15}, Fill::Vertical(top, bottom, 0, 15));
    for (int y = 0; y < 15; ++y) {
        c.FillRect(Box{static_cast<float>(y % 8), static_cast<float>(y), static_cast<float>(y % 8 + 2),
                       static_cast<float>(y + 1)},
                   Fill::Solid(Rgb(255, 255, 255, stripeAlpha)));
    }
}

// The bar: navy, with a light top edge.
void DrawBarTexture(Canvas& c) {
    DrawStripes(c, Rgb(60, 80, 190), Rgb(0, 0, 110), 36);
    c.FillRect(Box{0, 0, 8, 1}, Fill::Solid(Rgb(255, 255, 255, 90)));
}

// Behind the bar: grey.
void DrawBarBackgroundTexture(Canvas& c) {
    DrawStripes(c, Rgb(176, 176, 176), Rgb(226, 226, 226), 50);
}

}  // namespace

Picture BuildEditorBackground() {
    return Painted(kEditorWidth, kEditorHeight, DrawEditorBackground);
}

Picture BuildSplashLogo() {
    return Painted(kSplashWidth, kSplashHeight, DrawSplashLogo);
}

void SplashPictures::Make() {
    auto make = [](Picture& picture, int width, int height, void (*draw)(Canvas&)) {
        if (picture.IsEmpty()) {
            picture = Painted(width, height, draw);
        }
    };
    make(load, 33, 49, DrawLoadMark);
    make(done, 25, 49, DrawDoneMark);
    make(barTexture, 8, 15, DrawBarTexture);
    make(backgroundTexture, 8, 15, DrawBarBackgroundTexture);
}

void SplashPictures::Release() {
    logo.Release();
    load = Picture();
    done = Picture();
    barTexture = Picture();
    backgroundTexture = Picture();
}

SplashPictures BuildSplashPictures() {
    SplashPictures pictures;
    pictures.logo = LazyPicture(BuildSplashLogo);
    pictures.Make();
    return pictures;
}

Icon BuildProgramIcon(int size) {
    Picture picture = IconPicture(size);
    if (picture.IsEmpty()) {
        return Icon();
    }
    ::GdiFlush();
    // Icons take straight, not premultiplied, alpha.
    Picture colour(size, size);
    if (colour.IsEmpty()) {
        return Icon();
    }
    for (int i = 0; i < size * size; ++i) {
        const uint32_t p = picture.Pixels()[i];
        const uint32_t a = p >> 24;
        auto straight = [a](uint32_t v) { return a == 0 ? 0u : std::min<uint32_t>(255, v * 255 / a); };
        colour.Pixels()[i] = (a << 24) | (straight((p >> 16) & 0xFF) << 16) |
                             (straight((p >> 8) & 0xFF) << 8) | straight(p & 0xFF);
    }
    Bitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
    if (!mask) {
        return Icon();
    }
    {
        // All zero: the alpha channel alone decides.
        MemoryDc dc(::CreateCompatibleDC(nullptr));
        Selection selected(dc.Get(), mask.Get());
        ::PatBlt(dc.Get(), 0, 0, size, size, BLACKNESS);
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour.Handle();
    info.hbmMask = mask.Get();
    return Icon(::CreateIconIndirect(&info));
}

namespace {

// The tray menu's pictures, 16 x 16 around their centre.
constexpr Point kTrayCentre{8, 8};

void DrawStartMark(Canvas& c) {
    c.FillCircle(kTrayCentre, 7.5f, Fill::Vertical(Rgb(104, 214, 134), Rgb(18, 128, 66), 0, 16));
    c.FillPolygon({{6, 4.5f}, {12, 8}, {6, 11.5f}}, Fill::Solid(Rgb(255, 255, 255)));
}

void DrawStopMark(Canvas& c) {
    c.FillCircle(kTrayCentre, 7.5f, Fill::Vertical(Rgb(255, 118, 96), Rgb(184, 8, 8), 0, 16));
    c.FillRoundRect(Box{5, 5, 11, 11}, 1, Fill::Solid(Rgb(255, 255, 255)));
}

// The maker's page: a globe.
void DrawGlobeMark(Canvas& c) {
    const Point m = kTrayCentre;
    c.FillCircle(m, 7.5f, Fill::Vertical(Rgb(92, 204, 255), Rgb(0, 96, 170), 0, 16));
    c.StrokeCircle(m, 7, 1, Fill::Solid(Rgb(215, 237, 255)));
    c.FillShape(
        Box{0, 0, 16, 16},
        [=](float x, float y) {
            const float d = (std::hypot((x - m.x) / 3.2f, (y - m.y) / 7.0f) - 1) * 3.2f;
            return std::fabs(d) - 0.5f;
        },
        Fill::Solid(Rgb(215, 237, 255)));
    c.Line({1, 8}, {15, 8}, 1, Fill::Solid(Rgb(215, 237, 255)));
    c.Line({2.5f, 4.5f}, {13.5f, 4.5f}, 0.9f, Fill::Solid(Rgb(215, 237, 255, 200)));
    c.Line({2.5f, 11.5f}, {13.5f, 11.5f}, 0.9f, Fill::Solid(Rgb(215, 237, 255, 200)));
}

// The program's page: a sheet with lines and a gold corner.
void DrawPageMark(Canvas& c) {
    c.FillPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, Fill::Solid(Rgb(240, 248, 255)));
    c.FillPolygon({{10, 1}, {13, 4}, {10, 4}}, Fill::Solid(kTitleNameColour));
    for (int line = 0; line < 4; ++line) {
        c.Line({5, 6.5f + 2.2f * line}, {11, 6.5f + 2.2f * line}, 1, Fill::Solid(Rgb(0, 104, 180)));
    }
}

// Exit: a power sign.
void DrawExitMark(Canvas& c) {
    const Point m = kTrayCentre;
    c.FillCircle(m, 7.5f, Fill::Vertical(Rgb(36, 88, 160), Rgb(8, 34, 80), 0, 16));
    c.FillShape(
        Box{0, 0, 16, 16},
        [=](float x, float y) {
            const float ring = std::fabs(std::hypot(x - m.x, y - m.y) - 4.3f) - 0.9f;
            return (y < m.y - 1 && std::fabs(x - m.x) < 2.2f) ? 1.0f : ring;
        },
        Fill::Solid(kTitleNameColour));
    c.Line({8, 2.8f}, {8, 8}, 1.8f, Fill::Solid(kTitleNameColour));
}

// A pause: two bars on amber.
void DrawPauseMark(Canvas& c) {
    c.FillCircle(kTrayCentre, 7.5f, Fill::Vertical(Rgb(255, 214, 102), Rgb(214, 128, 0), 0, 16));
    c.FillRoundRect(Box{5, 4.5f, 7.2f, 11.5f}, 0.6f, Fill::Solid(Rgb(255, 255, 255)));
    c.FillRoundRect(Box{8.8f, 4.5f, 11, 11.5f}, 0.6f, Fill::Solid(Rgb(255, 255, 255)));
}

}  // namespace

std::array<LazyPicture, kTrayPictureCount> BuildTrayMenuPictures() {
    constexpr std::array<void (*)(Canvas&), kTrayPictureCount> draw{
        DrawStartMark, DrawStopMark, DrawGlobeMark, DrawPageMark, DrawExitMark, DrawPauseMark};
    std::array<LazyPicture, kTrayPictureCount> pictures;
    for (int i = 0; i < kTrayPictureCount; ++i) {
        pictures[i] = LazyPicture([paint = draw[i]] { return Painted(16, 16, paint); });
    }
    return pictures;
}

std::unique_ptr<ProgramPictures> BuildProgramPictures() {
    auto pictures = std::make_unique<ProgramPictures>();
    pictures->buttons = BuildButtonPictures();
    pictures->macros = BuildMacroPictures();
    pictures->mainSkin = PaintedPicture(kSkinWidth, kSkinHeight, DrawMainSkin);
    pictures->editorBackground = LazyPicture(BuildEditorBackground);
    pictures->splash = BuildSplashPictures();
    pictures->trayMenu = BuildTrayMenuPictures();
    pictures->smallIcon = BuildProgramIcon(16);
    pictures->largeIcon = BuildProgramIcon(32);
    return pictures;
}

// The label styles are built member by member: a designated initialiser that leaves out an optional
// member draws a warning for each one left out.
LabelStyle TitleNameStyle() {
    // 27 pixels of character cell: the name fits its 116-pixel label with its shadow.
    LabelStyle style;
    style.font = FontStyle{.pixelHeight = 27, .bold = true, .cellHeight = true};
    style.text = kTitleNameColour;
    style.shadow = kTitleShadowColour;
    style.verticalCentre = true;
    return style;
}

LabelStyle HeadingStyle() {
    LabelStyle style;
    style.font = FontStyle{.pixelHeight = 19, .bold = true};
    style.text = kWindowColour;
    style.fill = Fill::Vertical(Rgb(236, 246, 255), Rgb(150, 200, 242), 0, 25);
    style.cornerRadius = 5;
    style.align = Align::Centre;
    style.verticalCentre = true;
    return style;
}

LabelStyle CaptionStyle() {
    LabelStyle style;
    style.font = FontStyle{.pixelHeight = 12};
    style.text = kFieldTextColour;
    style.verticalCentre = true;
    return style;
}

CheckBoxStyle EnableBoxStyle() {
    return CheckBoxStyle{.font = FontStyle{.pixelHeight = 12, .bold = true},
                         .background = kWindowColour,
                         .text = kFieldTextColour,
                         .box = kFieldColour};
}

}  // namespace orv::widgets
