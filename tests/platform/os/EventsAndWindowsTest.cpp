// The named events and the process windows seams over the real platform: events shared by
// name, and the windows of a started program found, pinged, and waited for with a pump that
// serves painting only and leaves posted messages for later.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::test {
namespace {

constexpr uint32_t kStartMs = 20000;

std::u16string UniqueName(const char16_t* prefix) {
    return prefix + FromWide(std::to_wstring(GetCurrentProcessId()) + L"_" +
                             std::to_wstring(GetTickCount()));
}

std::u16string ChildProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder = folder.substr(0, folder.find_last_of(L"\\/") + 1);
    return FromWide(folder + L"os_test_child.exe");
}

TEST(Win32NamedEvents, SharedByNameManualResetAndGoneWithTheLastHandle) {
    os::INamedEvents& events = os::RealNamedEvents();
    const std::u16string name = UniqueName(u"Global\\QkTestEvent");
    bool existed = true;
    const os::EventId first = events.CreateManualReset(name, existed);
    ASSERT_NE(first, 0u);
    EXPECT_FALSE(existed);
    const os::EventId second = events.CreateManualReset(name, existed);
    ASSERT_NE(second, 0u);
    EXPECT_TRUE(existed);
    EXPECT_EQ(events.Wait(second, 0), os::WaitResult::TimedOut); // created not signalled
    EXPECT_TRUE(events.Set(first));
    EXPECT_EQ(events.Wait(second, 1000), os::WaitResult::Ended);
    EXPECT_EQ(events.Wait(second, 0), os::WaitResult::Ended); // manual reset: stays set
    events.Close(first);
    events.Close(second);
    const os::EventId again = events.CreateManualReset(name, existed);
    EXPECT_FALSE(existed);
    EXPECT_EQ(events.Wait(again, 0), os::WaitResult::TimedOut);
    events.Close(again);
    EXPECT_EQ(events.Wait(0, 0), os::WaitResult::Failed);
    EXPECT_FALSE(events.Set(0));
}

constexpr UINT kProbeMessage = WM_USER + 7;

// What the probe window was given, in order.
struct ProbeLog {
    int paints = 0;
    std::vector<WPARAM> posted;
};
ProbeLog g_probe;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        ++g_probe.paints;
        return 0;
    }
    if (message == kProbeMessage) {
        g_probe.posted.push_back(wp);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wp, lp);
}

HWND CreateProbeWindow() {
    WNDCLASSW probeClass{};
    probeClass.lpfnWndProc = ProbeProc;
    probeClass.hInstance = GetModuleHandleW(nullptr);
    probeClass.lpszClassName = L"QkPaintOnlyProbe";
    RegisterClassW(&probeClass);
    HWND probe = CreateWindowW(L"QkPaintOnlyProbe", L"probe", WS_OVERLAPPED, 0, 0, 120, 60, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (probe)
        ShowWindow(probe, SW_SHOWNOACTIVATE);
    return probe;
}

TEST(Win32ProcessWindows, WindowsOfAStartedProgramAndThePaintOnlyPump) {
    os::IProcessLauncher& launcher = os::RealProcessLauncher();
    os::IProcessWindows& windows = os::RealProcessWindows();
    ASSERT_TRUE(windows.CanNameProcessIds());
    const os::ProcessId child =
        launcher.ShellOpenProcess(ChildProgram(), u"--window --sleep 4000", u"");
    ASSERT_NE(child, 0u);
    ASSERT_EQ(launcher.WaitUntilReady(child, kStartMs), os::ReadyResult::Ready);
    const std::vector<os::WindowId> shown =
        windows.VisibleTopLevelWindows(launcher.SystemId(child));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(windows.Ping(shown[0], 5000), os::PingResult::Answered);
    EXPECT_TRUE(windows.VisibleTopLevelWindows(GetCurrentProcessId()).empty());

    // A window of this thread, disabled and enabled; its button's root is the window.
    HWND frame = CreateWindowW(L"STATIC", L"frame", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr,
                               nullptr, nullptr);
    HWND button =
        CreateWindowW(L"BUTTON", L"b", WS_CHILD, 0, 0, 10, 10, frame, nullptr, nullptr, nullptr);
    const auto id = reinterpret_cast<os::WindowId>(frame);
    EXPECT_EQ(windows.RootWindow(reinterpret_cast<os::WindowId>(button)), id);
    EXPECT_EQ(windows.RootWindow(0), 0u);
    windows.Enable(id, false);
    EXPECT_FALSE(windows.IsEnabled(id));
    windows.Enable(id, true);
    EXPECT_TRUE(windows.IsEnabled(id));

    // The pump serves painting while the program runs; what is posted meanwhile, before the
    // wait or from another thread during it, is handled after it by the thread's own loop.
    HWND probe = CreateProbeWindow();
    ASSERT_NE(probe, nullptr);
    g_probe = {};
    InvalidateRect(probe, nullptr, TRUE);
    PostMessageW(probe, kProbeMessage, 1, 0);
    windows.PumpPaintOnly(child, 0);
    std::thread poster([probe] { PostMessageW(probe, kProbeMessage, 2, 0); });
    const DWORD start = GetTickCount();
    while (launcher.Wait(child, 0) == os::WaitResult::TimedOut && GetTickCount() - start < kStartMs)
        windows.PumpPaintOnly(child, 1000);
    poster.join();
    EXPECT_EQ(launcher.Wait(child, 0), os::WaitResult::Ended);
    EXPECT_GE(g_probe.paints, 1);
    EXPECT_TRUE(g_probe.posted.empty()) << "handled during the wait";
    MSG msg;
    while (PeekMessageW(&msg, probe, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(g_probe.posted, (std::vector<WPARAM>{1, 2}));
    DestroyWindow(probe);
    EXPECT_EQ(windows.Ping(shown[0], 100), os::PingResult::Gone);
    launcher.Close(child);
    DestroyWindow(frame);
}

} // namespace
} // namespace qk::test
