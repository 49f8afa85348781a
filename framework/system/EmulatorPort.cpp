#include "framework/system/EmulatorPort.h"
#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>
#include "framework/comm/QkcBinding.h"
#include "framework/context/TextSlot.h"
#include "framework/lang/FilledText.h"
#include "framework/system/PortNameRules.h"

namespace qk::sys {
namespace {

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
                                     Decimal(record.paperWidth),
                                     Decimal(record.dpi)};
    static_assert(sizeof values / sizeof values[0] == std::size(kSectionKeys));
    bool ok = true;
    for (size_t i = 0; i < std::size(kSectionKeys); ++i) {
        ok = WriteKey(record, kSectionKeys[i], values[i]) && ok;
    }
    return ok;
}

bool CEmulatorPort::WriteFontSettings(int32_t codeTable, const EmulatorPortSettings& record,
                                      const std::u16string& fontType, int32_t charSet) {
    WriteKey(record, u"CodeTable", Decimal(codeTable));
    WriteKey(record, u"CharSet", Decimal(charSet));
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

bool CEmulatorPort::RestartPortService(int32_t connectorValue, EmulatorPortSettings& record) {
    if (!Bound(record) || record.binding->QKC_SetPortConnector(connectorValue) != 0 ||
        record.binding->QKC_Close() != 0) {
        return false;
    }
    Restart().RestartPortServices(record.stateEvent);
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

bool CEmulatorPort::EnsureServiceState(int32_t target, const std::u16string& name) {
    return Restart().EnsureServiceState(target, name);
}

bool CEmulatorPort::IsVirtualComPort(const std::u16string& portName) {
    return Probe().IsVirtualComPort(portName);
}

bool CEmulatorPort::FindPortDeviceId(const std::u16string& portName, std::u16string& id) {
    return Probe().FindPortDeviceId(portName, id);
}

bool CEmulatorPort::IsEmulatorRouted(const EmulatorPortSettings& record, bool& routed) {
    return Probe().IsEmulatorRouted(record.virtualPort, routed);
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
    return Probe().GetPortDriverVersion(version, installFolder);
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
    return Viewer().ViewerPath();
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

bool CEmulatorPort::RunAndWait(const std::u16string& program, const std::u16string& parameters,
                               os::WindowId owner) {
    return Viewer().RunAndWait(program, parameters, owner);
}

} // namespace qk::sys
