// The host side of the plug-in libraries: binding by name (real libraries of the build),
// and the data block negotiation against the real store with scripted plug-ins.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/shell/PluginHost.h"
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::CPluginHost;
using app::MenuItem;

TEST(PluginHostBinding, OnlyALibraryWithAllEightEntryPointsBinds) {
    app::CMenuDLLProc dll;
    EXPECT_EQ(CPluginHost::BindLibrary(dll, u"QKUNOSUCH.dll"), -1);
    EXPECT_FALSE(dll.IsBound());
    EXPECT_EQ(dll.m_hModule, nullptr);
    EXPECT_EQ(CPluginHost::BindLibrary(dll, u""), -1);

    // A real library without the plug-in exports is not kept loaded.
    const std::u16string comm = FromWide(StageDir() + L"QKComm.dll");
    const bool wasLoaded = ::GetModuleHandleW(WidePtr(comm)) != nullptr;
    EXPECT_EQ(CPluginHost::BindLibrary(dll, comm), -1);
    EXPECT_FALSE(dll.IsBound());
    EXPECT_EQ(dll.m_hModule, nullptr);
    EXPECT_EQ(dll.m_pfnInitialize, nullptr);
    if (!wasLoaded) {
        EXPECT_EQ(::GetModuleHandleW(WidePtr(comm)), nullptr);
    }
}

TEST(PluginHostBinding, TheJournalLibraryBindsWithoutAMenuNameAndUnloads) {
    // Its device test engine import is found beside it, not through the current folder.
    MenuItem item;
    ASSERT_EQ(CPluginHost::BindLibrary(item.dll, u"QKUEJ.dll", StageDir()), 0);
    EXPECT_TRUE(item.IsBound());
    EXPECT_NE(item.dll.m_hModule, nullptr);
    const void* entries[] = {reinterpret_cast<void*>(item.dll.m_pfnInitialize),
                             reinterpret_cast<void*>(item.dll.m_pfnFinalize),
                             reinterpret_cast<void*>(item.dll.m_pfnGetActiveView),
                             reinterpret_cast<void*>(item.dll.m_pfnChangeMenuState),
                             reinterpret_cast<void*>(item.dll.m_pfnGetPluginInfo),
                             reinterpret_cast<void*>(item.dll.m_pfnReadPrinterSettings),
                             reinterpret_cast<void*>(item.dll.m_pfnSetDefaultData),
                             reinterpret_cast<void*>(item.dll.m_pfnGetDependPluginData)};
    for (std::size_t i = 0; i < std::size(entries); ++i)
        EXPECT_NE(entries[i], nullptr) << "entry point " << i;
    EXPECT_EQ(item.dll.m_pfnGetMenuName, nullptr);
    EXPECT_EQ(item.dll.GetMenuName(u"EJ"), u"") << "no name entry point: empty text";
    EXPECT_EQ(item.dll.RequestMenuName(nullptr, 0, nullptr, 0, nullptr), -7);

    HMODULE module = item.dll.m_hModule;
    CPluginHost::Unbind(item.dll);
    EXPECT_FALSE(item.IsBound());
    EXPECT_EQ(item.dll.m_hModule, nullptr);
    wchar_t path[MAX_PATH] = {};
    EXPECT_EQ(::GetModuleFileNameW(module, path, MAX_PATH), 0u) << "the library is unloaded";
}

// A menu file names the plug-in; the program runs with administrator rights, so the name is
// taken only as a plain file name in the program's folder.
TEST(PluginHostBinding, ANameThatIsAPathIsRefusedEvenWhenTheLibraryIsThere) {
    std::wstring stage = StageDir();
    stage.pop_back();
    const std::wstring parent = stage.substr(0, stage.find_last_of(L'\\'));
    const std::wstring leaf = stage.substr(stage.find_last_of(L'\\') + 1);
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(StageDir().c_str());
    for (const std::wstring& name : std::vector<std::wstring>{
             stage + L"\\QKUEJ.dll", L"..\\" + leaf + L"\\QKUEJ.dll", L".\\QKUEJ.dll",
             L"\\\\?\\" + stage + L"\\QKUEJ.dll", stage.substr(0, 2) + L"QKUEJ.dll"}) {
        app::CMenuDLLProc dll;
        EXPECT_EQ(CPluginHost::BindLibrary(dll, FromWide(name), parent + L"\\" + leaf), -1)
            << testing::PrintToString(name);
        EXPECT_EQ(dll.m_hModule, nullptr);
    }
    // Nor from the current folder when the program's folder lacks it.
    app::CMenuDLLProc dll;
    EXPECT_EQ(CPluginHost::BindLibrary(dll, u"QKUEJ.dll"), -1);
    ::SetCurrentDirectoryW(previous);
}

TEST(PluginHostBinding, InitialisationDecidesWhetherTheItemStays) {
    CPluginHost host(nullptr, nullptr, nullptr);
    MenuItem heading;
    EXPECT_EQ(host.InitializePlugin(heading), 1) << "no library: stays";
    MenuItem unbound;
    unbound.dllName = u"QKUNOSUCH.dll";
    EXPECT_EQ(host.InitializePlugin(unbound), 0);
}

