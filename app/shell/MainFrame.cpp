#include "app/shell/MainFrame.h"

#include <cstdlib>
#include <cwchar>
#include <optional>
#include "app/connection/CommStateDlg.h"
#include "app/shell/AboutDlg.h"
#include "app/shell/Model.h"
#include "app/shell/ShellHost.h"
#include "app/shell/UtilDummyView.h"
#include "app/status/UtilStatusView.h"
#include "framework/context/TextSlot.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "platform/TabStops.h"
#include "platform/Dpi.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr char16_t kScreenName[] = u"MAIN_WINDOW";
constexpr char16_t kCommStateTitle[] = u"Communicating with the printer";

std::wstring InstancePropertyName() {
    wchar_t name[128];
    swprintf(name, 128, kInstancePropertyFormat, kInstancePropertyPrefix, kModelName);
    return name;
}

comm::QkcBinding* BoundOrNull(comm::QkcBinding* binding) {
    return comm::IsBound(binding) ? binding : nullptr;
}

} // namespace

CMainFrame::CMainFrame() : m_dpi(SystemDpi()) {}
CMainFrame::~CMainFrame() = default;

bool CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (cs.hMenu) {
        ::DestroyMenu(cs.hMenu);
        cs.hMenu = nullptr;
    }
    cs.style &= ~(WS_THICKFRAME | WS_MAXIMIZEBOX | FWS_ADDTOTITLE);
    cs.cx = Scaled(kFrameWidth);
    cs.cy = Scaled(kFrameHeight);
    return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreate(CREATESTRUCTW* cs) {
    SetShellFrame(m_hWnd, this);
    if (!CFrameWnd::OnCreate(cs))
        return false;
    LoadLanguage();
    SetProp(InstancePropertyName().c_str(), reinterpret_cast<HANDLE>(1));
    wchar_t title[128];
    swprintf(title, 128, L"%ls Utility %ls", kModelName, kVersionText);
    SetWindowText(title);
    RemoveSystemMenuCommand(SC_SIZE);
    RemoveSystemMenuCommand(SC_MAXIMIZE);
    return true;
}

void CMainFrame::LoadLanguage() {
    IShellHost* host = ShellHost();
    UtilContext* context = host ? host->Context() : nullptr;
    if (!context)
        return;
    if (m_langTable.LoadLangFile(std::u16string(SlotView(context->languageFolder)),
                                 context->languageId, kLangEnglish) >= 0)
        m_langTable.LoadScreenTexts(kScreenName);
}

bool CMainFrame::OnCreateClient(CREATESTRUCTW*, CCreateContext* context) {
    const DWORD style = WS_CHILD | WS_VISIBLE;
    const SIZE initial = {1, 1};
    if (!m_outerSplitter.CreateStatic(m_hWnd, 2, 1, style, AFX_IDW_PANE_FIRST))
        return false;
    if (!m_outerSplitter.CreateView(1, 0, new CUtilStatusView, initial, context))
        return false;
    if (!m_innerSplitter.CreateStatic(m_outerSplitter, 1, 2, style,
                                      m_outerSplitter.IdFromRowCol(0, 0)))
        return false;
    if (!m_innerSplitter.CreateView(0, 0, new CUtilMenuView, initial, context))
        return false;
    if (!m_innerSplitter.CreateView(0, 1, new CUtilDummyView, initial, context))
        return false;
    CenterWindow();
    return true;
}

void CMainFrame::OnDestroy() {
    RemoveProp(InstancePropertyName().c_str());
    SetShellFrame(m_hWnd, nullptr);
    // The plug-ins take their pages down while the page area and its children still exist.
    if (CUtilMenuView* menu = MenuView())
        menu->ReleaseItems();
    if (m_commStateDlg)
        m_commStateDlg->DestroyWindow();
}

CUtilMenuView* CMainFrame::MenuView() const {
    return dynamic_cast<CUtilMenuView*>(m_innerSplitter.GetPaneObject(0, 0));
}

CUtilDummyView* CMainFrame::PageArea() const {
    return dynamic_cast<CUtilDummyView*>(m_innerSplitter.GetPaneObject(0, 1));
}

