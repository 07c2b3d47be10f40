#include "widgets/canvas.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace orv::widgets {

namespace {

float Clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

uint8_t Channel(float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

// Signed distance from (x, y) to a rounded rectangle (negative inside).
float RoundRectDistance(const Box& box, float radius, float x, float y) {
    const float halfWidth = box.Width() / 2, halfHeight = box.Height() / 2;
    radius = std::min({radius, halfWidth, halfHeight});
    const float cx = box.left + halfWidth, cy = box.top + halfHeight;
    const float qx = std::fabs(x - cx) - (halfWidth - radius);
    const float qy = std::fabs(y - cy) - (halfHeight - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    const float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - radius;
}

float SegmentDistance(Point a, Point b, float x, float y) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float lengthSquared = dx * dx + dy * dy;
    float t = lengthSquared > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / lengthSquared : 0;
    t = Clamp01(t);
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

}  // namespace

Colour Mix(Colour from, Colour to, float amount) {
    amount = Clamp01(amount);
    auto mix = [amount](uint8_t a, uint8_t b) { return Channel(a + (b - a) * amount); };
    return Colour{mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b), mix(from.a, to.a)};
}

Colour WithAlpha(Colour c, uint8_t alpha) {
    c.a = alpha;
    return c;
}

Colour Lighten(Colour c, float amount) {
    const Colour target = amount >= 0 ? Colour{255, 255, 255, c.a} : Colour{0, 0, 0, c.a};
    return Mix(c, target, std::fabs(amount));
}

Colour Fill::At(float x, float y) const {
    if (kind == Kind::Solid || end == start) {
        return from;
    }
    const float position = kind == Kind::Vertical ? y : x;
    return Mix(from, to, (position - start) / (end - start));
}

void Canvas::Blend(int x, int y, Colour c, float coverage) {
    x -= origin_.x;
    y -= origin_.y;
    if (x < 0 || y < 0 || x >= Width() || y >= Height() || coverage <= 0) {
        return;
    }
    uint32_t& pixel = picture_.Pixels()[static_cast<size_t>(y) * Width() + x];
    if (c.a == 255 && coverage >= 1) {
        pixel = 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
        return;
    }
    const float alpha = (c.a / 255.0f) * std::min(coverage, 1.0f);
    const float keep = 1 - alpha;
    const float a = alpha * 255 + ((pixel >> 24) & 0xFF) * keep;
    const float r = c.r * alpha + ((pixel >> 16) & 0xFF) * keep;
    const float g = c.g * alpha + ((pixel >> 8) & 0xFF) * keep;
    const float b = c.b * alpha + (pixel & 0xFF) * keep;
    pixel = (uint32_t{Channel(a)} << 24) | (uint32_t{Channel(r)} << 16) | (uint32_t{Channel(g)} << 8) |
            Channel(b);
}

void Canvas::Clear(Colour c) {
    const float alpha = c.a / 255.0f;
    const uint32_t value = (uint32_t{c.a} << 24) | (uint32_t{Channel(c.r * alpha)} << 16) |
                           (uint32_t{Channel(c.g * alpha)} << 8) | Channel(c.b * alpha);
    std::fill_n(picture_.Pixels(), static_cast<size_t>(Width()) * Height(), value);
}

void Canvas::FillShape(const Box& bounds, const std::function<float(float, float)>& distance,
                       const Fill& fill, const Box* solid, const Box* hollow) {
    if (picture_.IsEmpty()) {
        return;
    }
    // The drawing's pixels that the shape may touch and the picture holds.
    const int x0 = std::max<int>(origin_.x, static_cast<int>(std::floor(bounds.left - 1)));
    const int y0 = std::max<int>(origin_.y, static_cast<int>(std::floor(bounds.top - 1)));
    const int x1 = std::min<int>(origin_.x + Width(), static_cast<int>(std::ceil(bounds.right + 1)));
    const int y1 = std::min<int>(origin_.y + Height(), static_cast<int>(std::ceil(bounds.bottom + 1)));
    // Whole pixels (by their centres) within a box.
    auto contains = [](const Box* box, float x, float y) {
        return box != nullptr && x - 0.5f >= box->left && x + 0.5f <= box->right && y - 0.5f >= box->top &&
               y + 0.5f <= box->bottom;
    };
    const bool sameAlongRows = fill.kind != Fill::Kind::Horizontal;
    for (int y = y0; y < y1; ++y) {
        const float py = y + 0.5f;
        // Solid and vertical fills have one colour per row.
        const Colour rowColour = fill.At(0, py);
        for (int x = x0; x < x1; ++x) {
            const float px = x + 0.5f;
            if (contains(hollow, px, py)) {
                // Jump over the empty middle of a stroke.
                x = std::max(x, static_cast<int>(std::floor(hollow->right)) - 1);
                continue;
            }
            const float coverage = contains(solid, px, py) ? 1.0f : Clamp01(0.5f - distance(px, py));
            if (coverage > 0) {
                Blend(x, y, sameAlongRows ? rowColour : fill.At(px, py), coverage);
            }
        }
    }
}

void Canvas::FillRect(const Box& box, const Fill& fill) {
    FillShape(
        box,
        [&](float x, float y) {
            return std::max({box.left - x, x - box.right, box.top - y, y - box.bottom});
        },
        fill);
}

void Canvas::FillRoundRect(const Box& box, float radius, const Fill& fill) {
    const Box solid = box.Inset(std::min(radius, std::min(box.Width(), box.Height()) / 2));
    FillShape(
        box, [&](float x, float y) { return RoundRectDistance(box, radius, x, y); }, fill, &solid);
}

void Canvas::StrokeRoundRect(const Box& box, float radius, float width, const Fill& fill) {
    const Box hollow = box.Inset(std::max(radius, width) + 1);
    FillShape(
        box,
        [&](float x, float y) {
            const float d = RoundRectDistance(box, radius, x, y);
            return std::max(d, -d - width);
        },
        fill, nullptr, hollow.Width() > 0 && hollow.Height() > 0 ? &hollow : nullptr);
}

void Canvas::FillCircle(Point centre, float radius, const Fill& fill) {
    FillShape(
        Box{centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius},
        [&](float x, float y) { return std::hypot(x - centre.x, y - centre.y) - radius; }, fill);
}

void Canvas::StrokeCircle(Point centre, float radius, float width, const Fill& fill) {
    const float outer = radius + width / 2;
    FillShape(
        Box{centre.x - outer, centre.y - outer, centre.x + outer, centre.y + outer},
        [&](float x, float y) {
            return std::fabs(std::hypot(x - centre.x, y - centre.y) - radius) - width / 2;
        },
        fill);
}

void Canvas::Line(Point from, Point to, float width, const Fill& fill) {
    const float half = width / 2;
    const Box bounds{std::min(from.x, to.x) - half, std::min(from.y, to.y) - half,
                     std::max(from.x, to.x) + half, std::max(from.y, to.y) + half};
    FillShape(
        bounds, [&](float x, float y) { return SegmentDistance(from, to, x, y) - half; }, fill);
}

float ConvexPolygonDistance(const std::vector<Point>& corners, float x, float y) {
    // Orientation, so that every edge's outward side is known.
    float area = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Point& a = corners[i];
        const Point& b = corners[(i + 1) % corners.size()];
        area += a.x * b.y - b.x * a.y;
    }
    const float sign = area > 0 ? 1.0f : -1.0f;
    float distance = -1e9f;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Point& a = corners[i];
        const Point& b = corners[(i + 1) % corners.size()];
        const float ex = b.x - a.x, ey = b.y - a.y;
        const float length = std::hypot(ex, ey);
        if (length > 0) {
            distance = std::max(distance, sign * ((x - a.x) * ey - (y - a.y) * ex) / length);
        }
    }
    return distance;
}

