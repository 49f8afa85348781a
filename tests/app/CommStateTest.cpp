// The communication progress dialog run by the real main frame, with worker threads that
// drive it as an exchange does; and one whole exchange through the page framework.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <mutex>
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
        return PollUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000);
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
            PollUntil([&] { return ::WaitForSingleObject(run->event, 0) == WAIT_TIMEOUT; }, 3000);
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

// Notes the dialog's timers as its thread takes them, and whether it was visible then.
struct TimerWatch {
    static inline HWND target = nullptr;
    static inline std::mutex lock;
    static inline std::vector<UINT_PTR> timers;
    static inline std::vector<bool> visible;
    HHOOK hook;
    explicit TimerWatch(HWND watched) {
        target = watched;
        std::lock_guard hold(lock);
        timers.clear();
        visible.clear();
        hook = ::SetWindowsHookExW(WH_GETMESSAGE, OnGet, nullptr, ::GetCurrentThreadId());
    }
    ~TimerWatch() { ::UnhookWindowsHookEx(hook); }
    static std::size_t Count(UINT_PTR id) {
        std::lock_guard hold(lock);
        return static_cast<std::size_t>(std::count(timers.begin(), timers.end(), id));
    }
    static LRESULT CALLBACK OnGet(int code, WPARAM wp, LPARAM lp) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        if (code >= 0 && wp == PM_REMOVE && msg->hwnd == target && msg->message == WM_TIMER) {
            std::lock_guard hold(lock);
            timers.push_back(msg->wParam);
            visible.push_back(::IsWindowVisible(target) != FALSE);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
};

struct BriefRun : DialogRun {
    using DialogRun::DialogRun;
    static unsigned __stdcall Worker(void* self) {
        static_cast<BriefRun*>(self)->WaitVisible();
        return 0;
    }
};

// The extra second is the linger timer's: the worker's end does not end the shown dialog,
// that timer does, with the dialog still up. (How long it stays is exchange_bench's figure.)
TEST_F(FrameFixture, ShownDialogThatEndsAtOnceStaysUpUntilTheLingerTimer) {
    BriefRun run(frame);
    ShowWatch show(run.dialog);
    TimerWatch watch(run.dialog);
    EXPECT_EQ(run.Run(&BriefRun::Worker, 1, 1), 0);
    ASSERT_NE(ShowWatch::shownAt.load(), 0u);
    ASSERT_FALSE(TimerWatch::timers.empty());
    EXPECT_EQ(TimerWatch::timers.back(), app::CCommStateDlg::kLingerTimer)
        << testing::PrintToString(TimerWatch::timers);
    EXPECT_EQ(TimerWatch::Count(app::CCommStateDlg::kLingerTimer), 1u);
    EXPECT_TRUE(TimerWatch::visible.back()) << "still shown when the linger ends it";
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
        // The keys were taken once a poll tick comes after them: the dialog's thread takes
        // its queue in order.
        const std::size_t ticks = TimerWatch::Count(app::CCommStateDlg::kPollTimer);
        if (!PollUntil([&] { return TimerWatch::Count(app::CCommStateDlg::kPollTimer) > ticks; },
                       5000))
            return 2;
        run->visibleAfterKeys = ::IsWindowVisible(run->dialog) != FALSE;
        return 0;
    }
};

TEST_F(FrameFixture, EscapeAndEnterChangeNothing) {
    KeyRun run(frame);
    TimerWatch watch(run.dialog);
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
        run->callsDuring = FakeCommLibrary::Current().Calls();
        return 0;
    }
};

TEST_F(FrameFixture, RunTakesTheStatusPaneOffTheLibraryAndDisablesTheOwner) {
    host.library.ClearCalls();
    OwnerRun run(frame);
    run.owner = frame;
    EXPECT_EQ(run.Run(&OwnerRun::Worker, 2, 1), 0);
    EXPECT_FALSE(run.ownerEnabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(frame));
    EXPECT_EQ(run.callsDuring, std::vector<std::string>{"UnregisterStatusProc"});
    EXPECT_EQ(host.library.Calls(), (std::vector<std::string>{"UnregisterStatusProc", "Initialize",
                                                              "RegisterStatusProc"}));
    EXPECT_EQ(host.library.statusContext, Frame().StatusView());
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

std::atomic<HWND> g_progressShown{nullptr};

// A whole exchange as a page runs it: status check, lock, dialog through the frame, worker.
struct ExchangePage : CSingleFormView {
    ExchangePage() : CSingleFormView(IDD_DUMMY_VIEW, u"PRINTER_SETTING_VIEW") {}
    static inline std::atomic<bool> workerRan{false};
    static unsigned __stdcall Worker(void* self) {
        workerRan = true;
        auto* page = static_cast<ExchangePage*>(self);
        page->CommCtrl().ReportProgress(50);
        // Outlasts the dialog's delay: ends once the dialog is shown.
        PollUntil([] { return g_progressShown.load() != nullptr; }, 10000);
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
        host.library.ClearCalls();
    }
    void TearDown() override {
        page.SetController(nullptr);
        FrameFixture::TearDown();
    }
};

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
    EXPECT_NE(g_progressShown.load(), nullptr) << "the dialog shows while the exchange runs";
    EXPECT_EQ(page.CommCtrl().CommStateWindow(), nullptr);
    EXPECT_EQ(host.library.Calls(), (std::vector<std::string>{"UnregisterStatusProc", "Initialize",
                                                              "RegisterStatusProc"}));
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
    EXPECT_TRUE(host.library.Calls().empty());
}

} // namespace
} // namespace qk::test
