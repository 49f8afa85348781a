// What the printer selection tests run against: a private program folder, the real language
// files of the build, the communication library stand-in with a data folder of its own whose
// device map points at printer simulators started for the test, and a scripted dialog that
// runs its steps from inside its own modal loop.
#pragma once
#include <windows.h>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include "app/connection/CommLibrary.h"
#include "app/connection/PrinterSelectDlg.h"
#include "framework/store/PluginDataMgrApi.h"
#include "tests/support/ScriptedDialog.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {

// A printer simulator process on free ports.
class SelectTestPrinter {
public:
    ~SelectTestPrinter() { Stop(); }
    bool Start(const std::wstring& model = L"");
    void Stop();
    // One control command through the simulator's own control client; true when accepted.
    bool Control(const std::wstring& command);
    uint16_t DataPort() const { return m_dataPort; }

private:
    ProcessRunner m_process;
    uint16_t m_dataPort = 0;
    uint16_t m_controlPort = 0;
};

// The store as far as the dialog asks it: which printers have a stored settings file.
class SettingsFileStore : public IPluginDataMgr {
public:
    std::set<std::pair<std::u16string, std::u16string>> stored; // device name, port name
    int hasSettingsCalls = 0;

    int32_t HasSettingsFile(const char16_t* deviceName, const char16_t* portName) override {
        ++hasSettingsCalls;
        return stored.count({deviceName, portName}) ? 1 : 0;
    }
    int32_t CreateBlock(uint32_t, uint32_t, uint32_t) override { return -7; }
    int32_t FindBlock(uint32_t) override { return -1; }
    int32_t WriteBlock(uint32_t, uint32_t, void*) override { return -1; }
    int32_t ReadBlock(uint32_t, void*, uint32_t) override { return -1; }
    int32_t RemoveBlock(int32_t) override { return -3; }
    void ClearBlocks() override {}
    int32_t GetBlockCount() override { return 0; }
    int32_t GetBlockSize(int32_t) override { return -3; }
    int32_t GetSaveFlag() override { return 0; }
    void SetSaveFlag(int32_t) override {}
    int32_t LoadPrinterList(const char16_t*) override { return 0; }
    int32_t SavePrinterList(const char16_t*) override { return 0; }
#pragma push_macro("AddPrinter")
#pragma push_macro("GetPrinter")
#undef AddPrinter
#undef GetPrinter
    int32_t AddPrinter(const char16_t*, const char16_t*, const char16_t*) override {
        return -6;
    }
    int32_t GetPrinter(int32_t, RegisteredPrinter*) override {
        return -3;
    }
#pragma pop_macro("GetPrinter")
#pragma pop_macro("AddPrinter")
    int32_t GetSettingsPath(const char16_t*, const char16_t*, char16_t* buffer,
                            uint32_t chars) override {
        if (buffer && chars)
            buffer[0] = 0;
        return 0;
    }
    int32_t GetPrinterCount() override {
        return 0;
    }
    int32_t LoadSettingsFile(const char16_t*) override {
        return -2;
    }
    int32_t SaveSettingsFile(const char16_t*, const char16_t*, uint32_t, uint32_t) override {
        return 0;
    }
};

using ScriptedSelectDlg = ScriptedDialog<app::CPrinterSelectDlg>;

class SelectWorld {
public:
    SelectWorld();
    ~SelectWorld();

    // Writes the device map (each "{A}"/"{B}" replaced by a simulator's "127.0.0.1:port") and
    // binds the stand-in library of the build.
    bool UseLibrary(const std::string& deviceMap);
    // Registers a port with the library as the add-port dialog would leave it.
    int32_t Register(const std::u16string& keyword, const std::u16string& portName,
                     const std::u16string& deviceName);
    std::vector<comm::PortRecord> Registered();

    // The context the application would hand over: language, folders, the store.
    UtilContext& Context() { return *m_context; }
    comm::QkcBinding* Binding() { return m_library.Record(); }
    // The printer choice over the library, as start-up hands it to the dialog.
    app::CPrinterChoice& Choice() { return m_choice; }
    std::wstring ProgramFolder() const { return m_root + L"program\\"; }
    std::wstring SavedLanguage() const;

    SelectTestPrinter printerA; // answers as the served model
    SelectTestPrinter printerB; // answers as another model
    SettingsFileStore store;

private:
    std::wstring m_root;
    std::unique_ptr<UtilContext> m_context;
    app::CCommLibrary m_library;
    app::CPrinterChoice m_choice{m_library.Record()};
};

// Row texts of the dialog's port list.
std::vector<std::vector<std::wstring>> ListRows(HWND dialog);
void SelectListRow(HWND dialog, int row);
void Click(HWND dialog, int id);
std::wstring U16ToWide(const std::u16string& text);

} // namespace qk::test
