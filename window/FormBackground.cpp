#include "window/FormBackground.h"

#include <array>

#include "window/FormLayout.h"
#include "window/PictureResource.h"
#include "window/ScaledPictures.h"

namespace tavro {

namespace {

// What lies under the buttons at their kDefaultDpi places, in the background picture.
std::array<LayoutRect, kButtons.size()> UnderTheButtons() {
    std::array<LayoutRect, kButtons.size()> under{};
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        under[i] = TwipsToPixels(kButtons[i].bounds, kDefaultDpi);
    }
    return under;
}

}  // namespace

bool FormBackground::Load(HINSTANCE instance) {
    picture_ = LoadPicture(instance, IDB_BACKGROUND);
    return static_cast<bool>(picture_);
}

bool FormBackground::UseDpi(int dpi) {
    scaled_.reset();
    if (dpi == kDefaultDpi) {
        return true;
    }
    const std::array<LayoutRect, kButtons.size()> under = UnderTheButtons();
    scaled_ = ScaleBackgroundPicture(picture_.get(), dpi, under.data(), static_cast<int>(under.size()));
    return static_cast<bool>(scaled_);
}

void FormBackground::Paint(HWND window, HDC dc) const {
    const HBITMAP picture = scaled_ ? scaled_.get() : picture_.get();
    BITMAP info{};
    if (picture == nullptr || GetObjectW(picture, sizeof(info), &info) == 0) {
        return;
    }
    RECT client{};
    GetClientRect(window, &client);
    auto* const back = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    ExcludeClipRect(dc, 0, 0, info.bmWidth, info.bmHeight);
    FillRect(dc, &client, back);
    SelectClipRgn(dc, nullptr);

    const UniqueMemoryDC source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    const SelectedObject selected(source.get(), picture);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

}  // namespace tavro
