#include "framework/system/EmulatorPort.h"
#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>
#include "framework/comm/QkcBinding.h"
#include "framework/system/PortNameRules.h"

namespace qk::sys {
namespace {

std::u16string SlotText(const char16_t* slot, size_t chars = comm::kPortTextChars) {
    size_t n = 0;
    while (n < chars && slot[n]) {
        ++n;
    }
    return std::u16string(slot, n);
}

std::u16string Join(const std::u16string& folder, const std::u16string& name) {
    return folder + u"\\" + name;
}

// The keys of a port's section, in the order they are written.
constexpr const char16_t* kSectionKeys[] = {
    u"Model", u"Utility", u"Port", u"JournalEnable", u"CouponEnable", u"PaperWidth", u"DPI"};
// Read in place of a missing key: a non-character no value holds.
constexpr char16_t kMissingKey[] = u"\uFFFF";

bool Bound(const EmulatorPortSettings& record) {
    return comm::IsBound(record.binding);
}

// "X:\..." with nothing left to expand.
bool IsPlainFolderPath(const std::u16string& path) {
    return path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
           path.find(u'%') == std::u16string::npos;
}

} // namespace

CEmulatorPort::CEmulatorPort(const SystemServices& services) : m_services(services) {}

EmulatorPortSettings CEmulatorPort::NewSettings() {
    EmulatorPortSettings record;
    const std::u16string data = m_services.folders->CommonAppData();
    const std::u16string maker = Join(data, u"TARROW");
    const std::u16string emulator = Join(maker, u"QKCommandEmulator");
    const std::u16string utility = Join(maker, kUtilityName);
    for (const std::u16string& folder : {maker, emulator, utility}) {
        if (!m_services.files->IsDirectory(folder)) {
            m_services.files->CreateDirectory(folder);
        }
    }
    record.parserIniPath = Join(emulator, u"CMDSETParser.ini");
    record.couponIniPath = Join(utility, u"QKUCOUPON.INI");
    record.portToolPath = m_services.folders->ProgramFiles() + u"\\TARROW\\QKCOMUSB\\TarrowPA.exe";
    return record;
}

bool CEmulatorPort::SetupEmulatorPort(EmulatorPortSettings& record, comm::QkcBinding* binding,
                                      const std::u16string& printerName, comm::PortRecord* port,
                                      int32_t paperSizeCode, int32_t resolution) {
    if (!binding || printerName.empty() || !port) {
        return false;
    }
    record.binding = binding;
    record.portRecord = port;
    bool capable = false;
    if (port->connectorFlag == 1) {
        if (IsTcpDevicePath(SlotText(port->devicePath))) {
            return false;
        }
        capable = port->origin > 2;
    }
    record.printerName = printerName.substr(0, kPathChars - 1);

    const std::u16string kind = SlotText(port->interfaceKeyword);
    const std::u16string portName = SlotText(port->portName);
    if (kind == u"USB") {
        const std::u16string label = SlotText(port->usbPortLabel);
        const std::u16string usbPath = SlotText(port->deviceId);
        record.section = label.empty() ? ExtractUsbSerial(usbPath, kind, portName) : label;
        record.emulatorPort = usbPath;
    } else if (kind == u"NET") {
        record.section = portName;
        record.emulatorPort = portName;
    } else {
        std::u16string id;
        if (IsVirtualComPort(portName) && FindPortDeviceId(portName, id)) {
            record.section = id;
            record.emulatorPort = id;
            record.virtualPort = portName;
            std::u16string target;
            if (id.compare(0, 6, u"RSDPRT") == 0 && QueryPortSetup(target, id, record)) {
                record.section = target;
            }
        } else {
            record.section = portName;
            record.emulatorPort = portName;
        }
    }
    record.utilityName = kUtilityName;
    record.connectorCapable = capable;
    record.paperWidth = paperSizeCode == 2 ? 58 : 80;
    record.dpi = resolution < 1 ? 203 : resolution;

    ReadEmulatorFlags(record);
    if (!record.journalEnabled && !record.couponEnabled) {
        return true;
    }
    const std::optional<bool> routed = RoutedNow(record);
    if (routed && !*routed) {
        ConnectEmulatorPort(record);
    }
    return true;
}

bool CEmulatorPort::ReadEmulatorFlags(EmulatorPortSettings& record) {
    const std::u16string model =
        m_services.profile->GetString(record.parserIniPath, record.section, u"Model", kDefaultModel)
            .substr(0, kPathChars - 1);
    if (!model.empty() && model != record.printerName) {
        record.journalEnabled = false;
        record.couponEnabled = false;
        return true;
    }
    record.journalEnabled =
        m_services.profile->GetInt(record.parserIniPath, record.section, u"JournalEnable", 0) != 0;
    record.couponEnabled =
        m_services.profile->GetInt(record.parserIniPath, record.section, u"CouponEnable", 0) != 0;
    return true;
}

bool CEmulatorPort::WriteKey(const EmulatorPortSettings& record, const char16_t* key,
                             const std::u16string& value) {
    return m_services.profile->WriteString(record.parserIniPath, record.section, key, value);
}

bool CEmulatorPort::WriteEmulatorSection(const EmulatorPortSettings& record) {
    std::u16string port;
    if (record.connectorCapable) {
        ExtractRsdprtName(record.portRecord ? SlotText(record.portRecord->devicePath) : u"", port);
    } else {
        port = record.emulatorPort.compare(0, 6, u"RSDPRT") == 0 ? record.emulatorPort
                                                                 : record.virtualPort;
    }
    // Every key is attempted; one failure only turns the answer false.
    const std::u16string values[] = {record.printerName,
                                     record.utilityName,
                                     port,
                                     record.journalEnabled ? u"1" : u"0",
                                     record.couponEnabled ? u"1" : u"0",
                                     DecimalText(record.paperWidth),
                                     DecimalText(record.dpi)};
    static_assert(sizeof values / sizeof values[0] == std::size(kSectionKeys));
    bool ok = true;
    for (size_t i = 0; i < std::size(kSectionKeys); ++i) {
        ok = WriteKey(record, kSectionKeys[i], values[i]) && ok;
    }
    return ok;
}

bool CEmulatorPort::WriteFontSettings(int32_t codeTable, const EmulatorPortSettings& record,
                                      const std::u16string& fontType, int32_t charSet) {
    WriteKey(record, u"CodeTable", DecimalText(codeTable));
    WriteKey(record, u"CharSet", DecimalText(charSet));
    return WriteKey(record, u"FontType", fontType);
}

std::optional<bool> CEmulatorPort::RoutedNow(const EmulatorPortSettings& record) {
    bool routed = false;
    if (record.connectorCapable) {
        int32_t flag = 0;
        if (!Bound(record) || record.binding->QKC_IsPortConnectorEnabled(&flag) != 0) {
            return std::nullopt;
        }
        return flag == 1;
    }
    if (!IsEmulatorRouted(record, routed)) {
        return std::nullopt;
    }
    return routed;
}

CEmulatorPort::SectionKeys CEmulatorPort::ReadSectionKeys(const EmulatorPortSettings& record) {
    SectionKeys keys;
    for (const char16_t* key : kSectionKeys) {
        std::u16string value =
            m_services.profile->GetString(record.parserIniPath, record.section, key, kMissingKey);
        keys.push_back(value == kMissingKey ? std::nullopt : std::optional(std::move(value)));
    }
    return keys;
}

void CEmulatorPort::RestoreSectionKeys(const EmulatorPortSettings& record,
                                       const SectionKeys& keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i]) {
            WriteKey(record, kSectionKeys[i], *keys[i]);
        } else {
            m_services.profile->DeleteKey(record.parserIniPath, record.section, kSectionKeys[i]);
        }
    }
}

