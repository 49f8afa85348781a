// A picture turned into what the printer prints: scaled down to the printable width of the
// paper, then black and white by a threshold or by error diffusion. Portable.
#pragma once
#include <cstdint>
#include <vector>

namespace qk::logo {

using Bytes = std::vector<uint8_t>;

// Dots across the printable area at 203 dpi.
inline constexpr int32_t kPrintableDots80mm = 576;
inline constexpr int32_t kPrintableDots58mm = 384;
// Customized value 3 (block 0x10005): 2 is 58 mm paper, anything else prints on 80 mm.
int32_t PrintableWidth(uint16_t paperSize);

// A decoded picture: rows of 32-bit pixels, bytes blue, green, red, alpha (straight alpha).
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    Bytes bgra; // width * height * 4 bytes
};

// A decoded picture larger than this is not taken (it would be scaled down anyway, and the
// pixels alone would take hundreds of megabytes).
inline constexpr int32_t kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = 40LL * 1000 * 1000;
bool PictureSizeAccepted(int64_t width, int64_t height);

enum class Conversion : int32_t { Threshold = 0, ErrorDiffusion = 1 };

struct RasterOptions {
    int32_t maxWidth = kPrintableDots80mm;
    Conversion conversion = Conversion::ErrorDiffusion;
    uint8_t threshold = 128; // a gray below this prints black
};

// Dots in rows of (width + 7) / 8 bytes, the leftmost dot in the high bit, 1 prints black.
struct Raster {
    int32_t width = 0;
    int32_t height = 0;
    Bytes bits;

    int32_t RowBytes() const { return (width + 7) / 8; }
    bool Black(int32_t x, int32_t y) const {
        return (bits[static_cast<std::size_t>(y) * RowBytes() + x / 8] & (0x80 >> (x % 8))) != 0;
    }
};

enum class RasterResult : int32_t {
    Ok = 0,
    Empty = 1,   // no pixels, or a picture of nothing but blank dots
    Invalid = 2, // the pixel buffer does not match the sizes, or a picture beyond the limits
};

// What is kept of an opened picture: the gray of every dot on white paper (0 black .. 255
// white), scaled down to the printable width. A decoded picture may take 160 MB; this takes
// a few hundred kilobytes, whatever the picture's size.
struct GrayPicture {
    int32_t sourceWidth = 0; // the picture as opened
    int32_t sourceHeight = 0;
    int32_t width = 0;
    int32_t height = 0;
    Bytes gray; // width * height
};

// The picture's grays at most maxWidth dots wide, the height in proportion (at least one
// row); Empty or Invalid as ToRaster answers them.
RasterResult ScaleToGray(const Picture& picture, int32_t maxWidth, GrayPicture& scaled);

// Converts the picture; a picture wider than options.maxWidth is scaled to that width, the
// height in proportion (at least one row). The same as ScaleToGray followed by the
// conversion of the grays.
RasterResult ToRaster(const Picture& picture, const RasterOptions& options, Raster& raster);
// Converts kept grays; grays wider than options.maxWidth are scaled down once more.
RasterResult ToRaster(const GrayPicture& picture, const RasterOptions& options, Raster& raster);

} // namespace qk::logo
