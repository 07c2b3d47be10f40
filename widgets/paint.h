// Painting helpers shared by the widgets: the parent's background behind a child, and flicker-free
// painting through an off-screen bitmap.
#pragma once

#include <windows.h>

#include <functional>

namespace orv::widgets {

// Paints, into `dc` (whose origin is `child`'s top-left corner), what `child`'s parent shows behind it.
void DrawParentBackground(HWND child, HDC dc);

// For WM_PAINT: composes `window`'s whole client area off-screen and copies it on in one piece, so that
// it never flickers. `draw` paints into a memory device context that holds a new bitmap of the client's
// size, or `buffer` when one is given (the client's size); a null `buffer` paints nothing.
void PaintBuffered(HWND window, const std::function<void(HDC dc, int width, int height)>& draw);
void PaintBuffered(HWND window, HBITMAP buffer,
                   const std::function<void(HDC dc, int width, int height)>& draw);

}  // namespace orv::widgets
