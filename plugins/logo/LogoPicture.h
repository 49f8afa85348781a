// The logo page's picture: the opened picture's grays at the printable width, the converted
// dots and whether they are stored yet, the line that names them, and the logo work file of
// the file mode. No window of its own.
#pragma once
#include <string>
#include "plugins/logo/GraphicsCommands.h"
#include "plugins/logo/LogoRaster.h"

namespace qk::os {
class IFileSystem;
}

namespace qk::logo {

// Why a picture cannot be the page's.
enum class PictureProblem { None, Unreadable, Empty, TooLarge };

class CLogoPicture {
public:
    // Reads and converts the picture; on a problem the page's picture stays as it was.
    PictureProblem Open(const std::wstring& path, const RasterOptions& options);
    // The same grays converted anew (another conversion or threshold); false (nothing changed)
    // without a picture or when the new dots do not fit.
    bool Reconvert(const RasterOptions& options);

    bool Opened() const { return m_gray.width != 0; }
    // Converted and not stored yet.
    bool Pending() const { return m_pending; }
    void MarkStored() { m_pending = false; }
    const Raster& Dots() const { return m_raster; }
    // "name.png: 640 x 200 -> 576 x 180"
    std::u16string Line() const;
    // The define command of the dots under code, replacing the file whole or not at all.
    bool WriteWorkFile(os::IFileSystem& files, const std::u16string& path,
                       const KeyCode& code) const;

private:
    static PictureProblem Convert(const GrayPicture& gray, const RasterOptions& options,
                                  Raster& raster);

    // Only the opened picture's grays at the printable width: the decoded picture is let go
    // at once (in a 32-bit process two large ones may not fit side by side).
    GrayPicture m_gray;
    std::wstring m_name;
    Raster m_raster;
    bool m_pending = false;
};

} // namespace qk::logo
