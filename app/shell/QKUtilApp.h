// The application object: runs the utility's whole life and ends it with an exit code. It
// owns the application context that every window and plug-in reads, the binding of the
// communication library, the data store and the application lock.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include "app/connection/CommLibrary.h"
#include "app/connection/PrinterSelectDlg.h"
#include "app/startup/AppPlatform.h"
#include "app/startup/ExtCommandLineInfo.h"
#include "app/startup/StartupRules.h"
#include "framework/context/UtilContext.h"
#include "framework/lang/LangResTable.h"
#include "platform/os/SectionCacheProfile.h"
#include "framework/store/PluginDataMgr.h"
#include "platform/FrameWnd.h"
#include "platform/Sync.h"
#include "platform/WinApp.h"
#include "platform/os/OsServices.h"

namespace qk::app {

class CSplash;

// The services start-up and exit use; the defaults are the real ones.
struct AppServices : os::OsServices {
    IAppPlatform* platform = nullptr; // null: the Win32 one
    PrinterSelectServices printerSelect;
    std::wstring commLibraryPath = L"QKComm.dll";
    // Writes the settings command file of the file mode: model name, output path, logo work
    // file (empty when there is none) and whether it exists; 0 on success. Empty: the real
    // writer, from the application's data blocks.
    std::function<int32_t(const std::u16string& model, const std::u16string& path,
                          const std::u16string& logoPath, bool logoPresent)>
        writeSettingsFile;
    // Makes the main frame for the new-document command (empty: the utility's CMainFrame).
    std::function<CFrameWnd*()> newFrame;
};

// Exit codes of the described-printer mode.
enum AppExitCode : int {
    kExitNormal = 0,
    kExitNotAdministrator = 1,
    kExitAlreadyRunning = 2,
    kExitNoLanguageFile = 3,
    kExitNoPrinterName = 4,
    kExitNotMakersPort = 5,
    kExitPortInUse = 6,
};

class CQKUtilApp : public CWinApp {
public:
    explicit CQKUtilApp(AppServices services = {});
    ~CQKUtilApp() override;

    // The running application, or null (in a test without one).
    static CQKUtilApp* Get() { return dynamic_cast<CQKUtilApp*>(CWinApp::Get()); }

    bool InitInstance() override;
    int ExitInstance() override;

    UtilContext& Context() { return *m_context; }
    // The binding record of the communication library (unbound in the file mode).
    comm::QkcBinding* Binding() { return m_commLibrary.Record(); }
    PluginDataMgr& DataManager() { return m_dataManager; }
    CLangResTable& LanguageTable() { return m_language; }
    // 0 when the chosen printer answered; the library's failure code otherwise.
    int32_t ConnectionResult() const { return m_connectionResult; }
    // The exit code kept for the described-printer mode.
    int DescribedPrinterExitCode() const { return m_describedPrinterExitCode; }
    const CExtCommandLineInfo& CommandLine() const { return m_commandLine; }

    // The English default, or the screen's message of that number when the table has it.
    static std::wstring MessageText(const CLangResTable* table, int number, const wchar_t* english);

private:
    // The unattended apply or check of /a or /c; its exit code.
    int32_t RunUnattended();
    // Start-up steps, in order.
    void ParseCommandLine();
    bool HoldSingleInstance();
    void LayOutFolders();
    void ReadStartFiles();
    bool LoadLanguage(bool afterChoice);
    bool CheckAdministrator();
    void ReadUtilitySettings();
    void ReadInterfaceTypes(const UtilitySettings& settings);
    void BindLibrary();
    bool ChoosePrinter(CPrinterChoice& choice);
    bool RunPrinterSelection(CPrinterChoice& choice);
    bool OpenDirectPort(CPrinterChoice& choice, bool fromP);
    void QueryCapabilities();
    void LoadPrinterSettings();
    bool CreateMainWindow();

    // Exit steps.
    void SavePrinterSettings();
    void WriteSettingsCommandFile();
    void StartRestoreTool(const wchar_t* name);
    // The start-up's tool, started by a worker: the shell's start of a process (tens of
    // milliseconds) need not hold up the shown window's first answers.
    void StartRestoreToolAside(const wchar_t* name);
    void WaitForToolStart();
    // The tool's path in the program folder; empty when it is not there.
    std::u16string RestoreToolPath(const wchar_t* name) const;
    void WriteCouponFlag(const wchar_t* value);

    void Warn(HWND owner, const CLangResTable* table, int number, const wchar_t* english);
    // The language file's table of one screen; false when the file or the screen is missing.
    bool LoadScreenTable(CLangResTable& table, const char16_t* screen) const;
    void WarnFromScreen(const char16_t* screen, int number, const wchar_t* english);
    void SetDescribedPrinterExitCode(int code);
    void CloseSplash();
    bool IsOrdinaryCase() const;
    // The executable's folder, with a trailing backslash.
    std::u16string ProgramFolder() const;
    std::u16string SettingIniPath() const;

    AppServices m_services;
    std::unique_ptr<IAppPlatform> m_ownPlatform;
    IAppPlatform* m_platform;

    std::unique_ptr<UtilContext> m_context; // cleared to zero at construction
    CCommLibrary m_commLibrary;
    PluginDataMgr m_dataManager;
    CCriticalSection m_applicationLock;
    int32_t m_connectionResult = static_cast<int32_t>(0x80000000u);
    CSplash* m_splash = nullptr; // the splash thread clears it when it ends
    int m_describedPrinterExitCode = 0;
    int32_t m_unattendedExitCode = 0;
    // The language file is only read: its tables read it whole, once (not once per section).
    os::SectionCacheProfile m_languageReader;
    CLangResTable m_language;
    bool m_holdsMutex = false;
    CExtCommandLineInfo m_commandLine;
    std::u16string m_userDataFolder;
    HANDLE m_toolStart = nullptr; // the worker starting the start-up's restore tool
};

} // namespace qk::app
