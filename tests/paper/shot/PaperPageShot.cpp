// Shows the paper and print settings page in a window of its own, in the language given on
// the command line (hex identifier, e.g. 0411), with the factory values, so that a screenshot
// script can photograph it without a printer. Ends when its window is closed, or after the
// seconds given as the second argument (default 60).
#include <windows.h>
#include <cwchar>
#include <string>
#include <vector>
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgr.h"
#include "platform/Sync.h"
#include "tests/support/WindowDriver.h"

namespace {

template <typename T> T Bind(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CALLBACK EndShow(HWND hwnd, UINT, UINT_PTR, DWORD) {
    ::DestroyWindow(hwnd);
}

HWND MakeFrame() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QKPaperPageShot";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"QK-R40 paper settings page",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 640, 480,
                             nullptr, nullptr, wc.hInstance, nullptr);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int language = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 16)) : 0x0409;
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 60;
    const std::wstring stage = qk::test::StageDir();
    HMODULE module = ::LoadLibraryW((stage + L"QKUPAPERSTG.dll").c_str());
    if (!module)
        return 2;
    auto initialize = Bind<PFN_FORMVIEWDLL_Initialize>(module, "FORMVIEWDLL_Initialize");
    auto finalize = Bind<PFN_FORMVIEWDLL_Finalize>(module, "FORMVIEWDLL_Finalize");
    auto show = Bind<PFN_FORMVIEWDLL_ChangeMenuState>(module, "FORMVIEWDLL_ChangeMenuState");
    auto info = Bind<PFN_FORMVIEWDLL_GetPluginInfo>(module, "FORMVIEWDLL_GetPluginInfo");
    auto defaults = Bind<PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr>(
        module, "FORMVIEWDLL_SetDefaltDataToPluginDataMgr");
    auto depends =
        Bind<PFN_FORMVIEWDLL_GetDependPluginData>(module, "FORMVIEWDLL_GetDependPluginData");
    if (!initialize || !finalize || !show || !info || !defaults || !depends)
        return 3;

    static UtilContext context{};
    qk::CCriticalSection lock;
    PluginDataMgr store;
    const std::wstring folder = stage + L"LANG";
    folder.copy(reinterpret_cast<wchar_t*>(context.languageFolder), kTextSlot - 1);
    context.languageId = language;
    context.startMode = kStartFileMode; // no printer needed
    context.dataManager = &store;
    context.applicationLock = lock.Get();

    HWND frame = MakeFrame();
    RECT area{};
    ::GetClientRect(frame, &area);
    HWND pane = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                                  area.bottom, frame, nullptr, nullptr, nullptr);
    if (initialize(frame, pane, &context) != 0)
        return 4;
    PluginInfo own{};
    info(&own);
    store.CreateBlock(own.key, own.version, own.size);
    defaults(own.key);
    int32_t count = 0;
    depends(nullptr, &count);
    std::vector<DependRecord> records(static_cast<size_t>(count > 0 ? count : 0));
    depends(records.data(), &count);
    for (const DependRecord& record : records) {
        store.CreateBlock(record.key, record.version, record.size);
        defaults(record.key);
    }
    show(kMenuStateShow);
    ::SetTimer(frame, 1, seconds * 1000, &EndShow);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    finalize();
    ::FreeLibrary(module);
    return 0;
}
