// The splash's window: borderless, the main frame's size, wait cursor, nothing drawn. It
// closes itself at the first tick after the application's main window exists.
#pragma once
#include "platform/Wnd.h"

namespace qk::app {

class CSplashWnd : public CWnd {
public:
    using MainWindowProbe = HWND (*)();

    // Creates the visible window; the object deletes itself when the window is gone.
    static CSplashWnd* Show(UINT firstPeriodMs, MainWindowProbe probe);

    static constexpr UINT_PTR kTimerId = 1;

protected:
    bool OnCreate(CREATESTRUCTW* cs) override;
    void OnTimer(UINT_PTR id) override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnPaint() override;
    void PostNcDestroy() override;

private:
    CSplashWnd(UINT firstPeriodMs, MainWindowProbe probe)
        : m_firstPeriodMs(firstPeriodMs), m_probe(probe) {}

    UINT m_firstPeriodMs;
    MainWindowProbe m_probe;
};

} // namespace qk::app
