// The answer to a reflected colour request of a static-type control: text without a
// background box, on a solid brush of the page colour.
#pragma once
#include <windows.h>

namespace qk {

// True (and the brush as result) for WM_CTLCOLORSTATIC, creating the brush on first use;
// false for any other request, so that the parent's default colours apply.
inline bool AnswerTransparentColor(UINT msg, HDC dc, COLORREF color, HBRUSH& brush,
                                   LRESULT& result) {
    if (msg != WM_CTLCOLORSTATIC)
        return false;
    if (!brush)
        brush = ::CreateSolidBrush(color);
    if (!brush)
        return false;
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(brush);
    return true;
}

} // namespace qk
