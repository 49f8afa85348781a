#include "maker/comm/LibraryFiles.h"
#include <windows.h>
#include <shlobj.h>
#include "maker/common/WinText.h"

namespace qk::comm {

std::wstring DataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    std::wstring folder;
    DWORD n = GetEnvironmentVariableW(L"QKCOMM_DATA_DIR", buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        folder = buffer;
    } else if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr,
                                          SHGFP_TYPE_CURRENT, buffer))) {
        folder = std::wstring(buffer) + L"\\TARROW\\QKComm";
    }
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    win::CreateFolders(folder);
    return folder;
}

std::wstring DeviceMapPath() {
    return DataFolder() + L"DeviceMap.ini";
}
std::wstring PortsPath() {
    return DataFolder() + L"Ports.ini";
}

} // namespace qk::comm
