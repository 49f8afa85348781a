// The wait window that start-up shows on a thread of its own while the main thread is busy
// opening a port given on the command line. The splash ends by itself at the first tick after
// the main window exists, or earlier on a close request from start-up.
//
// Lifetime: the thread object deletes itself when its thread ends and then clears the
// application's splash pointer. The pointer is only read and cleared under one lock, so that
// the main thread never posts to (or waits on) a splash that is being deleted.
#pragma once
#include <windows.h>
#include <atomic>
#include "platform/WinThread.h"

namespace qk::app {

class CSplashWnd;

class CSplash : public CWinThread {
public:
    // Finds the application's main window for the splash (null while it does not exist yet).
    using MainWindowProbe = HWND (*)();

    // Starts a splash on its own thread and stores it in *owner (the application's splash
    // pointer), which the splash clears when it ends. False when the thread could not start.
    static bool Start(CSplash** owner, UINT firstPeriodMs = kFirstPeriodMs,
                      MainWindowProbe probe = nullptr);
    // Posts a close request to the splash of *owner when there is one.
    static void RequestClose(CSplash** owner);
    // Asks the splash of *owner to close and waits (at most timeoutMs) for its thread to end.
    // True when no splash is left.
    static bool Finish(CSplash** owner, DWORD timeoutMs = 5000);

    // Posts a close request to this splash's window (or remembers it until the window exists).
    void RequestClose();

    bool InitInstance() override;
    int ExitInstance() override;

    static constexpr UINT kFirstPeriodMs = 10000;
    static constexpr UINT kRearmPeriodMs = 100;

    // The main window the splash waits for: a visible or hidden top-level window of this
    // process carrying the instance property.
    static HWND FindApplicationMainWindow();

private:
    CSplash(CSplash** owner, UINT firstPeriodMs, MainWindowProbe probe);
    ~CSplash() override;

    CSplash** m_owner; // the application's splash pointer; cleared when the splash ends
    UINT m_firstPeriodMs;
    MainWindowProbe m_probe;
    std::atomic<HWND> m_window{nullptr};
    std::atomic<bool> m_closeRequested{false};
};

} // namespace qk::app
