// The page controller of a plug-in (and of the executable's printer setting page): it owns
// the module's pages, creates them in the pane the host gives it, shows and leaves them on the
// host's menu states, and names its data block in the plug-in data manager.
#pragma once
#include <cstdint>
#include <windows.h>
#include <vector>
#include "framework/lang/LangResTable.h"
#include "framework/plugin/DeviceTestEngine.h"
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgrApi.h"

struct UtilContext;

namespace qk {

class CCommonFormView;

inline constexpr uint32_t kDefaultBlockKey = 0x00010001;
inline constexpr uint32_t kBlockVersion = 0x00010000;

class CFormViewCtrl {
public:
    // engine: the device test engine (not owned); null for the executable's controller, which
    // works without one.
    CFormViewCtrl(uint32_t blockKey, uint32_t blockSize, IDeviceTestEngine* engine);
    CFormViewCtrl(const CFormViewCtrl&) = delete;
    CFormViewCtrl& operator=(const CFormViewCtrl&) = delete;

    // Virtual operations, in this order.
    virtual ~CFormViewCtrl();
    // Writes the default content of block `key` into the data manager; 1 by default.
    virtual int32_t SetDefaultData(uint32_t key);
    // The blocks of other owners that this controller needs; none by default (count 0, 1).
    virtual int32_t GetDependData(DependRecord* list, int32_t* count);
    // A non-zero answer stops Initialize with that code.
    virtual int32_t CheckInitialize();
    virtual void OnPageShown();
    virtual void PrepareController();
    // Appends the module's page objects to the page list.
    virtual void CreatePages();
    // Zeroes the header and writes the magic and this controller's key, version and size.
    virtual PluginBlockHeader* GetBlockHeader(PluginBlockHeader* header);
    virtual PluginBlockHeader* MakeBlockHeader(PluginBlockHeader* header, uint32_t key,
                                               uint32_t version, uint32_t size);

    // The operations behind the exported entry points (answers as the exports give them).
    int32_t Initialize(HWND owner, HWND parent, UtilContext* context);
    int32_t InitializeEngine(UtilContext* context);
    int32_t Finalize();
    CCommonFormView* GetActiveView() const;
    int32_t ChangeMenuState(int32_t state);
    int32_t GetPluginInfo(PluginInfo* info) const;
    int32_t ReadPrinterSettings();

    UtilContext* Context() const { return m_pContext; } // not owned
    HWND OwnerWindow() const { return m_hOwnerWnd; }
    HWND ParentWindow() const { return m_hParentWnd; }
    EngineHandle GetEngineHandle() const { return m_hEngine; }
    const std::vector<CCommonFormView*>& Pages() const { return m_pages; }
    int32_t ActiveIndex() const { return m_nActiveIndex; }
    bool IsInitialized() const { return m_bInitialized != 0; }
    bool WasShown() const { return m_bShown != 0; }
    uint32_t BlockKey() const { return m_nBlockKey; }
    uint32_t BlockVersion() const { return m_nBlockVersion; }
    uint32_t BlockSize() const { return m_nBlockSize; }
    // Read at their first use (the leave question), not at Initialize: a plug-in whose page
    // is never left costs the start-up no reads of the language file.
    const CLangResTable& CommonTexts() const;
    // A page whose window went without the controller (its pane was destroyed first) leaves
    // the list, so that no later call reaches a deleted page.
    void ForgetPage(CCommonFormView* page);

protected:
    // Takes ownership of a page object that has no window yet.
    void AddPage(CCommonFormView* page);
    // The page windows are made when a page is first shown instead of at Initialize: a page
    // the operator never opens then costs the start-up nothing.
    void DeferPageWindows() { m_deferWindows = true; }

private:
    bool CreatePageWindows();
    void DestroyPages();
    void ReleaseEngine();
    int32_t ShowActivePage(CCommonFormView* page);
    int32_t FocusActivePage(CCommonFormView* page) const;
    int32_t LeaveActivePage(CCommonFormView* page);
    void HidePage(CCommonFormView* page) const;

    HWND m_hParentWnd = nullptr;           // the pane the pages live in
    HWND m_hOwnerWnd = nullptr;            // the main frame
    std::vector<CCommonFormView*> m_pages; // owned (a page with a window deletes itself)
    UtilContext* m_pContext = nullptr;     // not owned
    uint32_t m_nBlockKey;
    uint32_t m_nBlockVersion = kBlockVersion;
    uint32_t m_nBlockSize;
    EngineHandle m_hEngine = nullptr;
    int32_t m_nActiveIndex = -1;
    int32_t m_bInitialized = 0;
    int32_t m_bShown = 0;
    bool m_deferWindows = false;
    mutable CLangResTable m_commonTexts; // screen "PLUGIN_COMMON"
    mutable bool m_commonTextsRead = false;
    IDeviceTestEngine* m_engine; // not owned; null: no engine
};

} // namespace qk
