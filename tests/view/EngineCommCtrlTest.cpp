// One printer exchange at a time: the status check before the lock, the set-up failures, the
// request handed to the frame, the worker's priority and result, and two exchanges from two
// threads that must not overlap.
#include <gtest/gtest.h>
#include <atomic>
#include "platform/WinThread.h"
#include "tests/support/WindowDriver.h"
#include "tests/view/ViewTestSupport.h"

namespace qk::test {
namespace {

std::atomic<int> g_workerRuns{0};
std::atomic<int> g_workerPriority{0};

unsigned __stdcall ReportAndReturn(void* self) {
    ++g_workerRuns;
    g_workerPriority = ::GetThreadPriority(::GetCurrentThread());
    auto* page = static_cast<ProbePage*>(self);
    page->CommCtrl().ReportProgress(30);
    page->CommCtrl().ReportProgress(90);
    return 42;
}

struct ExchangeFixture : ::testing::Test {
    HostWindows host;
    TestContext context;
    ProbeController controller;
    ProbePage page;
    void SetUp() override {
        controller.pageTemplates = {};
        ASSERT_EQ(controller.Initialize(host.frame, host.pane, context.get()), 0);
        page.SetController(&controller);
        page.CommCtrl().SetWorkerProc(&ReportAndReturn);
        g_workerRuns = 0;
    }
    void TearDown() override { page.SetController(nullptr); }
};

TEST_F(ExchangeFixture, RunsTheWorkerUnderTheDialogAndAnswersItsExitCode) {
    host.frame.watchLock = context.lock.Get();
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), 42);
    EXPECT_EQ(g_workerRuns, 1);
    EXPECT_EQ(g_workerPriority, THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(host.frame.creates, 1);
    EXPECT_EQ(host.frame.runs, 1);
    EXPECT_TRUE(host.frame.lockHeldDuringRun);
    EXPECT_EQ(host.frame.lastRequest.animationKind, 2);
    EXPECT_EQ(host.frame.lastRequest.showDelayMs, 1);
    ASSERT_NE(host.frame.dialog, nullptr);
    EXPECT_EQ(host.frame.dialog->positions, (std::vector<int32_t>{30, 90}));
    EXPECT_EQ(page.CommCtrl().CommStateWindow(), nullptr);
    EXPECT_TRUE(::TryEnterCriticalSection(context.lock.Get()));
    ::LeaveCriticalSection(context.lock.Get());
}

// A worker that runs until it is told to stop, and then still asks the frame for the status
// (a message to the waiting thread) before it ends.
std::atomic<bool> g_workerEnded{false};

unsigned __stdcall RunUntilToldToStop(void* self) {
    auto* page = static_cast<ProbePage*>(self);
    const DWORD start = ::GetTickCount();
    while (!page->CommCtrl().StopRequested() && ::GetTickCount() - start < 20000)
        ::Sleep(10);
    int32_t status = -1;
    ::SendMessageW(page->Controller()->OwnerWindow(), WM_UTIL_GETSTATUS,
                   reinterpret_cast<WPARAM>(&status), 0);
    g_workerEnded = true;
    return page->CommCtrl().StopRequested() ? 7 : 8;
}

TEST_F(ExchangeFixture, AWorkerThatOutlivesTheDialogIsToldToStopAndWaitedFor) {
    host.frame.runReturnsAtOnce = true;
    g_workerEnded = false;
    page.CommCtrl().SetWorkerProc(&RunUntilToldToStop);
    page.CommCtrl().SetLateWorkerWait(100);
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), 7);
    EXPECT_TRUE(g_workerEnded) << "the lock and the handles went while the worker still ran";
    EXPECT_TRUE(::TryEnterCriticalSection(context.lock.Get()));
    ::LeaveCriticalSection(context.lock.Get());
}

// A worker that does not stop when told, until the test lets it go.
HANDLE g_letWorkerGo = nullptr;

unsigned __stdcall IgnoreTheStop(void*) {
    ::WaitForSingleObject(g_letWorkerGo, 20000);
    g_workerEnded = true;
    return 9;
}

unsigned __stdcall TryTakeLock(void* section) {
    auto* lock = static_cast<CRITICAL_SECTION*>(section);
    if (!::TryEnterCriticalSection(lock))
        return 0;
    ::LeaveCriticalSection(lock);
    return 1;
}

// True when a thread other than this one can take the lock.
bool LockIsFree(CRITICAL_SECTION* lock) {
    HANDLE thread = StartWorkerThread(&TryTakeLock, lock);
    DWORD taken = 0;
    const bool ended = thread && ::WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    if (thread) {
        ::GetExitCodeThread(thread, &taken);
        ::CloseHandle(thread);
    }
    return ended && taken == 1;
}

TEST_F(ExchangeFixture, AWorkerThatIgnoresTheStopIsGivenUpOnWithoutHoldingTheLock) {
    g_letWorkerGo = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(g_letWorkerGo, nullptr);
    struct LetGo {
        ~LetGo() { ::SetEvent(g_letWorkerGo); }
    } letGo; // before the page, whose helper waits for its worker
    host.frame.runReturnsAtOnce = true;
    g_workerEnded = false;
    page.CommCtrl().SetWorkerProc(&IgnoreTheStop);
    page.CommCtrl().SetLateWorkerWait(50);
    page.CommCtrl().SetStoppedWorkerWait(50);
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), -64);
    EXPECT_FALSE(g_workerEnded);
    EXPECT_TRUE(LockIsFree(context.lock.Get())) << "the lock is held for a worker given up on";
    page.CommCtrl().SetWorkerProc(&ReportAndReturn);
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), -25) << "an exchange beside the running worker";
    EXPECT_EQ(g_workerRuns, 0);

    ::SetEvent(g_letWorkerGo);
    const DWORD start = ::GetTickCount();
    while (!g_workerEnded && ::GetTickCount() - start < 10000)
        ::Sleep(10);
    ASSERT_TRUE(g_workerEnded);
    bool ran = false;
    for (int attempt = 0; attempt < 100 && !ran; ++attempt) {
        ran = page.CommCtrl().RunExchange(&page) == 42; // once its thread has ended
        if (!ran)
            ::Sleep(20);
    }
    EXPECT_TRUE(ran);
}

