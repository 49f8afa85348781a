// The page controller of a plug-in with one page that talks to the printer only through the
// communication library, so it works without the device test engine; the page's window is
// made when the page is first shown.
#pragma once
#include <memory>
#include "framework/plugin/FormViewCtrl.h"

namespace qk {

class CPrinterPageView;

class CPageViewCtrl : public CFormViewCtrl {
public:
    // A new page object without a window.
    using PageMaker = CCommonFormView* (*)();

    // makePage may be null where a subclass makes its page itself.
    CPageViewCtrl(uint32_t blockKey, uint32_t blockSize, PageMaker makePage);

    // The block of a page that keeps no settings of its own: its header, the rest zero; -1 for
    // another key, -2 before the context (and with it the data manager) is known.
    int32_t SetDefaultData(uint32_t key) override;
    void CreatePages() override;

protected:
    // The context's data manager; null before the context is known.
    IPluginDataMgr* DataManager() const;

private:
    PageMaker m_makePage;
};

// The controller of a library's one page of type Page that keeps no settings of its own: its
// block holds only its header and one reserved word.
template <class Page> std::unique_ptr<CFormViewCtrl> MakeHeaderOnlyPageCtrl(uint32_t blockKey) {
    return std::make_unique<CPageViewCtrl>(blockKey, 36,
                                           []() -> CCommonFormView* { return new Page; });
}

// The controller of a page that keeps its settings in the store: each showing brings the page
// to what the store holds (a left page's edits are gone).
class CPrinterPageViewCtrl : public CPageViewCtrl {
public:
    using PrinterPageMaker = CPrinterPageView* (*)();

    CPrinterPageViewCtrl(uint32_t blockKey, uint32_t blockSize, PrinterPageMaker makePage);

    void OnPageShown() override;
    void CreatePages() override;

private:
    PrinterPageMaker m_makePage;
    CPrinterPageView* m_page = nullptr; // owned through the page list
};

} // namespace qk