bool CEmulatorPort::RouteForJournal(EmulatorPortSettings& record, bool wanted) {
    // With coupons on the port stays routed; the emulator only takes the new settings.
    if (record.couponEnabled) {
        return ReloadEmulator(record);
    }
    if (wanted ? ConnectEmulatorPort(record) : DisconnectEmulatorPort(record)) {
        return true;
    }
    // The routing may have been done with only the port's reopening failing.
    const std::optional<bool> routed = RoutedNow(record);
    return routed && *routed == wanted;
}

bool CEmulatorPort::ApplyJournalEnable(EmulatorPortSettings& record, bool wanted) {
    if (record.journalEnabled == wanted) {
        return true;
    }
    const SectionKeys before = ReadSectionKeys(record);
    record.journalEnabled = wanted;
    if (WriteEmulatorSection(record) && RouteForJournal(record, wanted)) {
        return true;
    }
    // A change that could not be made whole is undone, so that the section says what the
    // port is; the flags then follow what the section holds, even if undoing failed too.
    RestoreSectionKeys(record, before);
    ReadEmulatorFlags(record);
    return false;
}

bool CEmulatorPort::CloseLibrary(const EmulatorPortSettings& record) {
    return Bound(record) && record.binding->QKC_Close() == 0;
}

bool CEmulatorPort::RouteByTool(EmulatorPortSettings& record, const std::u16string& arguments,
                                bool closeMustSucceed) {
    if (!CloseLibrary(record) && closeMustSucceed) {
        return false;
    }
    const os::ProcessId tool = m_services.processes->StartCommandLine(
        u"\"" + record.portToolPath + u"\" " + arguments, u"");
    if (tool) {
        m_services.processes->Wait(tool, kPortToolLimitMs);
        m_services.processes->Close(tool);
    }
    // The port is opened again in any case; but a tool that never ran routed nothing, and the
    // reopening's success must not stand for the routing's.
    const bool reopened = ReopenPrinterPort(record);
    return tool && reopened;
}

