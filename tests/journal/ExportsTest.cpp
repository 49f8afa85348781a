// The journal library driven through its exports, exactly as the host binds them: by plain
// name from a library loaded with LoadLibrary. The library is copied into a folder of its
// own, with or without a stand-in device test engine beside it.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgr.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// A folder with a copy of the plug-in (and the stand-in engine when asked for).
class PluginFolder {
public:
    explicit PluginFolder(bool withEngine) {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        path_ = std::wstring(base) + L"qkuej_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter) + L"\\";
        ::CreateDirectoryW(path_.c_str(), nullptr);
        ::CopyFileW((StageDir() + L"QKUEJ.dll").c_str(), (path_ + L"QKUEJ.dll").c_str(), FALSE);
        if (withEngine)
            ::CopyFileW((TestProgramFolder() + L"fake_engine\\ProbeEngine.dll").c_str(),
                        (path_ + L"ProbeEngine.dll").c_str(), FALSE);
    }
    ~PluginFolder() {
        ::DeleteFileW((path_ + L"QKUEJ.dll").c_str());
        ::DeleteFileW((path_ + L"ProbeEngine.dll").c_str());
        ::RemoveDirectoryW(path_.c_str());
    }
    std::wstring File(const wchar_t* name) const { return path_ + name; }

private:
    std::wstring path_;
};

