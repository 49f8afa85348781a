// The splash on its own thread: it waits for the main window, closes at the first tick after
// the main window exists, and clears the application's pointer when it ends.
#include <gtest/gtest.h>
#include <atomic>
#include "app/shell/Model.h"
#include "app/shell/Splash.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::CSplash;

std::atomic<HWND> g_mainWindow{nullptr};
std::atomic<int> g_probes{0};

BOOL CALLBACK PickVisible(HWND hwnd, LPARAM lp) {
    if (::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND ProbeMainWindow() {
    ++g_probes;
    return g_mainWindow.load();
}

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_mainWindow = nullptr;
        g_probes = 0;
    }
    void TearDown() override {
        CSplash::Finish(&splash, 5000);
        if (mainWindow)
            ::DestroyWindow(mainWindow);
    }
    void MakeMainWindow() {
        mainWindow = ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 50, 50, nullptr,
                                       nullptr, nullptr, nullptr);
        g_mainWindow = mainWindow;
    }
    bool Ended(DWORD timeoutMs = 10000) {
        return PumpUntil([&] { return splash == nullptr; }, timeoutMs);
    }
    HWND SplashWindow() {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                CSplash* s = splash;
                if (!s)
                    return true;
                ::EnumThreadWindows(s->m_nThreadID, PickVisible, reinterpret_cast<LPARAM>(&found));
                return found != nullptr;
            },
            5000);
        return found;
    }

    CSplash* splash = nullptr;
    HWND mainWindow = nullptr;
};

TEST_F(SplashTest, WaitsForTheMainWindowThenClosesAtTheNextTick) {
    ASSERT_TRUE(CSplash::Start(&splash, 50, &ProbeMainWindow));
    ASSERT_NE(splash, nullptr);
    HWND window = SplashWindow();
    ASSERT_NE(window, nullptr);
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, app::kFrameWidth);
    EXPECT_EQ(r.bottom - r.top, app::kFrameHeight);
    EXPECT_EQ(::GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

    // Several re-armed ticks pass without a main window: the splash stays.
    ASSERT_TRUE(PumpUntil([] { return g_probes >= 4; }, 10000));
    EXPECT_NE(splash, nullptr);
    EXPECT_TRUE(::IsWindow(window));

    MakeMainWindow();
    ASSERT_TRUE(Ended()) << "the splash must end once the main window exists";
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(SplashTest, MainWindowPresentAtTheFirstTickClosesItThere) {
    MakeMainWindow();
    ASSERT_TRUE(CSplash::Start(&splash, 50, &ProbeMainWindow));
    ASSERT_TRUE(Ended());
    // One tick, then the look for the window to bring forward after closing.
    EXPECT_EQ(g_probes, 2);
}

TEST_F(SplashTest, CloseRequestEndsItBeforeTheFirstTick) {
    ASSERT_TRUE(CSplash::Start(&splash, CSplash::kFirstPeriodMs, &ProbeMainWindow));
    CSplash::RequestClose(&splash);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(g_probes, 1) << "no tick ran; only the look after closing";
}

TEST_F(SplashTest, FinishWaitsUntilTheThreadHasEnded) {
    ASSERT_TRUE(CSplash::Start(&splash, CSplash::kFirstPeriodMs, &ProbeMainWindow));
    ASSERT_NE(SplashWindow(), nullptr);
    EXPECT_TRUE(CSplash::Finish(&splash, 10000));
    EXPECT_EQ(splash, nullptr);
    // Nothing left to close: both calls are harmless.
    CSplash::RequestClose(&splash);
    EXPECT_TRUE(CSplash::Finish(&splash, 100));
}

TEST(SplashMainWindow, IsFoundByTheInstanceProperty) {
    HWND marked = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(marked, nullptr);
    EXPECT_NE(CSplash::FindApplicationMainWindow(), marked);
    ::SetPropW(marked, L"QK-R40_UTILITY_QK-R40", reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(CSplash::FindApplicationMainWindow(), marked);
    ::RemovePropW(marked, L"QK-R40_UTILITY_QK-R40");
    ::DestroyWindow(marked);
}

} // namespace
} // namespace qk::test
