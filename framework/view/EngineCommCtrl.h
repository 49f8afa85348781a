// Runs one exchange with the printer: the page's worker procedure on a thread of its own
// while the main frame shows its progress dialog. Exchanges never overlap: the application
// lock is held from before the dialog is made until everything is torn down.
#pragma once
#include <cstdint>
#include <windows.h>
#include "framework/plugin/DeviceTestEngine.h"

namespace qk {

class CCommonFormView;
class CEngineCommCtrl;

// The worker: takes the page, answers the exchange's result as its exit code.
using ExchangeWorkerProc = unsigned(__stdcall*)(void* page);
// Reports a progress position (0 to 100) from the worker.
using ProgressCallbackProc = void (*)(int32_t value, CEngineCommCtrl* helper);

// Results of an exchange besides the worker's own.
inline constexpr int32_t kExchangeMissingLibrary = -24; // thread not resumed / no exit code
inline constexpr int32_t kExchangeNotSetUp = -25;
inline constexpr int32_t kExchangeOffline = -64;

class CEngineCommCtrl {
public:
    // Show delay of the progress dialog and its printer clip.
    static constexpr int32_t kShowDelayMs = 1;
    static constexpr int32_t kAnimationKind = 2;
    // Waited for a worker that the progress dialog did not see end (the dialog went early)
    // before it is told to stop, and then again for it to stop. A worker that still runs
    // after that is left to end on its own: the exchange ends as offline and gives the lock
    // back, and this helper keeps the worker's handles and starts no other exchange until it
    // has ended.
    static constexpr DWORD kLateWorkerWaitMs = 30000;
    static constexpr DWORD kStoppedWorkerWaitMs = 30000;

    CEngineCommCtrl() = default;
    virtual ~CEngineCommCtrl();
    CEngineCommCtrl(const CEngineCommCtrl&) = delete;
    CEngineCommCtrl& operator=(const CEngineCommCtrl&) = delete;

    int32_t RunExchange(CCommonFormView* page);
    // Sends the position to the progress dialog, then signals the exchange's event.
    static void ProgressCallback(int32_t value, CEngineCommCtrl* helper);

    void SetWorkerProc(ExchangeWorkerProc proc) { m_workerProc = proc; }
    void SetProgressCallback(ProgressCallbackProc callback) { m_progressCallback = callback; }
    ProgressCallbackProc GetProgressCallback() const { return m_progressCallback; }
    // Reports progress through the callback in use (for the worker).
    void ReportProgress(int32_t value) {
        if (m_progressCallback)
            m_progressCallback(value, this);
    }
    void SetEngineHandle(EngineHandle handle) { m_hEngine = handle; }
    EngineHandle GetEngineHandle() const { return m_hEngine; }
    HWND CommStateWindow() const { return m_hCommStateDlg; }
    // For the worker: true once the exchange asked it to end early; it should return at its
    // next step.
    bool StopRequested() const { return ::InterlockedCompareExchange(&m_stopRequested, 0, 0) != 0; }
    void SetLateWorkerWait(DWORD ms) { m_lateWorkerWaitMs = ms; }
    void SetStoppedWorkerWait(DWORD ms) { m_stoppedWorkerWaitMs = ms; }

private:
    int32_t RunLocked(HWND owner, CCommonFormView* page);
    bool WaitForWorker(DWORD timeoutMs);
    // False while the worker of an earlier exchange that was given up on still runs.
    bool EarlierWorkerEnded();
    void CloseHandles();

    HWND m_hCommStateDlg = nullptr; // only during an exchange
    ExchangeWorkerProc m_workerProc = nullptr;
    unsigned m_nThreadId = 0;
    HANDLE m_hThread = nullptr;
    HANDLE m_hEvent = nullptr;
    ProgressCallbackProc m_progressCallback = nullptr;
    EngineHandle m_hEngine = nullptr; // not owned; null in the executable
    mutable volatile LONG m_stopRequested = 0;
    DWORD m_lateWorkerWaitMs = kLateWorkerWaitMs;
    DWORD m_stoppedWorkerWaitMs = kStoppedWorkerWaitMs;
};

} // namespace qk