bool CEmulatorPort::ConnectEmulatorPort(EmulatorPortSettings& record) {
    if (record.connectorCapable) {
        return RestartPortService(1, record);
    }
    if (record.virtualPort.empty()) {
        return false;
    }
    return RouteByTool(record, u"-RE1:" + record.virtualPort, true);
}

bool CEmulatorPort::DisconnectEmulatorPort(EmulatorPortSettings& record) {
    if (record.connectorCapable) {
        return RestartPortService(0, record);
    }
    if (record.virtualPort.empty()) {
        return false;
    }
    return RouteByTool(record, u"-RE0:" + record.virtualPort, true);
}

bool CEmulatorPort::ReloadEmulator(EmulatorPortSettings& record) {
    if (record.connectorCapable) {
        CloseLibrary(record);
        return ReopenPrinterPort(record);
    }
    if (record.virtualPort.empty()) {
        return false;
    }
    // The emulator reloads its settings whether or not the port was open.
    return RouteByTool(record, u"-Reload", false);
}

bool CEmulatorPort::TakeStateEvent(EmulatorPortSettings& record) {
    bool existed = false;
    const os::EventId event = m_services.events->CreateManualReset(kStateEventName, existed);
    if (!event) {
        return false;
    }
    if (existed && m_services.events->Wait(event, kStateEventLimitMs) != os::WaitResult::Ended) {
        m_services.events->Close(event);
        return false;
    }
    record.stateEvent = event;
    return true;
}

void CEmulatorPort::ReleaseStateEvent(EmulatorPortSettings& record) {
    if (!record.stateEvent) {
        return;
    }
    m_services.events->Set(record.stateEvent);
    m_services.events->Close(record.stateEvent);
    record.stateEvent = 0;
}

