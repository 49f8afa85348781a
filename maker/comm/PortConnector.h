// The port connector of a port: when it is on, the port's data goes through the port
// communication service to the command emulator. The switch takes effect when the service
// starts again, and it is kept per port in Connectors.ini beside Ports.ini
// ("[Connector]", "<interface>:<port>=1"), so every process of the library sees the same
// switch; a port never switched is off.
// A port can be routed this way when its record's connector flag is 1 and its service level is
// above 2: the library gives a connector port the level of the installed port communication
// service (3; 0 when the service is not installed).
#pragma once
#include <cstdint>
#include <string>

namespace qk::comm::connector {

bool IsOn(const std::wstring& keyword, const std::wstring& portName);
bool Set(const std::wstring& keyword, const std::wstring& portName, bool on);
int32_t ServiceLevel();

} // namespace qk::comm::connector
