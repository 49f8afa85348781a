// The plug-in library's entry points are found by their plain names, as the host binds them.
#include <gtest/gtest.h>
#include "framework/plugin/FormViewDllApi.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

struct PluginLibrary : ::testing::Test {
    HMODULE module = nullptr;
    void SetUp() override {
        module = ::LoadLibraryW((StageDir() + L"QKUEJ.dll").c_str());
        ASSERT_NE(module, nullptr) << "QKUEJ.dll not loadable, error " << ::GetLastError();
    }
    void TearDown() override {
        if (module)
            ::FreeLibrary(module);
    }
};

TEST_F(PluginLibrary, ExportsTheNineEntryPointsByPlainName) {
    const char* names[] = {
        "FORMVIEWDLL_Initialize",
        "FORMVIEWDLL_InitializeEngine",
        "FORMVIEWDLL_Finalize",
        "FORMVIEWDLL_GetActiveView",
        "FORMVIEWDLL_ChangeMenuState",
        "FORMVIEWDLL_GetPluginInfo",
        "FORMVIEWDLL_ReadPrinterSettings",
        "FORMVIEWDLL_SetDefaltDataToPluginDataMgr",
        "FORMVIEWDLL_GetDependPluginData",
    };
    for (const char* name : names)
        EXPECT_NE(::GetProcAddress(module, name), nullptr) << name;
    EXPECT_EQ(::GetProcAddress(module, "FORMVIEWDLL_GetMenuName"), nullptr)
        << "the journal library does not offer a menu name";
    EXPECT_EQ(::GetProcAddress(module, "FORMVIEWDLL_Initialize@12"), nullptr)
        << "no decorated names";
}

TEST_F(PluginLibrary, EntryPointsUseTheStandardCallingConvention) {
    // A mismatch in convention or argument size would corrupt the stack across these calls.
    auto getInfo = reinterpret_cast<PFN_FORMVIEWDLL_GetPluginInfo>(
        reinterpret_cast<void*>(::GetProcAddress(module, "FORMVIEWDLL_GetPluginInfo")));
    auto depend = reinterpret_cast<PFN_FORMVIEWDLL_GetDependPluginData>(
        reinterpret_cast<void*>(::GetProcAddress(module, "FORMVIEWDLL_GetDependPluginData")));
    ASSERT_NE(getInfo, nullptr);
    ASSERT_NE(depend, nullptr);
    volatile int guard = 0x5A5A5A5A;
    EXPECT_EQ(getInfo(nullptr), -6) << "null pointer";
    int32_t count = 0;
    depend(nullptr, &count);
    EXPECT_EQ(guard, 0x5A5A5A5A);
}

} // namespace
} // namespace qk::test
