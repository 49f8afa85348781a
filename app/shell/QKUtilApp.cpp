#include "app/shell/QKUtilApp.h"

#include <commctrl.h>
#include <shellapi.h>
#include <cstring>
#include <cwchar>
#include "app/connection/PortRecordText.h"
#include "app/shell/MainFrame.h"
#include "app/shell/Model.h"
#include "app/shell/Splash.h"
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "app/startup/UnattendedStart.h"
#include "app/startup/Win32AppPlatform.h"
#include "app/status/SettingsCommandFileWriter.h"
#include "framework/comm/CommResult.h"
#include "framework/context/TextSlot.h"
#include "framework/plugin/UnattendedExitCode.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/DocTemplate.h"
#include "platform/MessagePresenter.h"
#include "platform/Text.h"
#include "platform/os/SectionCacheProfile.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr wchar_t kFilesMissing[] = L"Could not find the required files.\nPlease reinstall.";
constexpr wchar_t kCannotCommunicate[] = L"Cannot communicate with the printer.";
constexpr wchar_t kPortInUse[] =
    L"Cannot launch the printer because it is in use by another application.";

std::u16string WithBackslash(std::u16string path) {
    if (!path.empty() && path.back() != u'\\')
        path += u'\\';
    return path;
}

std::vector<std::u16string> SplitCommandLine(const std::wstring& commandLine) {
    std::vector<std::u16string> arguments;
    if (commandLine.empty())
        return arguments;
    // The splitter reads its first word as the program's name, whose quotes it keeps
    // ("/mF"C:\My files\x.dat"" would keep them); the arguments come after a stand-in name.
    const std::wstring withName = L"QK40UTL " + commandLine;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(withName.c_str(), &count);
    if (!argv)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(FromWide(argv[i]));
    ::LocalFree(argv);
    return arguments;
}

// A restore tool to start on a worker thread, which owns this record.
struct ToolStart {
    os::IProcessLauncher* processes;
    std::u16string path, folder;
};

unsigned __stdcall RunToolStart(void* argument) {
    std::unique_ptr<ToolStart> start(static_cast<ToolStart*>(argument));
    start->processes->ShellOpen(start->path, u"", start->folder);
    return 0;
}

// Long enough for any process start; exit does not hang on a shell that never answers.
constexpr DWORD kToolStartWaitMs = 10000;

std::u16string InstanceName(const wchar_t* format) {
    wchar_t name[128];
    swprintf(name, 128, format, kModelName);
    return FromWide(name);
}

} // namespace

CQKUtilApp::CQKUtilApp(AppServices services)
    : m_services(std::move(services)),
      m_ownPlatform(m_services.platform ? nullptr : new Win32AppPlatform),
      m_platform(m_services.platform ? m_services.platform : m_ownPlatform.get()),
      m_context(std::make_unique<UtilContext>()),
      m_dataManager(*m_services.files, *m_services.profile),
      m_languageReader(*m_services.profile, *m_services.files),
      m_language(m_languageReader, *m_services.files) {}

CQKUtilApp::~CQKUtilApp() {
    WaitForToolStart();
}

std::wstring CQKUtilApp::MessageText(const CLangResTable* table, int number,
                                     const wchar_t* english) {
    if (!table)
        return english;
    return ToWide(table->TextOr(LangListKind::ScreenMessages, number, FromWide(english)));
}

void CQKUtilApp::Warn(HWND owner, const CLangResTable* table, int number, const wchar_t* english) {
    std::wstring text = MessageText(table, number, english);
    ShowMessage(owner, text.c_str(), kUtilCaption, MB_OK | MB_ICONWARNING);
}

bool CQKUtilApp::LoadScreenTable(CLangResTable& table, const char16_t* screen) const {
    return table.LoadLangFile(SlotText(m_context->languageFolder), m_context->languageId, 0x409) !=
               kLangNoFile &&
           table.LoadScreenTexts(screen) == 0;
}

void CQKUtilApp::WarnFromScreen(const char16_t* screen, int number, const wchar_t* english) {
    CLangResTable table(m_languageReader, *m_services.files);
    const bool loaded = LoadScreenTable(table, screen);
    Warn(nullptr, loaded ? &table : nullptr, number, english);
}

