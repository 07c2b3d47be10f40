// Painting helpers shared by the widgets: the parent's background behind a child, and flicker-free
// painting through an off-screen bitmap.
#pragma once

#include <windows.h>

#include <functional>

namespace orv::widgets {

// Paints, into `dc` (whose origin is `child`'s top-left corner), what `child`'s parent shows behind it.
void DrawParentBackground(HWND child, HDC dc);

// For WM_PAINT: composes the part of `window` being painted off-screen and copies it on in one piece,
// so that it never flickers. `draw` paints in the window's client coordinates (`width` and `height`
// are the client's size) into a memory device context that holds a new bitmap the size of that part
// and finds the part as its clip box; a window as large as the main one so composes no more than it
// shows anew (straight onto the screen when no bitmap can be had). With `buffer` (the client's size;
// null paints nothing) the whole client is composed in it, and stays there: false when it could not be.
void PaintBuffered(HWND window, const std::function<void(HDC dc, int width, int height)>& draw);
bool PaintBuffered(HWND window, HBITMAP buffer,
                   const std::function<void(HDC dc, int width, int height)>& draw);
// The same with `buffer`, at once and outside WM_PAINT: the whole client through the window's own
// device context. For a change shown every second or so, this spares the invalidation and the paint
// message with their calls to the system.
bool PaintBufferedNow(HWND window, HBITMAP buffer,
                      const std::function<void(HDC dc, int width, int height)>& draw);

}  // namespace orv::widgets
