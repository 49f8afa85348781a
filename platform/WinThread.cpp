#include "platform/WinThread.h"

#include <process.h>
#include "platform/FrameWnd.h"
#include "platform/Wnd.h"

namespace qk {
namespace {
thread_local CWinThread* t_current = nullptr;
} // namespace

CWinThread* CWinThread::Current() {
    return t_current;
}

CWinThread::~CWinThread() {
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

bool CWinThread::CreateThread() {
    unsigned id = 0;
    // Suspended, so the object's fields are complete before the thread looks at them.
    auto handle = _beginthreadex(nullptr, 0, ThreadEntry, this, CREATE_SUSPENDED, &id);
    if (!handle)
        return false;
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = id;
    ::ResumeThread(m_hThread);
    return true;
}

unsigned __stdcall CWinThread::ThreadEntry(void* param) {
    auto* self = static_cast<CWinThread*>(param);
    int code = 0;
    try {
        code = self->RunThreadBody();
    } catch (...) {
        code = -1;
    }
    if (self->m_bAutoDelete)
        delete self;
    return static_cast<unsigned>(code);
}

int CWinThread::RunThreadBody() {
    CWinThread* outer = t_current;
    t_current = this;
    int code = InitInstance() ? Run() : ExitInstance();
    t_current = outer;
    return code;
}

bool CWinThread::PreTranslateMessage(MSG* msg) {
    // The frame around the target first (it may take keys from the pages inside it), then
    // the keyboard navigation of dialogs and form views.
    HWND root = msg->hwnd ? ::GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(root));
        frame && frame->PreTranslateMessage(msg))
        return true;
    return RouteDialogMessage(msg);
}

bool CWinThread::OnIdle(long) {
    return false;
}

int CWinThread::Run() {
    CWinThread* outer = t_current;
    t_current = this;
    RunNested(nullptr);
    t_current = outer;
    return ExitInstance();
}

bool CWinThread::RunNested(const std::function<bool()>& done) {
    MSG msg;
    long idleCount = 0;
    bool idle = true;
    while (!done || !done()) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 && done)
            ::PostQuitMessage(static_cast<int>(msg.wParam));
        else if (got == 0 || got == -1)
            m_exitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        if (got == 0 || got == -1)
            return false;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        // Idle work again after input or painting, not after every timer tick.
        if (msg.message != WM_TIMER && msg.message != WM_PAINT) {
            idle = true;
            idleCount = 0;
        }
    }
    return true;
}

} // namespace qk
