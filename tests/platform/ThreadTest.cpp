// User-interface threads with their own loop, worker threads and the synchronisation wrappers.
#include <gtest/gtest.h>
#include <atomic>
#include "platform/Sync.h"
#include "platform/WinThread.h"
#include "platform/Wnd.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

std::atomic<int> g_threadEvents{0};
std::atomic<DWORD> g_windowThread{0};

class ClosingWnd : public CWnd {
protected:
    bool OnCreate(CREATESTRUCTW*) override {
        g_windowThread = ::GetCurrentThreadId();
        SetTimer(1, 30);
        return true;
    }
    void OnTimer(UINT_PTR) override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }
};

class WindowThread : public CWinThread {
public:
    ~WindowThread() override { ++g_threadEvents; }
    bool InitInstance() override {
        auto* wnd = new ClosingWnd;
        if (!wnd->CreateEx(0, nullptr, L"thread window", WS_POPUP, 0, 0, 10, 10, nullptr,
                           nullptr)) {
            delete wnd;
            return false;
        }
        m_pMainWnd = wnd;
        return true;
    }
    int ExitInstance() override { return 5; }
};

TEST(Thread, UiThreadEndsWithItsMainWindowAndDeletesItself) {
    g_threadEvents = 0;
    auto* thread = new WindowThread;
    ASSERT_TRUE(thread->CreateThread());
    HANDLE handle = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(),
                                  &handle, 0, FALSE, DUPLICATE_SAME_ACCESS));
    ASSERT_EQ(::WaitForSingleObject(handle, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeThread(handle, &code);
    ::CloseHandle(handle);
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(g_threadEvents, 1) << "auto-deleted once";
    EXPECT_NE(g_windowThread, ::GetCurrentThreadId()) << "the window lived on the new thread";
}

struct Job {
    CEvent started{true, false};
    CEvent go{false, false};
};

unsigned __stdcall JobProc(void* arg) {
    auto* j = static_cast<Job*>(arg);
    j->started.SetEvent();
    return j->go.Wait(5000) ? 1u : 0u;
}

TEST(Thread, WorkerResultIsItsExitCodeAndEventsSignal) {
    Job job;
    DWORD id = 0;
    HANDLE worker = StartWorkerThread(JobProc, &job, &id);
    ASSERT_NE(worker, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(job.started.Wait(5000));
    EXPECT_EQ(::WaitForSingleObject(worker, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    job.go.SetEvent();
    ASSERT_EQ(::WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeThread(worker, &code);
    ::CloseHandle(worker);
    EXPECT_EQ(code, 1u);
    // A manual-reset event stays set until reset.
    EXPECT_TRUE(job.started.Wait(0));
    job.started.ResetEvent();
    EXPECT_FALSE(job.started.Wait(0));
}

struct Probe {
    CCriticalSection* section;
    std::atomic<int> tryResult{-1};
};

unsigned __stdcall ProbeProc(void* arg) {
    auto* p = static_cast<Probe*>(arg);
    p->tryResult = p->section->TryLock() ? 1 : 0;
    if (p->tryResult == 1)
        p->section->Unlock();
    return 0;
}

TEST(Thread, CriticalSectionExcludesAnotherThread) {
    CCriticalSection section;
    section.Lock();
    Probe probe{&section};
    HANDLE worker = StartWorkerThread(ProbeProc, &probe);
    ASSERT_NE(worker, nullptr);
    ::WaitForSingleObject(worker, 5000);
    ::CloseHandle(worker);
    section.Unlock();
    EXPECT_EQ(probe.tryResult, 0);
    EXPECT_TRUE(section.TryLock()) << "free again after Unlock";
    section.Unlock();
}

} // namespace
} // namespace qk::test
