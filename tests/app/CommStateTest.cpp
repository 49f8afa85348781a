// The communication progress dialog run by the real main frame, with worker threads that
// drive it as an exchange does; and one whole exchange through the page framework.
#include <gtest/gtest.h>
#include <atomic>
#include <process.h>
#include "app/connection/CommStateDlg.h"
#include "app/shell/UtilDummyView.h"
#include "app/status/UtilStatusView.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/view/SingleFormView.h"
#include "platform/Controls.h"
#include "platform/Module.h"
#include "resource.h"
#include "tests/app/MainFrameTestSupport.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

constexpr int kProgressId = 1029;

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(10);
    }
    return true;
}

// Notes every time a window is shown, on this thread.
struct ShowWatch {
    static inline HWND target = nullptr;
    static inline std::atomic<DWORD> shownAt{0};
    HHOOK hook;
    explicit ShowWatch(HWND watched) {
        target = watched;
        shownAt = 0;
        hook = ::SetWindowsHookExW(WH_CALLWNDPROC, OnCall, nullptr, ::GetCurrentThreadId());
    }
    ~ShowWatch() { ::UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK OnCall(int code, WPARAM wp, LPARAM lp) {
        auto* msg = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code >= 0 && msg->hwnd == target && msg->message == WM_SHOWWINDOW && msg->wParam &&
            !shownAt)
            shownAt = ::GetTickCount();
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
};

// One run of the progress dialog through the frame, driven by a worker.
struct DialogRun {
    HWND frame;
    HWND dialog = nullptr;
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    explicit DialogRun(HWND frameWindow) : frame(frameWindow) {
        dialog = reinterpret_cast<HWND>(::SendMessageW(frame, WM_UTIL_CREATECOMMSTATE, 0, 0));
    }
    ~DialogRun() {
        if (thread) {
            ::WaitForSingleObject(thread, 10000);
            ::CloseHandle(thread);
        }
        ::CloseHandle(event);
    }
    // Starts the worker and runs the dialog until it ends; answers the frame's answer.
    LRESULT Run(unsigned(__stdcall* worker)(void*), int32_t kind, int32_t delayMs,
                HWND owner = nullptr) {
        thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, worker, this, 0, nullptr));
        CommStateRequest request = {&thread, &event, kind, delayMs};
        return ::SendMessageW(frame, WM_UTIL_RUNCOMMSTATE, reinterpret_cast<WPARAM>(&request),
                              reinterpret_cast<LPARAM>(owner));
    }
    bool WaitVisible() const {
        return WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000);
    }
};

struct ProgressRun : DialogRun {
    using DialogRun::DialogRun;
    std::vector<LRESULT> answers;
    std::vector<int> shown;
    static unsigned __stdcall Worker(void* self) {
        auto* run = static_cast<ProgressRun*>(self);
        for (int position : {10, 40, 30, 100}) {
            run->answers.push_back(::SendMessageW(run->dialog, WM_UTIL_SETPROGRESS, position, 0));
            ::SetEvent(run->event);
            // The dialog takes the position at its next tick and resets the event.
            WaitUntil([&] { return ::WaitForSingleObject(run->event, 0) == WAIT_TIMEOUT; }, 3000);
            run->shown.push_back(static_cast<int>(
                ::SendMessageW(::GetDlgItem(run->dialog, kProgressId), PBM_GETPOS, 0, 0)));
        }
        return 0;
    }
};

TEST_F(FrameFixture, ProgressNeverMovesBackwards) {
    ProgressRun run(frame);
    ASSERT_NE(run.dialog, nullptr);
    EXPECT_EQ(run.Run(&ProgressRun::Worker, 2, 1), 0);
    EXPECT_EQ(run.answers, (std::vector<LRESULT>{0, 0, -1, 0}));
    EXPECT_EQ(run.shown, (std::vector<int>{10, 40, 40, 100}));
    EXPECT_EQ(Frame().CommStateDialog(), nullptr) << "destroyed and forgotten after the run";
    EXPECT_FALSE(::IsWindow(run.dialog));
}