void CQKUtilApp::SetDescribedPrinterExitCode(int code) {
    if (m_commandLine.startMode == kStartDescribedPrinter)
        m_describedPrinterExitCode = code;
}

bool CQKUtilApp::IsOrdinaryCase() const {
    return m_context->callerKind == 0 && m_context->startMode == kStartOrdinary;
}

std::u16string CQKUtilApp::ProgramFolder() const {
    std::u16string exe = m_services.folders->ExecutablePath();
    return WithBackslash(exe.substr(0, exe.find_last_of(u"\\/") + 1));
}

std::u16string CQKUtilApp::SettingIniPath() const {
    return SlotText(m_context->programFolder) + u"SETTING.INI";
}

void CQKUtilApp::CloseSplash() {
    CSplash::Finish(&m_splash);
}

bool CQKUtilApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_INTERNET_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&controls);
    std::function<CFrameWnd*()> newFrame = m_services.newFrame;
    if (!newFrame)
        newFrame = [] { return new CMainFrame; };
    AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return new CUtlDoc; }, newFrame, [] { return new CUtilDummyView; }));
    ParseCommandLine();
    m_describedPrinterExitCode = kExitNormal;
    if (m_commandLine.IsUnattended()) {
        m_unattendedExitCode = RunUnattended();
        return false;
    }

    if (!HoldSingleInstance())
        return false;
    m_context->applicationLock = m_applicationLock.Get();
    m_context->dataManager = &m_dataManager;
    LayOutFolders();
    ReadStartFiles();
    if (!LoadLanguage(false))
        return false;

    if (m_context->startMode == kStartDescribedPrinter && m_context->printerName[0] == u'\0') {
        Warn(nullptr, &m_language, 6, L"This operation is not supported.");
        SetDescribedPrinterExitCode(kExitNoPrinterName);
        return false;
    }
    if (!CheckAdministrator())
        return false;

    // Some twenty keys of one small file: the file is read once per section it has, not once
    // per key (each read opens it anew).
    os::SectionCacheProfile settingsFile(*m_services.profile, *m_services.files);
    UtilitySettings settings =
        app::ReadUtilitySettings(settingsFile, SettingIniPath(), m_context->startMode);
    m_context->enableFontA = settings.enableFontA;
    m_context->enableFontB = settings.enableFontB;
    m_context->enableFlexibleFont = settings.enableFlexibleFont;
    m_context->enableIFSelect = settings.enableIFSelect;
    m_context->enableBTSearch = settings.enableBTSearch;
    m_context->enableAutoRestore = settings.enableAutoRestore;
    m_context->arpSupport = settings.arpSupport;
    m_context->watermarkSupport = settings.watermarkSupport;
    m_context->autoKeycodeNumbering = settings.autoKeycodeNumbering;
    WriteCouponFlag(L"1");
    ReadInterfaceTypes(settings);

    BindLibrary();
    CPrinterChoice choice(Binding());
    if (m_context->startMode == kStartInstaller) {
        choice.SetDriverFilter(u"TARROW QK-R40");
        choice.SetPrinterFilter(SlotText(m_context->switchQ));
    }
    if (m_commLibrary.IsBound())
        Binding()->QKC_SetModelType(0);

    if (!ChoosePrinter(choice))
        return false;

    m_connectionResult = m_context->startMode == kStartFileMode ? static_cast<int32_t>(0x80000005u)
                                                                : choice.LastTestResult();
    m_context->binding = m_context->startMode == kStartFileMode ? nullptr : Binding();
    if (m_context->startMode == kStartInstaller && m_context->switchQ[0] == u'\0')
        SetSlotText(m_context->switchQ, choice.GetChosenPrinterName());
    m_context->deviceIdNumber = 0;
    if (m_connectionResult == 0) {
        int32_t number = 0;
        if (m_platform->ReadDeviceIdNumber(SlotText(m_context->programFolder), Binding(), number))
            m_context->deviceIdNumber = number;
    }
    QueryCapabilities();

    m_context->languageId = LanguageNumber(SlotText(m_context->languageText));
    if (!LoadLanguage(true))
        return false;
    LoadPrinterSettings();
    return CreateMainWindow();
}

