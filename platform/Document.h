// The document of the single-document template. The program keeps no data in it, but the
// template needs one to create the frame and its views.
#pragma once

namespace qk {

class CDocument {
public:
    CDocument() = default;
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    virtual bool OnNewDocument() { return true; }
};

} // namespace qk
