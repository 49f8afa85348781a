#include "platform/ListView.h"
#include "platform/CreateContext.h"

namespace qk {

bool CListView::CreateView(HWND parent, UINT id, const RECT& rect, CCreateContext* context) {
    m_pDocument = context ? context->m_pCurrentDoc : nullptr;
    return CreateEx(0, WC_LISTVIEWW, nullptr, ListStyle(), rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

} // namespace qk
