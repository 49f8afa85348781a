#include "app/shell/Splash.h"

#include <mutex>
#include <string>
#include "app/shell/Model.h"
#include "app/shell/SplashWnd.h"

namespace qk::app {
namespace {

// Guards every application splash pointer: the main thread reads it while the splash thread
// may be clearing it and deleting the object.
std::mutex& SplashLock() {
    static std::mutex lock;
    return lock;
}

std::wstring InstancePropertyName() {
    wchar_t name[128];
    swprintf(name, 128, kInstancePropertyFormat, kInstancePropertyPrefix, kModelName);
    return name;
}

struct MainWindowSearch {
    DWORD processId;
    const wchar_t* property;
    HWND found;
};

BOOL CALLBACK FindMarkedWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<MainWindowSearch*>(lp);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId == search->processId && ::GetPropW(hwnd, search->property)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND CSplash::FindApplicationMainWindow() {
    const std::wstring property = InstancePropertyName();
    MainWindowSearch search{::GetCurrentProcessId(), property.c_str(), nullptr};
    ::EnumWindows(FindMarkedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

CSplash::CSplash(CSplash** owner, UINT firstPeriodMs, MainWindowProbe probe)
    : m_owner(owner), m_firstPeriodMs(firstPeriodMs),
      m_probe(probe ? probe : &CSplash::FindApplicationMainWindow) {
    m_bAutoDelete = true;
}

CSplash::~CSplash() {
    std::lock_guard lock(SplashLock());
    if (m_owner && *m_owner == this)
        *m_owner = nullptr;
}

bool CSplash::Start(CSplash** owner, UINT firstPeriodMs, MainWindowProbe probe) {
    if (!owner)
        return false;
    auto* splash = new CSplash(owner, firstPeriodMs, probe);
    std::lock_guard lock(SplashLock());
    // Published before the thread runs, so a splash that ends at once still clears it.
    *owner = splash;
    if (!splash->CreateThread()) {
        *owner = nullptr;
        splash->m_owner = nullptr;
        delete splash;
        return false;
    }
    return true;
}

void CSplash::RequestClose(CSplash** owner) {
    if (!owner)
        return;
    std::lock_guard lock(SplashLock());
    if (*owner)
        (*owner)->RequestClose();
}

bool CSplash::Finish(CSplash** owner, DWORD timeoutMs) {
    if (!owner)
        return true;
    HANDLE thread = nullptr;
    {
        std::lock_guard lock(SplashLock());
        if (!*owner)
            return true;
        (*owner)->RequestClose();
        ::DuplicateHandle(::GetCurrentProcess(), (*owner)->m_hThread, ::GetCurrentProcess(),
                          &thread, SYNCHRONIZE, FALSE, 0);
    }
    if (thread) {
        ::WaitForSingleObject(thread, timeoutMs);
        ::CloseHandle(thread);
    }
    std::lock_guard lock(SplashLock());
    return *owner == nullptr;
}

void CSplash::RequestClose() {
    // Either the window is already known here, or InitInstance sees the flag after making it.
    m_closeRequested = true;
    if (HWND window = m_window.load())
        ::PostMessageW(window, WM_CLOSE, 0, 0);
}

bool CSplash::InitInstance() {
    // The program is never started for automation, so the operator always sees the splash.
    CSplashWnd* window = CSplashWnd::Show(m_firstPeriodMs, m_probe);
    if (!window)
        return false;
    m_pMainWnd = window;
    m_window = window->m_hWnd;
    if (m_closeRequested)
        ::PostMessageW(window->m_hWnd, WM_CLOSE, 0, 0);
    return true;
}

int CSplash::ExitInstance() {
    m_window = nullptr;
    m_pMainWnd = nullptr;
    return CWinThread::ExitInstance();
}

} // namespace qk::app
