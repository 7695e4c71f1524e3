#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "support/ButtonPixels.h"
#include "support/Capture.h"
#include "support/Tavro.h"
#include "support/UserSetting.h"

// Tavro's main window as it should appear at 96, 120 and 144 dpi, and a fixture that starts it at
// a dpi and compares what it shows, layout and pixels, with that.
namespace e2e {

inline constexpr std::chrono::milliseconds kPaintBound{3000};

struct PixelRect {
    int x, y, width, height;
};

RECT ToRect(PixelRect box);

// The buttons in creation (tab) order. Pixel rectangles are the twips rectangles rounded half up
// at each dpi: CopyCommand (75, 810) 3765 x 1245, StartUpCommand (3840, 810) 3825 x 1245,
// close (5745, 3030) 1935 x 675.
struct ExpectedButton {
    const char* name;
    const char* text;  // the accessible name; the picture is all that is drawn
    int id;
    const wchar_t* face;
    const wchar_t* pressedFace;
    bool whiteIsTransparent;
    PixelRect at96;
    PixelRect at120;
    PixelRect at144;
};

// One button a row, which reads better than one field a line.
// clang-format off
inline constexpr ExpectedButton kExpectedButtons[] = {
    {"CopyCommand", "デスクトップにショートカットを作成する", kCopyCommandId, L"copy_face.bmp", L"copy_face_pressed.bmp",
     false, {5, 54, 251, 83}, {6, 68, 314, 104}, {8, 81, 377, 125}},
    {"StartUpCommand", "写真を注文する", kStartUpCommandId, L"order_face.bmp", L"order_face_pressed.bmp",
     true, {256, 54, 255, 83}, {320, 68, 319, 104}, {384, 81, 383, 125}},
    {"close", "閉じる", kCloseId, L"close_face.bmp", L"close_face_pressed.bmp",
     false, {383, 202, 129, 45}, {479, 253, 161, 56}, {575, 303, 194, 68}},
};
// clang-format on

// The client area, 7770 x 4065 twips, rounded half up the same way.
struct DpiLayout {
    DWORD dpi;
    SIZE client;
    PixelRect ExpectedButton::*button;
};
inline constexpr DpiLayout kDpiLayouts[] = {
    {96, {518, 271}, &ExpectedButton::at96},
    {120, {648, 339}, &ExpectedButton::at120},
    {144, {777, 407}, &ExpectedButton::at144},
};

class MainWindowTest : public testing::Test {
  protected:
    // The dpi is read when the program starts; the setting is put back when the case ends.
    void Start(DWORD dpi = 96);
    // Ends the running copy and starts a new one at another dpi, in the same prefix.
    void Restart(DWORD dpi);

    HWND Button(int id) const { return GetDlgItem(main_.window, id); }

    // The client size and every button's rectangle at the layout's dpi.
    void ExpectLayout(const DpiLayout& layout);
    // Checks every pixel of the client area at 96 dpi: background, right margin and the three
    // buttons. *capture, when given, receives what was checked.
    void ExpectPicturesShown(Rgb back, Pixels* capture = nullptr);
    // The window at dpi against the 96 dpi window scaled (at96, captured with the same focus and
    // colours), and against the background picture outside the buttons: there nothing may show of
    // what lies under the buttons at 96 dpi, the painted copies of the faces.
    void ExpectScaledPictures(int dpi, const Pixels& at96);
    // Nothing in the program disables a button, yet StartUpCommand has a face for it: disabled
    // from here, it shows that face (logo.bmp, its white the back colour, as on its other faces)
    // in its plain frame, and is enabled again.
    void ExpectDisabledFaceOfStartUpCommand(Rgb back);

    // What the buttons should show now, each face as committed and the back colour given.
    std::vector<ButtonLook> Looks(Rgb back);
    // Captures the client area until accept holds or kPaintBound passes; *shown keeps the last capture.
    void CaptureUntil(Pixels* shown, const std::function<bool(const Pixels&)>& accept);

    std::unique_ptr<ScopedLogPixels> dpi_;
    MainWindow main_;
};

}  // namespace e2e
