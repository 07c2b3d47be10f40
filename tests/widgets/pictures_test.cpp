#include "widgets/pictures.h"

#include "tests/support/window_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace orv::widgets {
namespace {

bool SamePixels(const Picture& a, const Picture& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.ReadPixels() == b.ReadPixels();
}

// Share of the picture's pixels that are not fully transparent.
double Coverage(const Picture& picture) {
    int covered = 0;
    for (const uint32_t pixel : picture.ReadPixels()) {
        covered += (pixel >> 24) != 0;
    }
    return static_cast<double>(covered) / (picture.Width() * picture.Height());
}

class PicturesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { pictures = &test::SharedPictures(); }

    static void ExpectPicture(const PictureSet& set, int index, int width, int height) {
        const Picture* picture = set.Get(index);
        ASSERT_NE(picture, nullptr) << "index " << index;
        EXPECT_EQ(picture->Width(), width) << "index " << index;
        EXPECT_EQ(picture->Height(), height) << "index " << index;
        // Drawn, not left empty.
        EXPECT_GT(Coverage(*picture), 0.3) << "index " << index;
    }

    static const ProgramPictures* pictures;
};

const ProgramPictures* PicturesTest::pictures = nullptr;

TEST_F(PicturesTest, MainWindowButtonsHaveEveryIndexTheWindowUses) {
    const PictureSet& set = pictures->buttons;
    EXPECT_EQ(set.Count(), btn::kCount);
    for (int i = 0; i <= 7; ++i) {
        ExpectPicture(set, i, 22, 23);
    }
    for (int i = 8; i <= 11; ++i) {
        ExpectPicture(set, i, 19, 10);
    }
    for (int i = 15; i <= 26; ++i) {
        ExpectPicture(set, i, kLargeButtonWidth, kLargeButtonHeight);
    }
    ExpectPicture(set, 30, 23, 23);
    ExpectPicture(set, 31, 23, 23);
    for (int i = 36; i <= 39; ++i) {
        ExpectPicture(set, i, 22, 22);
    }
    for (int i = 65; i <= 70; ++i) {
        ExpectPicture(set, i, kLargeButtonWidth, kLargeButtonHeight);
    }
    // The unused places between them still hold a picture, so any index up to the last draws.
    for (int i = 0; i < set.Count(); ++i) {
        EXPECT_NE(set.Get(i), nullptr) << "index " << i;
    }
}

TEST_F(PicturesTest, MacroEditorHasItsFortyThreePictures) {
    const PictureSet& set = pictures->macros;
    EXPECT_EQ(set.Count(), 43);
    for (int i : {0, 1, 2, 3, 4, 5}) {
        ExpectPicture(set, i, kLargeButtonWidth, kLargeButtonHeight);
    }
    for (int i = 12; i <= 29; ++i) {
        ExpectPicture(set, i, kLargeButtonWidth, kLargeButtonHeight);
    }
    ExpectPicture(set, macros::kMethodOff, 23, 23);
    ExpectPicture(set, macros::kMethodOn, 23, 23);
    ExpectPicture(set, macros::kArrowPrevious, 17, 21);
    ExpectPicture(set, macros::kArrowNext, 17, 21);
    ExpectPicture(set, macros::kFieldFrame, 366, 21);
    for (int i = 0; i < set.Count(); ++i) {
        EXPECT_NE(set.Get(i), nullptr) << "index " << i;
    }
}

TEST_F(PicturesTest, EnglishAndRussianButtonsDiffer) {
    for (int state = 0; state < 3; ++state) {
        for (int first : {btn::kStartFirst, btn::kStartFirst + 3}) {
            EXPECT_FALSE(
                SamePixels(*pictures->buttons.Get(first + state), *pictures->buttons.Get(first + 6 + state)))
                << "start " << first + state;
        }
        EXPECT_FALSE(SamePixels(*pictures->buttons.Get(btn::kResetFirst + state),
                                *pictures->buttons.Get(btn::kResetFirst + 3 + state)));
        for (int first : {macros::kApplyFirst, macros::kResetFirst, macros::kRunFirst, macros::kCloseFirst}) {
            EXPECT_FALSE(
                SamePixels(*pictures->macros.Get(first + state), *pictures->macros.Get(first + 3 + state)))
                << "macro button " << first + state;
        }
    }
}

TEST_F(PicturesTest, EveryStateOfAButtonLooksDifferent) {
    auto distinct = [](const PictureSet& set, std::initializer_list<int> indices) {
        for (int a : indices) {
            for (int b : indices) {
                if (a < b) {
                    EXPECT_FALSE(SamePixels(*set.Get(a), *set.Get(b))) << a << " and " << b;
                }
            }
        }
    };
    distinct(pictures->buttons, {0, 1, 2, 3, 4, 5, 6, 7});
    distinct(pictures->buttons, {8, 9, 10, 11});
    distinct(pictures->buttons, {15, 16, 17, 18, 19, 20});
    distinct(pictures->buttons, {30, 31});
    distinct(pictures->buttons, {36, 37, 38, 39});
    distinct(pictures->buttons, {65, 66, 67});
    distinct(pictures->macros, {39, 40});
    distinct(pictures->macros, {0, 12, 18, 24});
}

