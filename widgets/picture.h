// A picture: a 32-bit top-down DIB section with premultiplied alpha, and a set of pictures addressed
// by index, as the windows' buttons use them. A picture that is only shown from now on may be made
// compact: a bitmap of exactly its pixels' size instead of a DIB section's whole pages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

    bool IsEmpty() const { return bitmap_.Get() == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    HBITMAP Handle() const { return bitmap_.Get(); }
    // Pixels row by row from the top, 0xAARRGGBB premultiplied. Call GdiFlush() after GDI drew into it.
    // Null for a compact picture.
    uint32_t* Pixels() { return pixels_; }
    const uint32_t* Pixels() const { return pixels_; }
    // Any picture's pixels (a compact one's are asked of the system: read them all at once).
    uint32_t PixelAt(int x, int y) const;
    std::vector<uint32_t> ReadPixels() const;

    // True when some pixel is not fully opaque; then drawing blends, otherwise it copies. Drawing code
    // calls Seal() when it has finished changing the pixels.
    bool HasAlpha() const { return hasAlpha_; }
    void Seal();
    // For a sealed picture that is only drawn from now on: the pixels move into a bitmap of their own
    // size, and the DIB section's pages (each small picture takes at least one) are given back.
    // Pixels() is null afterwards; drawing, PixelAt, ReadPixels and Copy work as before. A picture that
    // cannot be moved stays as it is.
    void Compact();
    bool IsCompact() const { return !IsEmpty() && pixels_ == nullptr; }

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

// An opaque picture kept only to be shown again whole: its pixels in memory, exactly their size, put on a
// device context with one call. Showing a Picture selects its bitmap into a memory device context, and
// the system sets every such context up anew (its font chosen again, among the rest): for a look shown
// every second, as the step display's boxes are, that costs far more than the copy.
class Snapshot {
  public:
    Snapshot() = default;
    // The picture's pixels as they are now (empty for an empty picture).
    explicit Snapshot(const Picture& picture);

    bool IsEmpty() const { return pixels_.empty(); }
    // Copies the whole snapshot to (x, y) of `dc`; false when nothing could be shown.
    bool Show(HDC dc, int x, int y) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// What a window draws behind everything else: a kept picture, or drawing code that paints any part
// of it on demand.
class Backdrop {
  public:
    virtual ~Backdrop() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Every pixel is opaque: nothing needs painting behind it.
    virtual bool Opaque() const = 0;
    // Draws the part `source` of the backdrop (its own coordinates) at (x, y) of `dc`.
    virtual void DrawPart(HDC dc, int x, int y, const RECT& source) const = 0;
};

// A picture drawn the first time it is asked for. Release gives its memory back until it is asked for
// again: a window keeps only the pictures it shows. The address of the picture Get returns stays the
// same. User-interface thread only.
class LazyPicture : public Backdrop {
  public:
    LazyPicture() = default;
    explicit LazyPicture(std::function<Picture()> make) : make_(std::move(make)) {}

    int Width() const override { return Get().Width(); }
    int Height() const override { return Get().Height(); }
    bool Opaque() const override { return !Get().IsEmpty() && !Get().HasAlpha(); }
    void DrawPart(HDC dc, int x, int y, const RECT& source) const override {
        Get().DrawPart(dc, x, y, source);
    }

    const Picture& Get() const;
    bool Built() const { return built_; }
    void Release();

  private:
    std::function<Picture()> make_;
    mutable Picture picture_;
    mutable bool built_ = false;
};

// Pictures by index. Several indices may share one picture (unused places repeat a neutral one). A
// place may hold a maker instead: its picture is drawn when it is first asked for, and Release gives
// the made ones back. User-interface thread only.
class PictureSet {
  public:
    // Puts `picture` at `index`, growing the set; the gaps stay empty until they are set.
    void Set(int index, std::shared_ptr<const Picture> picture);
    void SetMaker(int index, std::function<Picture()> make);
    void Add(std::shared_ptr<const Picture> picture) { Set(Count(), std::move(picture)); }
    // Gives every empty place (without a picture or a maker) the picture `neutral`.
    void FillGaps(const std::shared_ptr<const Picture>& neutral);

    int Count() const { return static_cast<int>(places_.size()); }
    // nullptr for an index outside the set or an empty place.
    const Picture* Get(int index) const;
    SIZE SizeOf(int index) const;
    // False (and nothing drawn) when there is no picture at `index`.
    bool Draw(int index, HDC dc, int x, int y) const;

    // Gives back every picture a maker drew; they are drawn again when next asked for.
    void Release();
    // The same for the picture at `index` alone: for a picture that was copied where it is shown.
    void Forget(int index) const;
    // Places whose picture is there now (tests: what was never shown was never drawn).
    int Made() const;

    // The words a picture shows (a large button's caption), for screen readers; empty without any.
    void SetCaption(int index, std::wstring_view caption);
    std::wstring_view CaptionOf(int index) const;

  private:
    struct Place {
        mutable std::shared_ptr<const Picture> picture;
        std::function<Picture()> make;
    };
    std::vector<Place> places_;
    std::vector<std::wstring> captions_;
};

}  // namespace orv::widgets
