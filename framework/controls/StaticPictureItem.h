// A picture control that draws its bitmap stretched to the control, leaving the bitmap's
// top-left colour unpainted so that the parent's background shows through.
// A screen reader hears the name the owner gives it (a picture has no text of its own).
#pragma once
#include <string>
#include "platform/AccessibleWindow.h"
#include "platform/Controls.h"

namespace qk {

class CStaticPictureItem : public CStatic, private IAccessibleAnswers {
public:
    CStaticPictureItem() = default;

    void SetAccessibleName(const std::u16string& name);

    // Draws the control's bitmap into dc over rect (the paint handler's work).
    void DrawPicture(HDC dc, const RECT& rect) const;

protected:
    bool OnPaint() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroy() override;

private:
    std::u16string AccessibleName(LONG child) const override;

    std::u16string m_accessibleName;
    CAccessibleWindow m_accessible{*this};
};

} // namespace qk
