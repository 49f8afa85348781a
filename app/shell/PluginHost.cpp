#include "app/shell/PluginHost.h"

#include <memory>
#include <vector>
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgrApi.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk::app {
namespace {

template <typename Fn> Fn Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

constexpr int32_t kMaxDependRecords = 4096;

bool HasBlock(IPluginDataMgr* store, uint32_t key) {
    return store->FindBlock(key) >= 0;
}

bool IsListUsable(const MenuItemList* items, IPluginDataMgr* store) {
    if (!items || !store)
        return false;
    for (const MenuItem* item : *items)
        if (!item)
            return false;
    return true;
}

} // namespace

int32_t CPluginHost::BindLibrary(CMenuDLLProc& dll, const std::u16string& library) {
    return BindLibrary(dll, library, ProgramFolder());
}

int32_t CPluginHost::BindLibrary(CMenuDLLProc& dll, const std::u16string& library,
                                 const std::wstring& folder) {
    dll.Clear();
    if (library.empty())
        return -1;
    HMODULE module = LoadLibraryFrom(folder, ToWide(library));
    if (!module)
        return -1;
    dll.m_hModule = module;
    dll.m_pfnInitialize = Resolve<CMenuDLLProc::InitializeFn>(module, "FORMVIEWDLL_Initialize");
    dll.m_pfnFinalize = Resolve<CMenuDLLProc::FinalizeFn>(module, "FORMVIEWDLL_Finalize");
    dll.m_pfnGetActiveView =
        Resolve<CMenuDLLProc::GetActiveViewFn>(module, "FORMVIEWDLL_GetActiveView");
    dll.m_pfnChangeMenuState =
        Resolve<CMenuDLLProc::ChangeMenuStateFn>(module, "FORMVIEWDLL_ChangeMenuState");
    dll.m_pfnGetPluginInfo =
        Resolve<CMenuDLLProc::GetPluginInfoFn>(module, "FORMVIEWDLL_GetPluginInfo");
    dll.m_pfnReadPrinterSettings =
        Resolve<CMenuDLLProc::ReadPrinterSettingsFn>(module, "FORMVIEWDLL_ReadPrinterSettings");
    dll.m_pfnSetDefaultData =
        Resolve<CMenuDLLProc::SetDefaultDataFn>(module, "FORMVIEWDLL_SetDefaltDataToPluginDataMgr");
    dll.m_pfnGetDependPluginData =
        Resolve<CMenuDLLProc::GetDependPluginDataFn>(module, "FORMVIEWDLL_GetDependPluginData");
    if (!dll.m_pfnInitialize || !dll.m_pfnFinalize || !dll.m_pfnGetActiveView ||
        !dll.m_pfnChangeMenuState || !dll.m_pfnGetPluginInfo || !dll.m_pfnReadPrinterSettings ||
        !dll.m_pfnSetDefaultData || !dll.m_pfnGetDependPluginData) {
        ::FreeLibrary(module);
        dll.Clear();
        return -1;
    }
    dll.m_bound = 1;
    dll.m_pfnGetMenuName = Resolve<CMenuDLLProc::GetMenuNameFn>(module, "FORMVIEWDLL_GetMenuName");
    return 0;
}

int32_t CPluginHost::InitializePlugin(MenuItem& item) {
    if (!item.HasLibrary())
        return 1;
    if (!item.IsBound())
        return 0;
    return item.dll.m_pfnInitialize(m_mainFrame, m_pageArea, m_context) == 0 ? 1 : 0;
}

void CPluginHost::Unbind(CMenuDLLProc& dll) {
    if (dll.IsBound() && dll.m_pfnFinalize)
        dll.m_pfnFinalize();
    if (dll.m_hModule)
        ::FreeLibrary(dll.m_hModule);
    dll.Clear();
}

void CPluginHost::ReleaseItems(MenuItemList& items) {
    for (MenuItem*& item : items) {
        if (!item)
            continue;
        Unbind(item->dll);
        delete item;
        item = nullptr;
    }
    items.clear();
}

int32_t CPluginHost::RegisterPluginBlocks(const MenuItemList* items, IPluginDataMgr* store) {
    if (!IsListUsable(items, store))
        return -1;
    for (const MenuItem* item : *items) {
        if (!item->HasLibrary())
            continue;
        PluginInfo info{};
        if (item->IsBound())
            item->dll.m_pfnGetPluginInfo(&info);
        if (HasBlock(store, info.key))
            continue;
        // A block already there (from the printer's settings file) keeps its content.
        if (store->CreateBlock(info.key, info.version, info.size) == kStoreOk && item->IsBound())
            item->dll.m_pfnSetDefaultData(info.key);
    }
    return store->GetBlockCount();
}

int32_t CPluginHost::RegisterDependBlocks(const MenuItemList* items, IPluginDataMgr* store) {
    if (!IsListUsable(items, store))
        return -1;
    for (const MenuItem* item : *items) {
        if (!item->HasLibrary() || !item->IsBound())
            continue;
        int32_t count = 0;
        item->dll.m_pfnGetDependPluginData(nullptr, &count);
        // A count beyond any real plug-in's needs is an answer not to be trusted.
        if (count <= 0 || count > kMaxDependRecords)
            continue;
        std::vector<DependRecord> records(static_cast<std::size_t>(count), DependRecord{});
        int32_t filled = count;
        item->dll.m_pfnGetDependPluginData(records.data(), &filled);
        for (const DependRecord& record : records) {
            if (HasBlock(store, record.key))
                continue;
            if (store->CreateBlock(record.key, record.version, record.size) == kStoreOk)
                item->dll.m_pfnSetDefaultData(record.key);
        }
    }
    return store->GetBlockCount();
}

int32_t CPluginHost::ChangeMenuState(const MenuItem& item, int32_t state) {
    if (!item.IsBound() || !item.dll.m_pfnChangeMenuState)
        return kNotBound;
    return item.dll.m_pfnChangeMenuState(state);
}

} // namespace qk::app