// Nothing is drawn before a window asks for it, and what a closed window gives back is drawn again
// when it is next asked for, at the same address.
TEST(LazyPicturesTest, DrawnOnFirstUseAndGivenBack) {
    int made = 0;
    auto red = [&made] {
        ++made;
        Picture picture(4, 4);
        Canvas(picture).FillRect(Box{0, 0, 4, 4}, Fill::Solid(Rgb(255, 0, 0)));
        return picture;
    };
    PictureSet set;
    set.SetMaker(1, red);
    set.FillGaps(std::make_shared<const Picture>(Picture(4, 4)));
    EXPECT_EQ(set.Count(), 2);
    EXPECT_EQ(made, 0);
    ASSERT_NE(set.Get(1), nullptr);
    EXPECT_EQ(set.Get(1)->PixelAt(1, 1), 0xFFFF0000u);
    EXPECT_FALSE(set.Get(1)->HasAlpha());  // sealed as it was made
    EXPECT_EQ(made, 1);
    set.Release();
    EXPECT_EQ(set.Made(), 1);  // the neutral picture stays
    EXPECT_NE(set.Get(0), nullptr);
    EXPECT_EQ(made, 1);
    EXPECT_NE(set.Get(1), nullptr);
    EXPECT_EQ(made, 2);
    // One place alone: a picture a large button has copied into its work image.
    set.Forget(0);
    set.Forget(1);
    EXPECT_EQ(set.Made(), 1);
    EXPECT_NE(set.Get(1), nullptr);
    EXPECT_EQ(made, 3);

    LazyPicture lazy(red);
    EXPECT_FALSE(lazy.Built());
    const Picture* first = &lazy.Get();
    EXPECT_EQ(made, 4);
    lazy.Release();
    EXPECT_FALSE(lazy.Built());
    EXPECT_TRUE(lazy.Get().PixelAt(0, 0) == 0xFFFF0000u && &lazy.Get() == first);
    EXPECT_EQ(made, 5);
}

