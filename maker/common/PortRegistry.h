// The Windows port entries that the maker's virtual port driver keeps under
// HKLM\SYSTEM\CurrentControlSet\Enum\Root\PORTS: one subkey per port, its values in the
// subkey's "Device Parameters" key or, for older entries, in the subkey itself. "PortName"
// names the port, "TarID" is the driver's id of it, and bit 24 of the 32-bit "TarDM" tells
// that the port is routed through the command emulator.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace qk::ports {

inline constexpr wchar_t kPortsKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
inline constexpr DWORD kRoutedBit = 0x1000000;

// One entry of a port: its subkey path (under HKLM) and the path where its values live.
struct PortEntry {
    std::wstring key;
    std::wstring valuesKey;
};

// Every entry whose PortName is `name` (compared exactly, as the utility compares it).
std::vector<PortEntry> FindPortEntries(const std::wstring& name);

// Whether any entry of the port has the routing bit; false when the port has no entry.
bool IsRouted(const std::wstring& name);

// Sets or clears the routing bit in every entry of the port, keeping the other bits. Answers
// the number of entries changed, 0 when the port has none, -1 when one could not be written.
int SetRouted(const std::wstring& name, bool routed);

// The first non-empty TarID of the port's entries; empty when there is none.
std::wstring DeviceId(const std::wstring& name);

} // namespace qk::ports
