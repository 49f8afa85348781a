#include "maker/comm/PortLock.h"
#include <cwctype>

namespace qk::comm {

bool PortLock::Acquire(const std::wstring& keyword, const std::wstring& portName) {
    Release();
    // The object name may not hold backslashes; ports of the same printer share one name.
    std::wstring name = L"Local\\QKComm.Port." + keyword + L"." + portName;
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
