// A picture: a 32-bit top-down DIB section with premultiplied alpha, and a set of pictures addressed
// by index, as the windows' buttons use them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "widgets/gdi.h"

namespace orv::widgets {

class Picture {
  public:
    Picture() = default;
    // An all-transparent picture; an empty picture (IsEmpty) when the bitmap cannot be made.
    Picture(int width, int height);
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool IsEmpty() const { return pixels_ == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    HBITMAP Handle() const { return bitmap_.Get(); }
    // Pixels row by row from the top, 0xAARRGGBB premultiplied. Call GdiFlush() after GDI drew into it.
    uint32_t* Pixels() { return pixels_; }
    const uint32_t* Pixels() const { return pixels_; }
    uint32_t PixelAt(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // True when some pixel is not fully opaque; then drawing blends, otherwise it copies. Drawing code
    // calls Seal() when it has finished changing the pixels.
    bool HasAlpha() const { return hasAlpha_; }
    void Seal();

    void Draw(HDC dc, int x, int y) const;
    void DrawStretched(HDC dc, const RECT& target) const;
    // Repeats the picture over `target`, starting at its top-left corner.
    void DrawTiled(HDC dc, const RECT& target) const;
    // Draws the part `source` of the picture at (x, y).
    void DrawPart(HDC dc, int x, int y, const RECT& source) const;

    Picture Copy() const;

  private:
    Bitmap bitmap_;
    uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool hasAlpha_ = true;
};

// Pictures by index. Several indices may share one picture (unused places repeat a neutral one).
class PictureSet {
  public:
    // Puts `picture` at `index`, growing the set; the gaps stay empty until they are set.
    void Set(int index, std::shared_ptr<const Picture> picture);
    void Add(std::shared_ptr<const Picture> picture) { Set(Count(), std::move(picture)); }
    // Gives every empty place the picture `neutral`.
    void FillGaps(const std::shared_ptr<const Picture>& neutral);

    int Count() const { return static_cast<int>(pictures_.size()); }
    // nullptr for an index outside the set or an empty place.
    const Picture* Get(int index) const;
    SIZE SizeOf(int index) const;
    // False (and nothing drawn) when there is no picture at `index`.
    bool Draw(int index, HDC dc, int x, int y) const;

  private:
    std::vector<std::shared_ptr<const Picture>> pictures_;
};

}  // namespace orv::widgets
