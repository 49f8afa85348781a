// The command emulator's port operations against fakes of every seam: the communication
// library is the scripted fake, services, events, programs, windows, registry and files
// are in memory, and every time limit runs on the fake clock.
#include <gtest/gtest.h>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "framework/comm/QkcBinding.h"
#include "framework/system/EmulatorPort.h"
#include "framework/system/PortNameRules.h"
#include "framework/system/PortProbe.h"
#include "framework/system/ServiceRestart.h"
#include "tests/support/fakes/FakeClock.h"
#include "tests/support/fakes/FakeCommLibrary.h"
#include "tests/support/fakes/FakeKnownFolders.h"
#include "tests/support/fakes/FakeNamedEvents.h"
#include "tests/support/fakes/FakePortCfgLib.h"
#include "tests/support/fakes/FakeProcessLauncher.h"
#include "tests/support/fakes/FakeProcessWindows.h"
#include "tests/support/fakes/FakeProfile.h"
#include "tests/support/fakes/FakeRegistry.h"
#include "tests/support/fakes/FakeServiceControl.h"

namespace qk::test {
namespace {

using os::ServiceState;
using sys::CEmulatorPort;
using sys::EmulatorPortSettings;

std::string Narrow(const std::u16string& s) {
    return std::string(s.begin(), s.end());
}

// A profile that fails the writes of chosen keys and records every key written.
class RecordingProfile : public FakeProfile {
public:
    using FakeProfile::FakeProfile;
    std::set<std::u16string> failing;
    std::vector<std::u16string> written;
    bool WriteString(const std::u16string& file, const std::u16string& section,
                     const std::u16string& key, const std::u16string& value) override {
        written.push_back(key);
        return !failing.count(key) && FakeProfile::WriteString(file, section, key, value);
    }
};

const std::u16string kIni = u"C:\\ProgramData\\TARROW\\QKCommandEmulator\\CMDSETParser.ini";
const std::u16string kTool = u"C:\\Program Files\\TARROW\\QKCOMUSB\\TarrowPA.exe";
const std::u16string kPorts = u"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
const std::u16string kViewer = u"C:\\Program Files\\TARROW\\QKCommandEmulator\\JrnlView.exe";

class EmulatorPortTest : public ::testing::Test {
protected:
    EmulatorPortTest() {
        // A loaded library whose entry points answer 0 unless scripted.
        lib.MarkLoaded();
        lib.unscriptedResult = 0;
        std::memset(&port, 0, sizeof port);
        files.AddFolder(u"C:\\ProgramData");
        services.AddService(u"spooler", ServiceState::Running, 2);
        services.AddService(u"TARROW_Port_Communication_Service", ServiceState::Running, 2);
        services_.profile = &profile;
        services_.files = &files;
        services_.folders = &folders;
        services_.registry = &registry;
        services_.services = &services;
        services_.events = &events;
        services_.processes = &processes;
        services_.windows = &windows;
        services_.clock = &clock;
        services_.portCfgLib = portCfg.Factory();
    }

    void SetPort(const std::u16string& kind, const std::u16string& name) {
        kind.copy(port.interfaceKeyword, comm::kPortTextChars - 1);
        name.copy(port.portName, comm::kPortTextChars - 1);
    }
    void MakeConnectorPort(const std::u16string& devicePath) {
        SetPort(u"NET", u"192.168.0.20");
        port.connectorFlag = 1;
        port.origin = 3;
        devicePath.copy(port.devicePath, comm::kPortTextChars - 1);
    }
    // A virtual COM port known to the port list under the given id.
    void AddVirtualPort(const std::u16string& name, const std::u16string& id, uint32_t mode) {
        files.AddDosDevice(name, {u"\\Device\\TarVCom0"});
        const std::u16string entry = kPorts + u"\\0000";
        registry.SetString(os::RegRoot::LocalMachine, entry + u"\\Device Parameters", u"PortName",
                           name);
        registry.SetString(os::RegRoot::LocalMachine, entry + u"\\Device Parameters", u"TarID", id);
        registry.SetDword(os::RegRoot::LocalMachine, entry + u"\\Device Parameters", u"TarDM",
                          mode);
    }
    void SetSection(const std::u16string& section, const std::u16string& keys) {
        profile.SetFileText(kIni, u"[" + section + u"]\r\n" + keys);
    }
    bool Setup(EmulatorPortSettings& record, int32_t paperCode = 6) {
        record = Emulator().NewSettings();
        return Emulator().SetupEmulatorPort(record, &binding, u"QK-R40", &port, paperCode, 0);
    }
    CEmulatorPort Emulator() { return CEmulatorPort(services_); }
    std::u16string Key(const std::u16string& section, const std::u16string& key) {
        return profile.GetString(kIni, section, key, u"<none>");
    }
    std::vector<std::u16string> ToolRuns() const {
        std::vector<std::u16string> runs;
        for (const auto& launch : processes.Launches())
            runs.push_back(launch.commandLine);
        return runs;
    }

