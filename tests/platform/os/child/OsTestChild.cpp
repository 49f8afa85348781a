// A (windowed-subsystem) program for the process tests to start: it sleeps, shows a window or exits
// with a given code, as its arguments say. Arguments, in any order:
//   --exit N     exit code (default 0)
//   --sleep MS   sleep that long before exiting
//   --window     create a window and run a message loop (ends after --sleep, or on close)
#include <windows.h>
#include <cwchar>
#include <cstdlib>

namespace {

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    unsigned exitCode = 0;
    unsigned sleepMs = 0;
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        if (!wcscmp(argv[i], L"--exit") && i + 1 < argc) {
            exitCode = static_cast<unsigned>(wcstoul(argv[++i], nullptr, 10));
        } else if (!wcscmp(argv[i], L"--sleep") && i + 1 < argc) {
            sleepMs = static_cast<unsigned>(wcstoul(argv[++i], nullptr, 10));
        } else if (!wcscmp(argv[i], L"--window")) {
            window = true;
        }
    }
    LocalFree(argv);
    if (window) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ChildProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QkOsTestChild";
        RegisterClassW(&wc);
        HWND w = CreateWindowW(L"QkOsTestChild", L"QK OS test child", WS_OVERLAPPEDWINDOW, 0, 0,
                               200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(w, SW_SHOWNORMAL);
        SetTimer(w, 1, sleepMs ? sleepMs : 60000, nullptr);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } else if (sleepMs) {
        Sleep(sleepMs);
    }
    return static_cast<int>(exitCode);
}