// The main skin keeps no picture: each part a window paints must come out exactly as that part of the
// whole drawing, wherever the part lies (across the frame, the rows, the emblem, an edge).
TEST_F(PicturesTest, PaintedSkinPartsMatchTheWholeDrawing) {
    const Picture whole = pictures->mainSkin.Render();
    for (const RECT& part : {RECT{0, 0, 802, 602}, RECT{690, 470, 760, 560}, RECT{25, 135, 47, 158},
                             RECT{790, 590, 810, 610}, RECT{300, 40, 301, 380}}) {
        const int width = part.right - part.left, height = part.bottom - part.top;
        Picture target(width, height);
        {
            MemoryDc dc(::CreateCompatibleDC(nullptr));
            Selection selected(dc.Get(), target.Handle());
            pictures->mainSkin.DrawPart(dc.Get(), 0, 0, part);
            ::GdiFlush();
        }
        int differing = 0;
        for (int y = 0; y < height && part.top + y < 602; ++y) {
            for (int x = 0; x < width && part.left + x < 802; ++x) {
                differing += target.PixelAt(x, y) != whole.PixelAt(part.left + x, part.top + y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << part.left << "," << part.top;
    }
}

TEST_F(PicturesTest, SkinsAreOpaqueAndOfTheirWindowsSize) {
    const Picture mainSkin = pictures->mainSkin.Render();
    EXPECT_EQ(mainSkin.Width(), 802);
    EXPECT_EQ(mainSkin.Height(), 602);
    EXPECT_FALSE(mainSkin.HasAlpha());
    EXPECT_EQ(pictures->editorBackground.Get().Width(), 800);
    EXPECT_EQ(pictures->editorBackground.Get().Height(), 527);
    EXPECT_FALSE(pictures->editorBackground.Get().HasAlpha());
    Picture fill = BuildPanelFill(22, 9);
    EXPECT_EQ(fill.Width(), 22);
    EXPECT_EQ(fill.Height(), 9);
    EXPECT_FALSE(fill.HasAlpha());
}

TEST_F(PicturesTest, SplashPictures) {
    const SplashPictures& splash = pictures->splash;
    EXPECT_EQ(splash.logo.Get().Width(), 400);
    EXPECT_EQ(splash.logo.Get().Height(), 300);
    EXPECT_FALSE(splash.logo.Get().HasAlpha());
    EXPECT_EQ(splash.load.Width(), 33);
    EXPECT_EQ(splash.load.Height(), 49);
    EXPECT_EQ(splash.done.Width(), 25);
    EXPECT_EQ(splash.done.Height(), 49);
    EXPECT_FALSE(SamePixels(splash.load, splash.done));
    // The textures cover the bar's height and are solid (the bar has no background of its own).
    for (const Picture* texture : {&splash.barTexture, &splash.backgroundTexture}) {
        EXPECT_EQ(texture->Height(), 15);
        EXPECT_FALSE(texture->HasAlpha());
    }
    // Navy bar on grey: the bar is dark and blue, the background light and grey.
    const uint32_t bar = splash.barTexture.PixelAt(5, 8), back = splash.backgroundTexture.PixelAt(5, 8);
    EXPECT_GT(bar & 0xFF, (bar >> 16) & 0xFF);
    EXPECT_LT((bar >> 8) & 0xFF, 100u);
    EXPECT_GT(back & 0xFF, 150u);
    EXPECT_NEAR(static_cast<int>(back & 0xFF), static_cast<int>((back >> 16) & 0xFF), 12);
}

TEST_F(PicturesTest, IconsAtTheirSizes) {
    for (auto [icon, size] :
         {std::pair{pictures->smallIcon.Get(), 16}, std::pair{pictures->largeIcon.Get(), 32}}) {
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bitmap{};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
}

TEST_F(PicturesTest, TrayMenuPicturesAreSmallAndDistinctAndDrawnOnlyWhenShown) {
    for (int i = 0; i < kTrayPictureCount; ++i) {
        EXPECT_FALSE(pictures->trayMenu[i].Built());
    }
    for (int i = 0; i < kTrayPictureCount; ++i) {
        const Picture& picture = pictures->trayMenu[i].Get();
        EXPECT_EQ(picture.Width(), 16);
        EXPECT_EQ(picture.Height(), 16);
        EXPECT_GT(Coverage(picture), 0.3);
        for (int j = i + 1; j < kTrayPictureCount; ++j) {
            EXPECT_FALSE(SamePixels(picture, pictures->trayMenu[j].Get()));
        }
    }
}

TEST(PictureTest, ACompactPictureKeepsItsPixelsAndDrawsAsBefore) {
    Picture picture(5, 3);
    for (int i = 0; i < 15; ++i) {
        picture.Pixels()[i] = i == 7 ? 0x80402010u : 0xFF000000u | static_cast<uint32_t>(i * 0x010203);
    }
    picture.Seal();
    const std::vector<uint32_t> before = picture.ReadPixels();
    picture.Compact();
    ASSERT_TRUE(picture.IsCompact());
    EXPECT_EQ(picture.Pixels(), nullptr);
    EXPECT_TRUE(picture.HasAlpha());
    EXPECT_EQ(picture.ReadPixels(), before);
    EXPECT_EQ(picture.PixelAt(2, 1), 0x80402010u);
    EXPECT_EQ(picture.Copy().ReadPixels(), before);
    // Drawn onto an opaque picture it blends exactly as the DIB did.
    auto drawn = [&](const Picture& source) {
        Picture target(5, 3);
        MemoryDc dc(::CreateCompatibleDC(nullptr));
        {
            Selection selected(dc.Get(), target.Handle());
            source.Draw(dc.Get(), 0, 0);
        }
        return target.ReadPixels();
    };
    Picture dib(5, 3);
    std::copy(before.begin(), before.end(), dib.Pixels());
    dib.Seal();
    EXPECT_EQ(drawn(picture), drawn(dib));
}

TEST(PictureTest, MovingHandsThePixelsOver) {
    Picture first(3, 2);
    const uint32_t* pixels = first.Pixels();
    Picture second(std::move(first));
    EXPECT_TRUE(first.IsEmpty());
    EXPECT_EQ(first.Pixels(), nullptr);
    EXPECT_EQ(second.Pixels(), pixels);
    EXPECT_EQ(second.Width(), 3);
    Picture third;
    third = std::move(second);
    EXPECT_TRUE(second.IsEmpty());
    EXPECT_EQ(third.Pixels(), pixels);
    EXPECT_NE(third.Handle(), nullptr);
}

TEST(PictureSetTest, DrawsOnlyExistingPictures) {
    PictureSet set;
    auto picture = std::make_shared<const Picture>(4, 4);
    set.Set(3, picture);
    EXPECT_EQ(set.Count(), 4);
    EXPECT_EQ(set.Get(0), nullptr);
    EXPECT_EQ(set.Get(-1), nullptr);
    EXPECT_EQ(set.Get(4), nullptr);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    EXPECT_FALSE(set.Draw(0, dc.Get(), 0, 0));
    EXPECT_TRUE(set.Draw(3, dc.Get(), 0, 0));
    EXPECT_EQ(set.SizeOf(3).cx, 4);
    EXPECT_EQ(set.SizeOf(9).cx, 0);
    set.FillGaps(picture);
    EXPECT_EQ(set.Get(0), picture.get());
}

}  // namespace
}  // namespace orv::widgets
