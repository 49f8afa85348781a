// Which row of the function menu is under the mouse, pressed, selected and the keys' focus,
// and which rows need drawing again after a change. No window: the menu view feeds it the
// mouse, key and focus events it gets, repaints the rows it names, and tells a screen reader
// what it says moved. Portable core (no windows.h).
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qk::app {

// The picture a row shows; a row in several states shows the first of selected, pressed and
// under the mouse.
enum class MenuRowBand { Plain, Hover, Pressed, Selected };

// The keys that move the focus row over the selectable rows.
enum class MenuRowKey { Up, Down, Home, End };

// What one or more events changed, taken by the view once per message.
class CMenuRowChanges {
public:
    // Each row at most once; -1 is ignored.
    void Add(int32_t row);
    std::span<const int32_t> Rows() const { return {m_rows.data(), m_count}; }
    bool Contains(int32_t row) const;

    bool selectionMoved = false; // a screen reader hears the new selected row
    bool focusMoved = false;     // ... and the new focus row

private:
    // One event touches at most the old and new selected, pressed, hover and focus rows.
    std::array<int32_t, 8> m_rows{};
    std::size_t m_count = 0;
};

class CMenuRowState {
public:
    static constexpr int32_t kNone = -1;

    // The rows in list order, each selectable or not (a heading); every state is cleared.
    void SetRows(std::vector<bool> selectable);
    // The menu's items are gone: no rows, nothing hovered, pressed, selected or focused.
    void Clear();
    // The row selected at start (not announced): it also becomes the focus row.
    bool StartSelected(int32_t row);

    int32_t Hover() const { return m_hover; }
    int32_t Pressed() const { return m_pressed; }
    int32_t Selected() const { return m_selected; }
    int32_t Focus() const { return m_focus; }
    bool HasKeyboardFocus() const { return m_hasFocus; }
    int32_t RowCount() const { return static_cast<int32_t>(m_selectable.size()); }
    bool IsSelectable(int32_t row) const;
    MenuRowBand BandOf(int32_t row) const;

    // --- Mouse: `row` is the row under the pointer, kNone when none or outside the list.
    // A move over a heading changes nothing; with the left button alone held the pressed row
    // follows the pointer.
    void MouseMove(int32_t row, bool leftButtonOnly);
    // False when `row` is not selectable (the list's own handling then runs).
    bool ButtonDown(int32_t row);
    // Ends the press: the row to activate (the pressed row, else the hover row), or kNone
    // when the button came up outside the list, over nothing or over a heading (`row`).
    int32_t ButtonUp(int32_t row, bool inside);
    // The mouse capture went elsewhere: nothing is under the mouse or pressed.
    void CaptureLost();

    // --- Keys
    // The row the key moves the focus to (from the focus row, else the selected row), or kNone.
    int32_t KeyTarget(MenuRowKey key) const;
    // The focus and the hover band go to a selectable row; false (no change) for any other.
    bool MoveFocus(int32_t row);
    // Enter or Space: the focus row to activate (ending any press), or kNone.
    int32_t KeyActivate();
    // Where Tab from the page area lands: the selected row, else the first selectable one.
    int32_t EntryRow() const;
    void KeyboardFocus(bool has);

    // --- Activation (after the page being left agreed, or not)
    // The row becomes selected, under the mouse and the focus; false for a row that is not
    // selectable.
    bool Select(int32_t row);
    // The page being left refused: the selection stays; both rows are drawn again.
    void KeepSelection(int32_t refused);

    // The rows to draw again and what to announce since the last call.
    CMenuRowChanges TakeChanges();

private:
    int32_t NextSelectable(int32_t from, int step) const;
    void FollowWithFocus(int32_t row);
    void EndPress();

    std::vector<bool> m_selectable;
    int32_t m_hover = kNone;
    int32_t m_pressed = kNone;
    int32_t m_selected = kNone;
    int32_t m_focus = kNone;
    bool m_hasFocus = false;
    CMenuRowChanges m_changes;
};

} // namespace qk::app
