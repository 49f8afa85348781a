#include "platform/Wnd.h"

#include <cstdio>
#include <unordered_map>
#include "platform/Module.h"
#include "platform/WinApp.h"
#include "platform/WinThread.h"

namespace qk {
namespace {

// The objects attached to windows, by window. Each module (the program and every plug-in)
// has its own copy of this code and so its own map: a module never mistakes another module's
// object for one of its own. Every message of an attached window looks its object up, and the
// children's objects for reflection; a window property did that before, but the platform may
// keep properties in its window server (Wine does), which made each lookup a round trip.
class WindowObjects {
public:
    CWnd* Find(HWND hwnd) {
        ::AcquireSRWLockShared(&m_lock);
        const auto found = m_objects.find(hwnd);
        CWnd* object = found == m_objects.end() ? nullptr : found->second;
        ::ReleaseSRWLockShared(&m_lock);
        return object;
    }
    void Add(HWND hwnd, CWnd* object) {
        ::AcquireSRWLockExclusive(&m_lock);
        m_objects[hwnd] = object;
        ::ReleaseSRWLockExclusive(&m_lock);
    }
    void Remove(HWND hwnd) {
        ::AcquireSRWLockExclusive(&m_lock);
        m_objects.erase(hwnd);
        ::ReleaseSRWLockExclusive(&m_lock);
    }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::unordered_map<HWND, CWnd*> m_objects;
};

// Never destroyed: objects of static lifetime may detach after the module's statics are gone.
WindowObjects& Objects() {
    static WindowObjects* objects = new WindowObjects;
    return *objects;
}

// Marks windows for keyboard navigation; shared by all modules on purpose.
const wchar_t kDialogNavProp[] = L"QKDialogNav";

thread_local CWnd* t_creating = nullptr;
// The object whose creation call is running on this thread (see CreationScope).
thread_local CWnd* t_inCreation = nullptr;

// Signed mouse coordinates (windowsx.h would also bring macros that clash with our names).
int XFromLParam(LPARAM lp) {
    return static_cast<short>(LOWORD(lp));
}
int YFromLParam(LPARAM lp) {
    return static_cast<short>(HIWORD(lp));
}

bool IsCtlColor(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

// Dialog procedures answer these directly instead of through DWLP_MSGRESULT.
bool DialogAnswersDirectly(UINT msg) {
    return IsCtlColor(msg) || msg == WM_INITDIALOG || msg == WM_COMPAREITEM ||
           msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON;
}

} // namespace

CWnd::~CWnd() {
    if (!m_hWnd)
        return;
    HWND hwnd = m_hWnd;
    bool owned = m_ownsWindow;
    // No late message may reach the half-destroyed object.
    if (m_superProc)
        UnsubclassWindow();
    else
        DetachObject();
    if (owned && ::IsWindow(hwnd))
        ::DestroyWindow(hwnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    CWnd* object = hwnd ? Objects().Find(hwnd) : nullptr;
    // A window can end without its last message reaching us (its thread ended, say): a gone
    // window has no object, as a property would have gone with it. The check is the process's
    // own handle table, no round trip.
    return object && ::IsWindow(hwnd) ? object : nullptr;
}

void CWnd::AttachObject(HWND hwnd) {
    m_hWnd = hwnd;
    Objects().Add(hwnd, this);
}

void CWnd::DetachObject() {
    // A plain wrapper of a window that another object owns must not unhook that object.
    if (m_hWnd && Objects().Find(m_hWnd) == this)
        Objects().Remove(m_hWnd);
    m_hWnd = nullptr;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    DetachObject();
    m_ownsWindow = false;
    return hwnd;
}

const wchar_t* CWnd::RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background,
                                      HICON icon, HICON smallIcon) {
    // One class per combination, named after it (the buffer lives for the process).
    static thread_local wchar_t name[112];
    swprintf(name, 112, L"QKWnd:%p:%x:%p:%p:%p:%p", static_cast<void*>(ThisModule()), classStyle,
             static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon),
             static_cast<void*>(smallIcon));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(ThisModule(), name, &wc))
        return name;
    wc.style = classStyle;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = ThisModule();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) ? name : nullptr;
}

