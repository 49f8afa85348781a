#include "app/shell/UtilSplitterWnd.h"

namespace qk::app {

bool CUtilSplitterWnd::OnMouseMove(UINT, POINT) {
    return true;
}

bool CUtilSplitterWnd::OnLButtonDown(UINT, POINT) {
    return true;
}

void CUtilSplitterWnd::OnDrawSplitter(HDC dc, ESplitType, const RECT& rect) {
    if (!dc)
        return;
    HPEN pen = ::CreatePen(PS_SOLID, 1, kBarColour);
    if (!pen)
        return;
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

} // namespace qk::app
