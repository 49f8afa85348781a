#include "platform/os/Win32ProcessWindows.h"
#include <windows.h>
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

HWND AsWindow(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

WindowId AsId(HWND window) {
    return reinterpret_cast<WindowId>(window);
}

struct WindowSearch {
    DWORD processId;
    std::vector<WindowId> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found.push_back(AsId(window));
    }
    return TRUE;
}

bool IsFrameClick(UINT message) {
    switch (message) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Win32ProcessWindows::CanNameProcessIds() {
    // GetProcessId is part of every system this program runs on.
    return true;
}

WindowId Win32ProcessWindows::RootWindow(WindowId window) {
    if (!window || !IsWindow(AsWindow(window))) {
        return 0;
    }
    return AsId(GetAncestor(AsWindow(window), GA_ROOT));
}

bool Win32ProcessWindows::IsEnabled(WindowId window) {
    return window && IsWindowEnabled(AsWindow(window));
}

void Win32ProcessWindows::Enable(WindowId window, bool enable) {
    if (window) {
        EnableWindow(AsWindow(window), enable ? TRUE : FALSE);
    }
}

std::vector<WindowId> Win32ProcessWindows::VisibleTopLevelWindows(uint32_t systemProcessId) {
    WindowSearch search{systemProcessId, {}};
    if (systemProcessId) {
        EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

PingResult Win32ProcessWindows::Ping(WindowId window, uint32_t timeoutMs) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(AsWindow(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs,
                            &answer)) {
        return PingResult::Answered;
    }
    return IsWindow(AsWindow(window)) ? PingResult::TimedOut : PingResult::Gone;
}

void Win32ProcessWindows::YieldSlice() {
    Sleep(0);
}

void Win32ProcessWindows::BringToForeground(WindowId window) {
    if (window) {
        SetForegroundWindow(AsWindow(window));
    }
}

bool Win32ProcessWindows::HoldsKeyboardFocus() {
    HWND foreground = GetForegroundWindow();
    DWORD owner = 0;
    if (foreground) {
        GetWindowThreadProcessId(foreground, &owner);
    }
    return foreground && owner == GetCurrentProcessId();
}

bool Win32ProcessWindows::PumpPaintOnly(ProcessId process, uint32_t timeoutMs) {
    HANDLE handle = reinterpret_cast<HANDLE>(process);
    // Posted messages and timers do not end the wait: they stay queued for the loop that runs
    // after the program (the status strip's reports among them), and waking for them would
    // turn this wait into a busy loop.
    MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE, timeoutMs,
                              QS_PAINT | QS_INPUT | QS_SENDMESSAGE);
    bool frameClick = false;
    MSG msg;
    // The user's input goes nowhere while the program runs; a click on a frame is noted so
    // that the program can be brought back to the front.
    for (int taken = 0; taken < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT);
         ++taken) {
        if (msg.message == WM_QUIT) {
            // The loop that asked to end must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsFrameClick(msg.message)) {
            frameClick = true;
        }
    }
    // A window that never validates itself would hand out paint messages for ever.
    for (int taken = 0; taken < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT);
         ++taken) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchMessageW(&msg);
    }
    return frameClick;
}

IProcessWindows& RealProcessWindows() {
    static Win32ProcessWindows windows;
    return windows;
}

} // namespace qk::os
