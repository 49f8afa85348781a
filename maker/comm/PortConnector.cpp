#include "maker/comm/PortConnector.h"
#include <windows.h>
#include <cwctype>
#include "maker/comm/LibraryFiles.h"

namespace qk::comm::connector {

namespace {
constexpr wchar_t kSection[] = L"Connector";
constexpr int32_t kInstalledServiceLevel = 3;

std::wstring Key(const std::wstring& keyword, const std::wstring& portName) {
    std::wstring key = keyword + L":" + portName;
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towupper(c));
    return key;
}

std::wstring SwitchPath() {
    return DataFolder() + L"Connectors.ini";
}
} // namespace

bool IsOn(const std::wstring& keyword, const std::wstring& portName) {
    return GetPrivateProfileIntW(kSection, Key(keyword, portName).c_str(), 0,
                                 SwitchPath().c_str()) == 1;
}

bool Set(const std::wstring& keyword, const std::wstring& portName, bool on) {
    return WritePrivateProfileStringW(kSection, Key(keyword, portName).c_str(), on ? L"1" : L"0",
                                      SwitchPath().c_str()) != FALSE;
}

int32_t ServiceLevel() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return 0;
    SC_HANDLE service =
        OpenServiceW(manager, L"TARROW_Port_Communication_Service", SERVICE_QUERY_STATUS);
    const int32_t level = service ? kInstalledServiceLevel : 0;
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return level;
}

} // namespace qk::comm::connector
