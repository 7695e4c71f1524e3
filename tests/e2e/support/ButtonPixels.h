#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/Capture.h"

// What Tavro's main window should show, pixel by pixel, and how far a capture is from it.
namespace e2e {

// One picture button as it should look.
struct ButtonLook {
    std::string name;
    RECT rect = {};  // in the main window's client coordinates
    Pixels face;     // the picture it should show now (plain or pressed)
    bool whiteIsTransparent = false;
    Rgb back;  // inside the frame, wherever the face does not cover
    bool focused = false;
    bool pushed = false;
    // The driver draws the system's frame with its own colours, read when it started; under a
    // colour scheme changed since, Wine draws the program's frame with either, so it is not compared.
    bool frameInDriverColours = true;
};

struct ButtonDiffs {
    PixelDiff frame;      // the 2-pixel ring against the system's own DrawFrameControl
    PixelDiff face;       // face pixels that are not pure white, and the back colour around the face
    PixelDiff white;      // face pixels that are pure white in the file
    int ringPixels = 0;   // the ring 3 pixels in, where a focused button draws its dotted rectangle
    int ringChanged = 0;  // of those, pixels that are not what lies under them
    bool FocusMarkAsExpected(bool focused) const;
    bool Clean(bool focused) const {
        return frame.Mismatched() == 0 && face.Mismatched() == 0 && white.Mismatched() == 0 &&
               FocusMarkAsExpected(focused);
    }
    std::string Report() const;
};

ButtonDiffs CompareButton(const Pixels& client, const ButtonLook& look);

// Everything outside the buttons: the background picture at (0, 0), white elsewhere.
PixelDiff CompareBackground(const Pixels& client, const Pixels& background, const std::vector<RECT>& buttons);

// The system push-button frame at that size, drawn here by DrawFrameControl.
bool ReferenceFrame(int width, int height, bool pushed, Pixels* out);

}  // namespace e2e
