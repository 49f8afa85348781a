#include "app/menu/MenuPainter.h"

#include <algorithm>
#include "platform/Text.h"

namespace qk::app {
namespace {

// The list's font made bold and sized for one item; the list's own font when it needs no
// change. Deletes what it made.
class CItemFont {
public:
    CItemFont(HDC dc, HFONT listFont, const MenuItem& item) {
        LOGFONTW font{};
        if (!listFont || !::GetObjectW(listFont, sizeof(font), &font))
            ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        if (item.bold == 1)
            font.lfWeight = FW_BOLD;
        if (item.fontSize != 0)
            font.lfHeight = -(item.fontSize * ::GetDeviceCaps(dc, LOGPIXELSY) / 72);
        m_font = ::CreateFontIndirectW(&font);
    }
    ~CItemFont() {
        if (m_font)
            ::DeleteObject(m_font);
    }
    CItemFont(const CItemFont&) = delete;
    CItemFont& operator=(const CItemFont&) = delete;
    HFONT Get() const { return m_font; }

private:
    HFONT m_font = nullptr;
};

int RoleOf(MenuRowBand band) {
    switch (band) {
    case MenuRowBand::Selected:
        return CMenuPictures::Selected;
    case MenuRowBand::Pressed:
        return CMenuPictures::Selecting;
    case MenuRowBand::Hover:
        return CMenuPictures::OnMouse;
    case MenuRowBand::Plain:
        break;
    }
    return -1;
}

void DrawItemText(HDC dc, const MenuItem& item, HFONT listFont, RECT rect) {
    CItemFont font(dc, listFont, item);
    HGDIOBJ oldFont = font.Get() ? ::SelectObject(dc, font.Get()) : nullptr;
    const COLORREF oldColour = ::SetTextColor(dc, item.color);
    const std::wstring text = ToWide(item.text);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP | DT_NOPREFIX);
    ::SetTextColor(dc, oldColour);
    if (oldFont)
        ::SelectObject(dc, oldFont);
}

} // namespace

void CMenuPainter::Load(const MenuLook& look, const std::wstring& programFolder, int dpi) {
    m_dpi = dpi;
    m_look = LookAtDpi(look, dpi);
    const bool exact = m_look.transparent == 1;
    m_pictures.Load(CMenuPictures::Background, ToWide(m_look.backgroundBitmap), programFolder, dpi,
                    false);
    m_pictures.Load(CMenuPictures::OnMouse, ToWide(m_look.onMouseBitmap), programFolder, dpi,
                    exact);
    m_pictures.Load(CMenuPictures::Selected, ToWide(m_look.selectedBitmap), programFolder, dpi,
                    exact);
    m_pictures.Load(CMenuPictures::Selecting, ToWide(m_look.selectingBitmap), programFolder, dpi,
                    exact);
}

SIZE CMenuPainter::MeasuredRowSize() const {
    const SIZE band = m_pictures.SizeOf(CMenuPictures::Selected);
    return SIZE{m_look.itemWidth != -1 ? m_look.itemWidth : band.cx,
                m_look.itemHeight != -1 ? m_look.itemHeight : band.cy};
}

void CMenuPainter::DrawBackground(HDC dc, const RECT& client) const {
    m_pictures.DrawBackground(dc, client);
}

void CMenuPainter::DrawRow(HDC dc, const Row& row) const {
    const RECT& rect = row.rect;
    const int level = std::clamp<int32_t>(row.item.level, 0, MenuLook::kLevels - 1);
    const int indent = m_look.indents[static_cast<std::size_t>(level)];
    RECT text = {rect.left + indent, rect.top, rect.right - indent, rect.bottom};

    const int role = RoleOf(row.band);
    if (role >= 0)
        m_pictures.DrawRowBand(dc, static_cast<CMenuPictures::Role>(role), rect.top, row.rowSize,
                               m_look.stretch == 1, m_look.transparent == 1);
    if (row.band == MenuRowBand::Selected || row.band == MenuRowBand::Pressed)
        ::OffsetRect(&text, PressedShiftAt(m_dpi), PressedShiftAt(m_dpi));
    DrawItemText(dc, row.item, row.listFont, text);
    if (row.focusRectangle) {
        RECT focus = rect;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(dc, &focus);
    }
}

} // namespace qk::app