int32_t CQKUtilApp::RunUnattended() {
    // A deployment tool waits for the exit code: no window, no question, no message box. No
    // single-instance check either: the printer's port is what one run holds, and the library
    // refuses a port another program has open.
    if (!CUnattendedStart::IsWellFormed(m_commandLine))
        return kUnattendedBadCommandLine;
    m_context->applicationLock = m_applicationLock.Get();
    m_context->dataManager = &m_dataManager;
    LayOutFolders();
    m_context->callerKind = m_commandLine.callerKind;
    SetSlotText(m_context->languageText,
                m_services.profile->GetString(SettingIniPath(), u"LANGUAGE", u"LANGID", u"0409"));
    m_context->languageId = LanguageNumber(SlotText(m_context->languageText));
    if (!m_platform->IsAdministrator())
        return kUnattendedNotAdministrator;
    BindLibrary();
    if (!m_commLibrary.IsBound())
        return kUnattendedFilesMissing;
    m_context->binding = Binding();
    return CUnattendedStart(*m_context, *Binding(), m_commandLine).Run(ProgramFolder());
}

void CQKUtilApp::ParseCommandLine() {
    m_commandLine = CExtCommandLineInfo();
    m_commandLine.Parse(SplitCommandLine(m_lpCmdLine));
}

bool CQKUtilApp::HoldSingleInstance() {
    if (m_commandLine.maintenance)
        return true;
    auto result = m_platform->CreateInstanceMutex(InstanceName(L"Global\\%ls_UTILITY"));
    if (result == IAppPlatform::MutexResult::Failed)
        return false;
    if (result == IAppPlatform::MutexResult::AlreadyExists) {
        if (m_commandLine.startMode != kStartDescribedPrinter) {
            wchar_t property[128];
            swprintf(property, 128, kInstancePropertyFormat, kInstancePropertyPrefix, kModelName);
            m_platform->BringWindowWithPropertyToFront(FromWide(property));
        }
        m_platform->CloseMutex();
        SetDescribedPrinterExitCode(kExitAlreadyRunning);
        return false;
    }
    m_holdsMutex = true;
    return true;
}

void CQKUtilApp::LayOutFolders() {
    os::IFileSystem& files = *m_services.files;
    SetSlotText(m_context->programFolder, ProgramFolder());
    SetSlotText(m_context->languageFolder, SlotText(m_context->programFolder) + u"LANG");

    std::u16string maker = WithBackslash(m_services.folders->CommonAppData()) + u"TARROW";
    std::u16string data = maker + u"\\QK40Utl";
    bool makerExists = files.IsDirectory(maker) || files.CreateDirectory(maker);
    bool dataExists = makerExists && (files.IsDirectory(data) || files.CreateDirectory(data));
    SetSlotText(m_context->dataFolder, data);
    if (dataExists) {
        std::u16string work = data + u"\\TMP";
        if (files.IsDirectory(work) || files.CreateDirectory(work))
            SetSlotText(m_context->workFolder, work);
    }

    std::u16string userMaker = WithBackslash(m_services.folders->UserAppData()) + u"TARROW";
    m_userDataFolder = userMaker + u"\\QK40Utl";
    if (files.IsDirectory(userMaker) || files.CreateDirectory(userMaker))
        files.IsDirectory(m_userDataFolder) || files.CreateDirectory(m_userDataFolder);
}

void CQKUtilApp::ReadStartFiles() {
    if (m_commandLine.startMode == kStartDescribedPrinter) {
        PrinterDescription d =
            ReadPrinterDescription(*m_services.profile, m_commandLine.descriptionFilePath);
        m_context->startMode = kStartDescribedPrinter;
        m_context->switchR[0] = u'\0';
        m_context->callerKind = 5;
        if (d.usable) {
            SetSlotText(m_context->printerName, d.printerName);
            std::copy(d.deviceIdentifier.begin(), d.deviceIdentifier.end(),
                      m_context->deviceIdentifier);
            SetSlotText(m_context->filePath, d.filePath);
        }
        m_context->paperWidthDots = d.paperWidth;
        m_context->paperSizeCode = d.paperSize;
        m_context->columnCompatibleMode = d.columnCompatibleMode;
        m_context->variableContrast = d.variableContrast;
        m_context->nvBitImage = d.nvBitImage;
    } else {
        m_dataManager.LoadPrinterList(m_context->dataFolder);
        m_context->startMode = m_commandLine.startMode;
        m_context->callerKind = m_commandLine.callerKind;
        SetSlotText(m_context->switchP, m_commandLine.portPrefix);
        SetSlotText(m_context->switchQ, m_commandLine.queueName);
        SetSlotText(m_context->switchR, m_commandLine.devicePath);
        SetSlotText(m_context->settingsFilePath, m_commandLine.settingsFilePath);
        m_context->paperWidthDots = 576;
        m_context->paperSizeCode = 6;
    }
    SetSlotText(m_context->languageText,
                m_services.profile->GetString(SettingIniPath(), u"LANGUAGE", u"LANGID", u"0409"));
    m_context->resolutionDpi = 203;

    m_context->logoWorkFilePath[0] = u'\0';
    if (m_context->startMode == kStartFileMode) {
        std::u16string logo = m_userDataFolder + u"\\R40LOGO.tlg";
        SetSlotText(m_context->logoWorkFilePath, logo);
        if (m_services.files->Exists(logo))
            m_services.files->DeleteFile(logo);
    }
    m_context->languageId = LanguageNumber(SlotText(m_context->languageText));
}