bool CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return cs.lpszClass != nullptr;
}

CWnd::CreationScope::CreationScope(CWnd* wnd) : m_outer(t_inCreation) {
    t_inCreation = wnd;
}

CWnd::CreationScope::~CreationScope() {
    t_inCreation = m_outer;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId, void* createParam) {
    CreationScope scope(this);
    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = ThisModule();
    cs.lpCreateParams = createParam;
    if (!PreCreateWindow(cs))
        return false;

    CWnd* outer = t_creating;
    t_creating = this;
    HWND hwnd =
        ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                          cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    t_creating = outer;
    if (!hwnd) {
        // A failed creation may have attached and detached already.
        m_hWnd = nullptr;
        return false;
    }
    // A window of a system class never passed through our procedure: take it over now.
    if (FromHandlePermanent(hwnd) != this && !SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    m_ownsWindow = true;
    return true;
}

bool CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd))
        return false;
    AttachObject(hwnd);
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
    if (!m_superProc) {
        DetachObject();
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, id));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd && m_superProc)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    m_superProc = nullptr;
    DetachObject();
    m_ownsWindow = false;
    return hwnd;
}

bool CWnd::DestroyWindow() {
    if (!m_hWnd)
        return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
    LONG_PTR style = GetStyle();
    LONG_PTR changed = (style & ~static_cast<LONG_PTR>(remove)) | add;
    if (changed == style)
        return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, changed);
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

RECT CWnd::GetClientRect() const {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

std::wstring CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void CWnd::CenterWindow(HWND over) const {
    if (!over)
        over = ::GetWindow(m_hWnd, GW_OWNER);
    if (!over && (GetStyle() & WS_CHILD))
        over = ::GetParent(m_hWnd);
    RECT area{};
    if (over && ::IsWindowVisible(over) && !::IsIconic(over)) {
        ::GetWindowRect(over, &area);
        if (GetStyle() & WS_CHILD)
            ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&area), 2);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT self = GetWindowRect();
    int w = self.right - self.left;
    int h = self.bottom - self.top;
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_superProc)
        return ::CallWindowProcW(m_superProc, m_hWnd, msg, wp, lp);
    if (m_isDialog)
        return 0;
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

bool CWnd::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HWND child = nullptr;
    if (msg == WM_NOTIFY) {
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
    } else if (msg == WM_COMMAND) {
        child = reinterpret_cast<HWND>(lp);
    } else if (msg == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (item->CtlType != ODT_MENU)
            child = item->hwndItem;
    } else if (msg == WM_MEASUREITEM) {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (item->CtlType != ODT_MENU)
            child = ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID));
    } else if (IsCtlColor(msg)) {
        child = reinterpret_cast<HWND>(lp);
    }
    if (!child || child == m_hWnd)
        return false;
    CWnd* object = FromHandlePermanent(child);
    return object && object->OnReflectedMessage(msg, wp, lp, result);
}

bool CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (ReflectToChild(msg, wp, lp, result))
        return true;
    return OnMessage(msg, wp, lp, result);
}

bool CWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_CREATE:
        if (!OnCreate(reinterpret_cast<CREATESTRUCTW*>(lp))) {
            result = -1;
            return true;
        }
        return false;
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_COMMAND:
        return OnCommand(HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp));
    case WM_NOTIFY:
        return OnNotify(static_cast<int>(wp), reinterpret_cast<NMHDR*>(lp), result);
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), XFromLParam(lp), YFromLParam(lp));
        return false;
    case WM_SIZING:
        if (OnSizing(static_cast<UINT>(wp), reinterpret_cast<RECT*>(lp))) {
            result = TRUE;
            return true;
        }
        return false;
    case WM_TIMER:
        OnTimer(wp);
        return true;
    case WM_CLOSE:
        return OnClose();
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wp), lp);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        if (OnEraseBkgnd(reinterpret_cast<HDC>(wp))) {
            result = TRUE;
            return true;
        }
        return false;
    case WM_MOUSEMOVE:
        return OnMouseMove(static_cast<UINT>(wp), {XFromLParam(lp), YFromLParam(lp)});
    case WM_LBUTTONDOWN:
        return OnLButtonDown(static_cast<UINT>(wp), {XFromLParam(lp), YFromLParam(lp)});
    case WM_LBUTTONUP:
        return OnLButtonUp(static_cast<UINT>(wp), {XFromLParam(lp), YFromLParam(lp)});
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lp));
        return false;
    default:
        return false;
    }
}