    FakeCommLibrary lib;
    comm::QkcBinding& binding = *lib.Binding();
    comm::PortRecord port;
    FakeClock clock;
    FakeFileSystem files;
    RecordingProfile profile{files};
    FakeKnownFolders folders;
    FakeRegistry registry;
    FakeServiceControl services;
    FakeNamedEvents events{&clock};
    FakeProcessLauncher processes{&clock};
    FakeProcessWindows windows{&processes, &clock};
    FakePortCfgLibState portCfg;
    sys::SystemServices services_;
};

TEST(PortNameRules, DevicePathsAndVersions) {
    using sys::ExtractUsbSerial;
    EXPECT_EQ(Narrow(ExtractUsbSerial(u"\\\\?\\usb#vid_1#SN0042#{guid}", u"USB", u"USB001")),
              "SN0042");
    EXPECT_EQ(Narrow(ExtractUsbSerial(u"\\\\?\\usb#vid_1#a#b#{guid}", u"USB", u"USB001")), "a#b");
    // Only two '#': the interface name and the port name.
    EXPECT_EQ(Narrow(ExtractUsbSerial(u"\\\\?\\usb#vid_1#SN0042", u"USB", u"USB001")), "USBUSB001");
    EXPECT_TRUE(sys::IsTcpDevicePath(u"TCP://192.168.0.20:9100"));
    EXPECT_FALSE(sys::IsTcpDevicePath(u"pipe://qk/RSDPRT1"));
    EXPECT_FALSE(sys::IsTcpDevicePath(std::u16string(260, u'x') + u"tcp://"));

    std::u16string out = u"kept";
    EXPECT_TRUE(sys::ExtractRsdprtName(u"\"PIPE://QK/RSDPRT12/PRINTER\"", out));
    EXPECT_EQ(Narrow(out), "RSDPRT12");
    out = u"kept";
    EXPECT_TRUE(sys::ExtractRsdprtName(u"pipe://qk/other", out));
    EXPECT_EQ(Narrow(out), "kept");
    EXPECT_FALSE(sys::ExtractRsdprtName(std::u16string(100, u'p'), out));
    EXPECT_EQ(out.size(), 64u);

    EXPECT_EQ(sys::LeadingVersion(u"8.2.1"), 8);
    EXPECT_EQ(sys::LeadingVersion(u"12"), 12);
    EXPECT_EQ(sys::LeadingVersion(u"v8"), -1);
}

TEST_F(EmulatorPortTest, SectionFollowsTheInterfaceKind) {
    struct Row {
        const char16_t* kind;
        const char16_t* name;
        const char16_t* usbPath;
        const char16_t* label;
        const char* section;
        const char* emulatorPort;
    } rows[] = {
        {u"USB", u"USB001", u"\\\\?\\usb#vid_1#SN77#{g}", u"", "SN77", "\\\\?\\usb#vid_1#SN77#{g}"},
        {u"USB", u"USB001", u"\\\\?\\usb#vid_1#SN77", u"", "USBUSB001", "\\\\?\\usb#vid_1#SN77"},
        {u"USB", u"USB001", u"\\\\?\\usb#vid_1#SN77#{g}", u"Front", "Front",
         "\\\\?\\usb#vid_1#SN77#{g}"},
        {u"NET", u"192.168.0.20", u"", u"", "192.168.0.20", "192.168.0.20"},
        {u"COM", u"COM1", u"", u"", "COM1", "COM1"},
    };
    files.AddDosDevice(u"COM1", {u"\\Device\\Serial0"});
    for (const Row& row : rows) {
        std::memset(&port, 0, sizeof port);
        SetPort(row.kind, row.name);
        std::u16string(row.usbPath).copy(port.deviceId, comm::kPortTextChars - 1);
        std::u16string(row.label).copy(port.usbPortLabel, comm::kPortTextChars - 1);
        EmulatorPortSettings record;
        ASSERT_TRUE(Setup(record)) << row.section;
        EXPECT_EQ(Narrow(record.section), row.section);
        EXPECT_EQ(Narrow(record.emulatorPort), row.emulatorPort) << row.section;
        EXPECT_TRUE(record.virtualPort.empty()) << row.section;
        EXPECT_FALSE(record.connectorCapable) << row.section;
    }
}

TEST_F(EmulatorPortTest, VirtualPortsAreNamedByTheirIdAndTheConfigurationLibrary) {
    SetPort(u"COM", u"COM7");
    AddVirtualPort(u"COM7", u"RSDPRT3", 0);
    portCfg.ports[u"RSDPRT3"] = {0, 3, 0, u"\\\\?\\usb#vid_1#SN9#{g}"};
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(Narrow(record.section), "SN9");
    EXPECT_EQ(Narrow(record.emulatorPort), "RSDPRT3");
    EXPECT_EQ(Narrow(record.virtualPort), "COM7");
    EXPECT_EQ(Narrow(portCfg.loadedPath),
              "C:\\Program Files\\TARROW\\portcommunicationservice\\PortCfgLib.DLL");
    EXPECT_EQ(portCfg.loads, portCfg.unloads);

    // The library's failure keeps the id as the section and still unloads it.
    portCfg.ports[u"RSDPRT3"].stringAnswer = 5;
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(Narrow(record.section), "RSDPRT3");
    EXPECT_EQ(portCfg.loads, 2);
    EXPECT_EQ(portCfg.unloads, 2);

    // Ids not of the rsdprt kind (case counts) never ask the library.
    AddVirtualPort(u"COM7", u"rsdprt3", 0);
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(Narrow(record.section), "rsdprt3");
    EXPECT_EQ(portCfg.loads, 2);
}

TEST_F(EmulatorPortTest, RealAndVirtualPortsByTheirDeviceTargets) {
    files.AddDosDevice(u"COM3", {u"\\Device\\Serial2"});
    files.AddDosDevice(u"COM5", {u"\\Device\\TarVCom0"});
    files.AddDosDevice(u"LPT1", {u"\\Device\\Parallel0"});
    files.AddDosDevice(u"LPT2", {u"\\Device\\Serial9"});
    CEmulatorPort emulator = Emulator();
    EXPECT_FALSE(emulator.IsVirtualComPort(u"COM3"));
    EXPECT_TRUE(emulator.IsVirtualComPort(u"COM5"));
    EXPECT_FALSE(emulator.IsVirtualComPort(u"LPT1"));
    EXPECT_TRUE(emulator.IsVirtualComPort(u"LPT2")); // a serial driver is no parallel port
    EXPECT_TRUE(emulator.IsVirtualComPort(u"COM9")); // no target at all
    EXPECT_FALSE(emulator.IsVirtualComPort(u"USB001"));

    // A real serial port is neither routable nor given an emulator id.
    SetPort(u"COM", u"COM3");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    EXPECT_FALSE(emulator.CanRoute(record));
    EXPECT_TRUE(record.virtualPort.empty());
}

TEST_F(EmulatorPortTest, SetupRefusesMissingArgumentsAndTcpPathsOfConnectorPorts) {
    CEmulatorPort emulator = Emulator();
    EmulatorPortSettings record = emulator.NewSettings();
    EXPECT_FALSE(emulator.SetupEmulatorPort(record, nullptr, u"QK-R40", &port, 0, 0));
    EXPECT_FALSE(emulator.SetupEmulatorPort(record, &binding, u"", &port, 0, 0));
    EXPECT_FALSE(emulator.SetupEmulatorPort(record, &binding, u"QK-R40", nullptr, 0, 0));
    MakeConnectorPort(u"Tcp://192.168.0.20:9100");
    EXPECT_FALSE(emulator.SetupEmulatorPort(record, &binding, u"QK-R40", &port, 0, 0));
    MakeConnectorPort(u"pipe://qk/RSDPRT1");
    port.origin = 2; // service level too low for the connector
    ASSERT_TRUE(Setup(record, 2));
    EXPECT_FALSE(record.connectorCapable);
    EXPECT_EQ(record.paperWidth, 58);
    EXPECT_EQ(record.dpi, 203);
    EXPECT_EQ(Narrow(record.utilityName), "QK40Utl");
    EXPECT_TRUE(files.IsDirectory(u"C:\\ProgramData\\TARROW\\QK40Utl"));
    EXPECT_EQ(Narrow(record.couponIniPath), "C:\\ProgramData\\TARROW\\QK40Utl\\QKUCOUPON.INI");
    EXPECT_EQ(Narrow(record.portToolPath), Narrow(kTool));
}

TEST_F(EmulatorPortTest, AnotherModelsSectionReadsAsOff) {
    SetPort(u"NET", u"192.168.0.20");
    SetSection(u"192.168.0.20", u"Model=QK-R41\r\nJournalEnable=1\r\nCouponEnable=1\r\n");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    EXPECT_FALSE(record.journalEnabled);
    EXPECT_FALSE(record.couponEnabled);
    SetSection(u"192.168.0.20", u"JournalEnable=1\r\nCouponEnable=0\r\n"); // no model: ours
    ASSERT_TRUE(Setup(record));
    EXPECT_TRUE(record.journalEnabled);
    EXPECT_FALSE(record.couponEnabled);
}

TEST_F(EmulatorPortTest, SetupRoutesAnUnroutedPortWhoseJournalIsOn) {
    SetPort(u"COM", u"COM7");
    AddVirtualPort(u"COM7", u"VP7", 0);
    SetSection(u"VP7", u"Model=QK-R40\r\nJournalEnable=1\r\n");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(ToolRuns(), std::vector<std::u16string>{u"\"" + kTool + u"\" -RE1:COM7"});

    // Already routed (bit 24 of the mode): nothing runs.
    AddVirtualPort(u"COM7", u"VP7", 0x1000001);
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(ToolRuns().size(), 1u);

    // A connector port whose connector question fails is left alone.
    MakeConnectorPort(u"pipe://qk/RSDPRT1");
    SetSection(u"192.168.0.20", u"JournalEnable=1\r\n");
    lib.connectorQueryResult = 7;
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(services.CountOf(FakeServiceControl::Call::Stop, u"spooler"), 0);
    lib.connectorQueryResult = 0;
    ASSERT_TRUE(Setup(record));
    EXPECT_EQ(services.CountOf(FakeServiceControl::Call::Stop, u"spooler"), 1);
}

TEST_F(EmulatorPortTest, SectionKeysAreAllWrittenEvenAfterAFailure) {
    MakeConnectorPort(u"\"PIPE://QK/RSDPRT12/PRINTER\"");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    record.journalEnabled = true;
    profile.failing = {u"Utility"};
    profile.written.clear();
    EXPECT_FALSE(Emulator().WriteEmulatorSection(record));
    const std::vector<std::u16string> order = {
        u"Model", u"Utility", u"Port", u"JournalEnable", u"CouponEnable", u"PaperWidth", u"DPI"};
    EXPECT_EQ(profile.written, order);
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"Port")), "RSDPRT12");
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"JournalEnable")), "1");
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"DPI")), "203");
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"Utility")), "<none>");

    profile.failing = {u"CharSet"};
    profile.written.clear();
    EXPECT_TRUE(Emulator().WriteFontSettings(16, record, u"Font A", 255));
    EXPECT_EQ(profile.written,
              (std::vector<std::u16string>{u"CodeTable", u"CharSet", u"FontType"}));
}

