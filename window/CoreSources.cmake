# The window's arithmetic and its picture unpacker, none of which asks Windows anything.
tavro_core_sources(
    HuffmanCode.cpp
    Inflate.cpp
    PackedPicture.cpp
    PictureScale.cpp
    WorkArea.cpp
)
