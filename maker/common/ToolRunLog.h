// What the stand-ins of the maker's companion tools share: each appends one line, its own file
// name and the local time, to runs.log in %ProgramData%\TARROW\QKTools\ (or in the folder that
// QKTOOLS_DATA_DIR names), and may stay for QKTOOLS_HOLD_MS milliseconds, as a tool the
// operator works in would, before it ends.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include "maker/common/WinText.h"

namespace qk::tools {

// The folder an environment variable names, else the all-users data folder's subfolder;
// with a trailing backslash, empty when neither can be had.
inline std::wstring DataFolder(const wchar_t* variable, const wchar_t* subfolder) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(variable, buffer, MAX_PATH);
    std::wstring folder;
    if (n > 0 && n < MAX_PATH)
        folder = buffer;
    else if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                        buffer)))
        folder = std::wstring(buffer) + L"\\" + subfolder;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

inline std::string OwnName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    return qk::win::ToUtf8(name.substr(name.find_last_of(L"\\/") + 1));
}

// Appends the run line to runs.log in `folder`, with `details` (what the tool was asked and
// did) after the time when given; a share violation (two tools at once) is waited out, briefly.
// 0 written, 1 no folder, 2 not written.
inline int AppendRunLine(const std::wstring& folder, const std::string& details = {}) {
    if (folder.empty() || !qk::win::CreateFolders(folder))
        return 1;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    const std::string line =
        OwnName() + " " + stamp + (details.empty() ? "" : " " + details) + "\r\n";
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileW((folder + L"runs.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok =
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size() ? 0 : 2;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return 2;
        Sleep(20);
    }
    return 2;
}

inline int RecordRun(const std::string& details = {}) {
    return AppendRunLine(DataFolder(L"QKTOOLS_DATA_DIR", L"TARROW\\QKTools"), details);
}

// Stays as long as QKTOOLS_HOLD_MS asks (at most a minute).
inline void HoldIfAsked() {
    wchar_t buffer[32] = {};
    if (GetEnvironmentVariableW(L"QKTOOLS_HOLD_MS", buffer, 32) == 0)
        return;
    const unsigned long ms = std::wcstoul(buffer, nullptr, 10);
    Sleep(ms > 60000 ? 60000 : static_cast<DWORD>(ms));
}

} // namespace qk::tools