TEST_F(EmulatorPortTest, JournalSwitchRoutesOrOnlyReloadsWhenCouponsAreOn) {
    SetPort(u"COM", u"COM7");
    AddVirtualPort(u"COM7", u"VP7", 0x1000000);
    SetSection(u"VP7", u"Model=QK-R40\r\nJournalEnable=1\r\nCouponEnable=0\r\n");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    Emulator().ApplyJournalEnable(record, false);
    EXPECT_EQ(ToolRuns(), std::vector<std::u16string>{u"\"" + kTool + u"\" -RE0:COM7"});
    EXPECT_EQ(Narrow(Key(u"VP7", u"JournalEnable")), "0");
    EXPECT_EQ(Narrow(Key(u"VP7", u"Port")), "COM7");

    SetSection(u"VP7", u"Model=QK-R40\r\nJournalEnable=1\r\nCouponEnable=1\r\n");
    ASSERT_TRUE(Setup(record));
    Emulator().ApplyJournalEnable(record, false);
    EXPECT_EQ(ToolRuns().back(), u"\"" + kTool + u"\" -Reload");
    Emulator().ApplyJournalEnable(record, false); // already off: nothing happens
    EXPECT_EQ(ToolRuns().size(), 2u);

    // A failed write of the section routes nothing.
    profile.failing = {u"DPI"};
    Emulator().ApplyJournalEnable(record, true);
    EXPECT_EQ(ToolRuns().size(), 2u);
}

