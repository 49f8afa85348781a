// A small plug-in for the menu tests, built several times with different answers (see the
// CMakeLists beside it). Every call it gets is appended as a line "<library> <call>" to the
// file named by QKMENUTEST_LOG, so a test sees the calls across the unloading and from
// another process. Its page is a plain child window of the page area, shown and hidden as
// the menu asks.
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <cstdio>
#include <string>

#ifndef MENU_TEST_LEAVE_ANSWER
#define MENU_TEST_LEAVE_ANSWER 0
#endif
#ifndef MENU_TEST_INIT_ANSWER
#define MENU_TEST_INIT_ANSWER 0
#endif

namespace {

struct PluginInfoRecord {
    uint32_t key;
    uint32_t version;
    uint32_t size;
};

HINSTANCE g_module = nullptr;
HWND g_page = nullptr;
int32_t g_leaveAnswer = MENU_TEST_LEAVE_ANSWER;

std::string LibraryName() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string name = path;
    return name.substr(name.find_last_of("\\/") + 1);
}

void Record(const std::string& call) {
    char file[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("QKMENUTEST_LOG", file, MAX_PATH))
        return;
    if (FILE* log = std::fopen(file, "ab")) {
        std::fprintf(log, "%s %s\n", LibraryName().c_str(), call.c_str());
        std::fclose(log);
    }
}

// The progress bar of the open progress dialog of this process, -1 when there is none.
BOOL CALLBACK FindProgress(HWND hwnd, LPARAM lp) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId())
        return TRUE;
    HWND bar = ::FindWindowExW(hwnd, nullptr, L"msctls_progress32", nullptr);
    if (!bar)
        return TRUE;
    *reinterpret_cast<HWND*>(lp) = bar;
    return FALSE;
}

int ProgressNow() {
    HWND bar = nullptr;
    ::EnumWindows(FindProgress, reinterpret_cast<LPARAM>(&bar));
    return bar ? static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0)) : -1;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_module = module;
    return TRUE;
}

extern "C" {

__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_Initialize(HWND, HWND parent, void*) {
    Record("Initialize");
    if (MENU_TEST_INIT_ANSWER != 0)
        return MENU_TEST_INIT_ANSWER;
    RECT area{};
    ::GetClientRect(parent, &area);
    // The page: a hidden child of the page area named after the library, with one tab stop.
    const std::string name = LibraryName();
    g_page = ::CreateWindowExA(WS_EX_CONTROLPARENT, "STATIC", name.c_str(), WS_CHILD, 0, 0,
                               area.right, area.bottom, parent, nullptr, g_module, nullptr);
    ::CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 24, g_page,
                      reinterpret_cast<HMENU>(1), g_module, nullptr);
    return 0;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_Finalize() {
    Record("Finalize");
    if (g_page)
        ::DestroyWindow(g_page);
    g_page = nullptr;
    return 0;
}
__declspec(dllexport) void* WINAPI FORMVIEWDLL_GetActiveView() {
    return g_page;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_ChangeMenuState(int32_t state) {
    Record("State" + std::to_string(state));
    if (state == 1) {
        if (g_leaveAnswer == 0 && g_page)
            ::ShowWindow(g_page, SW_HIDE);
        return g_leaveAnswer;
    }
    if (state == 2 && g_page) {
        ::ShowWindow(g_page, SW_SHOW);
        ::SetFocus(::GetDlgItem(g_page, 1));
        return 1;
    }
    if (state == 3 && g_page && ::IsWindowVisible(g_page)) {
        ::SetFocus(::GetDlgItem(g_page, 1));
        return 1;
    }
    return 0;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_GetPluginInfo(PluginInfoRecord* info) {
    if (!info)
        return -6;
    *info = PluginInfoRecord{
        0x7F000000u + static_cast<uint32_t>(reinterpret_cast<uintptr_t>(g_module) >> 16 & 0xFFFF),
        0x10000, 40};
    return 0;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_ReadPrinterSettings() {
    Record("Read progress=" + std::to_string(ProgressNow()));
    return 1;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_SetDefaltDataToPluginDataMgr(uint32_t) {
    return 0;
}
#ifndef MENU_TEST_NO_DEPEND_EXPORT
__declspec(dllexport) int32_t WINAPI
    FORMVIEWDLL_GetDependPluginData(PluginInfoRecord*, int32_t* count) {
    if (count)
        *count = 0;
    return 1;
}
#endif

// Lets an in-process test change the answer to a leave request.
__declspec(dllexport) void WINAPI MenuTest_SetLeaveAnswer(int32_t answer) {
    g_leaveAnswer = answer;
}
}
