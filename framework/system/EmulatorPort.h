// The command emulator's side of a printer port: which section of the emulator's settings
// file describes the port, whether its journal and coupon functions are on, whether the port
// is routed through the emulator, routing it (by the communication library's port connector
// and a restart of the port services, or by the emulator's port tool), and running the
// journal viewer. The service restart, the port probe and the viewer run are classes of their
// own; every platform operation goes through the seams in SystemServices.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "framework/system/EmulatorPortSettings.h"
#include "framework/system/PortCfgLib.h"
#include "framework/system/PortProbe.h"
#include "framework/system/ServiceRestart.h"
#include "framework/system/ViewerRun.h"
#include "platform/os/OsServices.h"

namespace qk::sys {

// The OS services the operations use and the configuration library's maker; the defaults
// are the real ones.
struct SystemServices : os::OsServices {
    std::function<std::unique_ptr<IPortCfgLib>()> portCfgLib = MakeRealPortCfgLib;
};

inline constexpr char16_t kUtilityName[] = u"QK40Utl";
inline constexpr char16_t kDefaultModel[] = u"QK-R40";

class CEmulatorPort {
public:
    static constexpr uint32_t kPollMs = 500;
    static constexpr uint32_t kPortToolLimitMs = 60000;
    static constexpr int kOpenAttempts = 10;
    static constexpr uint32_t kStateEventLimitMs = CServiceRestart::kStateEventLimitMs;
    static constexpr int kMinDriverVersion = 8;

    explicit CEmulatorPort(const SystemServices& services = {});

    // A fresh record with its paths (the folders are made when missing), paper width 80 and
    // 203 dots per inch.
    EmulatorPortSettings NewSettings();
    bool SetupEmulatorPort(EmulatorPortSettings& record, comm::QkcBinding* binding,
                           const std::u16string& printerName, comm::PortRecord* port,
                           int32_t paperSizeCode, int32_t resolution);
    bool ReadEmulatorFlags(EmulatorPortSettings& record);
    bool WriteEmulatorSection(const EmulatorPortSettings& record);
    bool WriteFontSettings(int32_t codeTable, const EmulatorPortSettings& record,
                           const std::u16string& fontType, int32_t charSet);
    // Switches the journal: the section is written, then the port routed, unrouted or the
    // emulator reloaded. True when the machine now holds the wanted state; otherwise the
    // section is put back as it was and the record's flags follow it.
    bool ApplyJournalEnable(EmulatorPortSettings& record, bool wanted);
    bool ConnectEmulatorPort(EmulatorPortSettings& record);
    bool DisconnectEmulatorPort(EmulatorPortSettings& record);
    bool ReloadEmulator(EmulatorPortSettings& record);
    bool RestartPortService(int32_t connectorValue, EmulatorPortSettings& record);
    bool ReopenPrinterPort(EmulatorPortSettings& record);
    bool EnsureServiceState(int32_t target, const std::u16string& name);
    bool IsVirtualComPort(const std::u16string& portName);
    bool FindPortDeviceId(const std::u16string& portName, std::u16string& id);
    bool IsEmulatorRouted(const EmulatorPortSettings& record, bool& routed);
    bool QueryPortSetup(std::u16string& out, const std::u16string& portName,
                        const EmulatorPortSettings& record);
    bool GetPortDriverVersion(int& version, std::u16string& installFolder);
    bool LaunchJournalViewer(EmulatorPortSettings& record, os::WindowId owner);
    bool RunAndWait(const std::u16string& program, const std::u16string& parameters,
                    os::WindowId owner);
    // Whether the port can be routed through the emulator at all: connector-capable, or a
    // virtual COM/LPT port with the virtual port driver of version 8 or later.
    bool CanRoute(const EmulatorPortSettings& record);

    // The viewer's path: the machine's native program files folder (its registry setting in
    // the 64-bit view), or the platform's, then "TARROW\QKCommandEmulator\JrnlView.exe".
    std::u16string ViewerPath();

private:
    // Closes the port, runs the port tool (bounded) and opens the port again.
    bool RouteByTool(EmulatorPortSettings& record, const std::u16string& arguments,
                     bool closeMustSucceed);
    bool CloseLibrary(const EmulatorPortSettings& record);
    CServiceRestart Restart() const { return CServiceRestart(m_services); }
    CPortProbe Probe() const { return CPortProbe(m_services); }
    CViewerRun Viewer() const { return CViewerRun(m_services); }
    bool WriteKey(const EmulatorPortSettings& record, const char16_t* key,
                  const std::u16string& value);
    // The section's keys as they stand, none for a missing one.
    using SectionKeys = std::vector<std::optional<std::u16string>>;
    SectionKeys ReadSectionKeys(const EmulatorPortSettings& record);
    void RestoreSectionKeys(const EmulatorPortSettings& record, const SectionKeys& keys);
    // Whether the port is routed through the emulator now; none when it cannot be asked.
    std::optional<bool> RoutedNow(const EmulatorPortSettings& record);
    // The routing step of a journal switch; true when the port ends as wanted.
    bool RouteForJournal(EmulatorPortSettings& record, bool wanted);

    SystemServices m_services;
};

} // namespace qk::sys
