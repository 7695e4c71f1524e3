#include "window/PictureButton.h"

#include "platform/UniqueResource.h"

namespace tavro {

namespace {

void DrawFace(HDC target, const RECT& button, HBITMAP face, bool pushed, const std::optional<COLORREF>& transparent) {
    BITMAP info{};
    if (face == nullptr || GetObjectW(face, sizeof(info), &info) == 0) {
        return;
    }
    const UniqueMemoryDC source(CreateCompatibleDC(target));
    if (!source) {
        return;
    }
    const SelectedObject selected(source.get(), face);
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    // Pushed, the picture moves down and right by a pixel, like a system button's caption.
    const int shift = pushed ? 1 : 0;
    const int x = button.left + (button.right - button.left - width) / 2 + shift;
    const int y = button.top + (button.bottom - button.top - height) / 2 + shift;
    if (transparent) {
        GdiTransparentBlt(target, x, y, width, height, source.get(), 0, 0, width, height, *transparent);
    } else {
        BitBlt(target, x, y, width, height, source.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace

FaceKind FaceKindFor(UINT state, bool hasDisabledFace) {
    if ((state & ODS_DISABLED) != 0 && hasDisabledFace) {
        return FaceKind::kDisabled;
    }
    return (state & ODS_SELECTED) != 0 ? FaceKind::kPressed : FaceKind::kNormal;
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP face, const std::optional<COLORREF>& transparent) {
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
    FillRect(canvas.get(), &inside, GetSysColorBrush(COLOR_BTNHIGHLIGHT));

    SaveDC(canvas.get());
    IntersectClipRect(canvas.get(), inside.left, inside.top, inside.right, inside.bottom);
    DrawFace(canvas.get(), whole, face, pushed, transparent);
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