// A switch the machine does not take whole leaves the section as it was, and the record's
// flag with it, so that the page shows what the port is.
TEST_F(EmulatorPortTest, AJournalSwitchThatFailsHalfWayIsUndone) {
    SetPort(u"COM", u"COM7");
    AddVirtualPort(u"COM7", u"VP7", 0);
    const std::u16string before = u"Model=QK-R40\r\nJournalEnable=0\r\nCouponEnable=0\r\n";
    SetSection(u"VP7", before);
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));

    // A section write failing after the journal flag was written.
    profile.failing = {u"PaperWidth"};
    EXPECT_FALSE(Emulator().ApplyJournalEnable(record, true));
    EXPECT_FALSE(record.journalEnabled);
    EXPECT_EQ(Narrow(Key(u"VP7", u"JournalEnable")), "0");
    EXPECT_EQ(Narrow(Key(u"VP7", u"Port")), "<none>") << "a key that was missing is removed";
    EXPECT_EQ(Narrow(Key(u"VP7", u"DPI")), "<none>");
    EXPECT_TRUE(ToolRuns().empty());

    // The section written, but the port could not be routed: the library would not close.
    profile.failing.clear();
    lib.closeResult = 5;
    EXPECT_FALSE(Emulator().ApplyJournalEnable(record, true));
    EXPECT_FALSE(record.journalEnabled);
    EXPECT_EQ(Narrow(Key(u"VP7", u"JournalEnable")), "0");
    EXPECT_EQ(Narrow(Key(u"VP7", u"Utility")), "<none>");

    // The port tool ran but the port stayed unrouted, and the port did not open again.
    lib.closeResult = 0;
    lib.openFailures = 100;
    EXPECT_FALSE(Emulator().ApplyJournalEnable(record, true));
    EXPECT_EQ(ToolRuns(), std::vector<std::u16string>{u"\"" + kTool + u"\" -RE1:COM7"});
    EXPECT_EQ(Narrow(Key(u"VP7", u"JournalEnable")), "0");
    EXPECT_FALSE(record.journalEnabled);

    // The port tool could not be started: nothing was routed, though the port opens again.
    lib.openFailures = 0;
    lib.ClearCalls();
    processes.SetProgram(u"TarrowPA.exe", {.starts = false});
    EXPECT_FALSE(Emulator().ApplyJournalEnable(record, true));
    EXPECT_EQ(ToolRuns().size(), 2u) << "a start was tried";
    EXPECT_EQ(Narrow(Key(u"VP7", u"JournalEnable")), "0");
    EXPECT_FALSE(record.journalEnabled);
    EXPECT_EQ(lib.Calls().back(), "Initialize");
    processes.SetProgram(u"TarrowPA.exe", {});

    // Routed by the tool with only the reopening failing: the journal is on, as the port is.
    lib.openFailures = 100;
    registry.SetDword(os::RegRoot::LocalMachine, kPorts + u"\\0000\\Device Parameters", u"TarDM",
                      0x1000000);
    EXPECT_TRUE(Emulator().ApplyJournalEnable(record, true));
    EXPECT_TRUE(record.journalEnabled);
    EXPECT_EQ(Narrow(Key(u"VP7", u"JournalEnable")), "1");
}

