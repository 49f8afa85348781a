#include "plugins/logo/LogoPicture.h"

#include "framework/lang/FilledText.h"
#include "platform/Text.h"
#include "platform/os/FileSystem.h"
#include "plugins/logo/WicPicture.h"

namespace qk::logo {

PictureProblem CLogoPicture::Convert(const GrayPicture& gray, const RasterOptions& options,
                                     Raster& raster) {
    switch (ToRaster(gray, options, raster)) {
    case RasterResult::Ok:
        return FitsGraphicsMemory(raster) ? PictureProblem::None : PictureProblem::TooLarge;
    case RasterResult::Empty:
        return PictureProblem::Empty;
    default:
        return PictureProblem::TooLarge;
    }
}

PictureProblem CLogoPicture::Open(const std::wstring& path, const RasterOptions& options) {
    Picture picture;
    PictureProblem problem = PictureProblem::None;
    switch (LoadPicture(path, picture)) {
    case PictureLoad::Ok:
        break;
    case PictureLoad::Empty:
        problem = PictureProblem::Empty;
        break;
    case PictureLoad::TooLarge:
        problem = PictureProblem::TooLarge;
        break;
    default:
        problem = PictureProblem::Unreadable;
        break;
    }
    GrayPicture scaled;
    if (problem == PictureProblem::None &&
        ScaleToGray(picture, options.maxWidth, scaled) != RasterResult::Ok)
        problem = PictureProblem::TooLarge;
    picture = Picture{}; // let go before anything else is made
    Raster raster;
    if (problem == PictureProblem::None)
        problem = Convert(scaled, options, raster);
    if (problem != PictureProblem::None)
        return problem;
    m_gray = std::move(scaled);
    m_raster = std::move(raster);
    m_pending = true;
    const size_t slash = path.find_last_of(L"\\/");
    m_name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return PictureProblem::None;
}

bool CLogoPicture::Reconvert(const RasterOptions& options) {
    if (!Opened())
        return false;
    Raster raster;
    if (Convert(m_gray, options, raster) != PictureProblem::None)
        return false; // the same picture at the same width: only the dots change
    m_raster = std::move(raster);
    return true;
}

std::u16string CLogoPicture::Line() const {
    return FromWide(m_name) + u": " + Decimal(m_gray.sourceWidth) + u" x " +
           Decimal(m_gray.sourceHeight) + u" \u2192 " + Decimal(m_raster.width) + u" x " +
           Decimal(m_raster.height);
}

bool CLogoPicture::WriteWorkFile(os::IFileSystem& files, const std::u16string& path,
                                 const KeyCode& code) const {
    return !path.empty() && files.WriteFile(path, DefineGraphics(code, m_raster));
}

} // namespace qk::logo
