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

// The list's font made bold and sized for one item; the list's own font when it needs no
// change. Deletes what it made.
class CItemFont {
public:
    CItemFont(HDC dc, HFONT listFont, const MenuItem& item) {
        LOGFONTW font{};
        if (!listFont || !::GetObjectW(listFont, sizeof(font), &font))
            ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        if (item.bold == 1)
            font.lfWeight = FW_BOLD;
        if (item.fontSize != 0)
            font.lfHeight = -(item.fontSize * ::GetDeviceCaps(dc, LOGPIXELSY) / 72);
        m_font = ::CreateFontIndirectW(&font);
    }
    ~CItemFont() {
        if (m_font)
            ::DeleteObject(m_font);
    }
    CItemFont(const CItemFont&) = delete;
    CItemFont& operator=(const CItemFont&) = delete;
    HFONT Get() const { return m_font; }

private:
    HFONT m_font = nullptr;
};

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
    ReadMenuFile(context, frame);
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

void CUtilMenuView::ReadMenuFile(UtilContext* context, IShellFrame* frame) {
    const int32_t startMode = context ? context->startMode : 0;
    const std::u16string programFolder = context ? SlotText(context->programFolder) : u"";
    m_menuPath = programFolder + menu_file::ChooseMenuFile(startMode);
    // Some twenty keys per item: the file is read once per section, not once per key.
    os::SectionCacheProfile profile(os::RealProfile(), os::RealFileSystem());

    const std::u16string title = menu_file::ReadTitle(profile, m_menuPath, FromWide(kVersionText));
    if (!title.empty() && frame)
        ::SetWindowTextW(frame->ShellWindow(), WidePtr(title));
    m_look = LookAtDpi(menu_file::ReadLook(profile, m_menuPath), m_dpi);
    const std::wstring folder = ToWide(programFolder);
    const bool exact = m_look.transparent == 1;
    m_pictures.Load(CMenuPictures::Background, ToWide(m_look.backgroundBitmap), folder, m_dpi,
                    false);
    m_pictures.Load(CMenuPictures::OnMouse, ToWide(m_look.onMouseBitmap), folder, m_dpi, exact);
    m_pictures.Load(CMenuPictures::Selected, ToWide(m_look.selectedBitmap), folder, m_dpi, exact);
    m_pictures.Load(CMenuPictures::Selecting, ToWide(m_look.selectingBitmap), folder, m_dpi, exact);

    CPluginHost plugins(frame ? frame->ShellWindow() : nullptr,
                        frame ? frame->PageAreaWindow() : nullptr, context);
    menu_file::ItemReadInputs inputs{
        profile,      m_menuPath, context ? context->arpSupport : 0, m_look.defaultColor,
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
    ModifyStyle(0, LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER, SWP_FRAMECHANGED);
    CListCtrl list = GetListCtrl();
    // The row measure may come now or only at the first paint (version 6 of the common
    // controls): the column and the pane take the measured size either way.
    const SIZE row = MeasuredRowSize();
    if (row.cx > 0)
        m_columnWidth = row.cx;
    list.InsertColumn(0, L"", LVCFMT_LEFT, m_columnWidth > 0 ? m_columnWidth : m_look.itemWidth);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        list.InsertItem(static_cast<int>(i), WidePtr(m_items[i]->text));
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
        m_selectedRow = static_cast<int32_t>(i);
        m_focusRow = m_selectedRow;
        InvalidateRow(m_selectedRow);
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

SIZE CUtilMenuView::MeasuredRowSize() const {
    const SIZE band = m_pictures.SizeOf(CMenuPictures::Selected);
    return SIZE{m_look.itemWidth != -1 ? m_look.itemWidth : band.cx,
                m_look.itemHeight != -1 ? m_look.itemHeight : band.cy};
}

void CUtilMenuView::OnMeasureItem(MEASUREITEMSTRUCT* measure) {
    const SIZE row = MeasuredRowSize();
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
    HDC dc = draw->hDC;
    const RECT& rowRect = draw->rcItem;
    const int level = std::clamp<int32_t>(item->level, 0, MenuLook::kLevels - 1);
    const int indent = m_look.indents[static_cast<std::size_t>(level)];
    RECT text = {rowRect.left + indent, rowRect.top, rowRect.right - indent, rowRect.bottom};

    int role = -1;
    if (row == m_selectedRow)
        role = CMenuPictures::Selected;
    else if (row == m_pressedRow)
        role = CMenuPictures::Selecting;
    else if (row == m_hoverRow)
        role = CMenuPictures::OnMouse;
    if (role >= 0) {
        const SIZE rowSize = {m_columnWidth > 0 ? m_columnWidth : rowRect.right - rowRect.left,
                              m_rowHeight > 0 ? m_rowHeight : rowRect.bottom - rowRect.top};
        m_pictures.DrawRowBand(dc, static_cast<CMenuPictures::Role>(role), rowRect.top, rowSize,
                               m_look.stretch == 1, m_look.transparent == 1);
    }
    if (row == m_selectedRow || row == m_pressedRow)
        ::OffsetRect(&text, PressedShiftAt(m_dpi), PressedShiftAt(m_dpi));
    DrawRowText(dc, *item, text);
    if (row == m_focusRow && ::GetFocus() == m_hWnd) {
        RECT focus = rowRect;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(dc, &focus);
    }
}

void CUtilMenuView::DrawRowText(HDC dc, const MenuItem& item, RECT rect) const {
    CItemFont font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)), item);
    HGDIOBJ oldFont = font.Get() ? ::SelectObject(dc, font.Get()) : nullptr;
    const COLORREF oldColour = ::SetTextColor(dc, item.color);
    const std::wstring text = ToWide(item.text);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP | DT_NOPREFIX);
    ::SetTextColor(dc, oldColour);
    if (oldFont)
        ::SelectObject(dc, oldFont);
}

