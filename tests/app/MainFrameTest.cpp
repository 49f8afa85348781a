// The main frame created in-process through the document template, driven with messages.
#include <gtest/gtest.h>
#include "app/connection/CommStateDlg.h"
#include "app/menu/UtilMenuView.h"
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "resource.h"
#include "app/status/UtilStatusView.h"
#include "framework/view/UtilMessages.h"
#include "tests/app/MainFrameTestSupport.h"
#include "tests/app/MenuViewTestSupport.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::CMainFrame;

TEST_F(FrameFixture, SizingIsHeldAtTheFixedFloorByMovingRightAndBottom) {
    struct Row {
        RECT proposed;
        RECT expected;
    } rows[] = {
        {{100, 50, 300, 200}, {100, 50, 896, 573}}, // both too small
        {{0, 0, 900, 200}, {0, 0, 900, 523}},       // only too low
        {{10, 10, 20, 700}, {10, 10, 806, 700}},    // only too narrow
        {{5, 5, 1000, 800}, {5, 5, 1000, 800}},     // large enough: unchanged
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        RECT r = rows[i].proposed;
        ::SendMessageW(frame, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&r));
        EXPECT_TRUE(::EqualRect(&r, &rows[i].expected))
            << "row " << i << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

// The title, the instance property, the menu bar and the frame's style are the real
// program's (SmokeTest); its system menu is read here, in the frame's own process.
TEST_F(FrameFixture, SystemMenuHasNeitherSizeNorMaximize) {
    HMENU sys = ::GetSystemMenu(frame, FALSE);
    EXPECT_EQ(::GetMenuState(sys, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(::GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(FrameFixture, ThreePanesInTwoStaticSplitters) {
    HWND outer = ::GetDlgItem(frame, 0xE900);
    EXPECT_EQ(outer, Frame().OuterSplitter().m_hWnd);
    EXPECT_EQ(Frame().OuterSplitter().GetRowCount(), 2);
    EXPECT_EQ(Frame().OuterSplitter().GetColumnCount(), 1);
    EXPECT_EQ(Frame().InnerSplitter().GetRowCount(), 1);
    EXPECT_EQ(Frame().InnerSplitter().GetColumnCount(), 2);
    EXPECT_EQ(::GetParent(Frame().InnerSplitter().m_hWnd), outer) << "inside the upper cell";
    EXPECT_EQ(Frame().InnerSplitter().m_hWnd, Frame().OuterSplitter().GetPane(0, 0));
    ASSERT_NE(Frame().MenuView(), nullptr);
    ASSERT_NE(Frame().PageArea(), nullptr);
    ASSERT_NE(Frame().StatusView(), nullptr);
    EXPECT_EQ(Frame().StatusView()->m_hWnd, Frame().OuterSplitter().GetPane(1, 0));
}

TEST_F(FrameFixture, PaneLayoutFollowsTheMenuPaneSize) {
    Frame().SetMenuPaneSize(150, 300);
    Frame().LayoutPanes();
    RECT client = Frame().GetClientRect();
    const int w = client.right, h = client.bottom;
    auto size = [](HWND pane) {
        RECT r{};
        ::GetWindowRect(pane, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    SIZE status = size(Frame().StatusView()->m_hWnd);
    SIZE menu = size(Frame().MenuView()->m_hWnd);
    SIZE page = size(Frame().PageArea()->m_hWnd);
    EXPECT_EQ(status.cx, w);
    EXPECT_EQ(status.cy, 65);
    EXPECT_EQ(menu.cx, 150);
    EXPECT_EQ(menu.cy, h - 67);
    EXPECT_EQ(page.cy, h - 67);
    EXPECT_EQ(menu.cx + Frame().InnerSplitter().BarSize() + page.cx, w);

    // A request before the menu pane's size is known changes nothing.
    Frame().SetMenuPaneSize(0, 300);
    ::SetWindowPos(frame, nullptr, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(size(Frame().MenuView()->m_hWnd).cx, 150);
}

TEST_F(FrameFixture, SplitterBarsCannotBeDraggedAndAreLightGrey) {
    Frame().SetMenuPaneSize(150, 300);
    Frame().LayoutPanes();
    Frame().ShowWindow(SW_SHOW);
    Frame().UpdateWindow();
    HWND inner = Frame().InnerSplitter().m_hWnd;
    int before = 0, minimum = 0;
    Frame().InnerSplitter().GetColumnInfo(0, before, minimum);
    POINT onBar = {151, 40};
    ::SendMessageW(inner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onBar.x, onBar.y));
    ::SendMessageW(inner, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 40));
    ::SendMessageW(inner, WM_LBUTTONUP, 0, MAKELPARAM(400, 40));
    int after = 0;
    Frame().InnerSplitter().GetColumnInfo(0, after, minimum);
    EXPECT_EQ(after, before);
    EXPECT_NE(::GetCapture(), inner);

    ::RedrawWindow(inner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(50);
    HDC dc = ::GetDC(inner);
    COLORREF colour = ::GetPixel(dc, onBar.x, onBar.y);
    ::ReleaseDC(inner, dc);
    EXPECT_EQ(colour, RGB(240, 240, 240));
}

TEST(UtilSplitter, DrawsOutlinesOnlyAndNothingWhenOnlyInvalidating) {
    struct Probe : app::CUtilSplitterWnd {
        using CUtilSplitterWnd::OnDrawSplitter;
    } splitter;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 20, 20);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, 20, 20};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    RECT bar = {2, 2, 12, 12};
    splitter.OnDrawSplitter(dc, CSplitterWnd::splitBar, bar);
    EXPECT_EQ(::GetPixel(dc, 2, 2), RGB(240, 240, 240));
    EXPECT_EQ(::GetPixel(dc, 11, 7), RGB(240, 240, 240));
    EXPECT_EQ(::GetPixel(dc, 7, 11), RGB(240, 240, 240));
    EXPECT_EQ(::GetPixel(dc, 7, 7), RGB(0, 0, 0)) << "an outline, not a filled bar";
    EXPECT_EQ(::GetPixel(dc, 12, 12), RGB(0, 0, 0));
    splitter.OnDrawSplitter(nullptr, CSplitterWnd::splitBar, bar); // no window: must not fail
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST_F(FrameFixture, PageAreaPassesSizeChangesToEveryDescendant) {
    HWND pageArea = Frame().PageArea()->m_hWnd;
    struct SizeSpy : CWnd {
        int cx = -1, cy = -1;
        void OnSize(UINT, int w, int h) override {
            cx = w;
            cy = h;
        }
    };
    SizeSpy page, grandchild;
    RECT rect = {0, 0, 10, 10};
    ASSERT_TRUE(page.Create(nullptr, nullptr, WS_VISIBLE, rect, pageArea, 8));
    ASSERT_TRUE(grandchild.Create(nullptr, nullptr, WS_VISIBLE, rect, page, 9));
    ::SendMessageW(pageArea, WM_SIZE, SIZE_RESTORED, MAKELPARAM(321, 123));
    EXPECT_EQ(page.cx, 321);
    EXPECT_EQ(page.cy, 123);
    EXPECT_EQ(grandchild.cx, 321) << "descendants, not only direct children";
}

// Records which messages reach a window by post and which by send.
struct MessageWatch {
    static inline HWND target = nullptr;
    static inline std::vector<UINT> posted, sent;
    HHOOK getHook, callHook;
    explicit MessageWatch(HWND watched) {
        target = watched;
        posted.clear();
        sent.clear();
        getHook = ::SetWindowsHookExW(WH_GETMESSAGE, OnGet, nullptr, ::GetCurrentThreadId());
        callHook = ::SetWindowsHookExW(WH_CALLWNDPROC, OnCall, nullptr, ::GetCurrentThreadId());
    }
    ~MessageWatch() {
        ::UnhookWindowsHookEx(getHook);
        ::UnhookWindowsHookEx(callHook);
    }
    static LRESULT CALLBACK OnGet(int code, WPARAM wp, LPARAM lp) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        if (code >= 0 && wp == PM_REMOVE && msg->hwnd == target && msg->message >= WM_USER)
            posted.push_back(msg->message);
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static LRESULT CALLBACK OnCall(int code, WPARAM wp, LPARAM lp) {
        auto* msg = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code >= 0 && msg->hwnd == target && msg->message >= WM_USER)
            sent.push_back(msg->message);
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
};

TEST_F(FrameFixture, StatusMessagesAreRelayedAndAnsweredZero) {
    auto* status = Frame().StatusView();
    MessageWatch watch(status->m_hWnd);
    int32_t code = 77;
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_GETSTATUS, reinterpret_cast<WPARAM>(&code), 0), 0);
    EXPECT_EQ(code, 0) << "the printer answered at start-up, so the strip starts online";
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_UPDATEPRINTERINFO, 5, 6), 0);
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_READSETTINGS, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_STOPSTATUS, 0, 0), 0);
    EXPECT_FALSE(status->UpdatesEnabled());
    ASSERT_TRUE(PumpPending()); // the relay posts the printer information update
    EXPECT_EQ(MessageWatch::posted, std::vector<UINT>{WM_UTIL_UPDATEPRINTERINFO});
    // The settings read asks the strip for the status (through the frame) before it talks to
    // the printer.
    EXPECT_EQ(MessageWatch::sent, (std::vector<UINT>{WM_UTIL_GETSTATUS, WM_UTIL_READSETTINGS,
                                                     WM_UTIL_GETSTATUS, WM_UTIL_STOPSTATUS}));
}

