#include "platform/FrameWnd.h"

#include "platform/CreateContext.h"
#include "platform/Module.h"
#include "platform/View.h"

#include <vector>

namespace qk {

// The frame's icon at one size: the template's own, else the system's application icon.
HICON CFrameWnd::FrameIcon(int width, int height) const {
    HANDLE icon = ::LoadImageW(ThisModule(), MAKEINTRESOURCEW(m_resourceId), IMAGE_ICON, width,
                               height, LR_SHARED);
    if (!icon)
        icon = ::LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, width, height, LR_SHARED);
    return static_cast<HICON>(icon);
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) {
        // The small icon is loaded here: left to the class registration, it would be a scaled
        // copy of the large one (2 ms under Wine, against half a millisecond).
        HICON icon = FrameIcon(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
        HICON small = FrameIcon(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon, small);
    }
    return cs.lpszClass != nullptr;
}

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context) {
    m_resourceId = resourceId;
    wchar_t title[256] = {};
    ::LoadStringW(ThisModule(), resourceId, title, 256);
    HMENU menu = nullptr;
    if (::FindResourceW(ThisModule(), MAKEINTRESOURCEW(resourceId),
                        reinterpret_cast<LPCWSTR>(RT_MENU)))
        menu = ::LoadMenuW(ThisModule(), MAKEINTRESOURCEW(resourceId));
    m_createContext = context;
    bool created = CreateEx(0, nullptr, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, parent, menu);
    m_createContext = nullptr;
    // A menu that PreCreateWindow dropped is ours to free.
    if (menu && (!created || ::GetMenu(m_hWnd) != menu))
        ::DestroyMenu(menu);
    return created;
}

bool CFrameWnd::OnCreate(CREATESTRUCTW* cs) {
    return OnCreateClient(cs, m_createContext);
}

bool CFrameWnd::OnCreateClient(CREATESTRUCTW*, CCreateContext* context) {
    if (!context || !context->m_newViewClass)
        return true;
    CView* view = context->m_newViewClass();
    if (!view)
        return false;
    RECT rect = {0, 0, 1, 1};
    if (!view->CreateView(m_hWnd, AFX_IDW_PANE_FIRST, rect, context)) {
        delete view;
        return false;
    }
    return true;
}

namespace {
BOOL CALLBACK KeepDescendant(HWND hwnd, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}
} // namespace

void CFrameWnd::InitialUpdateFrame(CDocument*) {
    // The windows there before the first update, as Windows enumerates them: a window that a
    // view's update creates (a plug-in's page) is not a view of the frame's and has its own
    // update when it is first shown. Wine's enumeration would reach it as well.
    std::vector<HWND> windows;
    ::EnumChildWindows(m_hWnd, KeepDescendant, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows)
        if (::IsWindow(window))
            ::SendMessageW(window, WM_QK_INITIALUPDATE, 0, 0);
    RecalcLayout();
}

void CFrameWnd::RecalcLayout() {
    HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (!pane)
        return;
    RECT client = GetClientRect();
    ::MoveWindow(pane, 0, 0, client.right, client.bottom, TRUE);
}

void CFrameWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

bool CFrameWnd::RemoveSystemMenuCommand(UINT command) {
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    return menu && ::DeleteMenu(menu, command, MF_BYCOMMAND) != FALSE;
}

} // namespace qk