template <typename T> T Bind(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

struct Exports {
    PFN_FORMVIEWDLL_Initialize initialize;
    PFN_FORMVIEWDLL_InitializeEngine initializeEngine;
    PFN_FORMVIEWDLL_Finalize finalize;
    PFN_FORMVIEWDLL_GetActiveView getActiveView;
    PFN_FORMVIEWDLL_ChangeMenuState changeMenuState;
    PFN_FORMVIEWDLL_GetPluginInfo getPluginInfo;
    PFN_FORMVIEWDLL_ReadPrinterSettings readPrinterSettings;
    PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr setDefaultData;
    PFN_FORMVIEWDLL_GetDependPluginData getDependData;
    explicit Exports(HMODULE m)
        : initialize(Bind<PFN_FORMVIEWDLL_Initialize>(m, "FORMVIEWDLL_Initialize")),
          initializeEngine(
              Bind<PFN_FORMVIEWDLL_InitializeEngine>(m, "FORMVIEWDLL_InitializeEngine")),
          finalize(Bind<PFN_FORMVIEWDLL_Finalize>(m, "FORMVIEWDLL_Finalize")),
          getActiveView(Bind<PFN_FORMVIEWDLL_GetActiveView>(m, "FORMVIEWDLL_GetActiveView")),
          changeMenuState(Bind<PFN_FORMVIEWDLL_ChangeMenuState>(m, "FORMVIEWDLL_ChangeMenuState")),
          getPluginInfo(Bind<PFN_FORMVIEWDLL_GetPluginInfo>(m, "FORMVIEWDLL_GetPluginInfo")),
          readPrinterSettings(
              Bind<PFN_FORMVIEWDLL_ReadPrinterSettings>(m, "FORMVIEWDLL_ReadPrinterSettings")),
          setDefaultData(Bind<PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr>(
              m, "FORMVIEWDLL_SetDefaltDataToPluginDataMgr")),
          getDependData(
              Bind<PFN_FORMVIEWDLL_GetDependPluginData>(m, "FORMVIEWDLL_GetDependPluginData")) {}
};

// What the stand-in engine was asked.
struct EngineCounts {
    LONG creates = 0;
    LONG releases = 0;
    void* lastBinding = nullptr;
};

struct JournalLibrary : ::testing::Test {
    virtual bool WithEngine() const { return true; }
    std::unique_ptr<PluginFolder> folder;
    HMODULE module = nullptr;
    HMODULE engine = nullptr;
    std::unique_ptr<Exports> api;
    std::unique_ptr<UtilContext> context = std::make_unique<UtilContext>();
    PluginDataMgr store;
    HWND frame = nullptr, pane = nullptr;

    void SetUp() override {
        folder = std::make_unique<PluginFolder>(WithEngine());
        if (WithEngine()) {
            engine = ::LoadLibraryW(folder->File(L"ProbeEngine.dll").c_str());
            ASSERT_NE(engine, nullptr) << "stand-in engine missing";
        }
        module = ::LoadLibraryW(folder->File(L"QKUEJ.dll").c_str());
        ASSERT_NE(module, nullptr) << "QKUEJ.dll not loadable, error " << ::GetLastError();
        api = std::make_unique<Exports>(module);
        std::memset(context.get(), 0, sizeof(UtilContext));
        std::wstring lang = StageDir() + L"LANG";
        lang.copy(reinterpret_cast<wchar_t*>(context->languageFolder), kTextSlot - 1);
        context->languageId = 0x0409;
        context->dataManager = &store;
        context->binding = reinterpret_cast<comm::QkcBinding*>(0x5150);
        frame = ::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  600, 400, nullptr, nullptr, nullptr, nullptr);
        pane = ::CreateWindowExW(0, L"STATIC", L"pane", WS_CHILD | WS_VISIBLE, 0, 0, 500, 350,
                                 frame, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        if (module)
            ::FreeLibrary(module);
        module = nullptr;
        if (::IsWindow(frame))
            ::DestroyWindow(frame);
        if (engine)
            ::FreeLibrary(engine);
    }
    EngineCounts Counts() const {
        EngineCounts counts;
        auto read = reinterpret_cast<void (*)(LONG*, LONG*, void**)>(
            reinterpret_cast<void*>(::GetProcAddress(engine, "FakeEngine_Read")));
        if (read)
            read(&counts.creates, &counts.releases, &counts.lastBinding);
        return counts;
    }
    HWND PageWindow() const { return ::GetDlgItem(pane, 8); }
};

struct JournalLibraryWithoutEngine : JournalLibrary {
    bool WithEngine() const override { return false; }
};

TEST_F(JournalLibrary, ExportsTheNineEntryPointsByPlainName) {
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

TEST_F(JournalLibrary, AnswersBeforeInitialisation) {
    volatile int guard = 0x5A5A5A5A; // a convention mismatch would corrupt the stack
    EXPECT_EQ(api->finalize(), -2);
    EXPECT_EQ(api->getPluginInfo(nullptr), -6);
    PluginInfo info{};
    EXPECT_EQ(api->getPluginInfo(&info), 0);
    EXPECT_EQ(info.key, 0x00010010u);
    EXPECT_EQ(info.version, 0x00010000u);
    EXPECT_EQ(info.size, 36u);
    int32_t count = 9;
    EXPECT_EQ(api->getDependData(nullptr, &count), 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(api->changeMenuState(kMenuStateShow), -1) << "no page yet";
    EXPECT_EQ(api->getActiveView(), nullptr);
    EXPECT_EQ(api->readPrinterSettings(), 1) << "no pages: nothing to read";
    EXPECT_EQ(api->setDefaultData(0x00010010), -2) << "the data manager is not known yet";
    EXPECT_EQ(guard, 0x5A5A5A5A);
}

TEST_F(JournalLibrary, InitialiseShowLeaveAndFinalise) {
    ASSERT_EQ(api->initialize(frame, pane, context.get()), 0);
    EngineCounts counts = Counts();
    EXPECT_EQ(counts.creates, 1);
    EXPECT_EQ(counts.lastBinding, context->binding) << "the engine gets the binding record";
    EXPECT_EQ(api->initialize(frame, pane, context.get()), -3);
    EXPECT_EQ(Counts().creates, 1);
    EXPECT_EQ(api->initializeEngine(context.get()), 0) << "engine present";

    HWND page = PageWindow();
    ASSERT_NE(page, nullptr) << "the journal page, control id 8, in the pane";
    EXPECT_FALSE(::IsWindowVisible(page));
    EXPECT_NE(api->getActiveView(), nullptr);
    EXPECT_EQ(api->changeMenuState(kMenuStateFocus), 0) << "never shown";
    EXPECT_EQ(api->changeMenuState(kMenuStateShow), 1);
    EXPECT_TRUE(::IsWindowVisible(page));
    EXPECT_EQ(api->changeMenuState(kMenuStateFocus), 1);
    EXPECT_EQ(api->changeMenuState(kMenuStateLeave), 0);
    EXPECT_FALSE(::IsWindowVisible(page));
    EXPECT_EQ(api->changeMenuState(7), -1);
    EXPECT_EQ(api->readPrinterSettings(), 1);

    EXPECT_EQ(api->finalize(), 0);
    EXPECT_FALSE(::IsWindow(page));
    EXPECT_EQ(Counts().releases, 1);
    EXPECT_EQ(api->changeMenuState(kMenuStateShow), -1);
    ::FreeLibrary(module);
    module = nullptr;
    // The controller's destructor releases and finalises again, with the released handle.
    EXPECT_EQ(Counts().releases, 3);
}

TEST_F(JournalLibrary, DefaultJournalBlock) {
    ASSERT_EQ(api->initialize(frame, pane, context.get()), 0);
    EXPECT_EQ(api->setDefaultData(0x00010010), -1) << "no such block in the manager";
    ASSERT_EQ(store.CreateBlock(0x00010010, 0x00010000, 36), 0);
    ASSERT_EQ(store.CreateBlock(0x00010005, 0x00010000, 152), 0);
    EXPECT_EQ(api->setDefaultData(0x00010005), -1) << "not a block of the journal";
    EXPECT_EQ(api->setDefaultData(0x00010010), 0);
    unsigned char block[40];
    std::memset(block, 0xCC, sizeof(block));
    ASSERT_EQ(store.ReadBlock(0x00010010, block, sizeof(block)), 0);
    const unsigned char expected[36] = {'P', 'N', 'D', 0, 0x10, 0, 1, 0, 0, 0, 1, 0, 36};
    EXPECT_EQ(std::memcmp(block, expected, sizeof(expected)), 0) << "header, then flag 0";
    EXPECT_EQ(block[36], 0xCC) << "36 bytes only";
    EXPECT_EQ(api->finalize(), 0);
}

TEST_F(JournalLibraryWithoutEngine, InitialisationFailsWithoutTheEngine) {
    EXPECT_EQ(api->initialize(frame, pane, context.get()), -4);
    EXPECT_EQ(PageWindow(), nullptr);
    EXPECT_EQ(api->initializeEngine(context.get()), -4);
    EXPECT_EQ(api->finalize(), -2);
}

struct JournalLibraryWithFailingEngine : JournalLibrary {
    void SetUp() override {
        JournalLibrary::SetUp();
        auto setFail = reinterpret_cast<void (*)(LONG)>(
            reinterpret_cast<void*>(::GetProcAddress(engine, "FakeEngine_SetFail")));
        ASSERT_NE(setFail, nullptr);
        setFail(1);
    }
    void TearDown() override {
        reinterpret_cast<void (*)(LONG)>(
            reinterpret_cast<void*>(::GetProcAddress(engine, "FakeEngine_SetFail")))(0);
        JournalLibrary::TearDown();
    }
};

TEST_F(JournalLibraryWithFailingEngine, NullHandleMeansNoEngine) {
    EXPECT_EQ(api->initialize(frame, pane, context.get()), -4);
    EXPECT_EQ(api->initializeEngine(context.get()), -4);
    EXPECT_EQ(PageWindow(), nullptr);
}

} // namespace
} // namespace qk::test
