// A view made from a child dialog template: its controls come from the template and keyboard
// navigation works as in a dialog.
#pragma once
#include "platform/View.h"

namespace qk {

class CFormView : public CView {
public:
    // resourceModule: the module whose resources hold the template (null: this module).
    explicit CFormView(UINT templateId, HINSTANCE resourceModule = nullptr);

    bool CreateView(HWND parent, UINT id, const RECT& rect, CCreateContext* context) override;
    UINT TemplateId() const { return m_templateId; }

protected:
    UINT m_templateId;
    HINSTANCE m_resourceModule;
};

} // namespace qk
