#include "app/menu/UtilMenuView.h"

#include <algorithm>
#include "app/connection/PortRecordText.h"
#include "app/shell/Model.h"
#include "app/shell/PluginHost.h"
#include "app/shell/ShellHost.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewDllApi.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/TabStops.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "platform/os/SectionCacheProfile.h"

namespace qk::app {
namespace {

constexpr char16_t kScreenName[] = u"MENU_ITEM";
constexpr wchar_t kNoLanguageFile[] = L"Could not find the required files.\nClosing application.";
// A page's answer to the leave request when it keeps the operator (unsaved changes kept).
constexpr int32_t kPageStays = -5;

} // namespace

CUtilMenuView::~CUtilMenuView() {
    ReleaseItems();
}

// --- Initial update -----------------------------------------------------------------------

void CUtilMenuView::OnInitialUpdate() {
    CListView::OnInitialUpdate();
    IShellFrame* frame = ShellFrameOf(m_hWnd);
    IShellHost* host = ShellHost();
    UtilContext* context = host ? host->Context() : nullptr;
    if (!LoadTexts(context, frame))
        return;
    // Some twenty keys per item: the file is read once per section, not once per key.
    os::SectionCacheProfile profile(os::RealProfile(), os::RealFileSystem());
    ReadMenuFile(context, frame, profile);
    SetUpList(frame);
    SelectInitialRow();
}

bool CUtilMenuView::LoadTexts(UtilContext* context, IShellFrame* frame) {
    const std::u16string folder = context ? SlotText(context->languageFolder) : u"";
    const int32_t language = context ? context->languageId : kLangEnglish;
    if (m_langTable.LoadLangFile(folder, language, kLangEnglish) == kLangNoFile) {
        HWND owner = frame ? frame->ShellWindow() : nullptr;
        ShowWarning(owner, kNoLanguageFile);
        if (owner)
            ::PostMessageW(owner, WM_CLOSE, 0, 0);
        return false;
    }
    m_langTable.LoadScreenTexts(kScreenName);
    return true;
}

void CUtilMenuView::ReadMenuFile(UtilContext* context, IShellFrame* frame, os::IProfile& profile) {
    const int32_t startMode = context ? context->startMode : 0;
    const std::u16string programFolder = context ? SlotText(context->programFolder) : u"";
    m_menuPath = programFolder + menu_file::ChooseMenuFile(startMode);

    const std::u16string title = menu_file::ReadTitle(profile, m_menuPath, FromWide(kVersionText));
    if (!title.empty() && frame)
        ::SetWindowTextW(frame->ShellWindow(), WidePtr(title));
    m_painter.Load(menu_file::ReadLook(profile, m_menuPath), ToWide(programFolder), m_dpi);

    CPluginHost plugins(frame ? frame->ShellWindow() : nullptr,
                        frame ? frame->PageAreaWindow() : nullptr, context);
    menu_file::ItemReadInputs inputs{
        profile,      m_menuPath, context ? context->arpSupport : 0, m_painter.Look().defaultColor,
        &m_langTable, plugins};
    menu_file::ReadItems(inputs, m_items);

    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    CPluginHost::RegisterPluginBlocks(&m_items, store);
    CPluginHost::RegisterDependBlocks(&m_items, store);
    if (frame)
        frame->HandOverMenuItems(&m_items);
    menu_file::ComputeLevels(m_items);
}

void CUtilMenuView::SetUpList(IShellFrame* frame) {
    // Redrawing is off while the list is set up: each change would lay the rows out and
    // invalidate them anew (under Wine 14 ms for the menu's rows, against 6).
    SetRedraw(false);
    ModifyStyle(0, LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER, SWP_FRAMECHANGED);
    CListCtrl list = GetListCtrl();
    // The row measure may come now or only at the first paint (version 6 of the common
    // controls): the column and the pane take the measured size either way.
    const SIZE row = m_painter.MeasuredRowSize();
    if (row.cx > 0)
        m_columnWidth = row.cx;
    list.InsertColumn(0, L"", LVCFMT_LEFT,
                      m_columnWidth > 0 ? m_columnWidth : m_painter.Look().itemWidth);
    std::vector<bool> selectable;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        list.InsertItem(static_cast<int>(i), WidePtr(m_items[i]->text));
        selectable.push_back(m_items[i]->IsSelectable());
    }
    m_rows.SetRows(std::move(selectable));
    SetRedraw(true);
    Invalidate();
    if (!frame)
        return;
    SIZE size = list.ApproximateViewRect();
    if (m_columnWidth > 0)
        size.cx = m_columnWidth;
    if (row.cy > 0)
        size.cy = row.cy * static_cast<LONG>(m_items.size());
    // The pane also holds the view's border: rows as wide as the pane's client area need no
    // horizontal scroll bar.
    RECT frameOfList = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&frameOfList, static_cast<DWORD>(GetStyle()), FALSE,
                         static_cast<DWORD>(GetExStyle()));
    const int32_t paneWidth = size.cx + (frameOfList.right - frameOfList.left);
    const int32_t paneHeight = size.cy + (frameOfList.bottom - frameOfList.top);
    // An empty menu still keeps its pane: without a size the frame would lay out nothing,
    // and the page area and the status strip would stay unseen.
    frame->SetMenuPaneSize(std::max<int32_t>(paneWidth, 1), std::max<int32_t>(paneHeight, 1));
    frame->LayoutPanes();
}

