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

    // Helpers over this dialog's controls, by identifier. Each answers false when the dialog
    // has no such control. The static forms serve any window that holds dialog controls (a
    // form view), so they have one home.
    bool EnableItem(int id, bool enable = true) const { return EnableItem(m_hWnd, id, enable); }
    bool ShowItem(int id, bool show = true) const { return ShowItem(m_hWnd, id, show); }
    // Shown by its own style, whether or not the dialog is on screen yet.
    bool IsItemShown(int id) const { return IsItemShown(m_hWnd, id); }
    bool SetItemInt(int id, int value, bool isSigned = true) const {
        return SetItemInt(m_hWnd, id, value, isSigned);
    }
    // The number the control's text starts with (after leading blanks); false, and value
    // untouched, when the text is no number or out of range.
    bool GetItemInt(int id, int& value, bool isSigned = true) const {
        return GetItemInt(m_hWnd, id, value, isSigned);
    }
    bool CheckButton(int id, bool checked = true) const { return CheckButton(m_hWnd, id, checked); }
    bool IsButtonChecked(int id) const { return IsButtonChecked(m_hWnd, id); }
    // Checks `id` and clears the other radio buttons of first..last.
    bool CheckRadio(int first, int last, int id) const {
        return CheckRadio(m_hWnd, first, last, id);
    }

    static bool EnableItem(HWND dialog, int id, bool enable);
    static bool ShowItem(HWND dialog, int id, bool show);
    static bool IsItemShown(HWND dialog, int id);
    static bool SetItemInt(HWND dialog, int id, int value, bool isSigned);
    static bool GetItemInt(HWND dialog, int id, int& value, bool isSigned);
    static bool CheckButton(HWND dialog, int id, bool checked);
    static bool IsButtonChecked(HWND dialog, int id);
    static bool CheckRadio(HWND dialog, int first, int last, int id);

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