bool CEmulatorPort::RestartPortService(int32_t connectorValue, EmulatorPortSettings& record) {
    if (!Bound(record) || record.binding->QKC_SetPortConnector(connectorValue) != 0 ||
        record.binding->QKC_Close() != 0) {
        return false;
    }
    bool stopped = EnsureServiceState(kServiceStopped, kSpoolerService);
    if (!stopped) {
        if (!TakeStateEvent(record)) {
            return ReopenPrinterPort(record);
        }
        stopped = EnsureServiceState(kServiceStopped, kSpoolerService);
    }
    if (stopped) {
        if (EnsureServiceState(kServiceStopped, kPortService)) {
            StartAndWait(kPortService);
        }
        ReleaseStateEvent(record);
        StartAndWait(kSpoolerService);
    }
    // Also when the spooler would not stop: the service waits for the event, so it must not
    // outlive this call.
    ReleaseStateEvent(record);
    return ReopenPrinterPort(record);
}

bool CEmulatorPort::ReopenPrinterPort(EmulatorPortSettings& record) {
    if (!Bound(record) || !record.portRecord ||
        record.binding->QKC_SetPort(record.portRecord) != 0 ||
        record.binding->QKC_GetPort(record.portRecord) != 0) {
        return false;
    }
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (record.binding->QKC_Open(0) == 0) {
            return record.binding->QKC_Initialize() == 0;
        }
        m_services.clock->Sleep(kPollMs);
    }
    return false;
}

bool CEmulatorPort::StartAndWait(const std::u16string& name) {
    os::IServiceControl& services = *m_services.services;
    os::ServiceState state = services.Query(name);
    if (state == os::ServiceState::Running) {
        return true;
    }
    if (state != os::ServiceState::Stopped && state != os::ServiceState::StartPending) {
        return false;
    }
    const uint64_t start = m_services.clock->NowMs();
    while (state != os::ServiceState::Running) {
        if (state == os::ServiceState::Stopped) {
            services.Start(name);
        } else if (state != os::ServiceState::StartPending) {
            return false;
        }
        m_services.clock->Sleep(kPollMs);
        if (m_services.clock->NowMs() - start > kServiceLimitMs) {
            return services.Query(name) == os::ServiceState::Running;
        }
        state = services.Query(name);
    }
    return true;
}

bool CEmulatorPort::EnsureServiceState(int32_t target, const std::u16string& name) {
    if (target != kServiceRunning && target != kServiceStopped) {
        return false;
    }
    os::IServiceControl& services = *m_services.services;
    const bool toStop = target == kServiceStopped;
    const os::ServiceState wanted = toStop ? os::ServiceState::Stopped : os::ServiceState::Running;
    const os::ServiceState from = toStop ? os::ServiceState::Running : os::ServiceState::Stopped;
    const os::ServiceState pending =
        toStop ? os::ServiceState::StopPending : os::ServiceState::StartPending;
    os::ServiceState state = services.Query(name);
    if (state == wanted) {
        return true;
    }
    if (state != from) {
        return false;
    }
    const uint64_t start = m_services.clock->NowMs();
    for (;;) {
        if (state == from) {
            toStop ? services.Stop(name) : services.Start(name);
        }
        m_services.clock->Sleep(kPollMs);
        state = services.Query(name);
        if (state == wanted) {
            return true;
        }
        if ((state != pending && state != from) ||
            m_services.clock->NowMs() - start > kServiceLimitMs) {
            return false;
        }
    }
}

bool CEmulatorPort::IsVirtualComPort(const std::u16string& portName) {
    if (!IsComOrLptName(portName)) {
        return false;
    }
    return !IsRealPortTarget(portName, m_services.files->DosDeviceTargets(portName));
}

bool CEmulatorPort::EntryPortName(const std::u16string& entry, std::u16string& name) {
    return m_services.registry->ReadString(os::RegRoot::LocalMachine,
                                           entry + u"\\Device Parameters", u"PortName", name) ||
           m_services.registry->ReadString(os::RegRoot::LocalMachine, entry, u"PortName", name);
}