unsigned __stdcall EndAtOnce(void*) {
    return 0;
}

TEST_F(FrameFixture, WorkerThatEndsBeforeTheDelayNeverShowsTheDialog) {
    DialogRun run(frame);
    ShowWatch watch(run.dialog);
    EXPECT_EQ(run.Run(&EndAtOnce, 2, 3000), 0);
    EXPECT_EQ(ShowWatch::shownAt.load(), 0u);
}

struct BriefRun : DialogRun {
    using DialogRun::DialogRun;
    static unsigned __stdcall Worker(void* self) {
        auto* run = static_cast<BriefRun*>(self);
        run->WaitVisible();
        ::Sleep(100);
        return 0;
    }
};

TEST_F(FrameFixture, ShownDialogStaysAboutASecond) {
    BriefRun run(frame);
    ShowWatch watch(run.dialog);
    EXPECT_EQ(run.Run(&BriefRun::Worker, 1, 1), 0);
    DWORD ended = ::GetTickCount();
    ASSERT_NE(ShowWatch::shownAt.load(), 0u);
    EXPECT_GE(ended - ShowWatch::shownAt.load(), 950u);
}

struct KeyRun : DialogRun {
    using DialogRun::DialogRun;
    bool visibleAfterKeys = false;
    static unsigned __stdcall Worker(void* self) {
        auto* run = static_cast<KeyRun*>(self);
        if (!run->WaitVisible())
            return 1;
        for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
            ::PostMessageW(run->dialog, WM_KEYDOWN, key, 1);
            ::PostMessageW(run->dialog, WM_KEYUP, key, 0xC0000001);
        }
        ::PostMessageW(run->dialog, WM_COMMAND, IDCANCEL, 0);
        ::Sleep(700); // more than one poll tick
        run->visibleAfterKeys = ::IsWindowVisible(run->dialog) != FALSE;
        return 0;
    }
};

TEST_F(FrameFixture, EscapeAndEnterChangeNothing) {
    KeyRun run(frame);
    EXPECT_EQ(run.Run(&KeyRun::Worker, 2, 1), 0);
    EXPECT_TRUE(run.visibleAfterKeys);
}

struct OwnerRun : DialogRun {
    using DialogRun::DialogRun;
    HWND owner = nullptr;
    bool ownerEnabledDuring = true;
    std::vector<std::string> callsDuring;
    static unsigned __stdcall Worker(void* self) {
        auto* run = static_cast<OwnerRun*>(self);
        run->WaitVisible();
        run->ownerEnabledDuring = ::IsWindowEnabled(run->owner) != FALSE;
        run->callsDuring = Log().calls;
        return 0;
    }
};

TEST_F(FrameFixture, RunTakesTheStatusPaneOffTheLibraryAndDisablesTheOwner) {
    Log().calls.clear();
    OwnerRun run(frame);
    run.owner = frame;
    EXPECT_EQ(run.Run(&OwnerRun::Worker, 2, 1), 0);
    EXPECT_FALSE(run.ownerEnabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(frame));
    EXPECT_EQ(run.callsDuring, std::vector<std::string>{"Unregister"});
    EXPECT_EQ(Log().calls, (std::vector<std::string>{"Unregister", "Initialize", "Register"}));
    EXPECT_EQ(Log().registeredContext, Frame().StatusView());
}

TEST_F(FrameFixture, OwnerThatWasDisabledStaysDisabled) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ::EnableWindow(owner, FALSE);
    OwnerRun run(frame);
    run.owner = owner;
    EXPECT_EQ(run.Run(&OwnerRun::Worker, 2, 1, owner), 0);
    EXPECT_FALSE(::IsWindowEnabled(owner));
    EXPECT_TRUE(::IsWindowEnabled(frame)) << "only the given owner is touched";
    ::DestroyWindow(owner);
}

