#include "widgets/picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orv::widgets {

namespace {

// Blends `picture`'s area `source` into `dc` at `target` (stretching when the sizes differ).
void Blit(const Picture& picture, HDC dc, const RECT& target, const RECT& source) {
    if (picture.IsEmpty() || target.right <= target.left || target.bottom <= target.top) {
        return;
    }
    MemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory) {
        return;
    }
    Selection selected(memory.Get(), picture.Handle());
    const int targetWidth = target.right - target.left, targetHeight = target.bottom - target.top;
    const int sourceWidth = source.right - source.left, sourceHeight = source.bottom - source.top;
    if (picture.HasAlpha()) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::GdiAlphaBlend(dc, target.left, target.top, targetWidth, targetHeight, memory.Get(), source.left,
                        source.top, sourceWidth, sourceHeight, blend);
    } else if (targetWidth == sourceWidth && targetHeight == sourceHeight) {
        ::BitBlt(dc, target.left, target.top, targetWidth, targetHeight, memory.Get(), source.left,
                 source.top, SRCCOPY);
    } else {
        const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, memory.Get(), source.left,
                     source.top, sourceWidth, sourceHeight, SRCCOPY);
        ::SetStretchBltMode(dc, oldMode);
    }
}

// Drawing selects a picture into a DC that matches the screen: a screen of fewer colours takes no
// 32-bit bitmap of the kind Compact makes, and pictures stay DIB sections there. Asked once, not with
// a DC made for each picture made compact.
bool ScreenTakesPackedBitmaps() {
    static const bool takes = [] {
        MemoryDc screen(::CreateCompatibleDC(nullptr));
        Bitmap probe(::CreateBitmap(1, 1, 1, 32, nullptr));
        return screen && probe && static_cast<bool>(Selection(screen.Get(), probe.Get()));
    }();
    return takes;
}

// The layout of a picture's pixels for the system: 32 bits each, rows from the top.
BITMAPINFO PixelsInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

Picture::Picture(int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const BITMAPINFO info = PixelsInfo(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) {
            ::DeleteObject(bitmap);
        }
        return;
    }
    bitmap_.Reset(bitmap);
    pixels_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    std::memset(pixels_, 0, static_cast<size_t>(width) * height * 4);
}

Picture::Picture(Picture&& other) noexcept
    : bitmap_(std::move(other.bitmap_)),
      pixels_(std::exchange(other.pixels_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      hasAlpha_(std::exchange(other.hasAlpha_, true)) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        bitmap_ = std::move(other.bitmap_);
        pixels_ = std::exchange(other.pixels_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        hasAlpha_ = std::exchange(other.hasAlpha_, true);
    }
    return *this;
}

void Picture::Seal() {
    if (pixels_ == nullptr) {
        return;  // empty, or compact and so sealed already
    }
    ::GdiFlush();
    hasAlpha_ = false;
    const size_t count = static_cast<size_t>(width_) * height_;
    for (size_t i = 0; i < count && pixels_ != nullptr; ++i) {
        if ((pixels_[i] >> 24) != 0xFF) {
            hasAlpha_ = true;
            return;
        }
    }
}

void Picture::Compact() {
    if (pixels_ == nullptr || !ScreenTakesPackedBitmaps()) {
        return;
    }
    ::GdiFlush();
    Bitmap compact(::CreateBitmap(width_, height_, 1, 32, pixels_));
    if (!compact) {
        return;
    }
    bitmap_ = std::move(compact);
    pixels_ = nullptr;
}

std::vector<uint32_t> Picture::ReadPixels() const {
    const size_t count = static_cast<size_t>(width_) * height_;
    if (pixels_ != nullptr) {
        ::GdiFlush();
        return std::vector<uint32_t>(pixels_, pixels_ + count);
    }
    std::vector<uint32_t> pixels(count);
    if (!IsEmpty() && ::GetBitmapBits(bitmap_.Get(), static_cast<LONG>(count * 4), pixels.data()) !=
                          static_cast<LONG>(count * 4)) {
        std::fill(pixels.begin(), pixels.end(), 0u);
    }
    return pixels;
}

uint32_t Picture::PixelAt(int x, int y) const {
    const size_t index = static_cast<size_t>(y) * width_ + x;
    return pixels_ != nullptr ? pixels_[index] : ReadPixels()[index];
}

void Picture::Draw(HDC dc, int x, int y) const {
    Blit(*this, dc, RECT{x, y, x + width_, y + height_}, RECT{0, 0, width_, height_});
}

void Picture::DrawStretched(HDC dc, const RECT& target) const {
    Blit(*this, dc, target, RECT{0, 0, width_, height_});
}

void Picture::DrawTiled(HDC dc, const RECT& target) const {
    if (IsEmpty()) {
        return;
    }
    for (int y = target.top; y < target.bottom; y += height_) {
        for (int x = target.left; x < target.right; x += width_) {
            const int w = std::min<int>(width_, target.right - x),
                      h = std::min<int>(height_, target.bottom - y);
            Blit(*this, dc, RECT{x, y, x + w, y + h}, RECT{0, 0, w, h});
        }
    }
}

void Picture::DrawPart(HDC dc, int x, int y, const RECT& source) const {
    Blit(*this, dc, RECT{x, y, x + source.right - source.left, y + source.bottom - source.top}, source);
}

Picture Picture::Copy() const {
    Picture copy(width_, height_);
    if (!copy.IsEmpty() && !IsEmpty()) {
        const std::vector<uint32_t> pixels = ReadPixels();
        std::memcpy(copy.pixels_, pixels.data(), pixels.size() * 4);
        copy.hasAlpha_ = hasAlpha_;
    }
    return copy;
}

Snapshot::Snapshot(const Picture& picture) {
    if (!picture.IsEmpty()) {
        width_ = picture.Width();
        height_ = picture.Height();
        pixels_ = picture.ReadPixels();
    }
}

bool Snapshot::Show(HDC dc, int x, int y) const {
    if (IsEmpty()) {
        return false;
    }
    const BITMAPINFO info = PixelsInfo(width_, height_);
    return ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                               static_cast<UINT>(height_), pixels_.data(), &info, DIB_RGB_COLORS) != 0;
}

