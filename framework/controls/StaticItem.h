// A static text of a page or pane: bold when asked, drawn on the parent's background with no
// box of its own colour around the text.
#pragma once
#include "platform/Controls.h"

namespace qk {

class CStaticItem : public CStatic {
public:
    CStaticItem() = default;
    ~CStaticItem() override;

    // The parent's font in bold (same face, size, italic and character set). Call after the
    // control is attached; without a parent nothing changes.
    void SetBoldFont();

    void SetBackgroundColor(COLORREF color) { m_backgroundColor = color; }
    COLORREF BackgroundColor() const { return m_backgroundColor; }
    HFONT Font() const { return m_font; }

protected:
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    HFONT m_font = nullptr;   // owned
    HBRUSH m_brush = nullptr; // owned; made at the first colour request
    COLORREF m_backgroundColor = RGB(240, 240, 240);
};

} // namespace qk
