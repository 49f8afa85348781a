#include "framework/plugin/PageViewCtrl.h"

#include <vector>
#include "framework/context/UtilContext.h"
#include "framework/view/PrinterPageView.h"

namespace qk {

CPageViewCtrl::CPageViewCtrl(uint32_t blockKey, uint32_t blockSize, PageMaker makePage)
    : CFormViewCtrl(blockKey, blockSize, nullptr), m_makePage(makePage) {
    DeferPageWindows();
}

IPluginDataMgr* CPageViewCtrl::DataManager() const {
    UtilContext* context = Context();
    return context ? context->dataManager : nullptr;
}

int32_t CPageViewCtrl::SetDefaultData(uint32_t key) {
    if (key != BlockKey())
        return -1;
    IPluginDataMgr* store = DataManager();
    if (!store)
        return -2;
    std::vector<uint8_t> block(BlockSize(), 0);
    GetBlockHeader(reinterpret_cast<PluginBlockHeader*>(block.data()));
    return store->WriteBlock(key, BlockSize(), block.data());
}

void CPageViewCtrl::CreatePages() {
    if (m_makePage)
        AddPage(m_makePage());
}

CPrinterPageViewCtrl::CPrinterPageViewCtrl(uint32_t blockKey, uint32_t blockSize,
                                           PrinterPageMaker makePage)
    : CPageViewCtrl(blockKey, blockSize, nullptr), m_makePage(makePage) {}

void CPrinterPageViewCtrl::OnPageShown() {
    if (m_page)
        m_page->ShowStoredSettings();
}

void CPrinterPageViewCtrl::CreatePages() {
    m_page = m_makePage ? m_makePage() : nullptr;
    AddPage(m_page);
}

} // namespace qk
