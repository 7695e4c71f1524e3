#include "support/ButtonPixels.h"

namespace e2e {
namespace {

constexpr int kFrameWidth = 2;
constexpr int kFocusInset = 3;
constexpr Rgb kWhite = {255, 255, 255};

bool InRect(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

bool ButtonDiffs::FocusMarkAsExpected(bool focused) const {
    // A dotted line inverts about every other pixel; without focus nothing on the ring may change.
    return focused ? ringChanged * 4 >= ringPixels && ringPixels > 0 : ringChanged == 0;
}

std::string ButtonDiffs::Report() const {
    return frame.Report() + "\n" + face.Report() + "\n" + white.Report() +
           "\nfocus ring: " + std::to_string(ringChanged) + " of " + std::to_string(ringPixels) +
           " pixels differ from what lies under them";
}

ButtonDiffs CompareButton(const Pixels& client, const ButtonLook& look) {
    ButtonDiffs diffs{PixelDiff(look.name + " frame"), PixelDiff(look.name + " face and back colour"),
                      PixelDiff(look.name + " white face pixels"), 0, 0};
    const int width = look.rect.right - look.rect.left;
    const int height = look.rect.bottom - look.rect.top;
    Pixels frame;
    if (!ReferenceFrame(width, height, look.pushed, &frame)) {
        diffs.frame.Check(-1, -1, kWhite, {});  // cannot draw the reference: count as a difference
        return diffs;
    }
    const int shift = look.pushed ? 1 : 0;
    const int faceLeft = (width - look.face.width) / 2 + shift;
    const int faceTop = (height - look.face.height) / 2 + shift;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int cx = look.rect.left + x;
            const int cy = look.rect.top + y;
            if (!client.Contains(cx, cy)) {
                diffs.frame.Check(cx, cy, kWhite, {});  // the button lies outside the client area
                continue;
            }
            const Rgb shown = client.At(cx, cy);
            if (x < kFrameWidth || y < kFrameWidth || x >= width - kFrameWidth || y >= height - kFrameWidth) {
                if (look.frameInDriverColours) {
                    diffs.frame.Check(cx, cy, frame.At(x, y), shown);
                }
                continue;
            }
            Rgb expected = look.back;
            bool white = false;
            const int fx = x - faceLeft;
            const int fy = y - faceTop;
            if (look.face.Contains(fx, fy)) {
                const Rgb facePixel = look.face.At(fx, fy);
                white = facePixel == kWhite;
                expected = white && look.whiteIsTransparent ? look.back : facePixel;
            }
            const bool onRing =
                x >= kFocusInset && y >= kFocusInset && x < width - kFocusInset && y < height - kFocusInset &&
                (x == kFocusInset || y == kFocusInset || x == width - kFocusInset - 1 || y == height - kFocusInset - 1);
            if (onRing) {
                ++diffs.ringPixels;
                diffs.ringChanged += shown != expected ? 1 : 0;
                if (look.focused) {
                    continue;  // the dotted mark covers it
                }
            }
            (white ? diffs.white : diffs.face).Check(cx, cy, expected, shown);
        }
    }
    return diffs;
}

PixelDiff CompareBackground(const Pixels& client, const Pixels& background, const std::vector<RECT>& buttons) {
    PixelDiff diff("background outside the buttons");
    for (int y = 0; y < client.height; ++y) {
        for (int x = 0; x < client.width; ++x) {
            bool covered = false;
            for (const RECT& button : buttons) {
                covered = covered || InRect(button, x, y);
            }
            if (!covered) {
                diff.Check(x, y, background.Contains(x, y) ? background.At(x, y) : kWhite, client.At(x, y));
            }
        }
    }
    return diff;
}

bool ReferenceFrame(int width, int height, bool pushed, Pixels* out) {
    return RenderLocally(width, height, out, [&](HDC dc) {
        RECT all = {0, 0, width, height};
        DrawFrameControl(dc, &all, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0u));
    });
}

}  // namespace e2e
