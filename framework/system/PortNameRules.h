// Text rules of the command emulator's port plumbing: how a port's section name and
// emulator port name are found in device paths and device targets. Portable (no windows.h).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qk::sys {

inline constexpr size_t kPathChars = 260;
inline constexpr size_t kRsdprtNameChars = 64;

// The text between the second '#' and the last '#' of a USB device path when the path has
// at least three '#'; otherwise the interface name followed by the port name.
std::u16string ExtractUsbSerial(std::u16string_view path, std::u16string_view interfaceName,
                                std::u16string_view portName);
// Whether the path (its first 260 characters) names a TCP device, in any case.
bool IsTcpDevicePath(std::u16string_view path);
// The rsdprt name of a pipe URL ("pipe://qk/.../RSDPRTn/..."), with the case it has in the
// path, cut at 64 characters. Without a pipe URL the whole path (cut) goes to `out` and the
// answer is false; a pipe URL without an rsdprt name answers true and leaves `out` alone.
bool ExtractRsdprtName(std::u16string_view path, std::u16string& out);
// Whether a COMn/LPTn name is a real port: one of its DOS device targets names the serial
// (COM) or parallel (LPT) driver. Names of other kinds are never ports of either kind.
bool IsComOrLptName(std::u16string_view name);
bool IsRealPortTarget(std::u16string_view name, const std::vector<std::u16string>& targets);
// The leading decimal number of a version text ("8.1.0" gives 8); -1 without one.
int LeadingVersion(std::u16string_view text);
// ASCII lower case, the rest kept.
std::u16string AsciiLower(std::u16string_view text);

} // namespace qk::sys
