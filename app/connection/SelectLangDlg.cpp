#include "app/connection/SelectLangDlg.h"

#include <cstdio>
#include <cstring>
#include "app/connection/PortRecordText.h"
#include "platform/Text.h"
#include "resource.h"

namespace qk::app {
namespace {
const char16_t kScreen[] = u"SELECT_LANG_DLG";
} // namespace

std::u16string LanguageText(int32_t languageId) {
    wchar_t text[16];
    swprintf(text, 16, L"%04X", static_cast<unsigned>(languageId));
    return FromWide(text);
}

CSelectLangDlg::CSelectLangDlg()
    : CDialog(IDD_SELECT_LANG), m_context(std::make_unique<UtilContext>()) {
    std::memset(m_context.get(), 0, sizeof(UtilContext));
}

CSelectLangDlg::~CSelectLangDlg() = default;

int32_t CSelectLangDlg::LoadTexts() {
    int32_t code = m_table.LoadLangFile(SlotText(m_context->languageFolder), m_context->languageId,
                                        kLangEnglish);
    if (code != kLangNoFile)
        m_table.LoadScreenTexts(kScreen);
    return code;
}

std::u16string CSelectLangDlg::GetLanguageName(int32_t languageId) const {
    return m_table.FindComboItemText(languageId);
}

bool CSelectLangDlg::OnInitDialog() {
    m_table.ApplyCaptions(m_hWnd);
    m_table.ApplyComboItems(m_hWnd);
    SetWindowText(WidePtr(m_table.TextOr(LangListKind::ScreenStrings, 0, u"Select Language")));
    m_combo.AttachDlgItem(m_hWnd, kLanguageCombo);
    m_combo.SetCurSel(-1);
    for (int i = 0, n = m_combo.GetCount(); i < n; ++i) {
        if (static_cast<int32_t>(m_combo.GetItemData(i)) == m_context->languageId) {
            m_combo.SetCurSel(i);
            break;
        }
    }
    return true;
}

void CSelectLangDlg::OnOK() {
    int selected = m_combo.GetCurSel();
    if (selected >= 0) {
        m_context->languageId = static_cast<int32_t>(m_combo.GetItemData(selected));
        SetSlotText(m_context->languageText, LanguageText(m_context->languageId));
        LoadTexts();
    }
    EndDialog(IDOK);
}

} // namespace qk::app
