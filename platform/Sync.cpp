#include "platform/Sync.h"

#include <process.h>

namespace qk {

HANDLE StartWorkerThread(WorkerProc proc, void* argument, DWORD* threadId) {
    unsigned id = 0;
    auto handle = _beginthreadex(nullptr, 0, proc, argument, 0, &id);
    if (threadId)
        *threadId = handle ? id : 0;
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace qk
