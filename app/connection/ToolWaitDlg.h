// The small modal dialog that stands over the add-port dialog while a companion tool runs
// (the Bluetooth pairing and the network tool). The operator cannot close it; the add-port
// dialog ends it when the tool's watcher reports the end.
#pragma once
#include <windows.h>
#include <string>
#include "platform/Dialog.h"

namespace qk::app {

class CToolWaitDlg : public CDialog {
public:
    CToolWaitDlg(UINT templateId, int textId) : CDialog(templateId), m_textId(textId) {}

    // Title and text; applied at once when the window is up, else when it opens.
    void SetTexts(const std::u16string& title, const std::u16string& text);
    // Ends the dialog, or makes it end as soon as it opens when the tool was quicker.
    void Finish();
    void Reset() { m_finished = false; }

protected:
    bool OnInitDialog() override;
    // Enter, Escape and the close box would leave the tool running behind an active dialog.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void ApplyTexts();

    int m_textId;
    std::u16string m_title;
    std::u16string m_text;
    bool m_finished = false;
};

} // namespace qk::app
