#include "window/PictureResource.h"

#include <cstdint>

#include "window/PackedPicture.h"

namespace tavro {

UniqueBitmap CreatePictureSection(int width, int height, std::uint32_t** bits) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    UniqueBitmap section(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &memory, nullptr, 0));
    *bits = static_cast<std::uint32_t*>(memory);
    if (memory == nullptr) {
        return UniqueBitmap();
    }
    return section;
}

UniqueBitmap LoadPicture(HINSTANCE instance, int id) {
    // A loaded resource is part of the mapped image: nothing to free.
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const auto* data = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    const std::size_t size = found != nullptr ? SizeofResource(instance, found) : 0;
    const std::optional<PictureSize> picture = PackedPictureSize(data, size);
    if (!picture) {
        return UniqueBitmap();
    }
    std::uint32_t* bits = nullptr;
    UniqueBitmap section = CreatePictureSection(picture->width, picture->height, &bits);
    // GDI has not drawn into the new section, so its bits need no GdiFlush before they are written.
    const std::size_t count = static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height);
    if (!section || !UnpackPicture(data, size, bits, count)) {
        return UniqueBitmap();
    }
    return section;
}

}  // namespace tavro
