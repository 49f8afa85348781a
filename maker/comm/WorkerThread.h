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

    bool Start(std::function<void()> body);
    // True when the thread has ended (or never ran) within timeoutMs.
    bool Join(DWORD timeoutMs);
    bool IsCurrent() const { return handle_ && GetCurrentThreadId() == id_; }
    bool Running() const;

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

} // namespace qk::comm