TEST_F(EmulatorPortTest, AConnectorPortThatCannotBeUnroutedKeepsItsJournalOn) {
    MakeConnectorPort(u"pipe://qk/RSDPRT1");
    SetSection(u"192.168.0.20", u"Model=QK-R40\r\nJournalEnable=1\r\n");
    lib.connectorFlag = 1;
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    ASSERT_TRUE(record.journalEnabled);
    lib.connectorResult = 3; // the connector refuses the change
    EXPECT_FALSE(Emulator().ApplyJournalEnable(record, false));
    EXPECT_TRUE(record.journalEnabled);
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"JournalEnable")), "1");
}

TEST_F(EmulatorPortTest, ConnectorPortsSwitchByTheServicesAndReloadWithoutThem) {
    MakeConnectorPort(u"pipe://qk/RSDPRT1");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    ASSERT_TRUE(record.connectorCapable);
    EXPECT_TRUE(Emulator().ConnectEmulatorPort(record));
    EXPECT_EQ(lib.Calls().front(), "SetPortConnector(1)");
    record.journalEnabled = true;
    record.couponEnabled = true;
    lib.ClearCalls();
    Emulator().ApplyJournalEnable(record, false);
    EXPECT_EQ(lib.Calls(),
              (std::vector<std::string>{"Close", "SetPort", "GetPort", "Open(0)", "Initialize"}));
    EXPECT_TRUE(processes.Launches().empty());
}

TEST_F(EmulatorPortTest, ServiceRestartStopsAndStartsThroughPendingStates) {
    MakeConnectorPort(u"pipe://qk/RSDPRT1");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    services.Find(u"TARROW_Port_Communication_Service")->afterStart = ServiceState::Stopped;
    // The port service falls back to stopped once and is started again.
    EXPECT_TRUE(Emulator().RestartPortService(0, record));
    EXPECT_EQ(lib.Calls().front(), "SetPortConnector(0)");
    EXPECT_EQ(lib.Calls().back(), "Initialize");
    EXPECT_EQ(services.Find(u"spooler")->state, ServiceState::Running);
    EXPECT_GE(
        services.CountOf(FakeServiceControl::Call::Start, u"TARROW_Port_Communication_Service"), 2);
    EXPECT_TRUE(events.Calls().empty()); // the spooler stopped: no event needed
    // The spooler started only after the port service's restart.
    std::vector<std::string> order;
    for (const auto& call : services.Calls())
        if (call.kind != FakeServiceControl::Call::Query)
            order.push_back(Narrow(call.name) +
                            (call.kind == FakeServiceControl::Call::Stop ? "-" : "+"));
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order.front(), "spooler-");
    EXPECT_EQ(order[1], "TARROW_Port_Communication_Service-");
    EXPECT_EQ(order.back(), "spooler+");
}

TEST_F(EmulatorPortTest, StateEventIsTakenWhenTheSpoolerWillNotStopAndAlwaysReleased) {
    MakeConnectorPort(u"pipe://qk/RSDPRT1");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    services.Find(u"spooler")->refuseStop = true;
    EXPECT_TRUE(Emulator().RestartPortService(1, record));
    const FakeNamedEvents::Event* event = events.Find(u"Global\\PCService.StateEvent");
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(event->signalled);
    EXPECT_EQ(events.OpenHandles(), 0);
    EXPECT_EQ(record.stateEvent, 0u);
    EXPECT_EQ(
        services.CountOf(FakeServiceControl::Call::Stop, u"TARROW_Port_Communication_Service"), 0);

    // Held by the port service, which lets the spooler go when it sets the event after three
    // seconds: the second try stops the spooler and both services are restarted.
    FakeServiceControl::Service& spooler = *services.Find(u"spooler");
    events.HeldElsewhere(u"Global\\PCService.StateEvent", 3000,
                         [&spooler] { spooler.refuseStop = false; });
    const size_t callsBefore = services.Calls().size();
    EXPECT_TRUE(Emulator().RestartPortService(1, record));
    EXPECT_EQ(events.Calls().back().kind, FakeNamedEvents::Kind::Close);
    EXPECT_EQ(events.OpenHandles(), 0);
    EXPECT_EQ(spooler.state, ServiceState::Running);
    // Requests in order, repeats of one request folded.
    std::vector<std::string> requests;
    for (size_t i = callsBefore; i < services.Calls().size(); ++i) {
        const auto& call = services.Calls()[i];
        if (call.kind == FakeServiceControl::Call::Query)
            continue;
        const std::string request =
            Narrow(call.name) + (call.kind == FakeServiceControl::Call::Stop ? "-" : "+");
        if (requests.empty() || requests.back() != request)
            requests.push_back(request);
    }
    EXPECT_EQ(requests,
              (std::vector<std::string>{"spooler-", "TARROW_Port_Communication_Service-",
                                        "TARROW_Port_Communication_Service+", "spooler+"}));
    EXPECT_EQ(events.Calls()[events.Calls().size() - 3].timeoutMs,
              CEmulatorPort::kStateEventLimitMs);

    // Held for ever: the wait ends at its limit and only the port is reopened.
    events.HeldElsewhere(u"Global\\PCService.StateEvent", -1);
    services.Find(u"spooler")->state = ServiceState::Running;
    services.Find(u"spooler")->refuseStop = true;
    const uint64_t before = clock.NowMs();
    const int starts = services.CountOf(FakeServiceControl::Call::Start, u"spooler");
    lib.ClearCalls();
    EXPECT_TRUE(Emulator().RestartPortService(1, record));
    EXPECT_LE(clock.NowMs() - before, 20000u + 500u + CEmulatorPort::kStateEventLimitMs);
    EXPECT_EQ(services.CountOf(FakeServiceControl::Call::Start, u"spooler"), starts);
    EXPECT_EQ(lib.Calls().back(), "Initialize");
    EXPECT_EQ(events.OpenHandles(), 0);
}

