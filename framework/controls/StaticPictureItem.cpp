#include "framework/controls/StaticPictureItem.h"

namespace qk {

bool CStaticPictureItem::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc)
        DrawPicture(dc, GetClientRect());
    // The paint cycle ends even without a bitmap, or the control would be asked again.
    ::EndPaint(m_hWnd, &ps);
    return true;
}

void CStaticPictureItem::DrawPicture(HDC dc, const RECT& rect) const {
    HBITMAP bitmap = GetBitmap();
    if (!bitmap)
        return;
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    HDC memory = ::CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    COLORREF transparent = ::GetPixel(memory, 0, 0);
    if (transparent != CLR_INVALID)
        ::GdiTransparentBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            memory, 0, 0, info.bmWidth, height, transparent);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
}

void CStaticPictureItem::SetAccessibleName(const std::u16string& name) {
    if (name == m_accessibleName)
        return;
    m_accessibleName = name;
    if (m_hWnd)
        CAccessibleWindow::NotifyNameChange(m_hWnd);
}

bool CStaticPictureItem::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_GETOBJECT && m_accessible.OnGetObject(m_hWnd, wp, lp, result))
        return true;
    return CStatic::OnMessage(msg, wp, lp, result);
}

void CStaticPictureItem::OnDestroy() {
    m_accessible.Disconnect();
    CStatic::OnDestroy();
}

std::u16string CStaticPictureItem::AccessibleName(LONG child) const {
    return child == CHILDID_SELF ? m_accessibleName : std::u16string();
}

} // namespace qk
