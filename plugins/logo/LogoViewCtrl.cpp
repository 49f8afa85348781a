#include "plugins/logo/LogoViewCtrl.h"

#include "framework/context/UtilContext.h"
#include "plugins/logo/LogoSettings.h"
#include "plugins/logo/LogoView.h"

namespace qk::logo {

CLogoViewCtrl::CLogoViewCtrl()
    : CFormViewCtrl(kLogoSettingBlockKey, sizeof(LogoSettingBlock), nullptr) {
    DeferPageWindows();
}

int32_t CLogoViewCtrl::SetDefaultData(uint32_t key) {
    if (key != kLogoSettingBlockKey)
        return -1;
    UtilContext* context = Context();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return -2;
    return LogoSettings::StoreFactoryBlock(*store);
}

void CLogoViewCtrl::OnPageShown() {
    if (m_page)
        m_page->ShowStoredSettings();
}

void CLogoViewCtrl::CreatePages() {
    m_page = new CLogoView;
    AddPage(m_page);
}

} // namespace qk::logo
