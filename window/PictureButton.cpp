#include "window/PictureButton.h"

#include "platform/UniqueResource.h"

namespace tavro {

namespace {

// Saves the DC's state (its clipping above all) and puts it back at the end of the scope.
class SavedDC {
  public:
    explicit SavedDC(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDC() {
        if (saved_ != 0) {
            RestoreDC(dc_, saved_);
        }
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

  private:
    HDC dc_;  // borrowed
    int saved_;
};

}  // namespace

FaceKind FaceKindFor(UINT state, bool hasDisabledFace) {
    if ((state & ODS_DISABLED) != 0 && hasDisabledFace) {
        return FaceKind::kDisabled;
    }
    return (state & ODS_SELECTED) != 0 ? FaceKind::kPressed : FaceKind::kNormal;
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP face) {
    const HDC dc = item.hDC;
    const RECT whole = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const UINT frameState = DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0);

    // Where the frame ends, as the system draws it: asked with nothing to draw on.
    RECT inside = whole;
    {
        const SavedDC saved(dc);
        IntersectClipRect(dc, 0, 0, 0, 0);
        DrawFrameControl(dc, &inside, DFC_BUTTON, frameState | DFCS_ADJUSTRECT);
    }
    // Pushed, the picture moves down and right by a pixel, like a system button's caption.
    BITMAP info{};
    RECT picture{};
    if (face != nullptr && GetObjectW(face, sizeof(info), &info) != 0) {
        const int width = info.bmWidth;
        const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        const int shift = pushed ? 1 : 0;
        picture.left = whole.left + (whole.right - whole.left - width) / 2 + shift;
        picture.top = whole.top + (whole.bottom - whole.top - height) / 2 + shift;
        picture.right = picture.left + width;
        picture.bottom = picture.top + height;
    }

    {
        // The frame alone: the system fills its middle with the face colour, which the button
        // colour would then cover.
        const SavedDC saved(dc);
        ExcludeClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
        RECT frame = whole;
        DrawFrameControl(dc, &frame, DFC_BUTTON, frameState);
    }
    {
        // Read at every paint, so a change of colour scheme shows at once.
        const SavedDC saved(dc);
        ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
        FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
    if (picture.right > picture.left) {
        const UniqueMemoryDC source(CreateCompatibleDC(dc));
        if (source) {
            const SavedDC saved(dc);
            IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
            const SelectedObject selected(source.get(), face);
            BitBlt(dc, picture.left, picture.top, picture.right - picture.left, picture.bottom - picture.top,
                   source.get(), 0, 0, SRCCOPY);
        }
    }

    // The focus mark shows even before the keyboard is used: with no caption, it is the only sign
    // of which picture Space would press.
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = whole;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace tavro