TEST_F(EmulatorPortTest, ServiceStatesAreReachedWithinTwentySeconds) {
    CEmulatorPort emulator = Emulator();
    EXPECT_TRUE(emulator.EnsureServiceState(sys::kServiceStopped, u"spooler"));
    EXPECT_EQ(services.Find(u"spooler")->state, ServiceState::Stopped);
    EXPECT_TRUE(emulator.EnsureServiceState(sys::kServiceStopped, u"spooler")); // already
    EXPECT_TRUE(emulator.EnsureServiceState(sys::kServiceRunning, u"spooler"));
    EXPECT_FALSE(emulator.EnsureServiceState(2, u"spooler"));
    EXPECT_FALSE(emulator.EnsureServiceState(sys::kServiceRunning, u"QkMissing"));

    // Stuck in stop pending: false after twenty seconds of 500 ms polls.
    services.AddService(u"slow", ServiceState::Running, 1000);
    const uint64_t start = clock.NowMs();
    EXPECT_FALSE(emulator.EnsureServiceState(sys::kServiceStopped, u"slow"));
    EXPECT_GT(clock.NowMs() - start, 20000u);
    EXPECT_LE(clock.NowMs() - start, 20500u);
    for (uint32_t sleep : clock.Sleeps())
        EXPECT_EQ(sleep, 500u);

    // Back to running after a stop: another stop control, then it stays stopped.
    FakeServiceControl::Service& bouncing = services.AddService(u"bouncing", ServiceState::Running);
    bouncing.afterStop = ServiceState::Running;
    EXPECT_FALSE(emulator.EnsureServiceState(sys::kServiceStopped, u"bouncing"));
    EXPECT_GE(services.CountOf(FakeServiceControl::Call::Stop, u"bouncing"), 30);

    // A service that is paused is in no state this operation knows.
    services.AddService(u"paused", ServiceState::Other);
    EXPECT_FALSE(emulator.EnsureServiceState(sys::kServiceStopped, u"paused"));
}

// The port service's restart also waits for a service that is starting already; bringing a
// service to a state starts only from the opposite state, and neither waits for one stopping.
TEST_F(EmulatorPortTest, OnlyTheRestartWaitsForAServiceAlreadyStarting) {
    sys::CServiceRestart restart(services_);
    FakeServiceControl::Service& starting =
        services.AddService(u"starting", ServiceState::StartPending);
    starting.countdown = 3;
    EXPECT_FALSE(restart.EnsureServiceState(sys::kServiceRunning, u"starting"));
    EXPECT_TRUE(restart.StartAndWait(u"starting"));
    EXPECT_EQ(starting.state, ServiceState::Running);
    EXPECT_EQ(services.CountOf(FakeServiceControl::Call::Start, u"starting"), 0);

    FakeServiceControl::Service& stopping =
        services.AddService(u"stopping", ServiceState::StopPending);
    stopping.countdown = 3;
    EXPECT_FALSE(restart.StartAndWait(u"stopping"));
    EXPECT_EQ(services.CountOf(FakeServiceControl::Call::Start, u"stopping"), 0);
    EXPECT_TRUE(restart.StartAndWait(u"spooler")) << "running already";
}

