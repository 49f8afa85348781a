// A picture control that draws its bitmap stretched to the control, leaving the bitmap's
// top-left colour unpainted so that the parent's background shows through.
#pragma once
#include "platform/Controls.h"

namespace qk {

class CStaticPictureItem : public CStatic {
public:
    CStaticPictureItem() = default;

    // Draws the control's bitmap into dc over rect (the paint handler's work).
    void DrawPicture(HDC dc, const RECT& rect) const;

protected:
    bool OnPaint() override;
};

} // namespace qk
