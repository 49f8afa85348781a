#include "plugins/logo/LogoRaster.h"

#include <algorithm>

namespace qk::logo {
namespace {

// Gray 0 (black) .. 255 (white) of one pixel laid on white paper.
int32_t PixelGray(const uint8_t* p) {
    const int32_t luma = (p[2] * 299 + p[1] * 587 + p[0] * 114 + 500) / 1000;
    const int32_t alpha = p[3];
    return (luma * alpha + 255 * (255 - alpha) + 127) / 255;
}

// The gray of every dot, each the average of the source dots it covers; grayAt(x, y) is the
// gray of one source dot of a sw x sh picture.
template <typename GrayAt>
std::vector<int32_t> ScaledGray(int64_t sw, int64_t sh, int32_t width, int32_t height,
                                GrayAt grayAt) {
    std::vector<int32_t> gray(static_cast<std::size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        const int64_t y0 = y * sh / height;
        const int64_t y1 = std::max(y0 + 1, (y + 1) * sh / height);
        for (int32_t x = 0; x < width; ++x) {
            const int64_t x0 = x * sw / width;
            const int64_t x1 = std::max(x0 + 1, (x + 1) * sw / width);
            int64_t sum = 0;
            for (int64_t sy = y0; sy < y1; ++sy)
                for (int64_t sx = x0; sx < x1; ++sx)
                    sum += grayAt(sx, sy);
            const int64_t count = (y1 - y0) * (x1 - x0);
            gray[static_cast<std::size_t>(y) * width + x] =
                static_cast<int32_t>((sum + count / 2) / count);
        }
    }
    return gray;
}

// The size a picture of width x height takes at most maxWidth dots wide.
void FitWidth(int32_t maxWidth, int32_t& width, int32_t& height) {
    if (width <= maxWidth)
        return;
    // Scaled as a whole: a wide picture is never cut at the paper's edge.
    height = static_cast<int32_t>(
        std::max<int64_t>(1, (static_cast<int64_t>(height) * maxWidth + width / 2) / width));
    width = maxWidth;
}

void SetBlack(Raster& raster, int32_t x, int32_t y) {
    raster.bits[static_cast<std::size_t>(y) * raster.RowBytes() + x / 8] |=
        static_cast<uint8_t>(0x80 >> (x % 8));
}

void Threshold(const std::vector<int32_t>& gray, uint8_t threshold, Raster& raster) {
    for (int32_t y = 0; y < raster.height; ++y)
        for (int32_t x = 0; x < raster.width; ++x)
            if (gray[static_cast<std::size_t>(y) * raster.width + x] < threshold)
                SetBlack(raster, x, y);
}

// Floyd and Steinberg's weights 7, 3, 5, 1 (sixteenths) to the dots not yet decided.
void Diffuse(std::vector<int32_t> gray, uint8_t threshold, Raster& raster) {
    const int32_t w = raster.width;
    auto at = [&](int32_t x, int32_t y) -> int32_t& {
        return gray[static_cast<std::size_t>(y) * w + x];
    };
    for (int32_t y = 0; y < raster.height; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t old = at(x, y);
            const bool black = old < threshold;
            if (black)
                SetBlack(raster, x, y);
            const int32_t error = old - (black ? 0 : 255);
            if (x + 1 < w)
                at(x + 1, y) += error * 7 / 16;
            if (y + 1 < raster.height) {
                if (x > 0)
                    at(x - 1, y + 1) += error * 3 / 16;
                at(x, y + 1) += error * 5 / 16;
                if (x + 1 < w)
                    at(x + 1, y + 1) += error / 16;
            }
        }
    }
}

} // namespace

int32_t PrintableWidth(uint16_t paperSize) {
    return paperSize == 2 ? kPrintableDots58mm : kPrintableDots80mm;
}

bool PictureSizeAccepted(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

RasterResult ScaleToGray(const Picture& picture, int32_t maxWidth, GrayPicture& scaled) {
    scaled = GrayPicture{};
    if (picture.width == 0 || picture.height == 0)
        return RasterResult::Empty;
    if (!PictureSizeAccepted(picture.width, picture.height) || maxWidth <= 0 ||
        picture.bgra.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
        return RasterResult::Invalid;
    int32_t width = picture.width;
    int32_t height = picture.height;
    FitWidth(maxWidth, width, height);
    const int64_t sw = picture.width;
    const std::vector<int32_t> gray =
        ScaledGray(sw, picture.height, width, height, [&](int64_t x, int64_t y) {
            return PixelGray(picture.bgra.data() + static_cast<std::size_t>((y * sw + x) * 4));
        });
    scaled.sourceWidth = picture.width;
    scaled.sourceHeight = picture.height;
    scaled.width = width;
    scaled.height = height;
    scaled.gray.assign(gray.begin(), gray.end()); // every average is within 0..255
    return RasterResult::Ok;
}

RasterResult ToRaster(const Picture& picture, const RasterOptions& options, Raster& raster) {
    raster = Raster{};
    GrayPicture scaled;
    const RasterResult result = ScaleToGray(picture, options.maxWidth, scaled);
    return result == RasterResult::Ok ? ToRaster(scaled, options, raster) : result;
}

RasterResult ToRaster(const GrayPicture& picture, const RasterOptions& options, Raster& raster) {
    raster = Raster{};
    if (picture.width == 0 || picture.height == 0)
        return RasterResult::Empty;
    if (!PictureSizeAccepted(picture.width, picture.height) || options.maxWidth <= 0 ||
        picture.gray.size() != static_cast<std::size_t>(picture.width) * picture.height)
        return RasterResult::Invalid;
    int32_t width = picture.width;
    int32_t height = picture.height;
    FitWidth(options.maxWidth, width, height);
    raster.width = width;
    raster.height = height;
    raster.bits.assign(static_cast<std::size_t>(raster.RowBytes()) * height, 0);
    const int64_t sw = picture.width;
    std::vector<int32_t> gray =
        ScaledGray(sw, picture.height, width, height, [&](int64_t x, int64_t y) {
            return int32_t{picture.gray[static_cast<std::size_t>(y * sw + x)]};
        });
    if (options.conversion == Conversion::Threshold)
        Threshold(gray, options.threshold, raster);
    else
        Diffuse(std::move(gray), options.threshold, raster);
    if (std::all_of(raster.bits.begin(), raster.bits.end(), [](uint8_t b) { return b == 0; })) {
        raster = Raster{};
        return RasterResult::Empty;
    }
    return RasterResult::Ok;
}

} // namespace qk::logo