TEST_F(FrameFixture, HandOverStartsMonitoringAndRegistersTheStatusProcedure) {
    // The menu view handed its items over during the initial update.
    auto* status = Frame().StatusView();
    EXPECT_EQ(status->MenuItems(), &Frame().MenuView()->Items());
    EXPECT_EQ(status->Binding(), host.library.Binding());
    EXPECT_EQ(host.library.Calls(), std::vector<std::string>{"RegisterStatusProc"});
    EXPECT_EQ(host.library.statusProc, &app::CUtilStatusView::StatusProc);
    EXPECT_EQ(host.library.statusContext, status);
}

TEST_F(FrameFixture, StatusProcedurePostsOnlyToALivePane) {
    auto* status = Frame().StatusView();
    MessageWatch watch(status->m_hWnd);
    EXPECT_EQ(app::CUtilStatusView::StatusProc(7, status), 1);
    int notAPane = 0;
    EXPECT_EQ(app::CUtilStatusView::StatusProc(7, &notAPane), 0);
    EXPECT_EQ(app::CUtilStatusView::StatusProc(7, nullptr), 0);
    ASSERT_TRUE(PumpPending());
    EXPECT_EQ(MessageWatch::posted, std::vector<UINT>{WM_UTIL_STATUSCHANGED});
}

