// What the machine says about a printer port: whether a COM/LPT name is a virtual port, the
// entries of the port list (the PORTS key, walked in one place) with their emulator id and
// routing mode, and the virtual port driver's version.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "platform/os/OsServices.h"

namespace qk::sys {

inline constexpr char16_t kPortsKey[] = u"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
// The virtual port driver's entry under the uninstall key (its installer's product code).
inline constexpr char16_t kPortDriverProductCode[] = u"{6F1D2A47-3B8C-4E95-A0D2-5C7B9E41F803}";
inline constexpr char16_t kUninstallKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class CPortProbe {
public:
    // Bit 24 of an entry's mode: the port is routed through the emulator.
    static constexpr uint32_t kRoutingBit = 0x1000000;

    explicit CPortProbe(const os::OsServices& services) : m_services(services) {}

    // A COMn/LPTn name that no serial or parallel device serves.
    bool IsVirtualComPort(const std::u16string& portName);
    // The emulator id ("TarID") of the first entry of that port name that has one.
    bool FindPortDeviceId(const std::u16string& portName, std::u16string& id);
    // Whether any entry of the port name is routed; false when the port list cannot be read.
    bool IsEmulatorRouted(const std::u16string& portName, bool& routed);
    // True when the driver's version or install folder was read.
    bool GetPortDriverVersion(int& version, std::u16string& installFolder);

private:
    // Calls `visit` with the key of each port list entry whose PortName is the name, exactly,
    // until it answers false. False when there is no port list.
    bool VisitEntries(const std::u16string& portName,
                      const std::function<bool(const std::u16string& entry)>& visit);
    // PortName of an entry: from "Device Parameters", else from the entry itself.
    bool EntryPortName(const std::u16string& entry, std::u16string& name);

    os::OsServices m_services;
};

} // namespace qk::sys
