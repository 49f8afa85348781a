// A thread with its own message loop (a user-interface thread). CWinApp is the program's
// main thread object; CreateThread starts a second one.
#pragma once
#include <windows.h>

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