CUtilStatusView* CMainFrame::StatusView() const {
    return dynamic_cast<CUtilStatusView*>(m_outerSplitter.GetPaneObject(1, 0));
}

HWND CMainFrame::PageAreaWindow() const {
    CUtilDummyView* pageArea = PageArea();
    return pageArea ? pageArea->m_hWnd : nullptr;
}

void CMainFrame::SetMenuPaneSize(int32_t width, int32_t height) {
    m_menuPaneWidth = width;
    m_menuPaneHeight = height;
}

int CMainFrame::StatusPaneHeightAt(int dpi) {
    return ScaleToDpi(kStatusPaneHeight, dpi);
}

int CMainFrame::StatusBandHeightAt(int dpi) {
    return StatusPaneHeightAt(dpi) + (kStatusBandHeight - kStatusPaneHeight);
}

int CMainFrame::Scaled(int pixels) const {
    return ScaleToDpi(pixels, m_dpi);
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
    CFrameWnd::OnSize(type, cx, cy);
    LayoutPanes();
}

void CMainFrame::LayoutPanes() {
    if (m_outerSplitter.GetRowCount() < 2 || m_innerSplitter.GetColumnCount() < 2 ||
        m_menuPaneWidth <= 0 || m_menuPaneHeight <= 0)
        return;
    RECT client = GetClientRect();
    const int w = client.right;
    const int h = client.bottom;
    const int statusBand = StatusBandHeightAt(m_dpi);
    const int statusPane = StatusPaneHeightAt(m_dpi);
    // The inner splitter's sizes first: the outer one's layout resizes it, and it lays its
    // panes out then already where they belong (not once at the old sizes and again).
    m_innerSplitter.SetColumnInfo(0, m_menuPaneWidth, 1);
    m_innerSplitter.SetColumnInfo(1, std::abs(w - m_menuPaneWidth), 1);
    m_innerSplitter.SetRowInfo(0, std::abs(h - statusPane), 1);
    m_outerSplitter.SetColumnInfo(0, w, 1);
    m_outerSplitter.SetRowInfo(0, std::abs(h - statusBand), 1);
    m_outerSplitter.SetRowInfo(1, statusPane, 1);
    m_outerSplitter.RecalcLayout();
    m_innerSplitter.RecalcLayout();
}

bool CMainFrame::OnSizing(UINT, RECT* rect) {
    if (rect->right - rect->left < Scaled(kFrameWidth))
        rect->right = rect->left + Scaled(kFrameWidth);
    if (rect->bottom - rect->top < Scaled(kFrameHeight))
        rect->bottom = rect->top + Scaled(kFrameHeight);
    return true;
}

bool CMainFrame::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    CAboutDlg about;
    about.DoModal(m_hWnd);
    return true;
}

bool CMainFrame::OnClose() {
    // The exchange's worker still uses the panes and the libraries they loaded: the window
    // closes once the exchange has ended.
    if (m_commStateDlg && m_commStateDlg->IsInModalLoop()) {
        m_closePending = true;
        return true;
    }
    CUtilMenuView* menu = MenuView();
    if (!menu)
        return false;
    // The window stays open unless the selected page agrees to be left.
    return menu->AskSelectedToLeave() == CUtilMenuView::LeaveAnswer::Refused;
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || msg->wParam != VK_TAB)
        return false;
    CUtilDummyView* pageArea = PageArea();
    CUtilMenuView* menu = MenuView();
    HWND focus = ::GetFocus();
    if (!pageArea || !menu || !focus || !::IsChild(pageArea->m_hWnd, focus))
        return false;
    HWND page = focus;
    while (::GetParent(page) != pageArea->m_hWnd)
        page = ::GetParent(page);
    // The tab stop that holds the focus: a control's inner window counts as the control.
    HWND stop = focus;
    while (stop != page && ::GetParent(stop) != page)
        stop = ::GetParent(stop);
    HWND first = EnabledTabStop(page, false);
    HWND last = EnabledTabStop(page, true);
    const bool backwards = ::GetKeyState(VK_SHIFT) < 0;
    if (first && stop != (backwards ? first : last))
        return false;
    menu->TakeFocusFromPage();
    return true;
}