void CUtilMenuView::SelectInitialRow() {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->selecting != 1)
            continue;
        m_rows.StartSelected(static_cast<int32_t>(i));
        ApplyRowChanges();
        ShowPage(*m_items[i]);
        return;
    }
}

// --- Drawing ------------------------------------------------------------------------------

bool CUtilMenuView::OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg == WM_MEASUREITEM) {
        OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    return false;
}

void CUtilMenuView::OnMeasureItem(MEASUREITEMSTRUCT* measure) {
    const SIZE row = m_painter.MeasuredRowSize();
    if (row.cy != 0) {
        measure->itemHeight = static_cast<UINT>(row.cy);
        m_rowHeight = row.cy;
    }
    if (row.cx != 0) {
        GetListCtrl().SetColumnWidth(0, row.cx);
        m_columnWidth = row.cx;
    }
}

void CUtilMenuView::OnDrawItem(const DRAWITEMSTRUCT* draw) {
    const auto row = static_cast<int32_t>(draw->itemID);
    const MenuItem* item = ItemAt(row);
    if (!item)
        return;
    const RECT& rect = draw->rcItem;
    const SIZE rowSize = {m_columnWidth > 0 ? m_columnWidth : rect.right - rect.left,
                          m_rowHeight > 0 ? m_rowHeight : rect.bottom - rect.top};
    m_painter.DrawRow(draw->hDC, {*item, rect, rowSize, m_rows.BandOf(row),
                                  row == m_rows.Focus() && ::GetFocus() == m_hWnd,
                                  reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))});
}

bool CUtilMenuView::OnEraseBkgnd(HDC dc) {
    m_painter.DrawBackground(dc, GetClientRect());
    return true;
}

// --- Mouse --------------------------------------------------------------------------------

bool CUtilMenuView::OnMouseMove(UINT flags, POINT point) {
    if (!m_capture) {
        ::SetCapture(m_hWnd);
        m_capture = 1;
    }
    // With the capture every move comes here; one outside the client area is over another
    // window.
    const bool inside = IsInClient(point);
    if (!inside)
        ::ReleaseCapture(); // the capture-lost handler clears hover and pressed
    m_rows.MouseMove(inside ? HitTestRow(point) : CMenuRowState::kNone, flags == MK_LBUTTON);
    ApplyRowChanges();
    return true;
}

bool CUtilMenuView::OnLButtonDown(UINT, POINT point) {
    if (!m_rows.ButtonDown(HitTestRow(point)))
        return false; // the control's own handling
    ApplyRowChanges();
    return true;
}

