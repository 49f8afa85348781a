// A view: a child window of a frame or splitter cell that shows the document. Views are
// created on the heap and delete themselves when their window is destroyed.
#pragma once
#include "platform/Wnd.h"

namespace qk {

class CDocument;
struct CCreateContext;

// Sent by the frame to every view once its windows exist.
constexpr UINT WM_QK_INITIALUPDATE = WM_APP + 0x3F00;

class CView : public CWnd {
public:
    CView() = default;

    // Creates the view's window as a child with the given identifier.
    virtual bool CreateView(HWND parent, UINT id, const RECT& rect, CCreateContext* context);
    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnInitialUpdate() {}

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void PostNcDestroy() override { delete this; }

    CDocument* m_pDocument = nullptr; // not owned
};

} // namespace qk