TEST(CommStateDialog, AnimationKindTwoShowsThePrinterClipAndBothClipsOpen) {
    struct Row {
        int32_t kind;
        UINT clip;
    } rows[] = {{2, IDR_AVI_COMM_PRINTER}, {1, IDR_AVI_COMM}, {3, IDR_AVI_COMM}, {0, IDR_AVI_COMM}};
    HANDLE none = nullptr;
    for (const Row& row : rows) {
        app::CCommStateDlg dialog;
        dialog.SetRequest({&none, &none, row.kind, 1});
        EXPECT_EQ(dialog.AnimationResource(), row.clip) << "kind " << row.kind;
    }
    app::CCommStateDlg dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    CAnimateCtrl clip(dialog.GetDlgItem(1028));
    EXPECT_TRUE(clip.Open(ThisModule(), IDR_AVI_COMM));
    EXPECT_TRUE(clip.Open(ThisModule(), IDR_AVI_COMM_PRINTER));
    EXPECT_TRUE(clip.Play(0, 0xFFFF, static_cast<UINT>(-1)));
}

// A whole exchange as a page runs it: status check, lock, dialog through the frame, worker.
struct ExchangePage : CSingleFormView {
    ExchangePage() : CSingleFormView(IDD_DUMMY_VIEW, u"PRINTER_SETTING_VIEW") {}
    static inline std::atomic<bool> workerRan{false};
    static unsigned __stdcall Worker(void* self) {
        workerRan = true;
        auto* page = static_cast<ExchangePage*>(self);
        page->CommCtrl().ReportProgress(50);
        ::Sleep(300);
        return 7;
    }
};

struct ExchangeThroughFrame : FrameFixture {
    CFormViewCtrl controller{0x00010001, 992, nullptr};
    ExchangePage page;
    void SetUp() override {
        FrameFixture::SetUp();
        ASSERT_EQ(controller.Initialize(frame, Frame().PageArea()->m_hWnd, host.Context()), 0);
        page.SetController(&controller);
        page.CommCtrl().SetWorkerProc(&ExchangePage::Worker);
        ExchangePage::workerRan = false;
        Log().calls.clear();
    }
    void TearDown() override {
        page.SetController(nullptr);
        FrameFixture::TearDown();
    }
};

HWND g_progressShown = nullptr;

LRESULT CALLBACK NoteProgressShown(int code, WPARAM wp, LPARAM lp) {
    auto* msg = reinterpret_cast<CWPSTRUCT*>(lp);
    if (code >= 0 && msg->message == WM_SHOWWINDOW && msg->wParam &&
        WindowText(msg->hwnd) == L"Communicating with the printer")
        g_progressShown = msg->hwnd;
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(ExchangeThroughFrame, ResultIsTheWorkersExitCodeUnderTheProgressDialog) {
    g_progressShown = nullptr;
    HHOOK hook =
        ::SetWindowsHookExW(WH_CALLWNDPROC, NoteProgressShown, nullptr, ::GetCurrentThreadId());
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), 7);
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(ExchangePage::workerRan);
    EXPECT_NE(g_progressShown, nullptr) << "the exchange outlasted the dialog's delay";
    EXPECT_EQ(page.CommCtrl().CommStateWindow(), nullptr);
    EXPECT_EQ(Log().calls, (std::vector<std::string>{"Unregister", "Initialize", "Register"}));
    EXPECT_TRUE(::TryEnterCriticalSection(host.lock.Get())) << "the lock was given back";
    ::LeaveCriticalSection(host.lock.Get());
}

struct OfflineExchange : ExchangeThroughFrame {
    OfflineExchange() { host.connectionResult = static_cast<int32_t>(0x80000005u); }
};

TEST_F(OfflineExchange, UnknownStatusRefusesTheExchange) {
    EXPECT_EQ(Frame().StatusView()->CurrentStatus(), -1);
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), -64);
    EXPECT_FALSE(ExchangePage::workerRan);
    EXPECT_TRUE(Log().calls.empty());
}

} // namespace
} // namespace qk::test
