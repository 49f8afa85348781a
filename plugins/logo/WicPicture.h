// Decodes a picture file (BMP, PNG and whatever else the Windows Imaging Component reads)
// into 32-bit pixels, blue, green, red, alpha.
#pragma once
#include <string>
#include "plugins/logo/LogoRaster.h"

namespace qk::logo {

enum class PictureLoad : int32_t {
    Ok = 0,
    Unreadable = 1, // missing, not a picture, or a format without a decoder
    Empty = 2,      // no pixels
    TooLarge = 3,   // beyond PictureSizeAccepted: not decoded at all
};

PictureLoad LoadPicture(const std::wstring& path, Picture& picture);

} // namespace qk::logo
