// QKRestoreAppStop.exe and QKRestoreApp.exe: the maker's automatic restore tools, reduced to
// what the utility relies on. The utility starts the first when its main window is up and the
// second at exit; each appends one line, its own file name and the local time, to runs.log in
// %ProgramData%\TARROW\QKRestore\ (or in the folder that QKRESTORE_DATA_DIR names) and ends.
// Windowless: both are one source, told apart by the name they were started under.
#include <windows.h>
#include <shlobj.h>
#include <cstdio>
#include <string>
#include "maker/common/WinText.h"

namespace {

std::wstring LogFolder() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"QKRESTORE_DATA_DIR", buffer, MAX_PATH);
    std::wstring folder;
    if (n > 0 && n < MAX_PATH)
        folder = buffer;
    else if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                        buffer)))
        folder = std::wstring(buffer) + L"\\TARROW\\QKRestore";
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::string OwnName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    return qk::win::ToUtf8(name.substr(name.find_last_of(L"\\/") + 1));
}

// Both tools may write at the same moment; a share violation is waited out, briefly.
bool AppendLine(const std::wstring& path, const std::string& line) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok =
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size();
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        Sleep(20);
    }
    return false;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    std::wstring folder = LogFolder();
    if (folder.empty() || !qk::win::CreateFolders(folder))
        return 1;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return AppendLine(folder + L"runs.log", OwnName() + " " + stamp + "\r\n") ? 0 : 2;
}
