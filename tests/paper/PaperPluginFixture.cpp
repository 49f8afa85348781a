#include "tests/paper/PaperPluginFixture.h"

#include <cstring>
#include "resource.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

template <typename T> T Bind(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

BoxAnswerer::BoxAnswerer(std::vector<int> buttons) : buttons_(std::move(buttons)) {
    thread_ = std::thread([this] {
        for (int button : buttons_) {
            MessageBoxView box = WaitForMessageBox(::GetCurrentProcessId(), 20000);
            if (!box.hwnd)
                return;
            texts_.push_back(box.text);
            PressButton(box.hwnd, button);
            PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000);
        }
    });
}

BoxAnswerer::~BoxAnswerer() {
    if (thread_.joinable())
        thread_.join();
}

std::vector<std::wstring> BoxAnswerer::Finish() {
    if (thread_.joinable())
        thread_.join();
    return texts_;
}

void PaperPlugin::SetUp() {
    ASSERT_TRUE(fx.SetUp(StandardDeviceMap()));
    comm::PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    ASSERT_EQ(0, fx.qkc.QKC_SetPort(&record));
    ASSERT_EQ(0, fx.qkc.QKC_Open(1));
    module = ::LoadLibraryW((StageDir() + LibraryName()).c_str());
    ASSERT_NE(module, nullptr);
    initialize = Bind<PFN_FORMVIEWDLL_Initialize>(module, "FORMVIEWDLL_Initialize");
    finalize = Bind<PFN_FORMVIEWDLL_Finalize>(module, "FORMVIEWDLL_Finalize");
    changeMenuState = Bind<PFN_FORMVIEWDLL_ChangeMenuState>(module, "FORMVIEWDLL_ChangeMenuState");
    getPluginInfo = Bind<PFN_FORMVIEWDLL_GetPluginInfo>(module, "FORMVIEWDLL_GetPluginInfo");
    readPrinterSettings =
        Bind<PFN_FORMVIEWDLL_ReadPrinterSettings>(module, "FORMVIEWDLL_ReadPrinterSettings");
    setDefaultData = Bind<PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr>(
        module, "FORMVIEWDLL_SetDefaltDataToPluginDataMgr");
    getDependData =
        Bind<PFN_FORMVIEWDLL_GetDependPluginData>(module, "FORMVIEWDLL_GetDependPluginData");
    ASSERT_TRUE(initialize && finalize && changeMenuState && getPluginInfo && readPrinterSettings &&
                setDefaultData && getDependData &&
                ::GetProcAddress(module, "FORMVIEWDLL_GetActiveView") &&
                ::GetProcAddress(module, "FORMVIEWDLL_InitializeEngine"));
}

void PaperPlugin::TearDown() {
    if (module) {
        finalize();
        ::FreeLibrary(module);
    }
    host.reset();
    fx.qkc.QKC_Close();
    fx.TearDown();
}

void PaperPlugin::Start(int32_t startMode, int32_t language) {
    context = std::make_unique<TestContext>(StageDir() + L"LANG", language);
    context->get()->startMode = startMode;
    context->get()->binding = startMode == kStartFileMode ? nullptr : &fx.qkc;
    context->get()->dataManager = &store;
    context->get()->interfaceKind = kIfNetwork;
    host = std::make_unique<HostWindows>();
    ASSERT_EQ(initialize(host->frame.m_hWnd, host->pane, context->get()), 0);

    // The host's block negotiation: the plug-in's own block, then the ones it depends on.
    PluginInfo info{};
    ASSERT_EQ(getPluginInfo(&info), 0);
    ASSERT_EQ(store.CreateBlock(info.key, info.version, info.size), 0);
    ASSERT_EQ(setDefaultData(info.key), 0);
    int32_t count = 0;
    ASSERT_EQ(getDependData(nullptr, &count), 1);
    std::vector<DependRecord> records(static_cast<size_t>(count));
    ASSERT_EQ(getDependData(records.data(), &count), 1);
    for (const DependRecord& record : records) {
        ASSERT_EQ(store.CreateBlock(record.key, record.version, record.size), 0);
        ASSERT_EQ(setDefaultData(record.key), 0);
    }
}

void PaperPlugin::SendToPrinter(const std::vector<uint8_t>& bytes) {
    int32_t written = 0;
    ASSERT_EQ(fx.qkc.QKC_Write(bytes.data(), static_cast<int32_t>(bytes.size()), &written, 3000),
              0);
}

int PaperPlugin::PageTemplate() const {
    return IDD_PAPER_VIEW;
}

HWND PaperPlugin::Page() const {
    return host ? ::GetDlgItem(host->pane, PageTemplate()) : nullptr;
}

std::wstring PaperPlugin::Selected(int comboId) const {
    HWND combo = ::GetDlgItem(Page(), comboId);
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return L"";
    wchar_t text[256] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

bool PaperPlugin::Choose(int comboId, uint32_t itemData) const {
    HWND combo = ::GetDlgItem(Page(), comboId);
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<uint32_t>(::SendMessageW(combo, CB_GETITEMDATA, i, 0)) != itemData)
            continue;
        ::SendMessageW(combo, CB_SETCURSEL, i, 0);
        ::SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        return true;
    }
    return false;
}

std::wstring PaperPlugin::Note() const {
    return ChildText(Page(), IDC_PAPER_NOTE);
}

uint32_t PaperPlugin::StoredWord(uint32_t key, uint32_t offset) {
    std::vector<uint8_t> block(offset + 4, 0);
    if (store.ReadBlock(key, block.data(), static_cast<uint32_t>(block.size())) != 0)
        return 0xFFFFFFFF;
    uint32_t word = 0;
    std::memcpy(&word, block.data() + offset, sizeof word);
    return word;
}

} // namespace qk::test
