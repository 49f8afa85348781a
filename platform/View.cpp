#include "platform/View.h"

#include "platform/CreateContext.h"

namespace qk {

bool CView::CreateView(HWND parent, UINT id, const RECT& rect, CCreateContext* context) {
    m_pDocument = context ? context->m_pCurrentDoc : nullptr;
    return Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, parent, id);
}

bool CView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_QK_INITIALUPDATE) {
        OnInitialUpdate();
        return true;
    }
    return CWnd::OnMessage(msg, wp, lp, result);
}

} // namespace qk
