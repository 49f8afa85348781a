// The communication library's device map: every entry of an interface's section is one of its
// ports, each port is found again by its name and by its device path, "COM" lists the serial
// and the Bluetooth ports, and a network port not in the map is an address with four numbers
// reached on port 9100.
#include <cwchar>
#include "maker/comm/DeviceMap.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::comm::DeviceMap;
using qk::comm::DevicePort;

namespace {

const wchar_t* const kKeywords[] = {L"COM", L"LPT", L"USB", L"NET", L"BT"};

// As the library compares names and paths: C strings, ASCII letters without case.
bool SameText(std::wstring a, std::wstring b) {
    a.resize(std::wcslen(a.c_str()));
    b.resize(std::wcslen(b.c_str()));
    if (a.size() != b.size())
        return false;
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// Four decimal numbers below 256 between three dots, as an operator types an address.
bool PlainAddress(const std::string& name) {
    int parts = 0;
    std::size_t at = 0;
    for (;; ++at) {
        std::size_t end = name.find('.', at);
        std::string part = name.substr(at, end == std::string::npos ? end : end - at);
        if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != part.npos ||
            std::stoi(part) > 255)
            return false;
        ++parts;
        if (end == std::string::npos)
            return parts == 4;
        at = end;
    }
}

void CheckSection(const DeviceMap& map, const qk::ini::IniText& ini, const wchar_t* keyword,
                  const std::string& section) {
    // "COM" lists the Bluetooth ports too; the serial ones alone are its section.
    const std::wstring listed = section == "COM" ? L"SERIAL" : keyword;
    const std::vector<DevicePort> ports = map.Ports(listed);
    QK_FUZZ_CHECK(ports.size() == ini.Entries(section).size());
    for (const DevicePort& port : ports) {
        QK_FUZZ_CHECK(port.keyword == keyword);
        QK_FUZZ_CHECK(port.endpoint.empty() ||
                      (port.endpoint.front() != ' ' && port.endpoint.back() != ' '));
        if (port.keyword == L"USB")
            QK_FUZZ_CHECK(!port.deviceId.empty());
        // The first port of that name, in any case, answers for it.
        const DevicePort* first = nullptr;
        for (const DevicePort& other : ports)
            if (!first && SameText(other.portName, port.portName))
                first = &other;
        const std::optional<DevicePort> found = map.Find(keyword, port.portName);
        QK_FUZZ_CHECK(found && found->keyword == keyword && found->portName == port.portName);
        QK_FUZZ_CHECK(found->endpoint == first->endpoint && found->deviceId == first->deviceId);
        const std::optional<DevicePort> byPath = map.FindByDevicePath(port.DevicePath());
        QK_FUZZ_CHECK(byPath && SameText(byPath->DevicePath(), port.DevicePath()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    DeviceMap map;
    map.LoadText(text);
    qk::ini::IniText ini;
    ini.Parse(text);
    for (const wchar_t* keyword : kKeywords)
        CheckSection(map, ini, keyword, std::string(keyword, keyword + std::wcslen(keyword)));
    // "COM" are the serial ports, then the Bluetooth ones under the serial keyword.
    const std::vector<DevicePort> com = map.Ports(L"COM");
    const std::vector<DevicePort> serial = map.Ports(L"SERIAL");
    const std::vector<DevicePort> bt = map.Ports(L"BT");
    QK_FUZZ_CHECK(com.size() == serial.size() + bt.size());
    for (std::size_t i = 0; i < com.size(); ++i) {
        const DevicePort& own = i < serial.size() ? serial[i] : bt[i - serial.size()];
        QK_FUZZ_CHECK(com[i].keyword == L"COM" && com[i].portName == own.portName &&
                      com[i].endpoint == own.endpoint);
    }
    QK_FUZZ_CHECK(map.Ports(L"").empty() && map.Ports(L"com").empty());

    // The input's last line as a network port's name.
    const std::string name = text.substr(text.find_last_of('\n') + 1);
    bool listed = false;
    for (const DevicePort& port : map.Ports(L"NET"))
        listed = listed || SameText(port.portName, Wide(name));
    const std::optional<DevicePort> net = map.Find(L"NET", Wide(name));
    if (!listed && PlainAddress(name))
        QK_FUZZ_CHECK(net && net->endpoint == name + ":9100" && net->portName == Wide(name));
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return c > 0; });
    if (!listed && net && ascii)
        QK_FUZZ_CHECK(net->endpoint == name + ":9100" && net->deviceId.empty());
    return 0;
}
