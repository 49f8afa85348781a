#include "framework/controls/StaticItem.h"

#include "framework/controls/TransparentBackground.h"

namespace qk {

CStaticItem::~CStaticItem() {
    // The control may outlive this object (it belongs to the dialog): let go of it first so
    // that it never paints with a deleted font.
    if (m_hWnd && m_font && ::IsWindow(m_hWnd))
        SendMessage(WM_SETFONT, 0, FALSE);
    if (m_font)
        ::DeleteObject(m_font);
    if (m_brush)
        ::DeleteObject(m_brush);
}

void CStaticItem::SetBoldFont() {
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (!parent)
        return;
    auto parentFont = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    if (!parentFont)
        parentFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW description{};
    if (!::GetObjectW(parentFont, sizeof(description), &description))
        return;
    description.lfWeight = FW_BOLD;
    HFONT bold = ::CreateFontIndirectW(&description);
    if (!bold)
        return;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
    if (m_font)
        ::DeleteObject(m_font);
    m_font = bold;
}

bool CStaticItem::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    return AnswerTransparentColor(msg, reinterpret_cast<HDC>(wp), m_backgroundColor, m_brush,
                                  result);
}

} // namespace qk
