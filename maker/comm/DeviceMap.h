// The device map file: which ports exist per interface and which printer endpoint ("host:port",
// the simulator) each one reaches, plus the features and commands the library reports.
#pragma once
#include <optional>
#include <string>
#include <vector>
#include "maker/common/IniText.h"

namespace qk::comm {

struct DevicePort {
    std::wstring keyword; // "COM", "LPT", "USB", "NET" or "BT"
    std::wstring portName;
    std::string endpoint;  // host:port
    std::wstring deviceId; // USB device identification
    std::wstring DevicePath() const;
};

class DeviceMap {
public:
    // Reads the file; writes the default map first when there is none.
    bool Load(const std::wstring& path);
    void LoadText(const std::string& text) { ini_.Parse(text); }
    static const char* DefaultText();

    // "SERIAL" lists the serial ports without the Bluetooth ones; "COM" lists both.
    std::vector<DevicePort> Ports(const std::wstring& keyword) const;
    // A network port that is not in the map is an IP address reached on port 9100.
    std::optional<DevicePort> Find(const std::wstring& keyword, const std::wstring& name) const;
    // The port whose device path is `path` (compared without case), in any section.
    std::optional<DevicePort> FindByDevicePath(const std::wstring& path) const;

    int Feature(const std::string& name) const;
    bool CommandEnabled(int group, int function) const;

private:
    std::vector<DevicePort> Section(const char* section, const wchar_t* keyword) const;
    qk::ini::IniText ini_;
};

bool IsKnownKeyword(const std::wstring& keyword);

} // namespace qk::comm
