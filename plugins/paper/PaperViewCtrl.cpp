#include "plugins/paper/PaperViewCtrl.h"

#include <algorithm>
#include "plugins/paper/PaperSettings.h"
#include "plugins/paper/PaperView.h"

namespace qk::paper {

CPaperViewCtrl::CPaperViewCtrl()
    : CPrinterPageViewCtrl(kPaperSettingBlockKey, sizeof(PaperSettingBlock),
                           []() -> CPrinterPageView* { return new CPaperView; }) {}

int32_t CPaperViewCtrl::SetDefaultData(uint32_t key) {
    if (!OwnsBlock(key))
        return -1;
    IPluginDataMgr* store = DataManager();
    return store ? PaperSettings::StoreFactoryBlock(*store, key) : -2;
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

} // namespace qk::paper