bool CQKUtilApp::LoadLanguage(bool afterChoice) {
    if (m_language.LoadLangFile(SlotText(m_context->languageFolder), m_context->languageId,
                                0x409) == kLangNoFile) {
        if (afterChoice)
            CloseSplash();
        ShowMessage(nullptr, kFilesMissing, kUtilCaption, MB_OK | MB_ICONWARNING);
        if (!afterChoice)
            SetDescribedPrinterExitCode(kExitNoLanguageFile);
        return false;
    }
    m_language.LoadScreenTexts(u"QK_UTILITY_APP");
    return true;
}

bool CQKUtilApp::CheckAdministrator() {
    if (m_platform->IsAdministrator())
        return true;
    Warn(nullptr, &m_language, 0, L"You must have Administrator rights to run this software.");
    SetDescribedPrinterExitCode(kExitNotAdministrator);
    return false;
}

void CQKUtilApp::ReadInterfaceTypes(const UtilitySettings& settings) {
    std::array<int32_t, 5> types = settings.interfaceTypes;
    int32_t defaultType = settings.defaultIFType;
    if (!settings.interfaceTypesFound) {
        CLangResTable portAdd(m_languageReader, *m_services.files);
        LoadScreenTable(portAdd, u"PORT_ADD_DLG");
        std::u16string list = portAdd.TextOr(LangListKind::ScreenMessages, 100, u"2");
        types = ParseInterfaceTypes(list);
        std::u16string defaultText;
        if (portAdd.GetText(LangListKind::ScreenMessages, 101, defaultText) != 0)
            defaultText = list;
        defaultType = LeadingNumber(defaultText);
    }
    std::copy(types.begin(), types.end(), m_context->supportedIFTypes);
    m_context->defaultIFType = defaultType;
}

void CQKUtilApp::BindLibrary() {
    if (m_context->startMode == kStartFileMode)
        return;
    if (m_commLibrary.Bind(m_services.commLibraryPath.c_str()))
        Binding()->QKC_SetCaller(m_commandLine.callerKind);
}

bool CQKUtilApp::OpenDirectPort(CPrinterChoice& choice, bool fromP) {
    CSplash::Start(&m_splash);
    // The library writes into the record it tests and opens; the context keeps the port as given.
    comm::PortRecord record = m_context->portRecord;
    int32_t test = choice.TestPrinter(0, record);
    int32_t open = choice.OpenPrinter(record);
    if (open == comm::kQkcPortInUse) {
        CloseSplash();
        Warn(nullptr, &m_language, 4, kPortInUse);
        if (fromP)
            SetDescribedPrinterExitCode(kExitPortInUse);
        return false;
    }
    if (!fromP && test != 0) {
        CloseSplash();
        WarnFromScreen(u"PRT_SELECT_DLG", 3, kCannotCommunicate);
    }
    return true;
}

