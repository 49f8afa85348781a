#include "plugins/printerinfo/PrinterInfoViewCtrl.h"

#include <vector>
#include "framework/context/UtilContext.h"
#include "plugins/printerinfo/PrinterInfoView.h"

namespace qk::printerinfo {

CPrinterInfoViewCtrl::CPrinterInfoViewCtrl()
    : CFormViewCtrl(kPrinterInfoPageBlockKey, kPrinterInfoPageBlockSize, nullptr) {
    DeferPageWindows();
}

int32_t CPrinterInfoViewCtrl::SetDefaultData(uint32_t key) {
    if (key != kPrinterInfoPageBlockKey)
        return -1;
    UtilContext* context = Context();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return -2;
    std::vector<uint8_t> block(kPrinterInfoPageBlockSize, 0);
    GetBlockHeader(reinterpret_cast<PluginBlockHeader*>(block.data()));
    return store->WriteBlock(key, kPrinterInfoPageBlockSize, block.data());
}

void CPrinterInfoViewCtrl::CreatePages() {
    AddPage(new CPrinterInfoView);
}

} // namespace qk::printerinfo
