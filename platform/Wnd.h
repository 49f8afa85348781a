// Window base class: one C++ object per window, found from the window handle through a
// window property, with messages dispatched to named virtual handlers.
//
// Ownership: an object that created its window (Create/CreateEx) owns it and destroys it
// in its destructor. An object attached to an existing window (SubclassWindow, Attach)
// does not own it and only lets go of it. Objects that delete themselves when their window
// is gone (views, frames, splash windows) override PostNcDestroy.
#pragma once
#include <windows.h>
#include <string>

namespace qk {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object of this module attached to a window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creates a window of a class of ours (or of cs.lpszClass set by PreCreateWindow).
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  int x, int y, int cx, int cy, HWND parent, HMENU menuOrId,
                  void* createParam = nullptr);
    bool Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                HWND parent, UINT id);
    // Registers (once per module) a window class whose procedure dispatches to objects.
    static const wchar_t* RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                           HBRUSH background = nullptr, HICON icon = nullptr,
                                           HICON smallIcon = nullptr);

    // Takes over an existing window (a dialog control, a system-class window): its messages
    // come to this object first, then to the window's own procedure. Not owned.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND parent);
    HWND UnsubclassWindow();
    // Wraps a window without taking its messages. Not owned.
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach();

    bool DestroyWindow();

    // Thin wrappers.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::SendMessageW(m_hWnd, msg, wp, lp);
    }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
    }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable = true) const { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    // Turns the window's redrawing off or on again (it is not repainted by this).
    void SetRedraw(bool redraw) const { ::SendMessageW(m_hWnd, WM_SETREDRAW, redraw, 0); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgCtrlID(int id) const { ::SetWindowLongPtrW(m_hWnd, GWLP_ID, id); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE); }
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void MoveWindow(int x, int y, int cx, int cy, bool repaint = true) const {
        ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    void MoveWindow(const RECT& r, bool repaint = true) const {
        MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    void SetDlgItemText(int id, const wchar_t* text) const { ::SetDlgItemTextW(m_hWnd, id, text); }
    // Centres over the owner (or the parent, or the work area when there is neither).
    void CenterWindow(HWND over = nullptr) const;
    bool SetForegroundWindow() const { return ::SetForegroundWindow(m_hWnd) != FALSE; }

    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) const {
        return ::SetTimer(m_hWnd, id, elapseMs, nullptr);
    }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id) != FALSE; }

    bool SetProp(const wchar_t* name, HANDLE value) const {
        return ::SetPropW(m_hWnd, name, value) != FALSE;
    }
    HANDLE GetProp(const wchar_t* name) const { return ::GetPropW(m_hWnd, name); }
    HANDLE RemoveProp(const wchar_t* name) const { return ::RemovePropW(m_hWnd, name); }

    // The default handling of a message: the subclassed procedure, DefWindowProc, or (for
    // dialogs) nothing.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);

protected:
    // Offers a message to the named handlers; true when handled, with the answer in result.
    // Derived classes override it for their own messages and call the base for the rest.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    virtual bool PreCreateWindow(CREATESTRUCTW& cs);
    // Answer false to fail the creation.
    virtual bool OnCreate(CREATESTRUCTW* cs);
    virtual void OnDestroy() {}
    // Called after the window is gone and the object detached; may delete the object.
    virtual void PostNcDestroy() {}
    virtual bool OnCommand(UINT code, UINT id, HWND control);
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual bool OnSizing(UINT edge, RECT* rect);
    virtual void OnTimer(UINT_PTR id);
    // Answer true when the close request was handled (the default destroys the window).
    virtual bool OnClose();
    virtual bool OnSysCommand(UINT command, LPARAM lp);
    virtual bool OnPaint();
    virtual bool OnEraseBkgnd(HDC dc);
    virtual bool OnMouseMove(UINT flags, POINT point);
    virtual bool OnLButtonDown(UINT flags, POINT point);
    virtual bool OnLButtonUp(UINT flags, POINT point);
    virtual void OnCaptureChanged(HWND gaining);
    // A notification that the parent reflected back to this control (WM_NOTIFY, WM_COMMAND,
    // WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*). True when handled.
    virtual bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // Held by the calls that create this object's window: a window destroyed before such a
    // call returns (a failed creation) does not run PostNcDestroy, so a failed creation never
    // deletes the object and the caller that made it deletes it.
    class CreationScope {
    public:
        explicit CreationScope(CWnd* wnd);
        ~CreationScope();
        CreationScope(const CreationScope&) = delete;
        CreationScope& operator=(const CreationScope&) = delete;

    private:
        CWnd* m_outer;
    };

    // Dispatch shared by window and dialog procedures.
    bool Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // True when this object's window is a dialog (the procedure answers through DWLP_MSGRESULT).
    bool m_isDialog = false;
    // Owned windows are destroyed with the object.
    bool m_ownsWindow = false;
    WNDPROC m_superProc = nullptr;

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void AttachObject(HWND hwnd);
    void DetachObject();

private:
    bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void HandleNcDestroy();
};

// Keeps a window from redrawing while it is filled item by item, and invalidates it whole
// afterwards. A combo box otherwise updates its list's scroll bar and repaints for each item
// (under Wine a page of combo boxes took 3-7 ms to fill, against under 1 ms paused). Only a
// window showing by its own style is paused: turning redrawing on again shows a window whose
// class leaves the message to DefWindowProc.
class CRedrawPause {
public:
    explicit CRedrawPause(HWND hwnd)
        : m_hwnd(hwnd && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) ? hwnd : nullptr) {
        if (m_hwnd)
            ::SendMessageW(m_hwnd, WM_SETREDRAW, FALSE, 0);
    }
    ~CRedrawPause() {
        if (!m_hwnd || !::IsWindow(m_hwnd))
            return;
        ::SendMessageW(m_hwnd, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    CRedrawPause(const CRedrawPause&) = delete;
    CRedrawPause& operator=(const CRedrawPause&) = delete;

private:
    HWND m_hwnd;
};

// Marks a window whose keyboard navigation the message loop hands to IsDialogMessage
// (modeless dialogs and form views of any module).
void MarkDialogNavigation(HWND hwnd, bool on);
// Offers a message to IsDialogMessage of the innermost marked ancestor; true when taken.
bool RouteDialogMessage(MSG* msg);

} // namespace qk