bool CQKUtilApp::ChoosePrinter(CPrinterChoice& choice) {
    // The described-printer mode keeps /p out of the context, yet a port given with it is
    // still opened directly: the command line is what counts here.
    if (!m_commandLine.portPrefix.empty()) {
        const std::u16string& prefix = m_commandLine.portPrefix;
        if (prefix.find(u"RSDPRT") == std::u16string::npos) {
            WarnFromScreen(u"PRT_SELECT_DLG", 3, kCannotCommunicate);
            SetDescribedPrinterExitCode(kExitNotMakersPort);
            return false;
        }
        if (choice.SelectByDevicePath(prefix, *m_context))
            return OpenDirectPort(choice, true);
        // No registered port of that path: the operator chooses.
    } else if (m_context->startMode == kStartRemote && m_context->switchR[0]) {
        comm::PortRecord record{};
        record.reserved1040 = -1;
        record.reserved1044 = -1;
        record.connectorFlag = 1;
        SetSlotText(record.devicePath, SlotText(m_context->switchR));
        m_context->portRecord = record;
        m_context->interfaceKind = kIfDevicePath;
        return OpenDirectPort(choice, false);
    } else if (m_context->startMode == kStartFileMode) {
        SetSlotText(m_context->portRecord.deviceName, kServedModel);
        return true;
    }
    return RunPrinterSelection(choice);
}

bool CQKUtilApp::RunPrinterSelection(CPrinterChoice& choice) {
    CPrinterSelectDlg dialog(choice, m_services.printerSelect);
    dialog.SetContext(*m_context);
    if (dialog.DoModal(nullptr) != IDOK)
        return false;
    // The dialog's copy carries the chosen port and language.
    *m_context = dialog.Context();
    return true;
}

void CQKUtilApp::QueryCapabilities() {
    comm::QkcBinding* binding = Binding();
    bool bound = m_commLibrary.IsBound() && m_context->startMode != kStartFileMode;
    m_context->printerChosen = 1;
    m_context->printerChosenZero = 0;
    m_context->acceptsCommand14_48 = 0;
    int32_t out = 0;
    if (bound && binding->QKC_IsEnableCommand(1, 14, 48, &out) == 0 && out != 0)
        m_context->acceptsCommand14_48 = 1;
    m_context->arpSupport = 0;
    m_context->printerArpSupport = 0;
    if (m_context->startMode == kStartFileMode) {
        m_context->arpSupport = 1;
        return;
    }
    out = 0;
    if (m_connectionResult == 0 && bound && binding->QKC_IsSupported(2, &out) == 0) {
        m_context->arpSupport = out;
        m_context->printerArpSupport = out;
        m_services.profile->WriteString(SettingIniPath(), u"Support", u"ARP",
                                        out == 1 ? u"1" : u"0");
    }
    out = 1;
    if (bound && binding->QKC_IsEnableCommand(1, 6, 10, &out) == 0 && out == 0)
        m_context->enableIFSelect = 0;
}

void CQKUtilApp::LoadPrinterSettings() {
    if (!IsOrdinaryCase() && m_context->startMode != kStartFileMode)
        return;
    char16_t path[kTextSlot] = {};
    m_dataManager.GetSettingsPath(m_context->portRecord.deviceName, m_context->portRecord.portName,
                                  path, kTextSlot);
    if (path[0])
        m_dataManager.LoadSettingsFile(path);
}

bool CQKUtilApp::CreateMainWindow() {
    if (!OnFileNew()) {
        CloseSplash();
        return false;
    }
    CloseSplash();
    m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
    m_pMainWnd->UpdateWindow();
    // Nothing waits for the tool: starting a process need not hold up the window.
    StartRestoreToolAside(L"QKRestoreAppStop.exe");
    return true;
}

int CQKUtilApp::ExitInstance() {
    if (m_commLibrary.IsBound())
        Binding()->QKC_Terminate();
    if (m_commandLine.IsUnattended()) {
        // Nothing of the window's exit: no printer list, no restore tool, no coupon flag.
        if (!m_commandLine.maintenance && m_context->workFolder[0])
            m_services.files->RemoveDirectory(SlotText(m_context->workFolder));
        return m_unattendedExitCode;
    }
    SavePrinterSettings();
    WriteSettingsCommandFile();

    CExtCommandLineInfo again;
    again.Parse(SplitCommandLine(m_lpCmdLine));
    if (!again.maintenance && m_context->workFolder[0])
        m_services.files->RemoveDirectory(SlotText(m_context->workFolder));
    // The start-up's tool is under way before the exit's.
    WaitForToolStart();
    StartRestoreTool(L"QKRestoreApp.exe");
    CSplash::Finish(&m_splash);
    if (m_holdsMutex) {
        m_platform->CloseMutex();
        m_holdsMutex = false;
    }
    WriteCouponFlag(L"0");
    return again.startMode == kStartDescribedPrinter ? m_describedPrinterExitCode : 1;
}

