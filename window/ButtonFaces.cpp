#include "window/ButtonFaces.h"

#include <optional>

#include "window/PictureResource.h"
#include "window/ScaledPictures.h"

namespace tavro {

namespace {

// The resource of a button's face of kind, where the button has one.
std::optional<int> FaceResource(const ButtonDefinition& definition, FaceKind kind) {
    switch (kind) {
        case FaceKind::kNormal:
            return definition.normalFace;
        case FaceKind::kPressed:
            return definition.pressedFace;
        case FaceKind::kDisabled:
            return definition.disabledFace;
    }
    return std::nullopt;
}

constexpr std::size_t Index(FaceKind kind) {
    return static_cast<std::size_t>(kind);
}

}  // namespace

bool ButtonFaces::Load(HINSTANCE instance) {
    instance_ = instance;
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        UniqueBitmap& normal = drawn_[i][Index(FaceKind::kNormal)];
        normal = LoadPicture(instance_, kButtons[i].normalFace);
        if (!normal) {
            return false;
        }
    }
    return true;
}

bool ButtonFaces::UseDpi(int dpi) {
    DropMade(dpi, back_);
    bool complete = true;
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        complete = Face(i, FaceKind::kNormal) != nullptr && complete;
    }
    return complete;
}

void ButtonFaces::DropMade(int dpi, COLORREF back) {
    for (Faces& faces : made_) {
        for (UniqueBitmap& face : faces) {
            face.reset();
        }
    }
    dpi_ = dpi;
    back_ = back;
}

HBITMAP ButtonFaces::Face(std::size_t button, FaceKind kind) {
    UniqueBitmap& drawn = drawn_[button][Index(kind)];
    if (!drawn) {
        if (const std::optional<int> resource = FaceResource(kButtons[button], kind)) {
            drawn = LoadPicture(instance_, *resource);
        }
    }
    const std::optional<unsigned>& transparent = kButtons[button].transparentColour;
    if (dpi_ == kDefaultDpi && !transparent) {
        return drawn.get();
    }
    // Read at every paint, so a change of colour scheme shows at once: the see-through parts take
    // the new colour in new copies.
    const COLORREF back = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (back != back_) {
        DropMade(dpi_, back);
    }
    UniqueBitmap& made = made_[button][Index(kind)];
    if (!made && drawn) {
        made = ScaleFacePicture(drawn.get(), dpi_, transparent, back);
    }
    return made.get();
}

}  // namespace tavro
