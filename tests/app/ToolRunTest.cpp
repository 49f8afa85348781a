// The companion tool's watcher: it posts to the UI thread and never waits for it, and a run
// let go (its window gone) gets nothing more, while the worker still ends.
#include <gtest/gtest.h>
#include <atomic>
#include "app/connection/ToolRun.h"

namespace qk::test {
namespace {

constexpr UINT kStart = WM_APP + 61;
constexpr UINT kEnd = WM_APP + 62;
constexpr DWORD kBoundMs = 10000;

// A tool that runs until the test lets it end. Its start hands the test the worker thread,
// so the test can wait for the worker itself to be done.
class GateLauncher : public os::IProcessLauncher {
public:
    GateLauncher()
        : started(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~GateLauncher() override {
        ::SetEvent(release);
        if (worker) {
            ::WaitForSingleObject(worker, kBoundMs);
            ::CloseHandle(worker);
        }
        ::CloseHandle(started);
        ::CloseHandle(release);
    }

    os::ProcessId Start(const std::u16string& file, const std::u16string&,
                        const std::u16string& directory) override {
        this->file = file;
        this->directory = directory;
        worker = ::OpenThread(SYNCHRONIZE, FALSE, ::GetCurrentThreadId());
        ::SetEvent(started);
        return 0x42;
    }
    os::WaitResult Wait(os::ProcessId, uint32_t) override {
        // Bounded, so a broken case cannot hang the run.
        return ::WaitForSingleObject(release, 20000) == WAIT_OBJECT_0 ? os::WaitResult::Ended
                                                                      : os::WaitResult::Failed;
    }
    void Close(os::ProcessId process) override { closed += process == 0x42 ? 1 : 100; }

    bool ShellOpen(const std::u16string&, const std::u16string&, const std::u16string&) override {
        return false;
    }
    os::ProcessId ShellOpenProcess(const std::u16string&, const std::u16string&,
                                   const std::u16string&) override {
        return 0;
    }
    os::ProcessId StartCommandLine(const std::u16string&, const std::u16string&) override {
        return 0;
    }
    os::ReadyResult WaitUntilReady(os::ProcessId, uint32_t) override {
        return os::ReadyResult::Failed;
    }
    bool ExitCode(os::ProcessId, uint32_t&) override { return false; }
    uint32_t SystemId(os::ProcessId) override { return 0; }
    bool Terminate(os::ProcessId, uint32_t) override { return false; }

    HANDLE started;
    HANDLE release;
    HANDLE worker = nullptr;
    std::u16string file, directory; // written before `started` is set
    std::atomic<int> closed{0};
};

// A plain window of the test thread, only for its queue.
HWND Target() {
    return ::CreateWindowExW(0, L"STATIC", L"target", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             nullptr, nullptr);
}

// Takes the next tool message of the window's queue, waiting (bounded) for one to come.
bool NextToolMessage(HWND target, MSG& msg) {
    const DWORD until = ::GetTickCount() + kBoundMs;
    for (;;) {
        if (::PeekMessageW(&msg, target, kStart, kEnd, PM_REMOVE))
            return true;
        const DWORD now = ::GetTickCount();
        if (static_cast<LONG>(until - now) <= 0)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, until - now, QS_POSTMESSAGE);
    }
}

TEST(ToolRun, PostsStartThenEndAndNeverWaitsForTheUiThread) {
    GateLauncher launcher;
    HWND target = Target();
    ASSERT_NE(target, nullptr);
    {
        app::CToolRun run(launcher);
        ASSERT_TRUE(run.Start(target, u"D:\\TNC\\TNConfig.exe", {kStart, 7, kEnd, 9}));
        // This thread takes no message until the tool is under way: a watcher that sent
        // its start would still be waiting for it here.
        ASSERT_EQ(::WaitForSingleObject(launcher.started, kBoundMs), WAIT_OBJECT_0);
        EXPECT_EQ(launcher.file, u"D:\\TNC\\TNConfig.exe");
        EXPECT_EQ(launcher.directory, u"D:\\TNC");
        ::SetEvent(launcher.release);
        ASSERT_EQ(::WaitForSingleObject(launcher.worker, kBoundMs), WAIT_OBJECT_0)
            << "the worker ended while this thread took no message";
        EXPECT_EQ(launcher.closed, 1);

        MSG msg{};
        ASSERT_TRUE(NextToolMessage(target, msg));
        EXPECT_EQ(msg.message, kStart);
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_EQ(msg.lParam, 0);
        ASSERT_TRUE(NextToolMessage(target, msg));
        EXPECT_EQ(msg.message, kEnd);
        EXPECT_EQ(msg.wParam, 9u);
        EXPECT_EQ(msg.lParam, 1) << "the tool started";
        EXPECT_FALSE(::PeekMessageW(&msg, target, kStart, kEnd, PM_REMOVE));
    }
    ::DestroyWindow(target);
}

TEST(ToolRun, ARunLetGoPostsNothingMoreAndItsWorkerStillEnds) {
    GateLauncher launcher;
    HWND target = Target();
    ASSERT_NE(target, nullptr);
    MSG msg{};
    {
        app::CToolRun run(launcher);
        ASSERT_TRUE(run.Start(target, u"C:\\BT\\Connector.exe", {kStart, 0, kEnd, 0}));
        ASSERT_EQ(::WaitForSingleObject(launcher.started, kBoundMs), WAIT_OBJECT_0);
        ASSERT_TRUE(NextToolMessage(target, msg));
        EXPECT_EQ(msg.message, kStart);
        // The add-port dialog goes while the tool still runs.
    }
    ::SetEvent(launcher.release);
    ASSERT_EQ(::WaitForSingleObject(launcher.worker, kBoundMs), WAIT_OBJECT_0);
    EXPECT_EQ(launcher.closed, 1) << "the tool's handle is closed all the same";
    EXPECT_FALSE(::PeekMessageW(&msg, target, kStart, kEnd, PM_REMOVE))
        << "a window that outlived the run (or took over its handle) got the end";
    ::DestroyWindow(target);
}

} // namespace
} // namespace qk::test