TEST_F(ExchangeFixture, OfflineOrUnknownStatusAnswersMinusSixtyFourWithoutAnExchange) {
    for (int32_t status : {1, 16, -1}) {
        host.frame.status = status;
        EXPECT_EQ(page.CommCtrl().RunExchange(&page), -64) << status;
    }
    EXPECT_EQ(host.frame.creates, 0);
    EXPECT_EQ(g_workerRuns, 0);
    host.frame.status = 2; // "Cannot Get Status" is not offline
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), 42);
}

// Holds a critical section on a thread of its own until told to let go.
struct LockHolder {
    CRITICAL_SECTION* section;
    HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    explicit LockHolder(CRITICAL_SECTION* s) : section(s) {
        thread = StartWorkerThread(&Body, this);
        ::WaitForSingleObject(held, 5000);
    }
    ~LockHolder() {
        ::SetEvent(release);
        ::WaitForSingleObject(thread, 5000);
        ::CloseHandle(thread);
        ::CloseHandle(held);
        ::CloseHandle(release);
    }
    static unsigned __stdcall Body(void* self) {
        auto* holder = static_cast<LockHolder*>(self);
        ::EnterCriticalSection(holder->section);
        ::SetEvent(holder->held);
        ::WaitForSingleObject(holder->release, 20000);
        ::LeaveCriticalSection(holder->section);
        return 0;
    }
};

// Runs one exchange on a thread of its own and reports its answer.
struct ExchangeCall {
    ProbePage* page;
    std::atomic<bool> done{false};
    std::atomic<int32_t> result{0};
    HANDLE thread = nullptr;
    explicit ExchangeCall(ProbePage* p) : page(p) { thread = StartWorkerThread(&Body, this); }
    ~ExchangeCall() {
        ::WaitForSingleObject(thread, 20000);
        ::CloseHandle(thread);
    }
    static unsigned __stdcall Body(void* self) {
        auto* call = static_cast<ExchangeCall*>(self);
        call->result = call->page->CommCtrl().RunExchange(call->page);
        call->done = true;
        return 0;
    }
};

TEST_F(ExchangeFixture, OfflineAnswerNeverWaitsForTheLock) {
    host.frame.status = 16;
    LockHolder holder(context.lock.Get()); // someone else's exchange is running
    ExchangeCall call(&page);
    // The frame's status answer needs this thread's messages.
    EXPECT_TRUE(PumpUntil([&] { return call.done.load(); }, 5000))
        << "the exchange waited for the lock although the printer is offline";
    EXPECT_EQ(call.result, -64);
}

TEST_F(ExchangeFixture, SetUpFailuresAnswerMinusTwentyFiveAndGiveTheLockBack) {
    host.frame.refuseDialog = true;
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), -25);
    EXPECT_EQ(g_workerRuns, 0);
    EXPECT_TRUE(::TryEnterCriticalSection(context.lock.Get())) << "lock given back";
    ::LeaveCriticalSection(context.lock.Get());

    host.frame.refuseDialog = false;
    page.CommCtrl().SetWorkerProc(nullptr);
    EXPECT_EQ(page.CommCtrl().RunExchange(&page), -25);

    ProbePage orphan;
    orphan.CommCtrl().SetWorkerProc(&ReportAndReturn);
    EXPECT_EQ(orphan.CommCtrl().RunExchange(&orphan), -25) << "no controller, no owner";
    EXPECT_EQ(orphan.CommCtrl().RunExchange(nullptr), -25);
}

// Two user-interface threads, each with its own frame and page, sharing one context.
std::atomic<int> g_active{0};
std::atomic<int> g_maxActive{0};

unsigned __stdcall SlowWorker(void*) {
    int now = ++g_active;
    int seen = g_maxActive;
    while (now > seen && !g_maxActive.compare_exchange_weak(seen, now)) {
    }
    ::Sleep(200);
    --g_active;
    return 5;
}

class ExchangeThread : public CWinThread {
public:
    UtilContext* context = nullptr;
    int rounds = 3;
    std::vector<int32_t> results;
    bool InitInstance() override {
        FakeFrame frame;
        frame.Make();
        ProbeController controller;
        controller.pageTemplates = {};
        controller.Initialize(frame, nullptr, context);
        ProbePage page;
        page.SetController(&controller);
        page.CommCtrl().SetWorkerProc(&SlowWorker);
        for (int i = 0; i < rounds; ++i)
            results.push_back(page.CommCtrl().RunExchange(&page));
        page.SetController(nullptr);
        return false;
    }
};

TEST(TwoExchanges, NeverOverlap) {
    TestContext context;
    g_active = 0;
    g_maxActive = 0;
    ExchangeThread first, second;
    for (ExchangeThread* t : {&first, &second}) {
        t->m_bAutoDelete = false;
        t->context = context.get();
        ASSERT_TRUE(t->CreateThread());
    }
    HANDLE threads[] = {first.m_hThread, second.m_hThread};
    ASSERT_EQ(::WaitForMultipleObjects(2, threads, TRUE, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(first.results, (std::vector<int32_t>{5, 5, 5}));
    EXPECT_EQ(second.results, (std::vector<int32_t>{5, 5, 5}));
    EXPECT_EQ(g_maxActive, 1);
}

} // namespace
} // namespace qk::test
