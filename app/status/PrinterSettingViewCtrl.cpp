#include "app/status/PrinterSettingViewCtrl.h"

#include "app/status/PrinterSettingView.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PrinterInfoBlock.h"

namespace qk::app {

CPrinterSettingViewCtrl::CPrinterSettingViewCtrl()
    : CFormViewCtrl(kPrinterInfoBlockKey, kPrinterInfoBlockSize, nullptr) {}

CPrinterSettingViewCtrl::~CPrinterSettingViewCtrl() = default;

int32_t CPrinterSettingViewCtrl::SetDefaultData(uint32_t key) {
    if (key != kPrinterInfoBlockKey)
        return -1;
    IPluginDataMgr* store = Context() ? Context()->dataManager : nullptr;
    if (!store)
        return -2;
    PluginBlockHeader header;
    GetBlockHeader(&header);
    PrinterInfoBlock block;
    SetPrinterInfoDefaults(block, header);
    int32_t written = store->WriteBlock(key, sizeof(block), &block);
    return written == 0 ? 1 : written;
}

void CPrinterSettingViewCtrl::CreatePages() {
    AddPage(new CPrinterSettingView);
}

CPrinterSettingView* CPrinterSettingViewCtrl::Page() const {
    return Pages().empty() ? nullptr : dynamic_cast<CPrinterSettingView*>(Pages().front());
}

} // namespace qk::app
