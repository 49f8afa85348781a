#include "app/shell/SplashWnd.h"

#include "app/shell/Model.h"
#include "app/shell/Splash.h"
#include "platform/Dpi.h"

namespace qk::app {

CSplashWnd* CSplashWnd::Show(UINT firstPeriodMs, MainWindowProbe probe) {
    auto* splash = new CSplashWnd(firstPeriodMs, probe);
    const wchar_t* windowClass =
        RegisterWndClass(0, ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514) /* IDC_WAIT */));
    // It covers the main window that follows it.
    const int dpi = SystemDpi();
    if (!splash->CreateEx(WS_EX_TOOLWINDOW, windowClass, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                          ScaleToDpi(kFrameWidth, dpi), ScaleToDpi(kFrameHeight, dpi), nullptr,
                          nullptr)) {
        // A window that was never made leaves the object to us.
        if (!splash->m_hWnd)
            delete splash;
        return nullptr;
    }
    return splash;
}

bool CSplashWnd::OnCreate(CREATESTRUCTW*) {
    CenterWindow();
    UpdateWindow();
    SetForegroundWindow();
    SetTimer(kTimerId, m_firstPeriodMs);
    return true;
}

void CSplashWnd::OnTimer(UINT_PTR id) {
    if (id != kTimerId)
        return;
    KillTimer(kTimerId);
    HWND mainWindow = m_probe ? m_probe() : nullptr;
    if (!mainWindow) {
        SetTimer(kTimerId, CSplash::kRearmPeriodMs);
        return;
    }
    DestroyWindow();
}

bool CSplashWnd::OnEraseBkgnd(HDC) {
    return true; // no background: the window shows what lay beneath it
}

bool CSplashWnd::OnPaint() {
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
    return true;
}

void CSplashWnd::PostNcDestroy() {
    HWND mainWindow = m_probe ? m_probe() : nullptr;
    if (mainWindow)
        ::SetForegroundWindow(mainWindow);
    delete this;
}

} // namespace qk::app
