#include "support/MainWindowFixture.h"

#include <algorithm>
#include <string>
#include <utility>

#include "support/Input.h"
#include "support/ScaledPixels.h"
#include "support/TopWindows.h"
#include "support/Wait.h"

namespace e2e {
namespace {

constexpr SIZE kClient96 = {518, 271};
constexpr SIZE kBackground = {517, 271};
constexpr Rgb kWhite = {255, 255, 255};
// What a smoothing filter may add beyond the range of the 96 dpi pixels a pixel comes from: its
// own rounding, and nothing like a colour that is not there. (Tavro's bilinear filter stays within
// the range exactly.)
constexpr int kStretchTolerance = 1;
// How far from its place a 96 dpi pixel may land, in 96 dpi pixels. Around the background the
// filter reaches one pixel. A face is centred in a button whose edges the twips round by up to
// half a pixel, and the centring rounds by up to one more, so a face may sit one 96 dpi pixel
// from where the scaled 96 dpi window has it, and the filter reaches one further.
constexpr int kBackgroundReach = 1;
constexpr int kFaceReach = 2;
// The button frame (2 pixels) and the focus mark (3 pixels in) keep their pixel size at every
// dpi, as the system draws them: the outer 4 pixels of a button are no scaled picture. Inside
// them, the frame hides a face's outermost pixels at 96 dpi, which a larger face shows: the next
// 96 dpi pixel's worth is no comparison either.
constexpr int kButtonEdge = 4;
int ButtonEdgeAt(int dpi) {
    return kButtonEdge + (dpi + 95) / 96;
}

bool InRect(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool InAny(const std::vector<RECT>& rects, int x, int y) {
    return std::any_of(rects.begin(), rects.end(), [&](const RECT& r) { return InRect(r, x, y); });
}

}  // namespace

RECT ToRect(PixelRect box) {
    return {box.x, box.y, box.x + box.width, box.y + box.height};
}

void MainWindowTest::Start(DWORD dpi) {
    dpi_ = std::make_unique<ScopedLogPixels>(dpi);
    ASSERT_TRUE(dpi_->Applied()) << dpi_->Error();
    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_12345.exe", &main_));
}

void MainWindowTest::Restart(DWORD dpi) {
    if (main_.process) {
        main_.process.Terminate();
        ASSERT_TRUE(main_.process.WaitForExit(kStartBound).has_value()) << "Tavro did not end";
    }
    main_ = MainWindow{};
    dpi_.reset();
    ASSERT_NO_FATAL_FAILURE(Start(dpi));
}

void MainWindowTest::ExpectLayout(const DpiLayout& layout) {
    SCOPED_TRACE(std::to_string(layout.dpi) + " dpi");
    RECT client = {};
    ASSERT_TRUE(GetClientRect(main_.window, &client));
    EXPECT_EQ(client.right, layout.client.cx) << "client width";
    EXPECT_EQ(client.bottom, layout.client.cy) << "client height";
    for (const ExpectedButton& want : kExpectedButtons) {
        SCOPED_TRACE(want.name);
        const HWND button = Button(want.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(ToString(RectInParent(button)), ToString(ToRect(want.*layout.button))) << "rectangle in the client";
    }
}

void MainWindowTest::ExpectScaledPictures(int dpi, const Pixels& at96) {
    ASSERT_EQ(NameOf(main_, WaitForFocus(main_.threadId, main_.copy)), "CopyCommand")
        << "focus before looking at the pixels";
    Pixels picture;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile(ResourcePath(L"background.bmp"), &picture, &error)) << error;
    // The 96 dpi client area without its buttons: the picture, and white beyond it.
    Pixels ground;
    ground.width = kClient96.cx;
    ground.height = kClient96.cy;
    for (int y = 0; y < ground.height; ++y) {
        for (int x = 0; x < ground.width; ++x) {
            ground.rgb.push_back(picture.Contains(x, y) ? picture.At(x, y) : kWhite);
        }
    }
    std::vector<RECT> under96;
    for (const ExpectedButton& want : kExpectedButtons) {
        under96.push_back(ToRect(want.at96));
    }
    std::vector<RECT> buttons;
    std::vector<RECT> insides;
    for (const ExpectedButton& want : kExpectedButtons) {
        RECT r = RectInParent(Button(want.id));
        buttons.push_back(r);
        InflateRect(&r, -ButtonEdgeAt(dpi), -ButtonEdgeAt(dpi));
        insides.push_back(r);
    }
    const auto outsideButtons = [&](int x, int y) { return !InAny(buttons, x, y); };
    const auto notUnderA96Button = [&](int x, int y) { return !InAny(under96, x, y); };
    const auto pictureNotFrame = [&](int x, int y) { return !InAny(buttons, x, y) || InAny(insides, x, y); };
    const auto everything = [](int, int) { return true; };
    const auto background = [&](const Pixels& shown) {
        return CompareScaled(shown, dpi, ground, outsideButtons, notUnderA96Button, kBackgroundReach, kStretchTolerance,
                             "outside the buttons, against the background picture without what lies under "
                             "the 96 dpi buttons");
    };
    const auto window = [&](const Pixels& shown) {
        return CompareScaled(shown, dpi, at96, pictureNotFrame, everything, kFaceReach, kStretchTolerance,
                             "the window, button frames and focus marks aside, against the 96 dpi window");
    };
    Pixels shown;
    ASSERT_NO_FATAL_FAILURE(CaptureUntil(
        &shown, [&](const Pixels& now) { return background(now).Mismatched() == 0 && window(now).Mismatched() == 0; }));
    const RangeDiff outside = background(shown);
    EXPECT_GT(outside.Compared(), 0);
    EXPECT_EQ(outside.Mismatched(), 0) << outside.Report();
    const RangeDiff whole = window(shown);
    EXPECT_GT(whole.Compared(), shown.width * shown.height / 2);
    EXPECT_EQ(whole.Mismatched(), 0) << whole.Report();
}

std::vector<ButtonLook> MainWindowTest::Looks(Rgb back) {
    std::vector<ButtonLook> looks;
    const HWND focus = FocusOf(main_.threadId);
    for (const ExpectedButton& want : kExpectedButtons) {
        ButtonLook look;
        look.name = want.name;
        look.rect = RectInParent(Button(want.id));
        std::string error;
        EXPECT_TRUE(LoadBitmapFile(ResourcePath(want.face), &look.face, &error)) << error;
        look.whiteIsTransparent = want.whiteIsTransparent;
        look.back = back;
        look.frameInDriverColours = back == FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
        look.focused = focus == Button(want.id);
        looks.push_back(std::move(look));
    }
    return looks;
}

void MainWindowTest::CaptureUntil(Pixels* shown, const std::function<bool(const Pixels&)>& accept) {
    std::string error;
    // Off the window, so no button is hovered or hidden under the cursor.
    ASSERT_TRUE(MoveMouseTo({1020, 760}, &error)) << error;
    ASSERT_TRUE(BringToFront(main_.window, &error)) << error;
    bool captured = true;
    PollUntil(
        [&] {
            captured = CaptureClient(main_.window, shown, &error);
            return captured && accept(*shown);
        },
        kPaintBound, std::chrono::milliseconds(50));
    ASSERT_TRUE(captured) << error;
}

void MainWindowTest::ExpectPicturesShown(Rgb back, Pixels* capture) {
    // Which button shows the focus mark depends on the focus: start from the initial one.
    ASSERT_EQ(NameOf(main_, WaitForFocus(main_.threadId, main_.copy)), "CopyCommand")
        << "focus before looking at the pixels";
    Pixels background;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile(ResourcePath(L"background.bmp"), &background, &error)) << error;
    ASSERT_EQ(background.width, kBackground.cx) << "background.bmp width";
    ASSERT_EQ(background.height, kBackground.cy) << "background.bmp height";
    const std::vector<ButtonLook> looks = Looks(back);
    std::vector<RECT> rects;
    for (const auto& look : looks) {
        rects.push_back(look.rect);
    }
    Pixels shown;
    ASSERT_NO_FATAL_FAILURE(CaptureUntil(&shown, [&](const Pixels& now) {
        bool clean = CompareBackground(now, background, rects).Mismatched() == 0;
        for (const auto& look : looks) {
            clean = clean && CompareButton(now, look).Clean(look.focused);
        }
        return clean;
    }));