const Picture& LazyPicture::Get() const {
    if (!built_) {
        if (make_) {
            picture_ = make_();
        }
        built_ = true;
    }
    return picture_;
}

void LazyPicture::Release() {
    picture_ = Picture();
    built_ = false;
}

void PictureSet::Set(int index, std::shared_ptr<const Picture> picture) {
    if (index < 0) {
        return;
    }
    if (index >= Count()) {
        places_.resize(static_cast<size_t>(index) + 1);
    }
    places_[static_cast<size_t>(index)] = Place{std::move(picture), nullptr};
}

void PictureSet::SetMaker(int index, std::function<Picture()> make) {
    Set(index, nullptr);
    if (index >= 0) {
        places_[static_cast<size_t>(index)].make = std::move(make);
    }
}

void PictureSet::SetCaption(int index, std::wstring_view caption) {
    if (index < 0) {
        return;
    }
    if (static_cast<size_t>(index) >= captions_.size()) {
        captions_.resize(static_cast<size_t>(index) + 1);
    }
    captions_[static_cast<size_t>(index)] = std::wstring(caption);
}

std::wstring_view PictureSet::CaptionOf(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= captions_.size()) {
        return {};
    }
    return captions_[static_cast<size_t>(index)];
}

void PictureSet::FillGaps(const std::shared_ptr<const Picture>& neutral) {
    for (Place& place : places_) {
        if (!place.picture && !place.make) {
            place.picture = neutral;
        }
    }
}

const Picture* PictureSet::Get(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    const Place& place = places_[static_cast<size_t>(index)];
    if (!place.picture && place.make) {
        Picture made = place.make();
        made.Seal();
        made.Compact();  // the set only shows it
        place.picture = std::make_shared<const Picture>(std::move(made));
    }
    return place.picture && !place.picture->IsEmpty() ? place.picture.get() : nullptr;
}

void PictureSet::Forget(int index) const {
    if (index >= 0 && index < Count() && places_[static_cast<size_t>(index)].make) {
        places_[static_cast<size_t>(index)].picture.reset();
    }
}

SIZE PictureSet::SizeOf(int index) const {
    const Picture* picture = Get(index);
    return picture ? SIZE{picture->Width(), picture->Height()} : SIZE{0, 0};
}

bool PictureSet::Draw(int index, HDC dc, int x, int y) const {
    const Picture* picture = Get(index);
    if (picture == nullptr) {
        return false;
    }
    picture->Draw(dc, x, y);
    return true;
}

void PictureSet::Release() {
    for (Place& place : places_) {
        if (place.make) {
            place.picture.reset();
        }
    }
}

int PictureSet::Made() const {
    int made = 0;
    for (const Place& place : places_) {
        made += place.picture ? 1 : 0;
    }
    return made;
}

}  // namespace orv::widgets