// Entries of one port name, in the port list's order: the first with a non-empty id gives it,
// and any routed entry makes the port routed; "Device Parameters" names an entry first.
TEST_F(EmulatorPortTest, PortListEntriesOfOneNameAreAllSeen) {
    sys::CPortProbe probe(services_);
    std::u16string id = u"kept";
    bool routed = true;
    EXPECT_FALSE(probe.FindPortDeviceId(u"COM8", id));
    EXPECT_FALSE(probe.IsEmulatorRouted(u"COM8", routed)) << "no port list";
    EXPECT_FALSE(routed);
    EXPECT_EQ(Narrow(id), "kept");

    const auto set = [&](const char16_t* sub, const char16_t* name, const char16_t* tarId,
                         uint32_t mode) {
        const std::u16string parameters = kPorts + u"\\" + sub + u"\\Device Parameters";
        registry.SetString(os::RegRoot::LocalMachine, parameters, u"PortName", name);
        registry.SetString(os::RegRoot::LocalMachine, parameters, u"TarID", tarId);
        registry.SetDword(os::RegRoot::LocalMachine, parameters, u"TarDM", mode);
    };
    set(u"0001", u"COM8", u"", 0x1000000);
    set(u"0002", u"COM8", u"VP8", 0);
    set(u"0003", u"COM8", u"VP9", 0);
    set(u"0004", u"COM9", u"VPX", 0x1000000);
    registry.SetString(os::RegRoot::LocalMachine, kPorts + u"\\0004", u"PortName", u"COM8");
    EXPECT_TRUE(probe.FindPortDeviceId(u"COM8", id));
    EXPECT_EQ(Narrow(id), "VP8");
    EXPECT_TRUE(probe.IsEmulatorRouted(u"COM8", routed));
    EXPECT_TRUE(routed) << "the first entry is routed, the later ones are not";

    set(u"0001", u"COM8", u"", 0);
    EXPECT_TRUE(probe.IsEmulatorRouted(u"COM8", routed));
    EXPECT_FALSE(routed) << "entry 0004 is COM9 by its device parameters";
    EXPECT_TRUE(probe.IsEmulatorRouted(u"COM9", routed));
    EXPECT_TRUE(routed);
}

TEST_F(EmulatorPortTest, ReopenTriesTenTimesHalfASecondApart) {
    EmulatorPortSettings record = Emulator().NewSettings();
    record.binding = &binding;
    record.portRecord = &port;
    lib.openFailures = 9;
    EXPECT_TRUE(Emulator().ReopenPrinterPort(record));
    EXPECT_EQ(lib.Calls().back(), "Initialize");
    EXPECT_EQ(clock.TotalSleptMs(), 9u * 500u);

    lib.ClearCalls();
    lib.openFailures = 10;
    EXPECT_FALSE(Emulator().ReopenPrinterPort(record));
    EXPECT_EQ(lib.CountOf("Open(0)"), 10);
    EXPECT_EQ(lib.CountOf("Initialize"), 0);

    binding.module = nullptr;
    EXPECT_FALSE(Emulator().ReopenPrinterPort(record));
}

TEST_F(EmulatorPortTest, PortListAndDriverVersionFromTheRegistry) {
    // PortName on the entry itself when "Device Parameters" lacks it; two entries of one name.
    registry.SetString(os::RegRoot::LocalMachine, kPorts + u"\\0001", u"PortName", u"COM8");
    registry.SetDword(os::RegRoot::LocalMachine, kPorts + u"\\0001", u"TarDM", 0);
    registry.SetString(os::RegRoot::LocalMachine, kPorts + u"\\0002\\Device Parameters",
                       u"PortName", u"COM8");
    registry.SetString(os::RegRoot::LocalMachine, kPorts + u"\\0002\\Device Parameters", u"TarID",
                       u"VP8");
    registry.SetDword(os::RegRoot::LocalMachine, kPorts + u"\\0002\\Device Parameters", u"TarDM",
                      0x1000000);
    CEmulatorPort emulator = Emulator();
    std::u16string id;
    EXPECT_TRUE(emulator.FindPortDeviceId(u"COM8", id));
    EXPECT_EQ(Narrow(id), "VP8");
    EXPECT_FALSE(emulator.FindPortDeviceId(u"com8", id)); // exact comparison
    EmulatorPortSettings record;
    record.virtualPort = u"COM8";
    bool routed = false;
    EXPECT_TRUE(emulator.IsEmulatorRouted(record, routed));
    EXPECT_TRUE(routed);
    record.virtualPort.clear();
    EXPECT_FALSE(emulator.IsEmulatorRouted(record, routed));

    int version = -1;
    std::u16string folder;
    EXPECT_FALSE(emulator.GetPortDriverVersion(version, folder));
    const std::u16string key =
        std::u16string(sys::kUninstallKey) + u"\\" + sys::kPortDriverProductCode;
    registry.SetString(os::RegRoot::LocalMachine64, key, u"DisplayVersion", u"8.1.2");
    registry.SetString(os::RegRoot::LocalMachine64, key, u"InstallLocation", u"C:\\Drv");
    EXPECT_TRUE(emulator.GetPortDriverVersion(version, folder));
    EXPECT_EQ(version, 8);
    EXPECT_EQ(Narrow(folder), "C:\\Drv");
    // With the driver, a virtual port can be routed without the connector.
    files.AddDosDevice(u"COM8", {u"\\Device\\TarVCom1"});
    SetPort(u"COM", u"COM8");
    ASSERT_TRUE(Setup(record));
    EXPECT_TRUE(emulator.CanRoute(record));
    registry.SetString(os::RegRoot::LocalMachine64, key, u"DisplayVersion", u"7.9");
    EXPECT_FALSE(emulator.CanRoute(record));
}

