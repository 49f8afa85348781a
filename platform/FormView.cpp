#include "platform/FormView.h"

#include "platform/CreateContext.h"
#include "platform/Module.h"

namespace qk {

CFormView::CFormView(UINT templateId, HINSTANCE resourceModule)
    : m_templateId(templateId), m_resourceModule(resourceModule ? resourceModule : ThisModule()) {
    m_isDialog = true;
}

bool CFormView::CreateView(HWND parent, UINT id, const RECT& rect, CCreateContext* context) {
    m_pDocument = context ? context->m_pCurrentDoc : nullptr;
    CreationScope scope(this);
    HWND hwnd = ::CreateDialogParamW(m_resourceModule, MAKEINTRESOURCEW(m_templateId), parent,
                                     StaticDlgProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return false;
    m_ownsWindow = true;
    SetDlgCtrlID(static_cast<int>(id));
    ::SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    MarkDialogNavigation(hwnd, true);
    return true;
}

} // namespace qk