bool CWnd::OnCreate(CREATESTRUCTW*) {
    return true;
}
bool CWnd::OnCommand(UINT, UINT, HWND) {
    return false;
}
bool CWnd::OnNotify(int, NMHDR*, LRESULT&) {
    return false;
}
void CWnd::OnSize(UINT, int, int) {}
bool CWnd::OnSizing(UINT, RECT*) {
    return false;
}
void CWnd::OnTimer(UINT_PTR) {}
bool CWnd::OnClose() {
    return false;
}
bool CWnd::OnSysCommand(UINT, LPARAM) {
    return false;
}
bool CWnd::OnPaint() {
    return false;
}
bool CWnd::OnEraseBkgnd(HDC) {
    return false;
}
bool CWnd::OnMouseMove(UINT, POINT) {
    return false;
}
bool CWnd::OnLButtonDown(UINT, POINT) {
    return false;
}
bool CWnd::OnLButtonUp(UINT, POINT) {
    return false;
}
void CWnd::OnCaptureChanged(HWND) {}
bool CWnd::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void CWnd::HandleNcDestroy() {
    HWND hwnd = m_hWnd;
    if (m_superProc) {
        WNDPROC super = m_superProc;
        UnsubclassWindow();
        ::CallWindowProcW(super, hwnd, WM_NCDESTROY, 0, 0);
    } else {
        if (!m_isDialog)
            ::DefWindowProcW(hwnd, WM_NCDESTROY, 0, 0);
        DetachObject();
    }
    m_ownsWindow = false;
    MarkDialogNavigation(hwnd, false);
    // A thread ends its message loop when its main window is gone.
    if (CWinThread* thread = CWinThread::Current(); thread && thread->m_pMainWnd == this) {
        thread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    } else if (CWinApp* app = CWinApp::Get(); app && app->m_pMainWnd == this) {
        // Outside the loop (start-up, exit) the application only forgets the window.
        app->m_pMainWnd = nullptr;
    }
    // A window that dies inside its own creation call leaves its object to the caller.
    if (t_inCreation == this)
        return;
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self && msg == WM_NCCREATE && t_creating) {
        self = t_creating;
        t_creating = nullptr;
        self->AttachObject(hwnd);
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    try {
        if (msg == WM_NCDESTROY) {
            self->HandleNcDestroy();
            return 0;
        }
        LRESULT result = 0;
        if (self->Dispatch(msg, wp, lp, result))
            return result;
        return self->DefWindowProc(msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system's code.
        return 0;
    }
}

INT_PTR CALLBACK CWnd::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<CWnd*>(lp);
        if (!self)
            return FALSE;
        self->m_isDialog = true;
        self->AttachObject(hwnd);
    }
    if (!self)
        return FALSE;
    try {
        if (msg == WM_NCDESTROY) {
            self->HandleNcDestroy();
            return FALSE;
        }
        LRESULT result = 0;
        if (!self->Dispatch(msg, wp, lp, result))
            return FALSE;
        if (DialogAnswersDirectly(msg))
            return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

void MarkDialogNavigation(HWND hwnd, bool on) {
    if (!hwnd)
        return;
    if (on)
        ::SetPropW(hwnd, kDialogNavProp, reinterpret_cast<HANDLE>(1));
    else
        ::RemovePropW(hwnd, kDialogNavProp);
}

bool RouteDialogMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return false;
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (::GetPropW(hwnd, kDialogNavProp))
            return ::IsDialogMessageW(hwnd, msg) != FALSE;
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

} // namespace qk
