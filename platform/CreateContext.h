// What a frame needs to create its views: the document and how to make the first view.
#pragma once
#include <functional>

namespace qk {

class CDocument;
class CView;

struct CCreateContext {
    CDocument* m_pCurrentDoc = nullptr;     // not owned
    std::function<CView*()> m_newViewClass; // makes the frame's default view, may be empty
};

} // namespace qk
