#include "tests/maker/tools/ToolTestSupport.h"
#include <algorithm>
#include <fstream>
#include <sstream>
#include "tests/support/WindowDriver.h"

namespace qk::test {

namespace {
constexpr wchar_t kPortsKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool ReadNumber(const std::wstring& path, DWORD& value) {
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"TarDM", RRF_RT_REG_DWORD, nullptr,
                        &value, &size) == ERROR_SUCCESS;
}
} // namespace

std::wstring FreshFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string FileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

long RunStaged(const wchar_t* exe, const std::wstring& arguments,
               const std::vector<std::wstring>& environment) {
    ProcessRunner tool;
    if (!tool.Start(StageDir() + exe, arguments, L"", environment))
        return -2;
    if (!tool.Wait(60000)) {
        tool.Kill();
        return -1;
    }
    return static_cast<long>(tool.ExitCode());
}

std::wstring UniquePortName(const wchar_t* prefix, int index) {
    return prefix + std::to_wstring(100 + (GetCurrentProcessId() % 800) * 10 + index);
}

TestPortEntry::TestPortEntry(const std::wstring& suffix, const std::wstring& portName,
                             const std::wstring& deviceId, std::optional<DWORD> tarDM,
                             bool deviceParameters) {
    key_ = std::wstring(kPortsKey) + L"\\QKTEST" + std::to_wstring(GetCurrentProcessId()) + suffix;
    valuesKey_ = deviceParameters ? key_ + L"\\Device Parameters" : key_;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
    HKEY values = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, valuesKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &values, nullptr) != ERROR_SUCCESS)
        return;
    SetText(values, L"PortName", portName);
    if (!deviceId.empty())
        SetText(values, L"TarID", deviceId);
    if (tarDM)
        RegSetValueExW(values, L"TarDM", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*tarDM),
                       sizeof(DWORD));
    RegCloseKey(values);
}

TestPortEntry::~TestPortEntry() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
}

DWORD TestPortEntry::TarDM() const {
    DWORD value = 0;
    if (ReadNumber(valuesKey_, value) || ReadNumber(key_, value))
        return value;
    return 0xFFFFFFFF;
}

bool TestPortEntry::TarDMInDeviceParameters() const {
    DWORD value = 0;
    return valuesKey_ != key_ && ReadNumber(valuesKey_, value);
}

} // namespace qk::test
