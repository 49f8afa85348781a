// A check box of a page whose label sits on the page colour without a box around the text.
#pragma once
#include "platform/Controls.h"

namespace qk {

class CCheckBoxItem : public CButton {
public:
    CCheckBoxItem() = default;
    ~CCheckBoxItem() override;

    static constexpr COLORREF kPageColor = RGB(240, 240, 240);

protected:
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    HBRUSH m_brush = nullptr; // owned; made at the first colour request
};

} // namespace qk