bool CUtilMenuView::OnEraseBkgnd(HDC dc) {
    m_pictures.DrawBackground(dc, GetClientRect());
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
    const RECT client = GetClientRect();
    if (m_capture && !::PtInRect(&client, point))
        ::ReleaseCapture(); // the capture-lost handler clears hover and pressed
    CDirtyRows dirty;
    const int32_t row = HitTestRow(point);
    if (row < 0) {
        dirty.Add(m_hoverRow);
        dirty.Add(m_pressedRow);
        m_hoverRow = -1;
        m_pressedRow = -1;
        dirty.Flush(*this);
        return true;
    }
    if (!IsSelectableRow(row))
        return true;
    const int32_t oldHover = m_hoverRow;
    if (row != m_hoverRow) {
        dirty.Add(oldHover);
        m_hoverRow = row;
        dirty.Add(row);
        FollowWithFocusRow(row, dirty);
    }
    if (row != m_pressedRow) {
        if (m_pressedRow != oldHover)
            dirty.Add(m_pressedRow);
        if (flags == MK_LBUTTON) {
            m_pressedRow = row;
            dirty.Add(row);
        } else {
            m_pressedRow = -1;
        }
    }
    dirty.Flush(*this);
    return true;
}

bool CUtilMenuView::OnLButtonDown(UINT, POINT point) {
    const int32_t row = HitTestRow(point);
    if (!IsSelectableRow(row))
        return false; // the control's own handling
    if (row != m_pressedRow) {
        CDirtyRows dirty;
        dirty.Add(m_pressedRow);
        m_pressedRow = row;
        dirty.Add(row);
        dirty.Flush(*this);
    }
    return true;
}

bool CUtilMenuView::OnLButtonUp(UINT, POINT) {
    const int32_t target = m_pressedRow >= 0 ? m_pressedRow : m_hoverRow;
    if (target >= 0)
        ActivateRow(target);
    return true;
}

void CUtilMenuView::ActivateRow(int32_t target) {
    if (!IsSelectableRow(target))
        return;
    MenuItem& item = *m_items[static_cast<std::size_t>(target)];
    if (target == m_selectedRow) {
        FocusPage(false);
        return;
    }
    CDirtyRows dirty;
    const int32_t old = m_selectedRow;
    if (old >= 0 && m_items[static_cast<std::size_t>(old)]->IsBound() &&
        CPluginHost::ChangeMenuState(*m_items[static_cast<std::size_t>(old)], kMenuStateLeave) ==
            -5) {
        // The page keeps the operator (unsaved changes kept): the old row stays selected.
        dirty.Add(old);
        dirty.Add(target);
        dirty.Flush(*this);
        return;
    }
    m_selectedRow = target;
    CAccessibleWindow::NotifySelection(m_hWnd, target + 1);
    dirty.Add(old);
    dirty.Add(target);
    if (m_pressedRow != target)
        dirty.Add(m_pressedRow);
    m_pressedRow = -1;
    if (m_hoverRow != target)
        dirty.Add(m_hoverRow);
    m_hoverRow = target;
    FollowWithFocusRow(target, dirty);
    dirty.Flush(*this);
    ShowPage(item);
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
    CDirtyRows dirty;
    ReleaseCaptureFlag(dirty);
    dirty.Flush(*this);
}

