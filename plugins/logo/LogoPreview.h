// The logo page's owner-drawn preview: the paper's printable width across the box and the
// converted dots on it at the same scale.
#pragma once
#include <windows.h>
#include "plugins/logo/LogoRaster.h"

namespace qk::logo {

void DrawLogoPreview(const DRAWITEMSTRUCT& item, const Raster& raster, int paperDots);

} // namespace qk::logo
