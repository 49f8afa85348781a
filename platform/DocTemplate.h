// The single-document template: on the new-document command it creates the document, the
// frame window from a resource identifier, and the frame's views, then sends every view its
// initial update.
#pragma once
#include <functional>
#include <memory>
#include <windows.h>

namespace qk {

class CDocument;
class CFrameWnd;
class CView;

class CSingleDocTemplate {
public:
    CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                       std::function<CFrameWnd*()> newFrame, std::function<CView*()> newView);
    ~CSingleDocTemplate();

    // Answers the frame (owned by its window: it deletes itself when destroyed), or null.
    // The frame is created hidden.
    CFrameWnd* OpenNewDocument();
    CDocument* Document() const { return m_document.get(); }

private:
    UINT m_resourceId;
    std::function<CDocument*()> m_newDocument;
    std::function<CFrameWnd*()> m_newFrame;
    std::function<CView*()> m_newView;
    std::unique_ptr<CDocument> m_document;
};

} // namespace qk
