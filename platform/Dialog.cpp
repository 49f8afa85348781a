#include "platform/Dialog.h"

#include <climits>

#include "platform/Module.h"
#include "platform/WinThread.h"

namespace qk {

CDialog::CDialog(UINT templateId, HINSTANCE resourceModule)
    : m_templateId(templateId), m_resourceModule(resourceModule ? resourceModule : ThisModule()) {
    m_isDialog = true;
}

CDialog::~CDialog() {
    // A modeless dialog still on screen goes with its object.
    if (m_hWnd && !m_modal)
        m_ownsWindow = true;
}

INT_PTR CDialog::DoModal(HWND parent) {
    m_modal = true;
    INT_PTR result = ::DialogBoxParamW(m_resourceModule, MAKEINTRESOURCEW(m_templateId), parent,
                                       StaticDlgProc, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return result;
}

bool CDialog::Create(HWND parent) {
    m_modal = false;
    CreationScope scope(this);
    HWND hwnd = ::CreateDialogParamW(m_resourceModule, MAKEINTRESOURCEW(m_templateId), parent,
                                     StaticDlgProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return false;
    MarkDialogNavigation(hwnd, true);
    return true;
}

void CDialog::EndDialog(INT_PTR result) {
    if (!m_hWnd)
        return;
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else if (m_inModalLoop)
        EndModalLoop(result);
    else
        DestroyWindow();
}

INT_PTR CDialog::RunModalLoop() {
    m_inModalLoop = true;
    m_modalLoopEnded = false;
    // The thread's own loop, run nested; a thread without its object (a test) runs the same
    // loop on a stand-in.
    CWinThread standIn;
    CWinThread* thread = CWinThread::Current() ? CWinThread::Current() : &standIn;
    thread->RunNested([this] { return m_modalLoopEnded || !m_hWnd; });
    m_inModalLoop = false;
    return m_modalLoopResult;
}

void CDialog::EndModalLoop(INT_PTR result) {
    m_modalLoopResult = result;
    m_modalLoopEnded = true;
    // Wake the loop if it is waiting.
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

bool CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        result = OnInitDialog() ? TRUE : FALSE;
        return true;
    }
    return CWnd::OnMessage(msg, wp, lp, result);
}

bool CDialog::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED || control == nullptr) {
        if (id == IDOK) {
            OnOK();
            return true;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return false;
}

bool CDialog::EnableItem(HWND dialog, int id, bool enable) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item)
        return false;
    ::EnableWindow(item, enable ? TRUE : FALSE);
    return true;
}

bool CDialog::ShowItem(HWND dialog, int id, bool show) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item)
        return false;
    ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    return true;
}

bool CDialog::IsItemShown(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    return item && (::GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool CDialog::SetItemInt(HWND dialog, int id, int value, bool isSigned) {
    return ::GetDlgItem(dialog, id) &&
           ::SetDlgItemInt(dialog, id, static_cast<UINT>(value), isSigned ? TRUE : FALSE);
}

bool CDialog::GetItemInt(HWND dialog, int id, int& value, bool isSigned) {
    BOOL translated = FALSE;
    const UINT number = ::GetDlgItemInt(dialog, id, &translated, isSigned ? TRUE : FALSE);
    if (!translated || (!isSigned && number > static_cast<UINT>(INT_MAX)))
        return false;
    value = static_cast<int>(number);
    return true;
}

bool CDialog::CheckButton(HWND dialog, int id, bool checked) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item)
        return false;
    ::SendMessageW(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
}

bool CDialog::IsButtonChecked(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    return item && ::SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool CDialog::CheckRadio(HWND dialog, int first, int last, int id) {
    return ::CheckRadioButton(dialog, first, last, id) != FALSE;
}

} // namespace qk
