#include "maker/comm/DeviceMap.h"
#include <cstdio>
#include "maker/common/WinText.h"

namespace qk::comm {

namespace {
const wchar_t kUsbInterfaceClass[] = L"{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

bool IsIpv4(const std::wstring& text) {
    unsigned a, b, c, d;
    wchar_t extra;
    return swscanf(text.c_str(), L"%u.%u.%u.%u%lc", &a, &b, &c, &d, &extra) == 4 && a < 256 &&
           b < 256 && c < 256 && d < 256;
}

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    std::size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}
} // namespace

bool IsKnownKeyword(const std::wstring& k) {
    return k == L"COM" || k == L"LPT" || k == L"USB" || k == L"NET" || k == L"BT";
}

std::wstring DevicePort::DevicePath() const {
    if (keyword == L"USB")
        return deviceId;
    if (keyword == L"NET")
        return L"tcp://" + win::FromUtf8(endpoint);
    return L"\\\\.\\" + portName;
}

const char* DeviceMap::DefaultText() {
    return "; Ports the communication library offers, per interface: name=host:port of the\r\n"
           "; printer it reaches (the simulator), and for USB optionally \",device id\".\r\n"
           "[COM]\r\nCOM1=127.0.0.1:9100\r\n\r\n"
           "[LPT]\r\nLPT1=127.0.0.1:9100\r\n\r\n"
           "[USB]\r\n001=127.0.0.1:9100\r\n\r\n"
           "[NET]\r\n127.0.0.1=127.0.0.1:9100\r\n\r\n"
           "[BT]\r\nCOM5=127.0.0.1:9100\r\n\r\n"
           "; QKC_IsSupported features (2 = ARP) and other capabilities, 1 or 0.\r\n"
           "[Features]\r\n2=1\r\n3=1\r\nWatermark=0\r\n\r\n"
           "; QKC_IsEnableCommand answers per group,function; unlisted ones are enabled.\r\n"
           "[Commands]\r\n14,48=1\r\n6,10=1\r\n";
}

bool DeviceMap::Load(const std::wstring& path) {
    std::string text;
    if (!win::ReadFileText(path, text)) {
        text = DefaultText();
        win::WriteFileText(path, text); // a missing map is not an error; the default serves
    }
    ini_.Parse(text);
    return true;
}

std::vector<DevicePort> DeviceMap::Section(const char* section, const wchar_t* keyword) const {
    std::vector<DevicePort> ports;
    for (const auto& [key, value] : ini_.Entries(section)) {
        DevicePort port;
        port.keyword = keyword;
        port.portName = win::FromUtf8(key);
        std::size_t comma = value.find(',');
        port.endpoint = Trim(value.substr(0, comma));
        if (comma != std::string::npos)
            port.deviceId = win::FromUtf8(Trim(value.substr(comma + 1)));
        if (port.keyword == L"USB" && port.deviceId.empty())
            port.deviceId =
                L"\\\\?\\usb#vid_0000&pid_0040#QK" + port.portName + L"#" + kUsbInterfaceClass;
        ports.push_back(port);
    }
    return ports;
}

std::vector<DevicePort> DeviceMap::Ports(const std::wstring& keyword) const {
    if (keyword == L"SERIAL")
        return Section("COM", L"COM");
    if (keyword == L"COM") {
        auto ports = Section("COM", L"COM");
        for (auto port : Section("BT", L"BT")) {
            port.keyword = L"COM";
            ports.push_back(port);
        }
        return ports;
    }
    if (keyword == L"LPT" || keyword == L"USB" || keyword == L"NET" || keyword == L"BT")
        return Section(win::ToUtf8(keyword).c_str(), keyword.c_str());
    return {};
}

std::optional<DevicePort> DeviceMap::Find(const std::wstring& keyword,
                                          const std::wstring& name) const {
    for (const auto& port : Ports(keyword))
        if (_wcsicmp(port.portName.c_str(), name.c_str()) == 0) {
            DevicePort found = port;
            found.keyword = keyword;
            found.portName = name;
            return found;
        }
    if (keyword == L"NET" && IsIpv4(name))
        return DevicePort{keyword, name, win::ToUtf8(name) + ":9100", L""};
    return std::nullopt;
}

std::optional<DevicePort> DeviceMap::FindByDevicePath(const std::wstring& path) const {
    for (const wchar_t* keyword : {L"COM", L"LPT", L"USB", L"NET", L"BT"})
        for (const auto& port : Section(win::ToUtf8(keyword).c_str(), keyword))
            if (_wcsicmp(port.DevicePath().c_str(), path.c_str()) == 0)
                return port;
    return std::nullopt;
}

int DeviceMap::Feature(const std::string& name) const {
    return static_cast<int>(ini_.GetInt("Features", name, 0));
}

bool DeviceMap::CommandEnabled(int group, int function) const {
    return ini_.GetInt("Commands", std::to_string(group) + "," + std::to_string(function), 1) != 0;
}

} // namespace qk::comm
