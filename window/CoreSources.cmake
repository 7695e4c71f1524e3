# The window's fixed layout, its arithmetic and its picture unpacker, none of which asks Windows
# anything.
tavro_core_sources(
    FormLayout.cpp
    HuffmanCode.cpp
    Inflate.cpp
    PackedPicture.cpp
    PictureScale.cpp
    WorkArea.cpp
)
