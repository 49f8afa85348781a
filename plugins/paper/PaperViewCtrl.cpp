#include "plugins/paper/PaperViewCtrl.h"

#include <algorithm>
#include "framework/context/UtilContext.h"
#include "plugins/paper/PaperSettings.h"
#include "plugins/paper/PaperView.h"

namespace qk::paper {

CPaperViewCtrl::CPaperViewCtrl()
    : CFormViewCtrl(kPaperSettingBlockKey, sizeof(PaperSettingBlock), nullptr) {
    DeferPageWindows();
}

int32_t CPaperViewCtrl::SetDefaultData(uint32_t key) {
    if (!OwnsBlock(key))
        return -1;
    UtilContext* context = Context();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return -2;
    return PaperSettings::StoreFactoryBlock(*store, key);
}

int32_t CPaperViewCtrl::GetDependData(DependRecord* list, int32_t* count) {
    if (!count)
        return -6;
    constexpr int32_t kDepends = static_cast<int32_t>(std::size(kOwnedBlocks)) - 1;
    if (!list) {
        *count = kDepends;
        return 1;
    }
    const int32_t filled = std::clamp(*count, 0, kDepends);
    for (int32_t i = 0; i < filled; ++i) {
        const uint32_t key = kOwnedBlocks[i + 1];
        list[i] = DependRecord{key, kBlockVersion, PrinterSettingBlockSize(key)};
    }
    *count = filled;
    return 1;
}

void CPaperViewCtrl::OnPageShown() {
    if (m_page)
        m_page->ShowStoredSettings();
}

void CPaperViewCtrl::CreatePages() {
    m_page = new CPaperView;
    AddPage(m_page);
}

} // namespace qk::paper
