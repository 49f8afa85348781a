#include "app/connection/ToolRun.h"

#include "platform/Sync.h"

namespace qk::app {

// The window the worker posts to, cleared when the run is let go. A post never blocks, so
// holding the lock for it never holds up the UI thread letting go.
struct CToolRun::Listener {
    CCriticalSection section;
    HWND target = nullptr;
};

// What a worker owns; the listener stays alive as long as the worker needs it.
struct CToolRun::Job {
    std::shared_ptr<Listener> listener;
    os::IProcessLauncher* launcher;
    std::u16string program;
    Messages messages;
};

namespace {

// A full message queue is waited out a little; a window that is gone is not.
constexpr int kPostAttempts = 50;
constexpr DWORD kPostRetryMs = 20;

std::u16string FolderOf(const std::u16string& program) {
    const size_t slash = program.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : program.substr(0, slash);
}

} // namespace

CToolRun::CToolRun(os::IProcessLauncher& launcher) : m_launcher(launcher) {}

CToolRun::~CToolRun() {
    Release();
}

bool CToolRun::Start(HWND target, const std::u16string& program, const Messages& messages) {
    Release();
    auto listener = std::make_shared<Listener>();
    listener->target = target;
    auto* job = new Job{listener, &m_launcher, program, messages};
    m_worker = StartWorkerThread(&Watch, job);
    if (!m_worker) {
        delete job;
        return false;
    }
    m_listener = std::move(listener);
    return true;
}

void CToolRun::Release() {
    if (m_listener) {
        CSingleLock lock(m_listener->section.Get());
        m_listener->target = nullptr;
    }
    m_listener.reset();
    if (m_worker) {
        ::CloseHandle(m_worker);
        m_worker = nullptr;
    }
}

bool CToolRun::Post(Listener& listener, UINT msg, WPARAM wp, LPARAM lp) {
    for (int attempt = 0; attempt < kPostAttempts; ++attempt) {
        {
            CSingleLock lock(listener.section.Get());
            if (!listener.target)
                return false;
            if (::PostMessageW(listener.target, msg, wp, lp))
                return true;
            if (::GetLastError() != ERROR_NOT_ENOUGH_QUOTA)
                return false;
        }
        ::Sleep(kPostRetryMs);
    }
    return false;
}

unsigned __stdcall CToolRun::Watch(void* argument) {
    std::unique_ptr<Job> job(static_cast<Job*>(argument));
    const Messages& messages = job->messages;
    Post(*job->listener, messages.start, messages.startArg, 0);
    const os::ProcessId process = job->launcher->Start(job->program, u"", FolderOf(job->program));
    if (process) {
        while (job->launcher->Wait(process, os::IProcessLauncher::kLongestWaitMs) ==
               os::WaitResult::TimedOut) {
        }
        job->launcher->Close(process);
    }
    Post(*job->listener, messages.end, messages.endArg, process != 0);
    return 0;
}

} // namespace qk::app
