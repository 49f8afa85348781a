// The picture-to-dots conversion: a converted picture is at most the printable width, keeps
// its proportions, holds a dot bit for every dot and at least one black one; converting the
// kept grays gives what converting the picture gives; a black picture prints black.
#include "plugins/logo/LogoRaster.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::logo;

namespace {

bool SameRaster(const Raster& a, const Raster& b) {
    return a.width == b.width && a.height == b.height && a.bits == b.bits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    Picture picture;
    picture.width = in.Byte() % 65;
    picture.height = in.Byte() % 65;
    RasterOptions options;
    options.maxWidth = 1 + in.Byte() % 128;
    options.conversion = in.Byte() & 1 ? Conversion::ErrorDiffusion : Conversion::Threshold;
    options.threshold = in.Byte();
    const std::vector<uint8_t> pixels = in.Rest();
    picture.bgra.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    for (std::size_t i = 0; i < picture.bgra.size(); ++i)
        picture.bgra[i] = pixels.empty() ? 0 : pixels[i % pixels.size()];
    if (!pixels.empty() && pixels[0] & 1 && !picture.bgra.empty())
        picture.bgra.pop_back(); // a buffer that does not match the sizes

    Raster raster;
    const RasterResult result = ToRaster(picture, options, raster);
    GrayPicture kept;
    // Blank dots are only found once converted.
    const RasterResult scaled = ScaleToGray(picture, options.maxWidth, kept);
    QK_FUZZ_CHECK(scaled == result ||
                  (result == RasterResult::Empty && scaled == RasterResult::Ok));
    if (result == RasterResult::Invalid)
        QK_FUZZ_CHECK(picture.bgra.size() !=
                      static_cast<std::size_t>(picture.width) * picture.height * 4);
    if (result != RasterResult::Ok)
        return 0;
    QK_FUZZ_CHECK(raster.width == std::min(picture.width, options.maxWidth));
    QK_FUZZ_CHECK(raster.height >= 1 && raster.height <= picture.height);
    if (picture.width <= options.maxWidth)
        QK_FUZZ_CHECK(raster.height == picture.height);
    QK_FUZZ_CHECK(raster.bits.size() ==
                  static_cast<std::size_t>(raster.RowBytes()) * raster.height);
    bool black = false;
    for (int32_t y = 0; y < raster.height; ++y)
        for (int32_t x = 0; x < raster.width; ++x)
            black = black || raster.Black(x, y);
    QK_FUZZ_CHECK(black);
    Raster fromKept;
    QK_FUZZ_CHECK(ToRaster(kept, options, fromKept) == RasterResult::Ok);
    QK_FUZZ_CHECK(SameRaster(fromKept, raster));

    // The same sizes all black and opaque print every dot, whatever the conversion.
    Picture dark = picture;
    for (std::size_t i = 0; i < dark.bgra.size(); ++i)
        dark.bgra[i] = i % 4 == 3 ? 255 : 0;
    options.threshold = static_cast<uint8_t>(options.threshold | 1);
    Raster all;
    QK_FUZZ_CHECK(ToRaster(dark, options, all) == RasterResult::Ok);
    for (int32_t y = 0; y < all.height; ++y)
        for (int32_t x = 0; x < all.width; ++x)
            QK_FUZZ_CHECK(all.Black(x, y));
    return 0;
}
