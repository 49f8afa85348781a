// The main window's static splitter: its bars cannot be dragged and every bar and border is
// drawn as a thin light-grey outline.
#pragma once
#include "platform/SplitterWnd.h"

namespace qk::app {

class CUtilSplitterWnd : public CSplitterWnd {
public:
    static constexpr COLORREF kBarColour = RGB(240, 240, 240);

    CUtilSplitterWnd() = default;

protected:
    // Swallowed so that the pane sizes stay where the frame puts them.
    bool OnMouseMove(UINT flags, POINT point) override;
    bool OnLButtonDown(UINT flags, POINT point) override;
    void OnDrawSplitter(HDC dc, ESplitType type, const RECT& rect) override;
};

} // namespace qk::app
