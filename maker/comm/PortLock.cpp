#include "maker/comm/PortLock.h"
#include <cstdio>
#include <cwctype>
#include "maker/comm/LibraryFiles.h"

namespace qk::comm {
namespace {

// Ports are named per data folder: every program on the machine shares the one folder, while
// tests that give the library a folder of their own (QKCOMM_DATA_DIR) never hold each other's
// ports.
std::wstring FolderTag() {
    uint32_t hash = 2166136261u;
    for (wchar_t c : DataFolder()) {
        hash ^= static_cast<uint32_t>(std::towupper(c));
        hash *= 16777619u;
    }
    wchar_t tag[16];
    std::swprintf(tag, 16, L"%08X", hash);
    return tag;
}

} // namespace

std::wstring LockKeyword(const std::wstring& keyword) {
    return _wcsicmp(keyword.c_str(), L"BT") == 0 ? L"COM" : keyword;
}

bool SameHeldPort(const std::wstring& keyword, const std::wstring& name,
                  const std::wstring& otherKeyword, const std::wstring& otherName) {
    return _wcsicmp(LockKeyword(keyword).c_str(), LockKeyword(otherKeyword).c_str()) == 0 &&
           _wcsicmp(name.c_str(), otherName.c_str()) == 0;
}

bool PortLock::Acquire(const std::wstring& keyword, const std::wstring& portName) {
    Release();
    // The object name may not hold backslashes; ports of the same printer share one name.
    std::wstring name =
        L"Local\\QKComm.Port." + FolderTag() + L"." + LockKeyword(keyword) + L"." + portName;
    for (std::size_t i = 12; i < name.size(); ++i)
        if (!std::iswalnum(name[i]) && name[i] != L'.')
            name[i] = L'_';
        else
            name[i] = static_cast<wchar_t>(std::towupper(name[i]));
    HANDLE handle = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!handle)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    handle_ = handle;
    return true;
}

void PortLock::Release() {
    if (handle_) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
}

} // namespace qk::comm
