#include "plugins/settingsfile/SettingsFileViewCtrl.h"

#include <vector>
#include "framework/context/UtilContext.h"
#include "plugins/settingsfile/SettingsFileView.h"

namespace qk::settingsfile {

CSettingsFileViewCtrl::CSettingsFileViewCtrl()
    : CFormViewCtrl(kSettingsFileBlockKey, kSettingsFileBlockSize, nullptr) {
    DeferPageWindows();
}

int32_t CSettingsFileViewCtrl::SetDefaultData(uint32_t key) {
    if (key != kSettingsFileBlockKey)
        return -1;
    UtilContext* context = Context();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return -2;
    std::vector<uint8_t> block(kSettingsFileBlockSize, 0);
    GetBlockHeader(reinterpret_cast<PluginBlockHeader*>(block.data()));
    return store->WriteBlock(key, kSettingsFileBlockSize, block.data());
}

void CSettingsFileViewCtrl::CreatePages() {
    AddPage(new CSettingsFileView);
}

} // namespace qk::settingsfile