bool CUtilMenuView::OnLButtonUp(UINT, POINT point) {
    const bool inside = IsInClient(point);
    const int32_t target =
        m_rows.ButtonUp(inside ? HitTestRow(point) : CMenuRowState::kNone, inside);
    ApplyRowChanges();
    if (target >= 0)
        ActivateRow(target);
    return true;
}

void CUtilMenuView::ActivateRow(int32_t target) {
    if (!m_rows.IsSelectable(target))
        return;
    if (target == m_rows.Selected()) {
        FocusPage(false);
        return;
    }
    if (SelectedPageStays()) {
        m_rows.KeepSelection(target);
        ApplyRowChanges();
        return;
    }
    m_rows.Select(target);
    ApplyRowChanges();
    ShowPage(*m_items[static_cast<std::size_t>(target)]);
}

bool CUtilMenuView::SelectedPageStays() const {
    const MenuItem* item = ItemAt(m_rows.Selected());
    return item && item->IsBound() &&
           CPluginHost::ChangeMenuState(*item, kMenuStateLeave) == kPageStays;
}

// A page shown by the plug-in takes the focus for itself; the menu keeps it, so that the
// keys go on moving through the menu after a click or Enter, and Tab enters the page.
void CUtilMenuView::ShowPage(MenuItem& item) {
    if (!item.IsBound())
        return;
    CPluginHost::ChangeMenuState(item, kMenuStateShow);
    ::SetFocus(m_hWnd);
}

void CUtilMenuView::OnCaptureChanged(HWND) {
    m_capture = 0;
    m_rows.CaptureLost();
    ApplyRowChanges();
}

// --- Keyboard -----------------------------------------------------------------------------

bool CUtilMenuView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wp)))
            return true;
        break;
    case WM_CHAR:
        // Enter, Space and Tab are keys of the menu, not the list's type-ahead search.
        if (wp == L'\r' || wp == L' ' || wp == L'\t')
            return true;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        result = DefWindowProc(msg, wp, lp);
        m_rows.KeyboardFocus(msg == WM_SETFOCUS);
        ApplyRowChanges();
        return true;
    case WM_GETOBJECT:
        if (m_accessible.OnGetObject(m_hWnd, wp, lp, result))
            return true;
        break;
    default:
        break;
    }
    return CListView::OnMessage(msg, wp, lp, result);
}

bool CUtilMenuView::OnKeyDown(UINT key) {
    switch (key) {
    case VK_UP:
        MoveFocusRow(m_rows.KeyTarget(MenuRowKey::Up));
        break;
    case VK_DOWN:
        MoveFocusRow(m_rows.KeyTarget(MenuRowKey::Down));
        break;
    case VK_HOME:
        MoveFocusRow(m_rows.KeyTarget(MenuRowKey::Home));
        break;
    case VK_END:
        MoveFocusRow(m_rows.KeyTarget(MenuRowKey::End));
        break;
    case VK_RETURN:
    case VK_SPACE: {
        const int32_t target = m_rows.KeyActivate();
        ApplyRowChanges();
        if (target >= 0)
            ActivateRow(target);
        break;
    }
    case VK_TAB:
        FocusPage(::GetKeyState(VK_SHIFT) < 0);
        break;
    default:
        return false;
    }
    return true;
}

