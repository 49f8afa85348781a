// A dialog from a dialog template, modal (DoModal) or modeless (Create). Modal and
// modeless dialogs differ only in how they end: EndDialog or DestroyWindow.
#pragma once
#include "platform/Wnd.h"

namespace qk {

class CDialog : public CWnd {
public:
    // resourceModule: the module whose resources hold the template (null: this module).
    explicit CDialog(UINT templateId, HINSTANCE resourceModule = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; answers the code given to EndDialog, or -1 on failure.
    virtual INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless (visible when its template says so).
    bool Create(HWND parent = nullptr);
    // Runs a modeless dialog's own modal loop until EndModalLoop; the owner is not disabled
    // here (the caller decides). Answers the code given to EndModalLoop.
    INT_PTR RunModalLoop();
    void EndModalLoop(INT_PTR result);
    bool IsInModalLoop() const { return m_inModalLoop; }

    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }
    UINT TemplateId() const { return m_templateId; }

protected:
    // Answer true to let the system set the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnCommand(UINT code, UINT id, HWND control) override;

    UINT m_templateId;
    HINSTANCE m_resourceModule;

private:
    bool m_modal = false;
    bool m_inModalLoop = false;
    bool m_modalLoopEnded = false;
    INT_PTR m_modalLoopResult = 0;
};

} // namespace qk
