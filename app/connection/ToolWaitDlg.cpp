#include "app/connection/ToolWaitDlg.h"

#include "platform/Text.h"

namespace qk::app {

void CToolWaitDlg::SetTexts(const std::u16string& title, const std::u16string& text) {
    m_title = title;
    m_text = text;
    if (m_hWnd)
        ApplyTexts();
}

void CToolWaitDlg::Finish() {
    m_finished = true;
    if (m_hWnd)
        EndDialog(IDOK);
}

bool CToolWaitDlg::OnInitDialog() {
    ApplyTexts();
    CenterWindow();
    if (m_finished)
        EndDialog(IDOK);
    return true;
}

void CToolWaitDlg::ApplyTexts() {
    if (!m_title.empty())
        SetWindowText(WidePtr(m_title));
    if (!m_text.empty())
        SetDlgItemText(m_textId, WidePtr(m_text));
}

} // namespace qk::app