TEST_F(EmulatorPortTest, MissingViewerLeavesThePortAlone) {
    SetPort(u"NET", u"192.168.0.20");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    lib.ClearCalls();
    EXPECT_FALSE(Emulator().LaunchJournalViewer(record, 0));
    EXPECT_TRUE(lib.Calls().empty());
    EXPECT_TRUE(processes.Launches().empty());
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"Model")), "<none>");
}

TEST_F(EmulatorPortTest, ViewerFolderIsTheMachinesNotTheEnvironments) {
    // Any program of the user can set the environment of the elevated utility.
    folders.programFiles = u"C:\\Program Files (x86)";
    folders.SetEnvironment(u"ProgramW6432", u"C:\\Users\\Public");
    CEmulatorPort emulator = Emulator();
    EXPECT_EQ(Narrow(emulator.ViewerPath()),
              "C:\\Program Files (x86)\\TARROW\\QKCommandEmulator\\JrnlView.exe");
    registry.SetString(os::RegRoot::LocalMachine64, sys::kCurrentVersionKey, u"ProgramFilesDir",
                       u"C:\\Program Files\\");
    EXPECT_EQ(Narrow(emulator.ViewerPath()), Narrow(kViewer));
    // A value that is not a plain folder path is not used.
    registry.SetString(os::RegRoot::LocalMachine64, sys::kCurrentVersionKey, u"ProgramFilesDir",
                       u"%SystemDrive%\\Program Files");
    EXPECT_EQ(Narrow(emulator.ViewerPath()),
              "C:\\Program Files (x86)\\TARROW\\QKCommandEmulator\\JrnlView.exe");
}

TEST_F(EmulatorPortTest, ViewerRunsWithTheSectionWhileTheOwnerOnlyRepaints) {
    folders.programFiles = u"C:\\Program Files (x86)";
    registry.SetString(os::RegRoot::LocalMachine64, sys::kCurrentVersionKey, u"ProgramFilesDir",
                       u"C:\\Program Files");
    files.AddFile(kViewer, {1});
    FakeProcessLauncher::Program viewer;
    viewer.runMs = 3500;
    viewer.readyAfterMs = 200;
    processes.SetProgram(u"JrnlView.exe", viewer);
    windows.AddWindow(0x77, 0x70);
    windows.frameClickOnPump = 1;
    SetPort(u"NET", u"192.168.0.20");
    EmulatorPortSettings record;
    ASSERT_TRUE(Setup(record));
    lib.ClearCalls();
    EXPECT_TRUE(Emulator().LaunchJournalViewer(record, 0x77));
    ASSERT_EQ(processes.Launches().size(), 1u);
    EXPECT_EQ(processes.Launches()[0].how, FakeProcessLauncher::How::ShellOpenProcess);
    EXPECT_EQ(Narrow(processes.Launches()[0].file), Narrow(kViewer));
    EXPECT_EQ(Narrow(processes.Launches()[0].parameters), "192.168.0.20");
    EXPECT_EQ(processes.OpenHandles(), 0);
    // The frame window was disabled around the start only, and enabled again.
    ASSERT_EQ(windows.EnableCalls().size(), 2u);
    EXPECT_EQ(windows.EnableCalls()[0].window, 0x70u);
    EXPECT_FALSE(windows.EnableCalls()[0].enable);
    EXPECT_TRUE(windows.EnableCalls()[1].enable);
    EXPECT_GE(windows.Pumps(), 3);
    EXPECT_EQ(lib.Calls().front(), "Close");
    EXPECT_EQ(lib.Calls().back(), "Initialize");
    EXPECT_EQ(Narrow(Key(u"192.168.0.20", u"Model")), "QK-R40");
}

TEST_F(EmulatorPortTest, ViewerThatNeverAcceptsInputFails) {
    files.AddFile(kViewer, {1});
    FakeProcessLauncher::Program viewer;
    viewer.endsByItself = false;
    viewer.readyAfterMs = 30000;
    processes.SetProgram(u"JrnlView.exe", viewer);
    CEmulatorPort emulator = Emulator();
    EXPECT_FALSE(emulator.RunAndWait(kViewer, u"S", 0));
    EXPECT_EQ(processes.OpenHandles(), 0);

    // Without the wait for input: a window that answers makes it ready; one that is gone not.
    FakeProcessLauncher::Program console;
    console.hasMessageLoop = false;
    console.runMs = 5000;
    processes.SetProgram(u"Console.exe", console);
    windows.canNameProcessIds = false;
    EXPECT_FALSE(emulator.RunAndWait(u"C:\\Console.exe", u"S", 0)); // no window ever
    EXPECT_EQ(processes.Launches().back().how, FakeProcessLauncher::How::Start);
    EXPECT_EQ(processes.OpenHandles(), 0);
}

} // namespace
} // namespace qk::test