// Scripted plug-ins for the negotiation: what each reports and which defaults it was asked
// to write ("<plug-in>:<key>").
std::vector<std::string>& DefaultsAsked() {
    static std::vector<std::string> asked;
    return asked;
}
template <char Name, uint32_t Key, uint32_t Size> int32_t WINAPI Info(PluginInfo* info) {
    info->key = Key;
    info->version = 0x10000;
    info->size = Size;
    return 0;
}
template <char Name> int32_t WINAPI Defaults(uint32_t key) {
    DefaultsAsked().push_back(std::string(1, Name) + ":" + std::to_string(key));
    return 0;
}
int32_t WINAPI NoDepends(DependRecord*, int32_t* count) {
    *count = 0;
    return 0;
}
// Needs block 0x10001 (there already) and 0x30001 (missing).
int32_t WINAPI TwoDepends(DependRecord* list, int32_t* count) {
    if (list) {
        list[0] = {0x10001, 0x10000, 992};
        list[1] = {0x30001, 0x10000, 64};
    }
    *count = 2;
    return 0;
}
int32_t WINAPI AbsurdDepends(DependRecord*, int32_t* count) {
    *count = 0x7FFFFFFF;
    return 0;
}

MenuItem* ScriptedItem(app::CMenuDLLProc::GetPluginInfoFn info,
                       app::CMenuDLLProc::SetDefaultDataFn defaults,
                       app::CMenuDLLProc::GetDependPluginDataFn depends) {
    auto* item = new MenuItem;
    item->dllName = u"Scripted.dll";
    item->dll.m_bound = 1;
    item->dll.m_pfnGetPluginInfo = info;
    item->dll.m_pfnSetDefaultData = defaults;
    item->dll.m_pfnGetDependPluginData = depends;
    return item;
}

struct Negotiation : ::testing::Test {
    PluginDataMgr store;
    app::MenuItemList items;
    Negotiation() { DefaultsAsked().clear(); }
    ~Negotiation() override { CPluginHost::ReleaseItems(items); }
};

TEST_F(Negotiation, OwnBlocksAreCreatedOnceAndOnlyNewOnesGetDefaults) {
    ASSERT_EQ(store.CreateBlock(0x10001, 0x10000, 992), 0); // loaded from the settings file
    items = {ScriptedItem(&Info<'a', 0x20001, 128>, &Defaults<'a'>, &NoDepends),
             ScriptedItem(&Info<'b', 0x20001, 128>, &Defaults<'b'>, &NoDepends),
             ScriptedItem(&Info<'c', 0x10001, 992>, &Defaults<'c'>, &NoDepends),
             ScriptedItem(&Info<'d', 0x20002, 8>, &Defaults<'d'>, &NoDepends),
             new MenuItem}; // a heading: no library, not asked
    EXPECT_EQ(CPluginHost::RegisterPluginBlocks(&items, &store), 2);
    EXPECT_EQ(DefaultsAsked(), (std::vector<std::string>{"a:131073"}))
        << "b reports a key already taken, c's block was loaded, d's block cannot be made";
    EXPECT_GE(store.FindBlock(0x20001), 0);
    EXPECT_LT(store.FindBlock(0x20002), 0);
}

TEST_F(Negotiation, DependBlocksAreMadeForTheAskingPluginOnly) {
    ASSERT_EQ(store.CreateBlock(0x10001, 0x10000, 992), 0);
    items = {ScriptedItem(&Info<'a', 0x20001, 128>, &Defaults<'a'>, &TwoDepends),
             ScriptedItem(&Info<'b', 0x20002, 128>, &Defaults<'b'>, &TwoDepends),
             ScriptedItem(&Info<'c', 0x20003, 128>, &Defaults<'c'>, &AbsurdDepends)};
    items[2]->dll.m_bound = 0; // unbound: never asked
    EXPECT_EQ(CPluginHost::RegisterDependBlocks(&items, &store), 2);
    EXPECT_EQ(DefaultsAsked(), (std::vector<std::string>{"a:196609"}));
    EXPECT_GE(store.FindBlock(0x30001), 0);

    items[2]->dll.m_bound = 1;
    DefaultsAsked().clear();
    EXPECT_EQ(CPluginHost::RegisterDependBlocks(&items, &store), 2)
        << "an absurd count is not allocated";
    EXPECT_TRUE(DefaultsAsked().empty());
}

TEST_F(Negotiation, MissingListStoreOrSlotStopsIt) {
    EXPECT_EQ(CPluginHost::RegisterPluginBlocks(nullptr, &store), -1);
    EXPECT_EQ(CPluginHost::RegisterDependBlocks(&items, nullptr), -1);
    items = {ScriptedItem(&Info<'a', 0x20001, 128>, &Defaults<'a'>, &TwoDepends), nullptr};
    EXPECT_EQ(CPluginHost::RegisterPluginBlocks(&items, &store), -1);
    EXPECT_EQ(CPluginHost::RegisterDependBlocks(&items, &store), -1);
    EXPECT_TRUE(DefaultsAsked().empty());
    EXPECT_EQ(store.GetBlockCount(), 0);
}

} // namespace
} // namespace qk::test
