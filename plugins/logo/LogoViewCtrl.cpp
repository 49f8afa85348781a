#include "plugins/logo/LogoViewCtrl.h"

#include "plugins/logo/LogoSettings.h"
#include "plugins/logo/LogoView.h"

namespace qk::logo {

CLogoViewCtrl::CLogoViewCtrl()
    : CPrinterPageViewCtrl(kLogoSettingBlockKey, sizeof(LogoSettingBlock),
                           []() -> CPrinterPageView* { return new CLogoView; }) {}

int32_t CLogoViewCtrl::SetDefaultData(uint32_t key) {
    if (key != kLogoSettingBlockKey)
        return -1;
    IPluginDataMgr* store = DataManager();
    return store ? LogoSettings::StoreFactoryBlock(*store) : -2;
}

} // namespace qk::logo
