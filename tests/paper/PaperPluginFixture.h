// QKUPAPERSTG.dll loaded from the program folder and driven through its exports as the host
// drives it: a frame and page area of the test's own, a context with the real data store
// and the communication library bound to a printer simulator of the test's own.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <thread>
#include <vector>
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgr.h"
#include "tests/maker/CommFixture.h"
#include "tests/view/ViewTestSupport.h"

namespace qk::test {

// Answers the message boxes of this process from a thread of its own, in order, and keeps
// what each said. A box that does not come within the wait ends the answering.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> buttons);
    ~BoxAnswerer();
    // Waits for the thread; the texts of the boxes it answered.
    std::vector<std::wstring> Finish();

private:
    std::vector<int> buttons_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

class PaperPlugin : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Initialises the library in the start mode and registers its blocks as the host does.
    void Start(int32_t startMode = 0, int32_t language = 0x0409);
    // Sends raw bytes to the printer through the library binding (user setting commands).
    void SendToPrinter(const std::vector<uint8_t>& bytes);
    std::string Control(const std::string& line) { return fx.sim.Control(line); }

    HWND Page() const;
    // The library under test and its page's template (another plug-in's tests derive).
    virtual const wchar_t* LibraryName() const { return L"QKUPAPERSTG.dll"; }
    virtual int PageTemplate() const;
    std::wstring Selected(int comboId) const;
    // Picks the entry with the item data, as the operator's choice does.
    bool Choose(int comboId, uint32_t itemData) const;
    std::wstring Note() const;
    // The block's 32-bit word at an offset, as the store holds it.
    uint32_t StoredWord(uint32_t key, uint32_t offset);

    CommFixture fx;
    PluginDataMgr store;
    std::unique_ptr<TestContext> context;
    std::unique_ptr<HostWindows> host;
    HMODULE module = nullptr;
    PFN_FORMVIEWDLL_Initialize initialize = nullptr;
    PFN_FORMVIEWDLL_Finalize finalize = nullptr;
    PFN_FORMVIEWDLL_ChangeMenuState changeMenuState = nullptr;
    PFN_FORMVIEWDLL_GetPluginInfo getPluginInfo = nullptr;
    PFN_FORMVIEWDLL_ReadPrinterSettings readPrinterSettings = nullptr;
    PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr setDefaultData = nullptr;
    PFN_FORMVIEWDLL_GetDependPluginData getDependData = nullptr;
};

} // namespace qk::test
