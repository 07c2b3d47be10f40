#include "widgets/picture_button.h"

#include "widgets/gdi.h"

namespace orv::widgets {

bool PictureButton::Create(HWND parent, int x, int y, int width, int height, const PictureSet* pictures,
                           int index) {
    pictures_ = pictures;
    index_ = index;
    return CreateWindowOf(L"OrvPictureButton", 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"", x, y, width,
                          height, parent);
}

void PictureButton::SetPicture(int index) {
    if (index == index_) {
        return;
    }
    index_ = index;
    Repaint();
}

void PictureButton::SetPictures(const PictureSet* pictures) {
    pictures_ = pictures;
    Repaint();
}

void PictureButton::Paint(HDC dc) const {
    // The parent's background first, so that the picture's soft edges blend into it.
    DrawParentBackground(Handle(), dc);
    if (pictures_ != nullptr) {
        pictures_->Draw(index_, dc, 0, 0);
    }
}

void PictureButton::Press(MouseButton button) {
    if (button == MouseButton::Left) {
        press_.Begin(Handle());
    }
    if (onMouseDown) {
        onMouseDown(button);
    }
}

void PictureButton::Release(MouseButton button, LPARAM position) {
    const bool clicked = button == MouseButton::Left && press_.End(Handle(), position);
    if (onMouseUp) {
        onMouseUp(button);
    }
    // The click comes after the release, as the owner's pressed flag must be clear by then.
    if (clicked && onClick) {
        onClick();
    }
}

LRESULT PictureButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            ++paintCount_;
            PaintBuffered(Handle(), [this](HDC dc, int, int) { Paint(dc); });
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Press(MouseButton::Left);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            Press(MouseButton::Right);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            Press(MouseButton::Middle);
            return 0;
        case WM_LBUTTONUP:
            Release(MouseButton::Left, lParam);
            return 0;
        case WM_RBUTTONUP:
            Release(MouseButton::Right, lParam);
            return 0;
        case WM_MBUTTONUP:
            Release(MouseButton::Middle, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away (a dialog, a drag): the press is over without a click.
            if (press_.Lost(Handle(), lParam) && onMouseUp) {
                onMouseUp(MouseButton::Left);
            }
            return 0;
        case WM_SETCURSOR:
            if (handCursor_ && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            return Default(message, wParam, lParam);
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
