// The dialog in which the operator chooses the display language. The printer selection
// dialog owns one for its whole life; OK leaves the chosen language in the dialog's copy of
// the context.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include "framework/context/UtilContext.h"
#include "framework/lang/LangResTable.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "resources/resource.h"

namespace qk::app {

class CSelectLangDlg : public CDialog {
public:
    CSelectLangDlg();
    ~CSelectLangDlg() override;

    void SetContext(const UtilContext& context) { *m_context = context; }
    const UtilContext& Context() const { return *m_context; }

    // Loads the texts of screen "SELECT_LANG_DLG" from the context's language folder for the
    // context's language (fallback 0x409); answers LoadLangFile's code.
    int32_t LoadTexts();
    CLangResTable& Table() { return m_table; }

    // The name of a language in the loaded table; empty when the table has none.
    std::u16string GetLanguageName(int32_t languageId) const;

    static constexpr int kLanguageCombo = IDC_SELECTLANG_COMBO;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    CLangResTable m_table;
    std::unique_ptr<UtilContext> m_context;
    CComboBox m_combo;
};

// "%04X" of a language identifier (four or more upper-case hexadecimal digits).
std::u16string LanguageText(int32_t languageId);

} // namespace qk::app
