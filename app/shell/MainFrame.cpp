#include "app/shell/MainFrame.h"

#include <cwchar>
#include "app/shell/AboutDlg.h"
#include "app/shell/Model.h"
#include "resource.h"

namespace qk::app {
namespace {

std::wstring InstancePropertyName() {
    wchar_t name[128];
    swprintf(name, 128, kInstancePropertyFormat, kInstancePropertyPrefix, kModelName);
    return name;
}

} // namespace

bool CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (cs.hMenu) {
        ::DestroyMenu(cs.hMenu);
        cs.hMenu = nullptr;
    }
    cs.style &= ~(WS_THICKFRAME | WS_MAXIMIZEBOX | FWS_ADDTOTITLE);
    cs.cx = kFrameWidth;
    cs.cy = kFrameHeight;
    return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreate(CREATESTRUCTW* cs) {
    if (!CFrameWnd::OnCreate(cs))
        return false;
    SetProp(InstancePropertyName().c_str(), reinterpret_cast<HANDLE>(1));
    wchar_t title[128];
    swprintf(title, 128, L"%ls Utility %ls", kModelName, kVersionText);
    SetWindowText(title);
    RemoveSystemMenuCommand(SC_SIZE);
    RemoveSystemMenuCommand(SC_MAXIMIZE);
    CenterWindow();
    return true;
}

void CMainFrame::OnDestroy() {
    RemoveProp(InstancePropertyName().c_str());
}

bool CMainFrame::OnSizing(UINT edge, RECT* rect) {
    if (rect->right - rect->left < kFrameWidth)
        rect->right = rect->left + kFrameWidth;
    if (rect->bottom - rect->top < kFrameHeight)
        rect->bottom = rect->top + kFrameHeight;
    (void)edge;
    return true;
}

bool CMainFrame::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    CAboutDlg about;
    about.DoModal(m_hWnd);
    return true;
}

} // namespace qk::app
