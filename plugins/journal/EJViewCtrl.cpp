#include "plugins/journal/EJViewCtrl.h"

#include "framework/context/UtilContext.h"
#include "plugins/journal/EJView.h"
#include "plugins/journal/JournalBlock.h"

namespace qk::journal {

CEJViewCtrl::CEJViewCtrl(IDeviceTestEngine* engine)
    : CFormViewCtrl(kJournalBlockKey, sizeof(JournalBlock), engine) {}

int32_t CEJViewCtrl::SetDefaultData(uint32_t key) {
    if (key != kJournalBlockKey)
        return -1;
    UtilContext* context = Context();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return -2;
    JournalBlock block{};
    GetBlockHeader(&block.header);
    block.journalFlag = 0;
    return store->WriteBlock(key, sizeof(block), &block);
}

void CEJViewCtrl::CreatePages() {
    AddPage(new CEJView);
}

} // namespace qk::journal