TEST(FrameClose, WaitsForTheSelectedPageToAgree) {
    MenuWorld world;
    world.WriteMenu("[MENUITEM_1]\nITEMID=10\nSELECTING=1\nUSE_DLL_NAME=QKMenuTestRefuse.dll\n"
                    "[MENUITEM_2]\nITEMID=11\nSELECTING=2");
    ASSERT_TRUE(world.Open());
    HWND frame = world.Frame().m_hWnd;
    world.TakeCalls();
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(frame)) << "the page refused to be left";
    EXPECT_EQ(world.TakeCalls(), std::vector<std::string>{"QKMenuTestRefuse.dll State1"});

    using SetAnswer = void(WINAPI*)(int32_t);
    auto setAnswer = reinterpret_cast<SetAnswer>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"QKMenuTestRefuse.dll"), "MenuTest_SetLeaveAnswer")));
    ASSERT_NE(setAnswer, nullptr);
    setAnswer(0);
    ClickRow(world, 1);
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(frame)) << "a selected entry whose plug-in is not bound";
    ClickRow(world, 0);
    world.TakeCalls();
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_EQ(world.TakeCalls(), (std::vector<std::string>{"QKMenuTestRefuse.dll State1",
                                                           "QKMenuTestRefuse.dll Finalize"}));
}

TEST_F(FrameFixture, CloseWithoutSelectionCloses) {
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame));
}

TEST_F(FrameFixture, ProgressDialogIsCreatedHiddenWithItsTitle) {
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_RUNCOMMSTATE, 0, 0), -1) << "nothing created yet";
    auto dialog = reinterpret_cast<HWND>(::SendMessageW(frame, WM_UTIL_CREATECOMMSTATE, 0, 0));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(WindowText(dialog), L"Communicating with the printer");
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), frame);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDOK)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDCANCEL)));
    // A second request replaces the first dialog instead of leaving it behind.
    auto second = reinterpret_cast<HWND>(::SendMessageW(frame, WM_UTIL_CREATECOMMSTATE, 0, 0));
    EXPECT_NE(second, nullptr);
    EXPECT_FALSE(::IsWindow(dialog));
    // A request without a worker cannot run: the dialog would never end.
    CommStateRequest empty{};
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_RUNCOMMSTATE, reinterpret_cast<WPARAM>(&empty), 0), -1);
    EXPECT_EQ(Frame().CommStateDialog(), nullptr);
}

TEST(CommStateDialogTitle, ComesFromTheFramesLanguageScreen) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + L"qkframe_lang_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const char text[] = "\xFF\xFE[\0M\0A\0I\0N\0_\0W\0I\0N\0D\0O\0W\0_\0S\0T\0R\0]\0\r\0\n\0"
                        "S\0T\0R\0_\0\x30\0=\0T\0a\0l\0k\0i\0n\0g\0\r\0\n\0";
    HANDLE file = ::CreateFileW((folder + L"\\0409.DAT").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    ::CloseHandle(file);
    {
        FakeShellHost host;
        folder.copy(reinterpret_cast<wchar_t*>(host.context->languageFolder), kTextSlot - 1);
        host.context->languageId = 0x0411; // missing: the English file serves
        CSingleDocTemplate docTemplate(
            IDR_MAINFRAME, [] { return new app::CUtlDoc; }, [] { return new CMainFrame; },
            [] { return new app::CUtilDummyView; });
        CFrameWnd* created = docTemplate.OpenNewDocument();
        ASSERT_NE(created, nullptr);
        auto dialog = reinterpret_cast<HWND>(created->SendMessage(WM_UTIL_CREATECOMMSTATE));
        EXPECT_EQ(WindowText(dialog), L"Talking");
        created->DestroyWindow();
    }
    ::DeleteFileW((folder + L"\\0409.DAT").c_str());
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace
} // namespace qk::test
