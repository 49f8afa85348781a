#include "framework/controls/CheckBoxItem.h"

#include "framework/controls/TransparentBackground.h"

namespace qk {

CCheckBoxItem::~CCheckBoxItem() {
    if (m_brush)
        ::DeleteObject(m_brush);
}

bool CCheckBoxItem::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    return AnswerTransparentColor(msg, reinterpret_cast<HDC>(wp), kPageColor, m_brush, result);
}

} // namespace qk
