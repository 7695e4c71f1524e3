#include "window/PictureButton.h"

#include "platform/UniqueResource.h"
#include "window/PictureScale.h"
#include "window/SmoothStretch.h"

namespace tavro {

namespace {

HBITMAP FaceFor(UINT state, const ButtonFaces& faces) {
    if ((state & ODS_DISABLED) != 0 && faces.disabled != nullptr) {
        return faces.disabled;
    }
    return (state & ODS_SELECTED) != 0 ? faces.pressed : faces.normal;
}

// The face as the 96 dpi button shows it, transparent colour and all, then stretched: the edges of
// the see-through parts blend into the back colour, with no fringe of the colour left out.
void DrawScaledFace(HDC target,
                    const RECT& to,
                    HDC face,
                    const BITMAP& info,
                    const std::optional<COLORREF>& transparent,
                    HBRUSH back) {
    if (!transparent) {
        StretchSmoothly(target, to, face, info.bmWidth, info.bmHeight);
        return;
    }
    const UniqueMemoryDC composed(CreateCompatibleDC(target));
    const UniqueBitmap composedBitmap(CreateCompatibleBitmap(target, info.bmWidth, info.bmHeight));
    if (!composed || !composedBitmap) {
        return;
    }
    const SelectedObject selected(composed.get(), composedBitmap.get());
    const RECT all{0, 0, info.bmWidth, info.bmHeight};
    FillRect(composed.get(), &all, back);
    GdiTransparentBlt(composed.get(), 0, 0, info.bmWidth, info.bmHeight, face, 0, 0, info.bmWidth, info.bmHeight,
                      *transparent);
    StretchSmoothly(target, to, composed.get(), info.bmWidth, info.bmHeight);
}

void DrawFace(HDC target, const RECT& button, HBITMAP face, bool pushed, const ButtonFaces& faces, HBRUSH back) {
    BITMAP info{};
    if (face == nullptr || GetObjectW(face, sizeof(info), &info) == 0) {
        return;
    }
    const UniqueMemoryDC source(CreateCompatibleDC(target));
    if (!source) {
        return;
    }
    const SelectedObject selected(source.get(), face);
    const int width = ScalePicturePixels(info.bmWidth, faces.dpi);
    const int height = ScalePicturePixels(info.bmHeight, faces.dpi);
    // Pushed, the picture moves down and right by a pixel, like a system button's caption.
    const int shift = pushed ? 1 : 0;
    const int x = button.left + (button.right - button.left - width) / 2 + shift;
    const int y = button.top + (button.bottom - button.top - height) / 2 + shift;
    if (faces.dpi != kPictureDpi) {
        DrawScaledFace(target, RECT{x, y, x + width, y + height}, source.get(), info, faces.transparent, back);
    } else if (faces.transparent) {
        GdiTransparentBlt(target, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, info.bmWidth, info.bmHeight,
                          *faces.transparent);
    } else {
        BitBlt(target, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace

void DrawPictureButton(const DRAWITEMSTRUCT& item, const ButtonFaces& faces) {
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const RECT whole{0, 0, width, height};

    // Drawn off screen first, so a held button does not flicker.
    const UniqueMemoryDC canvas(CreateCompatibleDC(item.hDC));
    const UniqueBitmap canvasBitmap(CreateCompatibleBitmap(item.hDC, width, height));
    if (!canvas || !canvasBitmap) {
        return;
    }
    const SelectedObject selected(canvas.get(), canvasBitmap.get());

    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    RECT inside = whole;
    DrawFrameControl(canvas.get(), &inside, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
    // Read at every paint, so a change of colour scheme shows at once.
    const HBRUSH back = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    FillRect(canvas.get(), &inside, back);

    SaveDC(canvas.get());
    IntersectClipRect(canvas.get(), inside.left, inside.top, inside.right, inside.bottom);
    DrawFace(canvas.get(), whole, FaceFor(item.itemState, faces), pushed, faces, back);
    RestoreDC(canvas.get(), -1);

    // The focus mark shows even before the keyboard is used: with no caption, it is the only sign
    // of which picture Space would press.
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = whole;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(canvas.get(), &focus);
    }

    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, canvas.get(), 0, 0, SRCCOPY);
}

}  // namespace tavro
