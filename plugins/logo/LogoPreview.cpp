#include "plugins/logo/LogoPreview.h"

#include <algorithm>
#include <vector>
#include "platform/Dpi.h"

namespace qk::logo {

void DrawLogoPreview(const DRAWITEMSTRUCT& item, const Raster& raster, int paperDots) {
    const RECT& area = item.rcItem;
    HDC dc = item.hDC;
    ::FillRect(dc, &area, reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const int paper = paperDots;
    // The box grows with the dialog units; its margin round the sheet with the DPI.
    const int margin = ScaleToDpi(2, SystemDpi());
    if (width <= 2 * margin || height <= 2 * margin)
        return;
    // The paper's printable width across the box, the picture on it at the same scale.
    const double scale = std::min(
        static_cast<double>(width - 2 * margin) / paper,
        raster.height > 0 ? static_cast<double>(height - 2 * margin) / raster.height : 1.0);
    const int paperWidth = std::max(1, static_cast<int>(paper * scale));
    RECT sheet{area.left + (width - paperWidth) / 2, area.top + margin,
               area.left + (width - paperWidth) / 2 + paperWidth, area.bottom - margin};
    ::FillRect(dc, &sheet, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (raster.width <= 0 || raster.height <= 0)
        return;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = raster.width;
    info.header.biHeight = -raster.height; // top row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colors[0] = RGBQUAD{255, 255, 255, 0};
    info.colors[1] = RGBQUAD{0, 0, 0, 0};
    // DIB rows are padded to whole 32-bit words.
    const int stride = ((raster.width + 31) / 32) * 4;
    std::vector<uint8_t> rows(static_cast<std::size_t>(stride) * raster.height, 0);
    for (int y = 0; y < raster.height; ++y)
        std::copy_n(raster.bits.begin() + static_cast<std::ptrdiff_t>(y) * raster.RowBytes(),
                    raster.RowBytes(), rows.begin() + static_cast<std::ptrdiff_t>(y) * stride);
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchDIBits(dc, sheet.left, sheet.top, std::max(1, static_cast<int>(raster.width * scale)),
                    std::max(1, static_cast<int>(raster.height * scale)), 0, 0, raster.width,
                    raster.height, rows.data(), reinterpret_cast<BITMAPINFO*>(&info),
                    DIB_RGB_COLORS, SRCCOPY);
}

} // namespace qk::logo
