// The function menu on the left of the main window: a list control drawn entirely by the
// program, with a background picture and one picture per row state. It reads the start
// mode's menu file, binds and initialises the plug-ins of its items, hands the items to the
// status strip, sizes its pane, and turns clicks (and keys) into leaving and entering the
// plug-in pages of the page area. It owns the items and their plug-ins. The rows' states
// follow their rules in CMenuRowState and are put on the screen by CMenuPainter.
#pragma once
#include <cstdint>
#include <string>
#include "app/menu/MenuItem.h"
#include "app/menu/MenuPainter.h"
#include "app/menu/MenuRowState.h"
#include "framework/lang/LangResTable.h"
#include "platform/AccessibleWindow.h"
#include "platform/Dpi.h"
#include "platform/ListView.h"
#include "platform/os/Profile.h"

struct UtilContext;

namespace qk::app {

class IShellFrame;

// A screen reader hears each row by its text, and which row is selected and has the focus.
class CUtilMenuView : public CListView, private IAccessibleAnswers {
public:
    enum class LeaveAnswer { NoSelection, Allowed, Refused };

    CUtilMenuView() = default;
    ~CUtilMenuView() override;

    void OnInitialUpdate() override;

    // The close question of the main window: no selected row, or its plug-in agrees to be
    // left (0), or it refuses (not bound, or any other answer).
    LeaveAnswer AskSelectedToLeave() const;
    // Finalises and unloads every plug-in and deletes the items. The frame calls it while
    // every window still exists; destruction calls it again (then it has nothing to do).
    void ReleaseItems();

    MenuItemList& Items() { return m_items; }
    int32_t HoverRow() const { return m_rows.Hover(); }
    int32_t PressedRow() const { return m_rows.Pressed(); }
    int32_t SelectedRow() const { return m_rows.Selected(); }
    // The row the keys act on; drawn with a focus rectangle while the menu has the focus.
    int32_t FocusRow() const { return m_rows.Focus(); }
    int32_t RowHeight() const { return m_rowHeight; }
    int32_t ColumnWidth() const { return m_columnWidth; }

    // Tab from the page area: gives the menu the focus and shows its focus row.
    void TakeFocusFromPage();

protected:
    DWORD ListStyle() const override { return WS_CHILD | WS_VISIBLE | WS_BORDER; }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnMouseMove(UINT flags, POINT point) override;
    bool OnLButtonDown(UINT flags, POINT point) override;
    bool OnLButtonUp(UINT flags, POINT point) override;
    void OnCaptureChanged(HWND gaining) override;
    void OnDestroy() override;

private:
    bool LoadTexts(UtilContext* context, IShellFrame* frame);
    void ReadMenuFile(UtilContext* context, IShellFrame* frame, os::IProfile& profile);
    void SetUpList(IShellFrame* frame);
    void SelectInitialRow();

    void OnMeasureItem(MEASUREITEMSTRUCT* measure);
    void OnDrawItem(const DRAWITEMSTRUCT* draw);
    bool OnKeyDown(UINT key);
    void MoveFocusRow(int32_t row);
    // Tab (Shift+Tab: backwards) into the selected row's page.
    void FocusPage(bool backwards) const;
    // The page of the page area that holds the window, or null.
    HWND PageHolding(HWND window) const;

    // The release of a selectable row (by the mouse or by Enter and Space).
    void ActivateRow(int32_t target);
    // Asks the selected row's page whether it may be left; true when it keeps the operator.
    bool SelectedPageStays() const;
    void ShowPage(MenuItem& item);

    // Redraws the rows the last events changed, each once, and tells a screen reader what
    // moved.
    void ApplyRowChanges();
    int32_t HitTestRow(POINT point) const;
    bool IsInClient(POINT point) const;
    const MenuItem* ItemAt(int32_t row) const;
    void InvalidateRow(int32_t row) const;

    std::u16string AccessibleName(LONG child) const override;
    LONG AccessibleRowCount() const override;
    DWORD AccessibleRowState(LONG child) const override;
    RECT AccessibleRowRect(LONG child) const override;

    MenuItemList m_items;    // owned, file order
    int m_dpi = SystemDpi(); // the system DPI, fixed for the process
    CMenuPainter m_painter;  // the look and the pictures
    CMenuRowState m_rows;    // hover, pressed, selected and focus rows
    int32_t m_rowHeight = -1;
    int32_t m_columnWidth = -1;
    int32_t m_capture = 0; // 1 while the view holds the mouse capture
    std::u16string m_menuPath;
    CLangResTable m_langTable; // screen "MENU_ITEM"
    CAccessibleWindow m_accessible{*this};
};

} // namespace qk::app
