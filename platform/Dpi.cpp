#include "platform/Dpi.h"

#include <windows.h>

namespace qk {

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int ScaleToDpi(int pixels, int dpi) {
    return ::MulDiv(pixels, dpi, kDesignDpi);
}

} // namespace qk
