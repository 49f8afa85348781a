// A thread of the library's own. It holds a reference on the library module while it runs, so
// a host that frees the library without QKC_Terminate cannot unload code under it.
#pragma once
#include <windows.h>
#include <functional>

namespace qk::comm {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False while the thread started before runs.
    bool Start(std::function<void()> body);
    // Starts a thread even while the one started before is still running: for a caller whose
    // earlier body has done its last work and is only leaving (it holds the module till it
    // has left). Join waits for the new thread only.
    bool StartBeside(std::function<void()> body);
    // True when the thread has ended (or never ran) within timeoutMs.
    bool Join(DWORD timeoutMs);
    bool IsCurrent() const { return handle_ && GetCurrentThreadId() == id_; }
    bool Running() const;

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

} // namespace qk::comm