bool CEmulatorPort::FindPortDeviceId(const std::u16string& portName, std::u16string& id) {
    for (const std::u16string& sub :
         m_services.registry->SubKeys(os::RegRoot::LocalMachine, kPortsKey)) {
        const std::u16string entry = std::u16string(kPortsKey) + u"\\" + sub;
        std::u16string name;
        if (!EntryPortName(entry, name) || name != portName) {
            continue;
        }
        std::u16string value;
        if (m_services.registry->ReadString(os::RegRoot::LocalMachine,
                                            entry + u"\\Device Parameters", u"TarID", value) &&
            !value.empty()) {
            id = value;
            return true;
        }
    }
    return false;
}

bool CEmulatorPort::IsEmulatorRouted(const EmulatorPortSettings& record, bool& routed) {
    routed = false;
    if (record.virtualPort.empty() ||
        !m_services.registry->KeyExists(os::RegRoot::LocalMachine, kPortsKey)) {
        return false;
    }
    for (const std::u16string& sub :
         m_services.registry->SubKeys(os::RegRoot::LocalMachine, kPortsKey)) {
        const std::u16string entry = std::u16string(kPortsKey) + u"\\" + sub;
        std::u16string name;
        if (!EntryPortName(entry, name) || name != record.virtualPort) {
            continue;
        }
        uint32_t mode = 0;
        if (m_services.registry->ReadDword(os::RegRoot::LocalMachine,
                                           entry + u"\\Device Parameters", u"TarDM", mode) ||
            m_services.registry->ReadDword(os::RegRoot::LocalMachine, entry, u"TarDM", mode)) {
            if (mode & kRoutingBit) {
                routed = true;
            }
        }
    }
    return true;
}

bool CEmulatorPort::QueryPortSetup(std::u16string& out, const std::u16string& portName,
                                   const EmulatorPortSettings& record) {
    std::unique_ptr<IPortCfgLib> library = m_services.portCfgLib();
    const std::u16string path =
        m_services.folders->ProgramFiles() + u"\\TARROW\\portcommunicationservice\\PortCfgLib.DLL";
    if (!library || !library->Load(path)) {
        return false;
    }
    int32_t kind = 0;
    constexpr int32_t kBufferBytes = 520;
    char16_t buffer[kBufferBytes / 2 + 1] = {};
    int32_t size = kBufferBytes;
    bool ok = library->GetNumber(portName, 0, kind) == 0 &&
              library->GetString(portName, 1, size, buffer) == 0;
    library->Unload();
    if (!ok) {
        return false;
    }
    const std::u16string text = SlotText(buffer, kBufferBytes / 2);
    if (kind == 3) {
        const comm::PortRecord* port = record.portRecord;
        out = ExtractUsbSerial(text, port ? SlotText(port->interfaceKeyword) : u"",
                               port ? SlotText(port->portName) : u"");
    } else {
        out = text;
    }
    return true;
}

bool CEmulatorPort::GetPortDriverVersion(int& version, std::u16string& installFolder) {
    const std::u16string key = std::u16string(kUninstallKey) + u"\\" + kPortDriverProductCode;
    for (os::RegRoot root : {os::RegRoot::LocalMachine, os::RegRoot::LocalMachine64}) {
        if (!m_services.registry->KeyExists(root, key)) {
            continue;
        }
        std::u16string text;
        const bool hasVersion = m_services.registry->ReadString(root, key, u"DisplayVersion", text);
        if (hasVersion) {
            version = LeadingVersion(text);
        }
        const bool hasFolder =
            m_services.registry->ReadString(root, key, u"InstallLocation", installFolder);
        return hasVersion || hasFolder;
    }
    return false;
}

bool CEmulatorPort::CanRoute(const EmulatorPortSettings& record) {
    if (record.connectorCapable) {
        return true;
    }
    int version = -1;
    std::u16string folder;
    return record.portRecord && GetPortDriverVersion(version, folder) &&
           version >= kMinDriverVersion && IsVirtualComPort(SlotText(record.portRecord->portName));
}

