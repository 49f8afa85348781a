// A thread with its own message loop (a user-interface thread). CWinApp is the program's
// main thread object; CreateThread starts a second one.
#pragma once
#include <windows.h>
#include <functional>

namespace qk {

class CWnd;

class CWinThread {
public:
    CWinThread() = default;
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread; it runs InitInstance, then the loop, then ExitInstance. With
    // m_bAutoDelete the object deletes itself when the thread ends.
    bool CreateThread();

    // Answer false to end the thread at once (ExitInstance still runs).
    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return m_exitCode; }
    // The message loop: until WM_QUIT; answers ExitInstance().
    virtual int Run();
    // The same loop run nested (a modeless dialog run as a modal one) until `done` answers
    // true (true) or WM_QUIT comes (false; the quit is posted again for the outer loop).
    // Without `done` it is the loop of Run.
    bool RunNested(const std::function<bool()>& done);
    // Offered every message before it is dispatched; true when it was handled.
    virtual bool PreTranslateMessage(MSG* msg);
    // Idle work between messages; answer true to be called again before waiting.
    virtual bool OnIdle(long count);

    // The thread object of the calling thread (set while the loop or InitInstance runs).
    static CWinThread* Current();

    CWnd* m_pMainWnd = nullptr; // not owned; the loop ends when this window is destroyed
    HANDLE m_hThread = nullptr; // owned
    DWORD m_nThreadID = 0;
    bool m_bAutoDelete = true;

protected:
    int m_exitCode = 0;
    // Runs InitInstance/Run/ExitInstance on the calling thread.
    int RunThreadBody();

private:
    static unsigned __stdcall ThreadEntry(void* param);
};

} // namespace qk