void CUtilMenuView::ReleaseCaptureFlag(CDirtyRows& dirty) {
    m_capture = 0;
    dirty.Add(m_pressedRow);
    dirty.Add(m_hoverRow);
    m_pressedRow = -1;
    m_hoverRow = -1;
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
        InvalidateRow(m_focusRow);
        if (msg == WM_SETFOCUS && m_focusRow >= 0)
            CAccessibleWindow::NotifyFocus(m_hWnd, m_focusRow + 1);
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
    const auto last = static_cast<int32_t>(m_items.size()) - 1;
    const int32_t from = m_focusRow >= 0 ? m_focusRow : m_selectedRow;
    switch (key) {
    case VK_UP:
        MoveFocusRow(from < 0 ? NextSelectableRow(last, -1) : NextSelectableRow(from - 1, -1));
        break;
    case VK_DOWN:
        MoveFocusRow(NextSelectableRow(from + 1, 1));
        break;
    case VK_HOME:
        MoveFocusRow(NextSelectableRow(0, 1));
        break;
    case VK_END:
        MoveFocusRow(NextSelectableRow(last, -1));
        break;
    case VK_RETURN:
    case VK_SPACE:
        if (m_focusRow >= 0) {
            m_pressedRow = -1;
            ActivateRow(m_focusRow);
        }
        break;
    case VK_TAB:
        FocusPage(::GetKeyState(VK_SHIFT) < 0);
        break;
    default:
        return false;
    }
    return true;
}

// The keys act where the mouse was last; the old focus rectangle only shows with the focus.
void CUtilMenuView::FollowWithFocusRow(int32_t row, CDirtyRows& dirty) {
    if (row == m_focusRow)
        return;
    if (::GetFocus() == m_hWnd)
        dirty.Add(m_focusRow);
    m_focusRow = row;
    dirty.Add(row);
    if (row >= 0)
        CAccessibleWindow::NotifyFocus(m_hWnd, row + 1);
}

// The highlight is the hover band: keys move it as the mouse does, without a capture.
void CUtilMenuView::MoveFocusRow(int32_t row) {
    if (row < 0)
        return;
    CDirtyRows dirty;
    FollowWithFocusRow(row, dirty);
    if (row != m_hoverRow) {
        dirty.Add(m_hoverRow);
        m_hoverRow = row;
        dirty.Add(row);
    }
    dirty.Flush(*this);
    GetListCtrl().SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

int32_t CUtilMenuView::NextSelectableRow(int32_t from, int step) const {
    for (int32_t row = from; row >= 0 && row < static_cast<int32_t>(m_items.size()); row += step)
        if (IsSelectableRow(row))
            return row;
    return -1;
}

void CUtilMenuView::FocusPage(bool backwards) const {
    const MenuItem* item = ItemAt(m_selectedRow);
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
    if (m_focusRow < 0)
        MoveFocusRow(m_selectedRow >= 0 ? m_selectedRow : NextSelectableRow(0, 1));
}

// --- Leaving and destruction --------------------------------------------------------------

CUtilMenuView::LeaveAnswer CUtilMenuView::AskSelectedToLeave() const {
    const MenuItem* item = ItemAt(m_selectedRow);
    if (!item)
        return LeaveAnswer::NoSelection;
    if (!item->IsBound())
        return LeaveAnswer::Refused;
    return CPluginHost::ChangeMenuState(*item, kMenuStateLeave) == 0 ? LeaveAnswer::Allowed
                                                                     : LeaveAnswer::Refused;
}

void CUtilMenuView::ReleaseItems() {
    m_selectedRow = m_hoverRow = m_pressedRow = m_focusRow = -1;
    CPluginHost::ReleaseItems(m_items);
}

void CUtilMenuView::OnDestroy() {
    m_accessible.Disconnect();
    ReleaseItems();
    m_pictures.Release();
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

const MenuItem* CUtilMenuView::ItemAt(int32_t row) const {
    if (row < 0 || row >= static_cast<int32_t>(m_items.size()))
        return nullptr;
    return m_items[static_cast<std::size_t>(row)];
}

bool CUtilMenuView::IsSelectableRow(int32_t row) const {
    const MenuItem* item = ItemAt(row);
    return item && item->IsSelectable();
}

void CUtilMenuView::InvalidateRow(int32_t row) const {
    RECT rect{};
    if (row >= 0 && m_hWnd && GetListCtrl().GetItemRect(row, &rect, LVIR_BOUNDS))
        ::InvalidateRect(m_hWnd, &rect, TRUE);
}

void CUtilMenuView::CDirtyRows::Add(int32_t row) {
    if (row < 0 ||
        std::find(m_rows.begin(), m_rows.begin() + m_count, row) != m_rows.begin() + m_count)
        return;
    if (m_count < m_rows.size())
        m_rows[m_count++] = row;
}

void CUtilMenuView::CDirtyRows::Flush(const CUtilMenuView& view) {
    for (std::size_t i = 0; i < m_count; ++i)
        view.InvalidateRow(m_rows[i]);
    m_count = 0;
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
    if (!IsSelectableRow(row))
        return STATE_SYSTEM_UNAVAILABLE;
    DWORD state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (row == m_selectedRow)
        state |= STATE_SYSTEM_SELECTED;
    if (row == m_focusRow && ::GetFocus() == m_hWnd)
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