void Canvas::FillPolygon(std::initializer_list<Point> points, const Fill& fill) {
    const std::vector<Point> corners(points);
    if (corners.size() < 3) {
        return;
    }
    Box bounds{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const Point& p : corners) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::max(bounds.bottom, p.y);
    }
    FillShape(
        bounds, [&](float x, float y) { return ConvexPolygonDistance(corners, x, y); }, fill);
}

HFONT CreateUiFont(const FontStyle& fontStyle) {
    LOGFONTW font{};
    font.lfHeight = fontStyle.cellHeight ? fontStyle.pixelHeight : -fontStyle.pixelHeight;
    font.lfWeight = fontStyle.bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = fontStyle.underline ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(font.lfFaceName, fontStyle.face, LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

SIZE Canvas::MeasureText(std::wstring_view text, const FontStyle& fontStyle) {
    SIZE size{0, 0};
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Font font(CreateUiFont(fontStyle));
    if (!dc || !font) {
        return size;
    }
    Selection selected(dc.Get(), font.Get());
    ::GetTextExtentPoint32W(dc.Get(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

int Canvas::Text(std::wstring_view text, const FontStyle& fontStyle, const Box& box, Align align,
                 Colour colour) {
    const int left = static_cast<int>(std::floor(box.left)), top = static_cast<int>(std::floor(box.top));
    const int width = static_cast<int>(std::ceil(box.right)) - left;
    const int height = static_cast<int>(std::ceil(box.bottom)) - top;
    Picture mask(width, height);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Font font(CreateUiFont(fontStyle));
    if (mask.IsEmpty() || !dc || !font || text.empty()) {
        return 0;
    }
    // White text on black, in the same font as the windows' text (one font the system keeps, not two):
    // the three colour channels are the text's coverage of the pixel's three stripes, and their mean
    // the coverage of the whole pixel.
    Selection bitmap(dc.Get(), mask.Handle());
    Selection selectedFont(dc.Get(), font.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), RGB(255, 255, 255));
    SIZE extent{0, 0};
    ::GetTextExtentPoint32W(dc.Get(), text.data(), static_cast<int>(text.size()), &extent);
    // Sub-pixel box offsets move the whole text by whole pixels only.
    int x = 0;
    if (align == Align::Centre) {
        x = (width - extent.cx) / 2;
    } else if (align == Align::Right) {
        x = width - extent.cx;
    }
    const int y = (height - extent.cy) / 2;
    ::ExtTextOutW(dc.Get(), x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    ::GdiFlush();
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const uint32_t pixel = mask.Pixels()[static_cast<size_t>(row) * width + column];
            const uint32_t level = (((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) + 1) / 3;
            if (level > 0) {
                Blend(left + column, top + row, colour, level / 255.0f);
            }
        }
    }
    return extent.cx;
}

int Canvas::TextWithShadow(std::wstring_view text, const FontStyle& font, const Box& box, Align align,
                           Colour colour, Colour shadow, float shadowOffset) {
    Text(text, font, box.Moved(shadowOffset, shadowOffset), align, shadow);
    return Text(text, font, box, align, colour);
}

void Canvas::Paste(const Picture& source, int x, int y) {
    if (source.IsEmpty()) {
        return;
    }
    const std::vector<uint32_t> pixels = source.ReadPixels();
    for (int row = 0; row < source.Height(); ++row) {
        for (int column = 0; column < source.Width(); ++column) {
            const uint32_t pixel = pixels[static_cast<size_t>(row) * source.Width() + column];
            const uint32_t alpha = pixel >> 24;
            if (alpha == 0) {
                continue;
            }
            // Un-premultiply for Blend.
            auto straight = [alpha](uint32_t channel) {
                return static_cast<uint8_t>(std::min<uint32_t>(255, channel * 255 / alpha));
            };
            Blend(x + column, y + row,
                  Colour{straight((pixel >> 16) & 0xFF), straight((pixel >> 8) & 0xFF),
                         straight(pixel & 0xFF), 255},
                  alpha / 255.0f);
        }
    }
}

void PaintedPicture::DrawPart(HDC dc, int x, int y, const RECT& source) const {
    RECT part{std::max<LONG>(source.left, 0), std::max<LONG>(source.top, 0),
              std::min<LONG>(source.right, width_), std::min<LONG>(source.bottom, height_)};
    if (part.right <= part.left || part.bottom <= part.top || !paint_) {
        return;
    }
    Picture picture(part.right - part.left, part.bottom - part.top);
    Canvas canvas(picture, POINT{part.left, part.top});
    paint_(canvas);
    picture.Seal();
    picture.Draw(dc, x + (part.left - source.left), y + (part.top - source.top));
}

Picture PaintedPicture::Render() const {
    Picture picture(width_, height_);
    if (paint_) {
        Canvas canvas(picture);
        paint_(canvas);
    }
    picture.Seal();
    return picture;
}

}  // namespace orv::widgets