void CMainFrame::HandOverMenuItems(MenuItemList* items) {
    CUtilStatusView* status = StatusView();
    if (!status)
        return;
    status->SendMessage(WM_UTIL_UPDATEPRINTERINFO);
    status->SetMenuItems(items);
    IShellHost* host = ShellHost();
    status->BeginMonitoring(host && host->ConnectionResult() == 0);
    AttachStatusProc(false);
}

bool CMainFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_UTIL_CREATECOMMSTATE:
        result = OnCreateCommState(reinterpret_cast<HWND>(wp));
        return true;
    case WM_UTIL_RUNCOMMSTATE:
        result = OnRunCommState(reinterpret_cast<const CommStateRequest*>(wp),
                                reinterpret_cast<HWND>(lp));
        return true;
    case WM_UTIL_UPDATEPRINTERINFO:
        result = OnRelayToStatus(msg, wp, lp, true);
        return true;
    case WM_UTIL_GETSTATUS:
    case WM_UTIL_READSETTINGS:
    case WM_UTIL_STOPSTATUS:
        result = OnRelayToStatus(msg, wp, lp, false);
        return true;
    default:
        return CFrameWnd::OnMessage(msg, wp, lp, result);
    }
}

LRESULT CMainFrame::OnRelayToStatus(UINT msg, WPARAM wp, LPARAM lp, bool post) {
    if (CUtilStatusView* status = StatusView()) {
        if (post)
            status->PostMessage(msg, wp, lp);
        else
            status->SendMessage(msg, wp, lp);
    }
    return 0;
}

LRESULT CMainFrame::OnCreateCommState(HWND parent) {
    // A dialog left over from a request that never ran is replaced, not leaked.
    if (m_commStateDlg && m_commStateDlg->IsInModalLoop())
        return 0;
    m_commStateDlg.reset();
    auto dialog = std::make_unique<CCommStateDlg>();
    if (!dialog->Create(parent ? parent : m_hWnd))
        return 0;
    dialog->SetWindowText(
        WidePtr(m_langTable.TextOr(LangListKind::ScreenStrings, 0, kCommStateTitle)));
    m_commStateDlg = std::move(dialog);
    return reinterpret_cast<LRESULT>(m_commStateDlg->m_hWnd);
}

LRESULT CMainFrame::OnRunCommState(const CommStateRequest* request, HWND owner) {
    if (!m_commStateDlg || !m_commStateDlg->IsWindow() || m_commStateDlg->IsInModalLoop())
        return -1;
    // Without a worker to wait for the dialog could never end.
    if (!request || !request->workerThread || !*request->workerThread) {
        m_commStateDlg.reset();
        return -1;
    }
    if (!owner)
        owner = m_hWnd;
    const bool ownerWasEnabled = ::IsWindowEnabled(owner) != FALSE;
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    DetachStatusProc();

    m_commStateDlg->SetRequest(*request);
    m_commStateDlg->SendMessage(WM_UTIL_STARTCOMMSTATE);
    m_commStateDlg->EnableWindow(true);
    std::optional<CWaitCursor> wait(std::in_place);
    m_commStateDlg->RunModalLoop();
    m_commStateDlg.reset();

    AttachStatusProc(true);
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    wait.reset();
    if (m_closePending) {
        m_closePending = false;
        PostMessage(WM_CLOSE);
    }
    return 0;
}

void CMainFrame::DetachStatusProc() {
    CUtilStatusView* status = StatusView();
    IShellHost* host = ShellHost();
    if (!status)
        return;
    status->SetBinding(host ? host->Binding() : nullptr);
    if (comm::QkcBinding* binding = BoundOrNull(status->Binding()))
        binding->QKC_UnregisterStatusProc();
}

void CMainFrame::AttachStatusProc(bool initializeFirst) {
    CUtilStatusView* status = StatusView();
    IShellHost* host = ShellHost();
    if (!status)
        return;
    status->SetBinding(host ? host->Binding() : nullptr);
    if (comm::QkcBinding* binding = BoundOrNull(status->Binding())) {
        if (initializeFirst)
            binding->QKC_Initialize();
        binding->QKC_RegisterStatusProc(&CUtilStatusView::StatusProc, status);
    }
}

} // namespace qk::app