void CQKUtilApp::SavePrinterSettings() {
    if (!IsOrdinaryCase() && m_context->startMode != kStartFileMode)
        return;
    // Nothing was chosen when start-up ended before the printer choice.
    if (!m_context->printerChosen)
        return;
    if (m_context->startMode == kStartFileMode)
        m_dataManager.SetSaveFlag(1);
    const std::u16string device = SlotText(m_context->portRecord.deviceName);
    const std::u16string port = SlotText(m_context->portRecord.portName);
    if (m_dataManager.RegisterAndSave(SlotText(m_context->dataFolder), device, port, kServedModel,
                                      0x00010000, 0x00010000) == 1)
        return;
    // A printer the list could not take has no settings file of its own to keep.
    if (m_dataManager.SettingsPathOf(device, port).empty())
        return;
    // Asked to save and not saved (a read-only folder, a full disk): the earlier file stays,
    // and the operator must know that this run's settings are not in it.
    if (m_dataManager.GetSaveFlag() == 1)
        Warn(nullptr, &m_language, 8,
             L"The printer's settings could not be saved. The earlier settings file is kept.");
}

void CQKUtilApp::WriteSettingsCommandFile() {
    if (m_context->startMode != kStartFileMode || !m_context->printerChosen)
        return;
    CLangResTable confirm(m_languageReader, *m_services.files);
    const bool loaded = LoadScreenTable(confirm, u"MSG_CONFIRM_SAVE_FILE");
    std::wstring question = MessageText(loaded ? &confirm : nullptr, 0,
                                        L"Do you want to save the settings to the file?");
    std::wstring caption = MessageText(loaded ? &confirm : nullptr, 1, kUtilCaption);
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (ShowMessage(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const std::u16string logo = SlotText(m_context->logoWorkFilePath);
    const bool logoPresent = !logo.empty() && m_services.files->Exists(logo);
    const std::u16string model = SlotText(m_context->portRecord.deviceName);
    const std::u16string path = SlotText(m_context->settingsFilePath);
    const std::u16string logoPath = logoPresent ? logo : u"";
    int32_t result = 0;
    if (m_services.writeSettingsFile)
        result = m_services.writeSettingsFile(model, path, logoPath, logoPresent);
    else
        result = WriteSettingsFile(m_dataManager, model, path, logoPath, logoPresent,
                                   {m_context->enableFontA != 0, m_context->enableFontB != 0});
    if (result != 0)
        Warn(owner, &m_language, 7, L"Saving to the file failed.");
}

std::u16string CQKUtilApp::RestoreToolPath(const wchar_t* name) const {
    // Not from the context: a start that ended before the folders were laid out (a second
    // copy) still starts the tool of its own folder, never one of the working folder.
    std::u16string path = ProgramFolder() + FromWide(name);
    return m_services.files->Exists(path) ? path : std::u16string();
}

void CQKUtilApp::StartRestoreTool(const wchar_t* name) {
    const std::u16string path = RestoreToolPath(name);
    if (!path.empty())
        m_services.processes->ShellOpen(path, u"", ProgramFolder());
}

void CQKUtilApp::StartRestoreToolAside(const wchar_t* name) {
    const std::u16string path = RestoreToolPath(name);
    if (path.empty() || m_toolStart)
        return;
    auto* start = new ToolStart{m_services.processes, path, ProgramFolder()};
    m_toolStart = StartWorkerThread(&RunToolStart, start);
    if (!m_toolStart)
        RunToolStart(start); // no thread to be had: the window waits after all
}

void CQKUtilApp::WaitForToolStart() {
    if (!m_toolStart)
        return;
    ::WaitForSingleObject(m_toolStart, kToolStartWaitMs);
    ::CloseHandle(m_toolStart);
    m_toolStart = nullptr;
}

void CQKUtilApp::WriteCouponFlag(const wchar_t* value) {
    if (!m_context->dataFolder[0])
        return;
    m_services.profile->WriteString(SlotText(m_context->dataFolder) + u"\\QKUCOUPON.INI", u"Coupon",
                                    u"Execute", FromWide(value));
}

} // namespace qk::app
