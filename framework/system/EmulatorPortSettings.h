// What the command emulator's operations know of one port, set up once per page action or
// information read and handed to every operation of CEmulatorPort.
#pragma once
#include <cstdint>
#include <string>
#include "framework/comm/PortRecord.h"
#include "platform/os/NamedEvents.h"

namespace qk::comm {
struct QkcBinding;
}

namespace qk::sys {

struct EmulatorPortSettings {
    comm::QkcBinding* binding = nullptr;    // not owned
    comm::PortRecord* portRecord = nullptr; // not owned
    std::u16string parserIniPath;           // the emulator's "CMDSETParser.ini"
    std::u16string couponIniPath;           // the utility's "QKUCOUPON.INI"
    std::u16string portToolPath;            // "TarrowPA.exe"
    std::u16string printerName;
    std::u16string section;      // the parser ini's section of this port
    std::u16string emulatorPort; // the port name the emulator knows
    std::u16string virtualPort;  // Windows name of a virtual COM/LPT port; empty otherwise
    std::u16string utilityName;
    bool connectorCapable = false; // routed by the port connector and the port service
    bool journalEnabled = false;
    bool couponEnabled = false;
    os::EventId stateEvent = 0; // the port service's state event while held
    int32_t paperWidth = 80;
    int32_t dpi = 203;
};

} // namespace qk::sys
