// Painting into a Picture: antialiased shapes described by their signed distance, gradients, and
// antialiased text from GDI fonts. All colours are straight (not premultiplied) RGBA; the canvas
// blends them "over" what is already there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "widgets/picture.h"

namespace orv::widgets {

constexpr COLORREF ToColorRef(Colour c) {
    return RGB(c.r, c.g, c.b);
}
// `amount` 0 gives `from`, 1 gives `to`.
Colour Mix(Colour from, Colour to, float amount);
Colour WithAlpha(Colour c, uint8_t alpha);
// Towards white (amount > 0) or black (amount < 0).
Colour Lighten(Colour c, float amount);

struct Box {
    float left = 0, top = 0, right = 0, bottom = 0;
    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    Box Inset(float by) const { return Box{left + by, top + by, right - by, bottom - by}; }
    Box Moved(float dx, float dy) const { return Box{left + dx, top + dy, right + dx, bottom + dy}; }
};

// What fills a shape: one colour, or a linear gradient between two colours along one axis.
struct Fill {
    enum class Kind { Solid, Vertical, Horizontal };
    Kind kind = Kind::Solid;
    Colour from{}, to{};
    float start = 0, end = 1;  // the gradient's range in pixels along its axis

    static Fill Solid(Colour c) { return Fill{Kind::Solid, c, c, 0, 1}; }
    static Fill Vertical(Colour top, Colour bottom, float y0, float y1) {
        return Fill{Kind::Vertical, top, bottom, y0, y1};
    }
    static Fill Horizontal(Colour left, Colour right, float x0, float x1) {
        return Fill{Kind::Horizontal, left, right, x0, x1};
    }
    Colour At(float x, float y) const;
};

struct Point {
    float x = 0, y = 0;
};

// Text placement for Canvas::Text.
enum class Align { Left, Centre, Right };

struct FontStyle {
    int pixelHeight = 12;  // the letters' em height; with `cellHeight` the whole character cell's
    bool bold = false;
    bool underline = false;
    const wchar_t* face = L"Verdana";
    bool cellHeight = false;
};

// Draws into a picture with antialiased shapes. The picture may be a part of a larger drawing: with
// `origin` its top-left pixel is the drawing's point `origin`, every shape is given in the drawing's
// coordinates, and each pixel comes out exactly as it does when the whole drawing is made at once.
class Canvas {
  public:
    explicit Canvas(Picture& picture, POINT origin = {0, 0}) : picture_(picture), origin_(origin) {}

    int Width() const { return picture_.Width(); }
    int Height() const { return picture_.Height(); }

    void Clear(Colour c);
    void FillRect(const Box& box, const Fill& fill);
    void FillRoundRect(const Box& box, float radius, const Fill& fill);
    // A line of `width` along the inside of the rounded rectangle's edge.
    void StrokeRoundRect(const Box& box, float radius, float width, const Fill& fill);
    void FillCircle(Point centre, float radius, const Fill& fill);
    void StrokeCircle(Point centre, float radius, float width, const Fill& fill);
    // A straight stroke with round ends.
    void Line(Point from, Point to, float width, const Fill& fill);
    // A convex polygon, points in either order.
    void FillPolygon(std::initializer_list<Point> points, const Fill& fill);
    // Any shape: `distance` gives the signed distance in pixels from a point to the shape's edge
    // (negative inside); only the pixels in `bounds` are visited.
    // `solid` (optional) is an area known to lie wholly inside the shape, `hollow` one known to lie
    // wholly outside it; both only save work.
    void FillShape(const Box& bounds, const std::function<float(float, float)>& distance, const Fill& fill,
                   const Box* solid = nullptr, const Box* hollow = nullptr);

    // Text drawn in `box` (vertically centred), antialiased; returns its width in pixels.
    int Text(std::wstring_view text, const FontStyle& font, const Box& box, Align align, Colour colour);
    // The same text with a copy one pixel down and right in `shadow` behind it.
    int TextWithShadow(std::wstring_view text, const FontStyle& font, const Box& box, Align align,
                       Colour colour, Colour shadow, float shadowOffset = 1);
    static SIZE MeasureText(std::wstring_view text, const FontStyle& font);

    // Copies `source` onto the canvas at (x, y), blending by its alpha.
    void Paste(const Picture& source, int x, int y);

  private:
    // The pixel at the drawing's point (x, y), when the picture holds it.
    void Blend(int x, int y, Colour c, float coverage);

    Picture& picture_;
    POINT origin_;
};

// A backdrop that keeps no picture: its drawing code paints just the part a window asks for, so that
// a window as large as the main one does not hold a copy of its whole background. The code must begin
// by covering every pixel (Canvas::Clear).
class PaintedPicture : public Backdrop {
  public:
    PaintedPicture() = default;
    PaintedPicture(int width, int height, std::function<void(Canvas&)> paint)
        : width_(width), height_(height), paint_(std::move(paint)) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Opaque() const override { return true; }
    void DrawPart(HDC dc, int x, int y, const RECT& source) const override;
    // The whole drawing as one picture.
    Picture Render() const;

  private:
    int width_ = 0, height_ = 0;
    std::function<void(Canvas&)> paint_;
};

// Signed distance from (x, y) to a convex polygon (negative inside); points in either order.
float ConvexPolygonDistance(const std::vector<Point>& corners, float x, float y);

// A GDI font for windows and pictures (ClearType, Verdana unless said otherwise).
HFONT CreateUiFont(const FontStyle& fontStyle);

}  // namespace orv::widgets
