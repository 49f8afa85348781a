#include "app/startup/Win32AppPlatform.h"

#include "framework/comm/PrinfoLibApi.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk::app {

Win32AppPlatform::~Win32AppPlatform() {
    CloseMutex();
    if (m_prinfo)
        ::FreeLibrary(m_prinfo);
}

IAppPlatform::MutexResult Win32AppPlatform::CreateInstanceMutex(const std::u16string& name) {
    CloseMutex();
    ::SetLastError(0);
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, WidePtr(name));
    if (!mutex)
        return MutexResult::Failed;
    bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    m_mutex = mutex;
    return existed ? MutexResult::AlreadyExists : MutexResult::Created;
}

void Win32AppPlatform::CloseMutex() {
    if (m_mutex) {
        ::CloseHandle(m_mutex);
        m_mutex = nullptr;
    }
}

namespace {
struct PropertySearch {
    const wchar_t* property;
    HWND found;
};

BOOL CALLBACK FindWindowWithProperty(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<PropertySearch*>(param);
    if (::GetPropW(hwnd, search->property)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool Win32AppPlatform::BringWindowWithPropertyToFront(const std::u16string& property) {
    PropertySearch search{WidePtr(property), nullptr};
    ::EnumWindows(FindWindowWithProperty, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    if (::IsIconic(search.found))
        ::ShowWindow(search.found, SW_RESTORE);
    ::SetForegroundWindow(search.found);
    return true;
}

bool Win32AppPlatform::IsAdministrator() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    // A null token asks about the thread's impersonation token, else the process token.
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators, &member))
        member = FALSE;
    ::FreeSid(administrators);
    return member != FALSE;
}

bool Win32AppPlatform::ReadDeviceIdNumber(const std::u16string& programFolder,
                                          const comm::QkcBinding* binding, int32_t& number) {
    // From the program folder only: a copy elsewhere on the search path is never taken. It
    // stays loaded: the status pane loads it again as the main window opens, and a library
    // unloaded in between would be mapped and initialised afresh.
    if (!m_prinfo)
        m_prinfo = LoadLibraryFrom(ToWide(programFolder), L"PrinfoLib.dll");
    HMODULE library = m_prinfo;
    if (!library)
        return false;
    auto initialize = reinterpret_cast<comm::PFN_PRINFO_Initialize>(
        reinterpret_cast<void*>(::GetProcAddress(library, "Initialize")));
    auto getDeviceId = reinterpret_cast<comm::PFN_PRINFO_GetDeviceID>(
        reinterpret_cast<void*>(::GetProcAddress(library, "GetDeviceID")));
    auto finalize = reinterpret_cast<comm::PFN_PRINFO_Finalize>(
        reinterpret_cast<void*>(::GetProcAddress(library, "Finalize")));
    bool valid = false;
    if (initialize && getDeviceId && finalize) {
        if (void* context = initialize(binding)) {
            int32_t value = 0;
            valid = getDeviceId(context, &value) == 1;
            if (valid)
                number = value;
            finalize(&context);
        }
    }
    return valid;
}

} // namespace qk::app