    const PixelDiff outside = CompareBackground(shown, background, rects);
    EXPECT_EQ(outside.Mismatched(), 0) << outside.Report();
    // The strip right of and below the picture, where there is one, is plain white.
    PixelDiff margin("client area beyond the background picture");
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            if (!InAny(rects, x, y) && (x >= kBackground.cx || y >= kBackground.cy)) {
                margin.Check(x, y, kWhite, shown.At(x, y));
            }
        }
    }
    EXPECT_GT(margin.Compared(), 0) << "no margin beyond the picture: client " << shown.width << " x " << shown.height;
    EXPECT_EQ(margin.Mismatched(), 0) << margin.Report();

    for (const auto& look : looks) {
        SCOPED_TRACE(look.name + " at " + ToString(look.rect) + (look.focused ? ", focused" : ""));
        const ButtonDiffs diffs = CompareButton(shown, look);
        EXPECT_EQ(diffs.frame.Mismatched(), 0) << diffs.frame.Report();
        EXPECT_EQ(diffs.face.Mismatched(), 0) << diffs.face.Report();
        EXPECT_GT(diffs.white.Compared(), 100) << "the face has hardly any white to look at";
        EXPECT_EQ(diffs.white.Mismatched(), 0) << diffs.white.Report();
        EXPECT_TRUE(diffs.FocusMarkAsExpected(look.focused))
            << (look.focused ? "expected a dotted focus rectangle 3 px in: " : "expected no focus mark: ")
            << diffs.ringChanged << " of " << diffs.ringPixels << " ring pixels differ from the face";
    }
    if (capture != nullptr) {
        *capture = std::move(shown);
    }
}

void MainWindowTest::ExpectDisabledFaceOfStartUpCommand(Rgb back) {
    const std::vector<ButtonLook> looks = Looks(back);
    const auto startUp =
        std::find_if(looks.begin(), looks.end(), [](const ButtonLook& look) { return look.name == "StartUpCommand"; });
    ASSERT_NE(startUp, looks.end()) << "StartUpCommand is not among the buttons";
    // A disabled button that had the focus would keep its focus mark.
    ASSERT_FALSE(startUp->focused) << "the premise: StartUpCommand has no focus";
    ButtonLook look = *startUp;
    look.name += ", disabled";
    std::string error;
    ASSERT_TRUE(LoadBitmapFile(ResourcePath(L"logo.bmp"), &look.face, &error)) << error;
    // EnableWindow works across processes, and the button paints itself anew in its new state.
    EnableWindow(main_.startUp, FALSE);
    Pixels shown;
    ASSERT_NO_FATAL_FAILURE(
        CaptureUntil(&shown, [&](const Pixels& now) { return CompareButton(now, look).Clean(false); }));
    EnableWindow(main_.startUp, TRUE);
    const ButtonDiffs diffs = CompareButton(shown, look);
    EXPECT_TRUE(diffs.Clean(false)) << diffs.Report();
}

}  // namespace e2e
