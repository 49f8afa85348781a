// A view that is a list-view control: the view's window is the control itself.
#pragma once
#include "platform/Controls.h"
#include "platform/View.h"

namespace qk {

class CListView : public CView {
public:
    CListView() = default;

    bool CreateView(HWND parent, UINT id, const RECT& rect, CCreateContext* context) override;
    CListCtrl GetListCtrl() const { return CListCtrl(m_hWnd); }

protected:
    // Styles of the control; derived views add theirs.
    virtual DWORD ListStyle() const { return WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT; }
};

} // namespace qk
