// The program's colours: one colour type, shared by the core (which decides what an indicator shows)
// and the windows (which paint it), and the palette every part takes its colours from.
#pragma once

#include <cstdint>

namespace orv {

// Straight (not premultiplied) RGBA.
struct Colour {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(Colour, Colour) = default;
};

constexpr Colour Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return Colour{r, g, b, a};
}

// The palette.
inline constexpr Colour kWindowColour = Rgb(54, 106, 179);      // the skins' blue
inline constexpr Colour kFieldColour = Rgb(0, 128, 192);        // text fields on the main window
inline constexpr Colour kFieldTextColour = Rgb(215, 237, 255);  // texts and captions on the skins
inline constexpr Colour kActiveColour = Rgb(255, 0, 0);         // a lit indicator or step box
inline constexpr Colour kIdleColour = kWindowColour;            // an unlit one blends into the skin
inline constexpr Colour kSilverColour = Rgb(192, 192, 192);     // the editor's texts; a macro that is OK
inline constexpr Colour kTitleNameColour = Rgb(240, 185, 38);
inline constexpr Colour kTitleShadowColour = Rgb(197, 96, 14);
inline constexpr Colour kEditorFieldColour = Rgb(18, 91, 161);
inline constexpr Colour kListSelectedColour = Rgb(250, 197, 47);
inline constexpr Colour kDarkNavy = Rgb(16, 80, 141);

}  // namespace orv