void CUtilMenuView::MoveFocusRow(int32_t row) {
    if (!m_rows.MoveFocus(row))
        return;
    ApplyRowChanges();
    GetListCtrl().SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void CUtilMenuView::FocusPage(bool backwards) const {
    const MenuItem* item = ItemAt(m_rows.Selected());
    if (!item || !item->IsBound())
        return;
    CPluginHost::ChangeMenuState(*item, kMenuStateFocus);
    // The page's own choice may be a group box or a page with nothing enabled: the keyboard
    // goes to its first (Shift: last) control that takes it, else it stays in the menu.
    HWND page = PageHolding(::GetFocus());
    HWND stop = page ? EnabledTabStop(page, backwards) : nullptr;
    ::SetFocus(stop ? stop : m_hWnd);
}

HWND CUtilMenuView::PageHolding(HWND window) const {
    IShellFrame* frame = ShellFrameOf(m_hWnd);
    HWND area = frame ? frame->PageAreaWindow() : nullptr;
    if (!area)
        return nullptr;
    for (; window; window = ::GetParent(window))
        if (::GetParent(window) == area)
            return window;
    return nullptr;
}

void CUtilMenuView::TakeFocusFromPage() {
    ::SetFocus(m_hWnd);
    if (m_rows.Focus() < 0)
        MoveFocusRow(m_rows.EntryRow());
}

// --- Leaving and destruction --------------------------------------------------------------

CUtilMenuView::LeaveAnswer CUtilMenuView::AskSelectedToLeave() const {
    const MenuItem* item = ItemAt(m_rows.Selected());
    if (!item)
        return LeaveAnswer::NoSelection;
    if (!item->IsBound())
        return LeaveAnswer::Refused;
    return CPluginHost::ChangeMenuState(*item, kMenuStateLeave) == 0 ? LeaveAnswer::Allowed
                                                                     : LeaveAnswer::Refused;
}

void CUtilMenuView::ReleaseItems() {
    m_rows.Clear();
    CPluginHost::ReleaseItems(m_items);
}

void CUtilMenuView::OnDestroy() {
    m_accessible.Disconnect();
    ReleaseItems();
    m_painter.Release();
    if (m_capture) {
        m_capture = 0;
        ::ReleaseCapture();
    }
    CListView::OnDestroy();
}

// --- Rows ---------------------------------------------------------------------------------

int32_t CUtilMenuView::HitTestRow(POINT point) const {
    const int row = GetListCtrl().HitTest(point);
    return ItemAt(row) ? row : -1;
}

bool CUtilMenuView::IsInClient(POINT point) const {
    const RECT client = GetClientRect();
    return ::PtInRect(&client, point) != FALSE;
}

const MenuItem* CUtilMenuView::ItemAt(int32_t row) const {
    if (row < 0 || row >= static_cast<int32_t>(m_items.size()))
        return nullptr;
    return m_items[static_cast<std::size_t>(row)];
}

void CUtilMenuView::InvalidateRow(int32_t row) const {
    RECT rect{};
    if (row >= 0 && m_hWnd && GetListCtrl().GetItemRect(row, &rect, LVIR_BOUNDS))
        ::InvalidateRect(m_hWnd, &rect, TRUE);
}

void CUtilMenuView::ApplyRowChanges() {
    const CMenuRowChanges changes = m_rows.TakeChanges();
    for (const int32_t row : changes.Rows())
        InvalidateRow(row);
    if (changes.selectionMoved && m_rows.Selected() >= 0)
        CAccessibleWindow::NotifySelection(m_hWnd, m_rows.Selected() + 1);
    if (changes.focusMoved && m_rows.Focus() >= 0)
        CAccessibleWindow::NotifyFocus(m_hWnd, m_rows.Focus() + 1);
}

// --- What a screen reader hears ----------------------------------------------------------

std::u16string CUtilMenuView::AccessibleName(LONG child) const {
    const MenuItem* item = ItemAt(static_cast<int32_t>(child) - 1);
    return item ? item->text : std::u16string();
}

LONG CUtilMenuView::AccessibleRowCount() const {
    return static_cast<LONG>(m_items.size());
}

DWORD CUtilMenuView::AccessibleRowState(LONG child) const {
    const auto row = static_cast<int32_t>(child) - 1;
    if (!m_rows.IsSelectable(row))
        return STATE_SYSTEM_UNAVAILABLE;
    DWORD state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (row == m_rows.Selected())
        state |= STATE_SYSTEM_SELECTED;
    if (row == m_rows.Focus() && ::GetFocus() == m_hWnd)
        state |= STATE_SYSTEM_FOCUSED;
    return state;
}

RECT CUtilMenuView::AccessibleRowRect(LONG child) const {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (!GetListCtrl().SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(child - 1),
                                   reinterpret_cast<LPARAM>(&rect)))
        return RECT{0, 0, 0, 0};
    return rect;
}

} // namespace qk::app
