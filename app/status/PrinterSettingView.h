// The executable's own page, never shown: the target of the settings read. It binds the
// printer information library, checks that the printer on the port is the served model, fills
// the shared printer information block and lets every plug-in read its settings, all on the
// exchange helper's worker thread under the progress dialog.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "app/menu/MenuDllProc.h"
#include "framework/comm/PrinfoLibApi.h"
#include "framework/lang/LangResTable.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/view/SingleFormView.h"

namespace qk::app {

// Answers of the settings read besides 1 (success).
inline constexpr int32_t kReadNoLibrary = -24;
inline constexpr int32_t kReadNoAnswer = -64;
inline constexpr int32_t kReadWrongPrinter = -67;

class CPrinterSettingView : public CSingleFormView {
public:
    using SettingsReader = CMenuDLLProc::ReadPrinterSettingsFn;

    // The library's name as the page loads it.
    static constexpr wchar_t kLibraryName[] = L"PrinfoLib.dll";
    // A read gives up this many seconds after its first name request.
    static constexpr int64_t kReadLimitSeconds = 45;

    CPrinterSettingView();
    ~CPrinterSettingView() override;

    // 1 filled (first value, attempts, pause in ms).
    virtual bool GetRetryParameters(int32_t* first, int32_t* attempts, int32_t* intervalMs);
    // Reads the printer information into block 0x10001: 1, or the failing code.
    virtual int32_t ReadPrinterInformation();

    // The plug-ins' settings readers, in menu order, for the next settings read.
    void SetSettingsReaders(std::vector<SettingsReader> readers) { m_readers = std::move(readers); }
    // Runs the settings read through the exchange helper; its answer.
    int32_t RunSettingsRead();
    // The settings read itself (the worker's body).
    int32_t SettingsRead();
    // The printer's model name (OEM bytes), with its identification when asked: 1, -24, -64
    // or the last identification answer. idValue tells a failed identification's kind.
    int32_t ReadName(bool withIdentification, std::string& name, int32_t& idValue);

    bool IsLibraryBound() const { return m_context != nullptr; }
    const PrinterInfoBlock& InfoBlock() const { return m_info; }

    static unsigned __stdcall SettingsReadWorker(void* page);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // The texts are loaded when the window is made; showing adds nothing.
    void OnInitialUpdate() override {}

private:
    int32_t BindLibrary();
    void ReleaseLibrary();
    void Report(int32_t value);
    void Warn(int32_t messageIndex, const char16_t* english);
    bool NameMatches(const std::string& oemName) const;
    // Whether the command emulator is set up for the current port and the port can be routed.
    static bool EmulatorConfigured(UtilContext* context);

    CLangResTable m_texts; // screen "PRINTER_SETTING_VIEW", loaded when the window is made
    PrinterInfoBlock m_info{};
    std::vector<SettingsReader> m_readers;
    HMODULE m_library = nullptr; // owned; freed when the page goes
    void* m_context = nullptr;   // the library's context; null: unbound
    comm::PFN_PRINFO_Initialize m_pfnInitialize = nullptr;
    comm::PFN_PRINFO_Finalize m_pfnFinalize = nullptr;
    comm::PFN_PRINFO_GetPrinterName m_pfnGetPrinterName = nullptr;
    comm::PFN_PRINFO_GetDeviceID m_pfnGetDeviceID = nullptr;
    comm::PFN_PRINFO_GetPrinterInformation m_pfnGetPrinterInformation = nullptr;
    comm::PFN_PRINFO_RegisterCallback m_pfnRegisterCallback = nullptr;
    comm::PFN_PRINFO_UnregisterCallback m_pfnUnregisterCallback = nullptr;
    comm::PFN_PRINFO_GetPrinterInfo m_pfnGetPrinterInfo = nullptr;
};

} // namespace qk::app
