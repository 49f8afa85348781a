#include "platform/DocTemplate.h"

#include "platform/CreateContext.h"
#include "platform/Document.h"
#include "platform/FrameWnd.h"

namespace qk {

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                                       std::function<CFrameWnd*()> newFrame,
                                       std::function<CView*()> newView)
    : m_resourceId(resourceId), m_newDocument(std::move(newDocument)),
      m_newFrame(std::move(newFrame)), m_newView(std::move(newView)) {}

CSingleDocTemplate::~CSingleDocTemplate() = default;

CFrameWnd* CSingleDocTemplate::OpenNewDocument() {
    if (!m_document) {
        m_document.reset(m_newDocument ? m_newDocument() : new CDocument);
        if (!m_document || !m_document->OnNewDocument()) {
            m_document.reset();
            return nullptr;
        }
    }
    CFrameWnd* frame = m_newFrame ? m_newFrame() : nullptr;
    if (!frame)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentDoc = m_document.get();
    context.m_newViewClass = m_newView;
    if (!frame->LoadFrame(m_resourceId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // A frame whose window never existed is still ours to delete.
        if (!frame->m_hWnd)
            delete frame;
        return nullptr;
    }
    frame->InitialUpdateFrame(m_document.get());
    return frame;
}

} // namespace qk
