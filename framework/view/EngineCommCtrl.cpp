#include "framework/view/EngineCommCtrl.h"

#include <process.h>
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/view/CommonFormView.h"
#include "framework/view/UtilMessages.h"

namespace qk {
namespace {

bool IsOfflineOrUnknown(int32_t status) {
    return status == 1 || status == 16 || status == -1;
}

} // namespace

CEngineCommCtrl::~CEngineCommCtrl() {
    // A worker given up on still uses the page that owns this helper: it was told to stop,
    // and its exchange waits for no more answers, so it ends soon.
    if (m_hThread)
        ::WaitForSingleObject(m_hThread, INFINITE);
    CloseHandles();
}

bool CEngineCommCtrl::EarlierWorkerEnded() {
    if (!m_hThread)
        return true;
    if (::WaitForSingleObject(m_hThread, 0) != WAIT_OBJECT_0)
        return false;
    CloseHandles();
    return true;
}

void CEngineCommCtrl::ProgressCallback(int32_t value, CEngineCommCtrl* helper) {
    if (!helper)
        return;
    if (helper->m_hCommStateDlg)
        ::SendMessageW(helper->m_hCommStateDlg, WM_UTIL_SETPROGRESS, static_cast<WPARAM>(value), 0);
    if (helper->m_hEvent)
        ::SetEvent(helper->m_hEvent);
}

int32_t CEngineCommCtrl::RunExchange(CCommonFormView* page) {
    CFormViewCtrl* controller = page ? page->Controller() : nullptr;
    HWND owner = controller ? controller->OwnerWindow() : nullptr;
    if (!owner)
        return kExchangeNotSetUp;
    int32_t status = -1;
    ::SendMessageW(owner, WM_UTIL_GETSTATUS, reinterpret_cast<WPARAM>(&status), 0);
    if (IsOfflineOrUnknown(status))
        return kExchangeOffline;
    UtilContext* context = controller->Context();
    auto* lock = context ? static_cast<CRITICAL_SECTION*>(context->applicationLock) : nullptr;
    if (!lock || !m_workerProc || !EarlierWorkerEnded())
        return kExchangeNotSetUp;
    ::EnterCriticalSection(lock);
    int32_t result = RunLocked(owner, page);
    ::LeaveCriticalSection(lock);
    return result;
}

int32_t CEngineCommCtrl::RunLocked(HWND owner, CCommonFormView* page) {
    m_hCommStateDlg = reinterpret_cast<HWND>(::SendMessageW(owner, WM_UTIL_CREATECOMMSTATE, 0, 0));
    if (!m_hCommStateDlg)
        return kExchangeNotSetUp;
    // The event comes first: a worker must never report progress to a missing one.
    m_hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_hEvent)
        m_hThread = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, m_workerProc, page, CREATE_SUSPENDED, &m_nThreadId));
    if (!m_hEvent || !m_hThread) {
        // The hidden dialog would otherwise stay behind.
        ::DestroyWindow(m_hCommStateDlg);
        m_hCommStateDlg = nullptr;
        CloseHandles();
        return kExchangeNotSetUp;
    }
    ::InterlockedExchange(&m_stopRequested, 0);
    ::SetThreadPriority(m_hThread, THREAD_PRIORITY_BELOW_NORMAL);
    ::ResetEvent(m_hEvent);
    if (::ResumeThread(m_hThread) != 1)
        ::TerminateThread(m_hThread, static_cast<DWORD>(kExchangeMissingLibrary));

    CommStateRequest request = {&m_hThread, &m_hEvent, kAnimationKind, kShowDelayMs};
    ::SendMessageW(owner, WM_UTIL_RUNCOMMSTATE, reinterpret_cast<WPARAM>(&request), 0);

    // Normally the dialog ran until the worker ended; if it could not run, the worker is told
    // to stop after a while and waited for once more. One that still does not end is given
    // up on: the lock is not held for it any longer, and its handles stay until it ends.
    if (!WaitForWorker(m_lateWorkerWaitMs)) {
        ::InterlockedExchange(&m_stopRequested, 1);
        if (!WaitForWorker(m_stoppedWorkerWaitMs)) {
            m_hCommStateDlg = nullptr;
            return kExchangeOffline;
        }
    }
    int32_t result = kExchangeMissingLibrary;
    DWORD exitCode = 0;
    if (::GetExitCodeThread(m_hThread, &exitCode) && exitCode != STILL_ACTIVE)
        result = static_cast<int32_t>(exitCode);
    CloseHandles();
    m_hCommStateDlg = nullptr;
    return result;
}

// The worker may send messages to this thread's windows (the frame, the strip) while it
// runs: they are handled during the wait, so that it can reach its end.
bool CEngineCommCtrl::WaitForWorker(DWORD timeoutMs) {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const ULONGLONG passed = ::GetTickCount64() - start;
            if (passed >= timeoutMs)
                return ::WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0;
            left = static_cast<DWORD>(timeoutMs - passed);
        }
        const DWORD waited =
            ::MsgWaitForMultipleObjects(1, &m_hThread, FALSE, left, QS_SENDMESSAGE);
        if (waited == WAIT_OBJECT_0)
            return true;
        if (waited == WAIT_FAILED)
            return false;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CEngineCommCtrl::CloseHandles() {
    if (m_hThread)
        ::CloseHandle(m_hThread);
    if (m_hEvent)
        ::CloseHandle(m_hEvent);
    m_hThread = nullptr;
    m_hEvent = nullptr;
    m_nThreadId = 0;
}

} // namespace qk