std::u16string CEmulatorPort::ViewerPath() {
    // The utility runs with administrator rights: the folder comes from the machine-wide
    // setting, never from the environment, which any program of the user can set.
    std::u16string programFiles;
    if (!m_services.registry->ReadString(os::RegRoot::LocalMachine64, kCurrentVersionKey,
                                         u"ProgramFilesDir", programFiles) ||
        !IsPlainFolderPath(programFiles)) {
        programFiles = m_services.folders->ProgramFiles();
    }
    while (!programFiles.empty() && programFiles.back() == u'\\') {
        programFiles.pop_back();
    }
    return programFiles + u"\\TARROW\\QKCommandEmulator\\JrnlView.exe";
}

bool CEmulatorPort::LaunchJournalViewer(EmulatorPortSettings& record, os::WindowId owner) {
    const std::u16string viewer = ViewerPath();
    if (!m_services.files->Exists(viewer)) {
        return false;
    }
    WriteEmulatorSection(record);
    if (Bound(record)) {
        record.binding->QKC_Close();
    }
    const bool ran = RunAndWait(viewer, record.section, owner);
    ReopenPrinterPort(record);
    return ran;
}

bool CEmulatorPort::WaitUntilReady(os::ProcessId process) {
    switch (m_services.processes->WaitUntilReady(process, kReadyLimitMs)) {
    case os::ReadyResult::Ready:
        return true;
    case os::ReadyResult::TimedOut:
        return false;
    case os::ReadyResult::Failed:
        break;
    }
    // The wait for input cannot be used: a window that answers counts as ready.
    const uint64_t start = m_services.clock->NowMs();
    const uint32_t id = m_services.processes->SystemId(process);
    for (;;) {
        const uint64_t passed = m_services.clock->NowMs() - start;
        if (passed >= kReadyLimitMs ||
            m_services.processes->Wait(process, 0) == os::WaitResult::Ended) {
            return false;
        }
        const std::vector<os::WindowId> windows = m_services.windows->VisibleTopLevelWindows(id);
        if (!windows.empty()) {
            return m_services.windows->Ping(windows.front(),
                                            static_cast<uint32_t>(kReadyLimitMs - passed)) ==
                   os::PingResult::Answered;
        }
        m_services.windows->YieldSlice();
    }
}

void CEmulatorPort::KeepViewerInFront(os::ProcessId process) {
    const std::vector<os::WindowId> windows =
        m_services.windows->VisibleTopLevelWindows(m_services.processes->SystemId(process));
    if (!windows.empty()) {
        m_services.windows->BringToForeground(windows.front());
    }
}

bool CEmulatorPort::RunAndWait(const std::u16string& program, const std::u16string& parameters,
                               os::WindowId owner) {
    os::IProcessWindows& windows = *m_services.windows;
    os::IProcessLauncher& processes = *m_services.processes;
    owner = windows.RootWindow(owner);
    os::ProcessId process = 0;
    if (windows.CanNameProcessIds()) {
        const bool wasEnabled = owner && windows.IsEnabled(owner);
        if (owner) {
            windows.Enable(owner, false);
        }
        process = processes.ShellOpenProcess(program, parameters, u"");
        if (wasEnabled) {
            windows.Enable(owner, true);
        }
    } else {
        // Quoted, so that a folder with blanks is not taken for a program of its own.
        process = processes.Start(program, parameters, u"");
    }
    if (!process) {
        return false;
    }
    if (!WaitUntilReady(process)) {
        processes.Close(process);
        return false;
    }
    // Only painting is served while the program runs; clicks on the utility's frame and the
    // utility taking the focus bring the program back to the front.
    while (processes.Wait(process, 0) == os::WaitResult::TimedOut) {
        const bool frameClick = windows.PumpPaintOnly(process, kPumpMs);
        if (frameClick || windows.HoldsKeyboardFocus()) {
            KeepViewerInFront(process);
        }
    }
    processes.Close(process);
    return true;
}

} // namespace qk::sys
